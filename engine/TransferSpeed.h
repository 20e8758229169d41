#pragma once

#include <QHash>
#include <QString>

class DownloadList;

// The total transfer speed of the list and the time its running transfers
// still need, measured from the rows' downloaded
// counts: each sample compares the bytes of every downloading row with the
// previous sample. A row that ended since then still counts its last bytes;
// a row that started over (fewer bytes than before) counts from zero.
class TransferSpeed final
{
public:
    // Takes a sample at the given monotonic time and returns the bytes per
    // second since the previous one; 0 for the first sample. running tells
    // whether any row is downloading now.
    double sample(const DownloadList &list, double seconds);
    bool running() const { return !m_lastBytes.isEmpty(); }

    // The seconds the downloading rows still need at the speed of the last
    // samples; -1 when that is not known: a downloading row without a length,
    // no row downloading, or no speed yet.
    double secondsLeft() const { return m_secondsLeft; }

    // "1.2 MB/s", "512 B/s" (1 KB = 1024 bytes, as the size limit counts).
    static QString text(double bytesPerSecond);

    // "0:42", "12:05", "1:02:03".
    static QString timeText(double seconds);

private:
    QHash<quint64, qint64> m_lastBytes; // downloading rows at the last sample, by identity
    double m_lastSeconds = -1.0;
    double m_recentRate = -1.0; // smoothed bytes per second; -1 before the first measured sample
    double m_secondsLeft = -1.0;
};
