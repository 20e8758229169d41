#include "download_window/TransferSpeed.h"

#include "engine/DownloadList.h"

#include <cmath>

namespace {

// The row's received bytes, or -1 while its cell holds no number.
qint64 receivedBytes(const DownloadItem &item)
{
    bool ok = false;
    const qint64 bytes = item.Downloaded.toLongLong(&ok);
    return ok && bytes >= 0 ? bytes : -1;
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
    QHash<quint64, qint64> bytesNow;
    for (int row = 0; row < list.count(); ++row) {
        const DownloadItem &item = list.at(row);
        if (item.State != Downloading)
            continue;
        const qint64 bytes = receivedBytes(item);
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
    if (first || elapsed <= 0)
        return 0.0;
    return double(arrived) / elapsed;
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

QString SpeedPanelText(const TransferSpeed &speed, double bytesPerSecond)
{
    return speed.running() ? TransferSpeed::text(bytesPerSecond) : QString();
}
