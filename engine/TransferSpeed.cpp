#include "engine/TransferSpeed.h"

#include "engine/DownloadList.h"
#include "engine/EngineTexts.h"

#include <cmath>

namespace {

// The row's received bytes, or -1 while it has none.
qint64 receivedBytes(const DownloadItem &item)
{
    return item.Downloaded && *item.Downloaded >= 0 ? *item.Downloaded : -1;
}

qint64 grownBy(qint64 before, qint64 now)
{
    if (now < 0)
        return 0;
    return now >= before ? now - before : now;
}

} // namespace

double TransferSpeed::sample(const DownloadList &list, double seconds)
{
    qint64 arrived = 0;
    qint64 remaining = 0;
    bool lengthsKnown = true;
    QHash<quint64, qint64> bytesNow;
    for (int row = 0; row < list.count(); ++row) {
        const DownloadItem &item = list.at(row);
        if (item.State != Downloading)
            continue;
        const qint64 bytes = receivedBytes(item);
        if (item.Size.hasBytes() && item.Size.bytes > 0)
            remaining += qMax<qint64>(0, item.Size.bytes - qMax<qint64>(0, bytes));
        else
            lengthsKnown = false;
        bytesNow.insert(item.Id, bytes < 0 ? 0 : bytes);
        if (const auto before = m_lastBytes.constFind(item.Id); before != m_lastBytes.constEnd())
            arrived += grownBy(before.value(), bytes);
    }
    // Rows that were downloading and have ended since: their last bytes.
    for (auto before = m_lastBytes.cbegin(); before != m_lastBytes.cend(); ++before) {
        if (bytesNow.contains(before.key()))
            continue;
        const int row = list.rowOfId(before.key());
        if (row >= 0)
            arrived += grownBy(before.value(), receivedBytes(list.at(row)));
    }

    const double elapsed = seconds - m_lastSeconds;
    const bool first = m_lastSeconds < 0;
    m_lastBytes = std::move(bytesNow);
    m_lastSeconds = seconds;
    if (first || elapsed <= 0) {
        m_secondsLeft = -1.0;
        return 0.0;
    }
    const double rate = double(arrived) / elapsed;
    // The time left follows a smoothed speed, so that one slow second does
    // not make it jump.
    m_recentRate = m_recentRate < 0 ? rate : 0.7 * m_recentRate + 0.3 * rate;
    m_secondsLeft =
        lengthsKnown && !m_lastBytes.isEmpty() && m_recentRate > 0 ? double(remaining) / m_recentRate : -1.0;
    if (m_lastBytes.isEmpty())
        m_recentRate = -1.0;
    return rate;
}

QString TransferSpeed::timeText(double seconds)
{
    const qint64 whole = qint64(std::ceil(qMax(0.0, seconds)));
    const qint64 hours = whole / 3600;
    const qint64 minutes = whole / 60 % 60;
    const QString mmss = QStringLiteral("%1:%2").arg(minutes).arg(whole % 60, 2, 10, QLatin1Char('0'));
    if (hours == 0)
        return mmss;
    return QStringLiteral("%1:%2:%3")
        .arg(hours)
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(whole % 60, 2, 10, QLatin1Char('0'));
}

QString TransferSpeed::text(double bytesPerSecond)
{
    static const char *const units[] = {"KB/s", "MB/s", "GB/s"};
    if (!(bytesPerSecond >= 0))
        bytesPerSecond = 0;
    if (bytesPerSecond < 1024)
        return QString::number(qint64(bytesPerSecond + 0.5)) + QStringLiteral(" B/s");
    double value = bytesPerSecond / 1024;
    int unit = 0;
    // Round first, so that 1023.96 KB/s reads "1.0 MB/s", not "1024.0 KB/s".
    while (unit < 2 && std::round(value * 10) / 10 >= 1024) {
        value /= 1024;
        ++unit;
    }
    return QString::number(value, 'f', 1) + QLatin1Char(' ') + QLatin1String(units[unit]);
}
