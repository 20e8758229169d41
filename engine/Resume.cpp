#include "engine/Resume.h"

#include "engine/Naming.h"
#include "platform/FileTests.h"

#include <QFile>
#include <QSaveFile>

namespace {

constexpr qint64 kMaxValidatorBytes = 1024;

QByteArray validatorOf(const QByteArray &etag, const QByteArray &lastModified)
{
    const QByteArray chosen = !etag.trimmed().isEmpty() ? etag.trimmed() : lastModified.trimmed();
    // One header value on one line: a validator with a line break is no
    // validator (it would split the request head).
    if (chosen.contains('\r') || chosen.contains('\n') || chosen.size() > kMaxValidatorBytes)
        return QByteArray();
    return chosen;
}

} // namespace

QString ValidatorPath(const QString &finalPath)
{
    return PartPath(finalPath) + QStringLiteral(".validator");
}

void KeepValidator(const QString &finalPath, const QString &url, const QByteArray &etag, const QByteArray &lastModified)
{
    const QByteArray validator = validatorOf(etag, lastModified);
    if (validator.isEmpty()) {
        ForgetValidator(finalPath);
        return;
    }
    // The validator on the first line, the address on the second.
    const QByteArray text = validator + '\n' + url.toUtf8() + '\n';
    QSaveFile file(ValidatorPath(finalPath));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        ForgetValidator(finalPath); // an unreadable side file would only mislead the next transfer
}

void ForgetValidator(const QString &finalPath)
{
    QFile::remove(ValidatorPath(finalPath));
}

ResumePoint ResumePointFor(const QString &finalPath, const QString &url)
{
    ResumePoint point;
    const qint64 length = FileLength(PartPath(finalPath));
    if (length <= 0)
        return point;
    QFile file(ValidatorPath(finalPath));
    if (!file.open(QIODevice::ReadOnly))
        return point;
    const QList<QByteArray> lines = file.read(kMaxValidatorBytes + 64 * 1024).split('\n');
    const QByteArray validator = lines.value(0).trimmed();
    if (validator.isEmpty() || validator.size() > kMaxValidatorBytes || validator.contains('\r')
        || lines.value(1) != url.toUtf8())
        return point;
    point.offset = length;
    point.validator = validator;
    return point;
}

QString ResumeHeaderLines(const ResumePoint &point)
{
    if (!point.isResume())
        return QString();
    return QStringLiteral("Range: bytes=%1-\r\nIf-Range: %2\r\n")
        .arg(point.offset)
        .arg(QString::fromLatin1(point.validator));
}

ContentRange ParseContentRange(const QByteArray &value)
{
    ContentRange range;
    const QByteArray text = value.trimmed();
    if (!text.startsWith("bytes "))
        return range;
    const QByteArray rangeText = text.mid(6).trimmed();
    const qsizetype slash = rangeText.indexOf('/');
    const qsizetype dash = rangeText.indexOf('-');
    if (slash < 0 || dash < 0 || dash > slash)
        return range;
    bool firstOk = false;
    bool lastOk = false;
    const qint64 first = rangeText.left(dash).toLongLong(&firstOk);
    const qint64 last = rangeText.mid(dash + 1, slash - dash - 1).toLongLong(&lastOk);
    if (!firstOk || !lastOk || first < 0 || last < first)
        return range;
    range.first = first;
    range.last = last;
    bool totalOk = false;
    const qint64 total = rangeText.mid(slash + 1).toLongLong(&totalOk);
    range.total = totalOk && total > last ? total : -1;
    return range;
}

ResumeDecision DecideResume(const ResumePoint &point, int status, const QByteArray &contentRange,
                            const QByteArray &etag, const QByteArray &lastModified)
{
    if (!point.isResume())
        return ResumeDecision::StartOver;
    if (status == 416)
        return ResumeDecision::Restart;
    if (status >= 300)
        return ResumeDecision::Refused;
    if (status != 206)
        return ResumeDecision::StartOver;
    const ContentRange range = ParseContentRange(contentRange);
    if (range.first != point.offset)
        return ResumeDecision::Restart;
    // The reply names its document: an ETag, or a date when the kept
    // validator was a date. Another one than the kept one is another document.
    const QByteArray replyValidator = validatorOf(etag, lastModified);
    if (!replyValidator.isEmpty() && replyValidator != point.validator)
        return ResumeDecision::Restart;
    return ResumeDecision::Append;
}
