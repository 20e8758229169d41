#pragma once

#include <QHash>
#include <QString>

class DownloadList;

// The total transfer speed of the list, measured from the rows' downloaded
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

    // "1.2 MB/s", "512 B/s" (1 KB = 1024 bytes, as the size limit counts).
    static QString text(double bytesPerSecond);

private:
    QHash<quint64, qint64> m_lastBytes; // downloading rows at the last sample, by identity
    double m_lastSeconds = -1.0;
};

// The status panel's text: the speed while a row is downloading, blank
// otherwise.
QString SpeedPanelText(const TransferSpeed &speed, double bytesPerSecond);
