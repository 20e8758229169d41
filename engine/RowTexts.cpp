#include "engine/RowTexts.h"

#include "engine/EngineTexts.h"

namespace {

// A whole number of plain digits (no sign, no blanks), at most as many as a
// 64-bit value always holds.
std::optional<qint64> plainNumber(QStringView text)
{
    if (text.isEmpty() || text.size() > 18)
        return std::nullopt;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    return text.toLongLong();
}

} // namespace

QString SizeWordText(SizeWord word, qint32 seconds)
{
    switch (word) {
    case SizeWord::None: break;
    case SizeWord::Unknown: return EngineText::kSizeUnknown;
    case SizeWord::WaitingAgain: return EngineText::kWaitingAgain;
    case SizeWord::WaitingToRetry:
        return EngineText::kWaitingToRetryPrefix + QString::number(seconds) + EngineText::kWaitingToRetrySuffix;
    }
    return QString();
}

QString ProgressWordText(ProgressWord word)
{
    switch (word) {
    case ProgressWord::None: break;
    case ProgressWord::LargeFileSkipped: return EngineText::kLargeFileSkipped;
    case ProgressWord::ExistsSkipped: return EngineText::kExistsSkipped;
    case ProgressWord::CannotReplace: return EngineText::kCannotReplace;
    case ProgressWord::Cancelled: return EngineText::kCancelled;
    case ProgressWord::DoesNotExist: return EngineText::kDoesNotExist;
    }
    return QString();
}

QString SizeText(const ItemSize &size)
{
    if (size.word != SizeWord::None)
        return SizeWordText(size.word, size.seconds);
    return size.bytes >= 0 ? QString::number(size.bytes) : QString();
}

QString DownloadedText(const std::optional<qint64> &downloaded)
{
    return downloaded ? QString::number(*downloaded) : QString();
}

QString ProgressText(const ItemProgress &progress)
{
    if (progress.word != ProgressWord::None)
        return ProgressWordText(progress.word);
    return progress.percent >= 0 ? QString::number(progress.percent) + QLatin1Char('%') : QString();
}

ItemSize SizeFromText(const QString &text)
{
    if (const std::optional<qint64> bytes = plainNumber(text))
        return ItemSize::ofBytes(*bytes);
    for (const SizeWord word : {SizeWord::Unknown, SizeWord::WaitingAgain}) {
        if (text == SizeWordText(word))
            return ItemSize::ofWord(word);
    }
    return ItemSize();
}

std::optional<qint64> DownloadedFromText(const QString &text)
{
    return plainNumber(text);
}

ItemProgress ProgressFromText(const QString &text)
{
    QStringView number = text;
    if (number.endsWith(u'%'))
        number.chop(1);
    if (const std::optional<qint64> percent = plainNumber(number))
        return ItemProgress::ofPercent(*percent);
    for (const ProgressWord word : {ProgressWord::LargeFileSkipped, ProgressWord::ExistsSkipped,
                                    ProgressWord::CannotReplace, ProgressWord::Cancelled, ProgressWord::DoesNotExist}) {
        if (text == ProgressWordText(word))
            return ItemProgress::ofWord(word);
    }
    return ItemProgress();
}
