// The cache viewer opened over a large browser cache: how long "查看我的缓存"
// takes until the list is shown, how long the event loop is held meanwhile,
// and that opening writes nothing.
//
//   bench_cache_viewer [ENTRIES] [BODY_BYTES] [--cold] [--keep FOLDER]
//
// The cache is written as the browser writes it (entry files in
// Cache/Cache_Data), ENTRIES entries of BODY_BYTES each (5,000 × 100,000 bytes
// = 500 MB by default), into a temporary folder, or with --keep into FOLDER,
// where a later run with the same figures finds it written. With --cold the
// entry files are first dropped from the page cache, so that every header is
// read from the disk.
//
// Responsiveness is measured as the lateness of a 10 ms timer, from the click
// until half a second after the list was painted: the longest gap between two
// of its firings is the longest time the event loop was held.
#include "cache_viewer/CacheViewer.h"
#include "settings/StoredSettings.h"
#include "tests/cache_viewer/EntryBytes.h"
#include "tests/support/PromptRecorder.h"
#include "tests/support/TempSettings.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

// An entry file's name as the browser makes it: 16 hex digits of a hash.
QString entryName(int n)
{
    const quint64 hash = quint64(n + 1) * 0x9E3779B97F4A7C15ULL;
    return QStringLiteral("%1_0").arg(hash, 16, 16, QLatin1Char('0'));
}

bool writeCache(const QString &folder, int entries, int bodyBytes)
{
    if (!QDir().mkpath(folder))
        return false;
    QByteArray body = "%PDF-1.4\n" + QByteArray(qMax(0, bodyBytes - 9), 'p');
    body.truncate(bodyBytes);
    for (int n = 0; n < entries; ++n) {
        const QByteArray key = "1/0/_dk_https://arc.example https://arc.example https://arc.example/doi/pdf/10.2514/6."
                               + QByteArray::number(2000 + n % 25) + "-" + QByteArray::number(n) + "?download=true";
        QFile file(folder + QLatin1Char('/') + entryName(n));
        const QByteArray bytes = CacheEntryBytes(key, body);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return false;
    }
    QFile index(folder + QStringLiteral("/index"));
    return index.open(QIODevice::WriteOnly) && index.write("index") == 5;
}

// Drops the files' pages from the page cache (after writing them to disk).
void dropFromPageCache(const QString &folder)
{
    QDirIterator it(folder, QDir::Files);
    while (it.hasNext()) {
        const int fd = ::open(QFile::encodeName(it.next()).constData(), O_RDONLY);
        if (fd < 0)
            continue;
        ::fsync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

int filesBelow(const QString &folder)
{
    int count = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        ++count;
    }
    return count;
}

// Paints of a widget, noted with the time they happen.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(const QElapsedTimer &clock) : m_clock(clock) {}
    qint64 firstPaintAfter(qint64 ms) const
    {
        for (const qint64 at : m_paints) {
            if (at >= ms)
                return at;
        }
        return -1;
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            m_paints.push_back(m_clock.elapsed());
        return false;
    }

private:
    const QElapsedTimer &m_clock;
    std::vector<qint64> m_paints;
};

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    const bool cold = arguments.removeAll(QStringLiteral("--cold")) > 0;
    QString keep;
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--keep")); at >= 0 && at + 1 < arguments.size()) {
        keep = arguments.at(at + 1);
        arguments.remove(at, 2);
    }
    const int entries = arguments.size() > 0 ? std::max(1, arguments.at(0).toInt()) : 5000;
    const int bodyBytes = arguments.size() > 1 ? std::max(16, arguments.at(1).toInt()) : 100000;

    QTemporaryDir work;
    const QString cacheFolder = keep.isEmpty() ? work.filePath(QStringLiteral("cache"))
                                               : keep + QStringLiteral("/cache-%1-%2").arg(entries).arg(bodyBytes);
    const QString written = cacheFolder + QStringLiteral("/Cache/Cache_Data/index");
    QElapsedTimer writing;
    writing.start();
    if (!QFile::exists(written) && !writeCache(cacheFolder + QStringLiteral("/Cache/Cache_Data"), entries, bodyBytes)) {
        std::fprintf(stderr, "bench_cache_viewer: the cache could not be written in %s\n", qPrintable(work.path()));
        return 2;
    }
    if (cold)
        dropFromPageCache(cacheFolder + QStringLiteral("/Cache/Cache_Data"));
    std::printf("entries=%d body_bytes=%d cache_mb=%.0f cold=%d write_s=%.1f\n", entries, bodyBytes,
                double(entries) * bodyBytes / 1e6, cold ? 1 : 0, double(writing.elapsed()) / 1000);
    std::fflush(stdout);

    TempSettings temp;
    StoredSettings stored(temp.store());
    PromptRecorder prompts;
    const QString exportFolder = work.filePath(QStringLiteral("out"));
    CacheViewer viewer(CacheViewerServices{stored, prompts, work.filePath(QStringLiteral("SaveList.dat")), cacheFolder,
                                           exportFolder, UserCacheLayout{}});
    viewer.show();
    {
        QEventLoop settling;
        QTimer::singleShot(300, &settling, &QEventLoop::quit);
        settling.exec();
    }

    QElapsedTimer clock;
    PaintWatch paints(clock);
    viewer.ListView1->viewport()->installEventFilter(&paints);
    std::vector<qint64> gaps;
    QElapsedTimer sinceLast;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(10);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        gaps.push_back(sinceLast.nsecsElapsed());
        sinceLast.restart();
    });

    QEventLoop measuring;
    qint64 listedAt = -1;
    QObject::connect(&viewer, &CacheViewer::listed, [&] {
        listedAt = clock.elapsed();
        QTimer::singleShot(500, &measuring, &QEventLoop::quit);
    });
    QTimer::singleShot(60000, &measuring, &QEventLoop::quit);
    clock.start();
    sinceLast.start();
    probe.start();
    viewer.Command1->click();
    const qint64 clickReturnedAt = clock.elapsed();
    measuring.exec();
    probe.stop();

    const qint64 shownAt = listedAt < 0 ? -1 : paints.firstPaintAfter(listedAt);
    std::sort(gaps.begin(), gaps.end());
    const auto ms = [](qint64 nanoseconds) { return double(nanoseconds) / 1e6; };
    std::printf("rows=%d click_returned_ms=%lld listed_ms=%lld shown_ms=%lld timer_firings=%zu gap_median_ms=%.1f "
                "gap_p99_ms=%.1f gap_longest_ms=%.1f written_out_files=%d\n",
                viewer.ListView1->topLevelItemCount(), static_cast<long long>(clickReturnedAt),
                static_cast<long long>(listedAt), static_cast<long long>(shownAt), gaps.size(),
                gaps.empty() ? 0 : ms(gaps[gaps.size() / 2]), gaps.empty() ? 0 : ms(gaps[gaps.size() * 99 / 100]),
                gaps.empty() ? 0 : ms(gaps.back()), QDir(exportFolder).exists() ? filesBelow(exportFolder) : 0);
    std::fflush(stdout);
    return listedAt < 0 ? 1 : 0;
}
