#include "cli/DownloadReport.h"

#include "cli/CliCommand.h"
#include "engine/DownloadList.h"
#include "engine/EngineTexts.h"
#include "engine/RowTexts.h"

namespace {

constexpr int kBarWidth = 24;

QString byteText(qint64 bytes)
{
    if (bytes < 1024 * 1024)
        return QStringLiteral("%1 KiB").arg(double(bytes) / 1024.0, 0, 'f', 1);
    return QStringLiteral("%1 MiB").arg(double(bytes) / (1024.0 * 1024.0), 0, 'f', 1);
}

} // namespace

QString StateWord(ItemState state)
{
    switch (state) {
    case Waiting: return EngineText::kStateWaiting;
    case Downloading: return EngineText::kStateDownloading;
    case Finished: return EngineText::kStateFinished;
    case Failed: return EngineText::kStateFailed;
    }
    return QString();
}

QString ItemLine(const DownloadItem &item)
{
    return QStringList{EscapeField(StateWord(item.State)), EscapeField(ProgressText(item.Progress)),
                       EscapeField(SizeText(item.Size)), EscapeField(ItemFilePath(item)), EscapeField(item.Url)}
        .join(QLatin1Char('\t'));
}

bool RunSucceeded(const DownloadList &list)
{
    for (int row = 0; row < list.count(); ++row) {
        const DownloadItem &item = list.at(row);
        if (item.State != Finished || IsWebPageType(item.Type))
            return false;
    }
    return true;
}

void ProgressReporter::update(const DownloadList &list)
{
    qint64 received = 0;
    for (int row = 0; row < list.count(); ++row) {
        const DownloadItem &item = list.at(row);
        received += item.Downloaded.value_or(0);
        const bool ended = item.State == Finished || item.State == Failed;
        const auto reported = m_reported.constFind(item.Id);
        if (!ended) {
            if (reported != m_reported.constEnd())
                m_reported.erase(reported); // reset for another try: report its next end too
            continue;
        }
        if (reported != m_reported.constEnd() && *reported == item.State)
            continue;
        m_reported.insert(item.Id, item.State);
        if (m_barShown) {
            m_err << "\r\x1b[K";
            m_barShown = false;
        }
        m_err << StateWord(item.State) << ' ' << ProgressText(item.Progress) << ' ' << ItemFilePath(item) << '\n';
    }

    const StateCounts counts = list.countStates();
    const QString summary = StatusSummaryText(counts);
    if (m_terminal) {
        const int ended = counts.finished + counts.failed;
        const int filled = counts.total > 0 ? ended * kBarWidth / counts.total : kBarWidth;
        m_err << "\r\x1b[K[" << QString(filled, QLatin1Char('#')) << QString(kBarWidth - filled, QLatin1Char('.'))
              << "] " << summary << "  " << byteText(received);
        if (m_speed.running()) {
            m_err << "  " << TransferSpeed::text(m_rate);
            if (m_speed.secondsLeft() >= 0)
                m_err << EngineText::kTimeLeftSeparator << EngineText::kTimeLeftPrefix
                      << TransferSpeed::timeText(m_speed.secondsLeft());
        }
        m_barShown = true;
    } else if (summary != m_lastSummary) {
        m_err << summary << '\n';
    }
    m_lastSummary = summary;
    m_err.flush();
}

void ProgressReporter::sampleSpeed(const DownloadList &list, double seconds)
{
    m_rate = m_speed.sample(list, seconds);
}

void ProgressReporter::finish()
{
    if (m_barShown)
        m_err << '\n';
    m_barShown = false;
    m_err.flush();
}
