// The download window with a list of 100,000 rows: the memory each row costs
// with the window showing it, and how responsive the window stays while six
// parallel transfers trickle in and update their rows.
//
//   bench_download_window [ROWS] [SECONDS]
//
// Responsiveness is measured as the lateness of a 10 ms timer: the longest
// gap between two of its firings is the longest time the event loop was
// held. The test site runs in a thread of its own, so that serving the
// trickles does not count against the window.
#include "ProcessFigures.h"
#include "download_window/DownloadWindow.h"
#include "engine/DownloadEngine.h"
#include "common/SessionSettings.h"
#include "platform/Clock.h"
#include "platform/MemoryTuning.h"
#include "settings/StoredSettings.h"
#include "tests/support/FixtureSite.h"
#include "tests/support/PromptRecorder.h"
#include "tests/support/ShellRecorder.h"
#include "tests/support/SoundRecorder.h"
#include "tests/support/TempSettings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Lets the window lay out and paint what it has to.
void settle(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// A row as the hand-over makes it: a title-sized name, a long address, a
// referring page and a folder.
DownloadItem benchRow(const QString &base, int n, const QString &folder)
{
    DownloadItem item;
    item.Url = base + QStringLiteral("/trickle?size=65536&piece=2048&ms=25&n=") + QString::number(n);
    item.Name = QStringLiteral("Numerical study of transonic buffet on a swept wing, part ") + QString::number(n);
    item.Type = QStringLiteral("pdf");
    item.Folder = folder;
    item.Referer = base + QStringLiteral("/results?page=") + QString::number(n / 20 + 1);
    return item;
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    KeepTransferBuffersInProcess();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    const int rows = argc > 1 ? std::max(6, QByteArray(argv[1]).toInt()) : 100000;
    const int seconds = argc > 2 ? std::max(1, QByteArray(argv[2]).toInt()) : 20;

    QThread siteThread;
    siteThread.start();
    // Made in its thread, so that its servers and sockets live there.
    FixtureSite *site = nullptr;
    bool started = false;
    auto *inThread = new QObject;
    inThread->moveToThread(&siteThread);
    QMetaObject::invokeMethod(
        inThread,
        [&] {
            site = new FixtureSite;
            started = site->start();
        },
        Qt::BlockingQueuedConnection);
    if (!started) {
        std::fprintf(stderr, "bench_download_window: the test site cannot listen\n");
        return 2;
    }
    const QString base = QString::fromLatin1(site->base());

    TempSettings temp;
    StoredSettings stored(temp.store());
    SessionSettings session;
    PromptRecorder prompts;
    SoundRecorder sounds;
    SystemClock clock;
    QNetworkAccessManager network;
    ShellRecorder shell;
    QTemporaryDir folder;

    auto *window = new DownloadWindow({session, stored, prompts, sounds, clock, network, shell});
    window->showNormal();
    window->resize(1280, 800);
    settle(300);

    // Memory: the rows added to a window that shows them.
    const qint64 before = statusKiB("VmRSS");
    DownloadList &list = window->engine().list();
    const QString rowFolder = folder.path() + QLatin1Char('/');
    QElapsedTimer adding;
    adding.start();
    for (int n = 0; n < rows; ++n)
        list.addItem(benchRow(base, n, rowFolder));
    settle(500);
    const qint64 after = statusKiB("VmRSS");
    const double bytesPerRow = double(after - before) * 1024.0 / rows;
    std::printf("rows=%d rss_before_kib=%lld rss_after_kib=%lld bytes_per_row=%.0f add_ms=%lld\n", rows,
                static_cast<long long>(before), static_cast<long long>(after), bytesPerRow,
                static_cast<long long>(adding.elapsed()));
    std::fflush(stdout);

    // Responsiveness: method two, six workers, the list's first rows fetched
    // from the trickling route while a 10 ms timer measures the gaps.
    session.DownloadMethod = DownloadMethod::Parallel;
    window->engine().options().threadCount = 6;
    window->engine().start();

    std::vector<qint64> gaps;
    gaps.reserve(size_t(seconds) * 100);
    QElapsedTimer sinceLast;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(10);
    QElapsedTimer sinceStart;
    double longestAt = 0;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 gap = sinceLast.nsecsElapsed();
        if (gaps.empty() || gap > *std::max_element(gaps.begin(), gaps.end()))
            longestAt = double(sinceStart.elapsed()) / 1000;
        gaps.push_back(gap);
        sinceLast.restart();
    });
    int finished = 0;
    QObject::connect(&window->engine(), &DownloadEngine::transferEnded, [&](quint64, TransferOutcome) { ++finished; });
    int mostRunning = 0;
    QTimer running;
    running.setInterval(100);
    QObject::connect(&running, &QTimer::timeout,
                     [&] { mostRunning = std::max(mostRunning, window->engine().CountLoadedWorkers() - 1); });
    sinceLast.start();
    sinceStart.start();
    probe.start();
    running.start();
    // A loop of its own: quitting the application would close the window.
    QEventLoop measuring;
    QTimer::singleShot(seconds * 1000, &measuring, &QEventLoop::quit);
    measuring.exec();
    probe.stop();

    std::sort(gaps.begin(), gaps.end());
    const auto ms = [](qint64 nanoseconds) { return double(nanoseconds) / 1e6; };
    const double longest = gaps.empty() ? 0 : ms(gaps.back());
    const double p99 = gaps.empty() ? 0 : ms(gaps[gaps.size() * 99 / 100]);
    const double median = gaps.empty() ? 0 : ms(gaps[gaps.size() / 2]);
    std::printf("seconds=%d transfers_ended=%d most_running=%d timer_firings=%zu gap_median_ms=%.1f "
                "gap_p99_ms=%.1f gap_longest_ms=%.1f longest_at_s=%.1f\n",
                seconds, finished, mostRunning, gaps.size(), median, p99, longest, longestAt);
    std::fflush(stdout);

    window->engine().setTimersRunning(false);
    window->engine().stop();
    delete window;
    QMetaObject::invokeMethod(
        inThread,
        [&] {
            delete site;
            delete inThread;
        },
        Qt::BlockingQueuedConnection);
    siteThread.quit();
    siteThread.wait();
    return 0;
}
