// Runs one single-connection transfer of an address into a folder, the way
// the download engine runs it, and prints what it cost:
//
//   transfer_driver URL FOLDER [--limit-mb N] [--stop-after SECONDS]
//
// Output, one line of "key=value" fields: outcome, bytes stored, elapsed
// seconds, CPU seconds (user + system), throughput in MiB/s, the peak
// resident memory and its growth during the transfer in KiB. With
// --stop-after the transfer is stopped after that many seconds (to measure
// the CPU a stalled transfer uses).
#include "ProcessFigures.h"
#include "engine/Downloader.h"
#include "engine/SingleTransfer.h"
#include "engine/TransferControl.h"
#include "platform/Clock.h"
#include "platform/MemoryTuning.h"
#include "common/SessionSettings.h"
#include "common/SameNamePolicy.h"
#include "tests/support/PromptRecorder.h"

#include <QDir>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkAccessManager>
#include <QTimer>

#include <cstdio>

namespace {

const char *outcomeName(TransferOutcome outcome)
{
    switch (outcome) {
    case TransferOutcome::Completed: return "completed";
    case TransferOutcome::CompletedShort: return "completed-short";
    case TransferOutcome::CannotDownload: return "cannot-download";
    case TransferOutcome::FetchedWhole: return "fetched-whole";
    case TransferOutcome::FetchedNothing: return "fetched-nothing";
    case TransferOutcome::TooLarge: return "too-large";
    case TransferOutcome::NoResponse: return "no-response";
    case TransferOutcome::CannotReplace: return "cannot-replace";
    case TransferOutcome::Stalled: return "stalled";
    case TransferOutcome::EndedShort: return "ended-short";
    case TransferOutcome::Cancelled: return "cancelled";
    case TransferOutcome::NoFolder: return "no-folder";
    case TransferOutcome::ExistsSkipped: return "exists-skipped";
    case TransferOutcome::Refused: return "refused";
    }
    return "?";
}

} // namespace

int main(int argc, char **argv)
{
    // As the program does at start.
    KeepTransferBuffersInProcess();
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr,
                     "usage: transfer_driver URL FOLDER [--limit-mb N] [--stop-after SECONDS] [--method 1|2]\n");
        return 2;
    }
    double limitMB = 1e9;
    int stopAfterSeconds = 0;
    int method = 1;
    for (qsizetype i = 3; i + 1 < arguments.size(); i += 2) {
        if (arguments.at(i) == QLatin1String("--limit-mb"))
            limitMB = arguments.at(i + 1).toDouble();
        else if (arguments.at(i) == QLatin1String("--stop-after"))
            stopAfterSeconds = arguments.at(i + 1).toInt();
        else if (arguments.at(i) == QLatin1String("--method"))
            method = arguments.at(i + 1).toInt();
    }

    QNetworkAccessManager network;
    TransferControl control(network);
    SystemClock clock;
    PromptRecorder prompts;
    SingleTransfer single(control, clock, prompts);
    Downloader worker(1, network, clock);
    Transfer &transfer = method == 2 ? static_cast<Transfer &>(worker) : single;

    const qint64 rssBefore = statusKiB("VmRSS");
    const double cpuBefore = cpuSeconds();
    QElapsedTimer elapsed;
    elapsed.start();

    QObject::connect(&transfer, &Transfer::finished, &app, [&](const TransferResult &result) {
        const double seconds = elapsed.nsecsElapsed() / 1e9;
        const double cpu = cpuSeconds() - cpuBefore;
        const qint64 peak = statusKiB("VmHWM");
        std::printf("outcome=%s bytes=%lld elapsed=%.3f cpu=%.3f mibps=%.1f peak_rss_kib=%lld "
                    "rss_growth_kib=%lld\n",
                    outcomeName(result.outcome), static_cast<long long>(result.bytesRead), seconds, cpu,
                    result.bytesRead / 1048576.0 / qMax(seconds, 1e-9), static_cast<long long>(peak),
                    static_cast<long long>(peak - rssBefore));
        std::fflush(stdout);
        app.quit();
    });
    if (stopAfterSeconds > 0)
        QTimer::singleShot(stopAfterSeconds * 1000, &transfer, [&transfer] { transfer.cancel(); });

    const QString folder = arguments.at(2);
    TransferJob job;
    job.itemId = 1;
    job.url = arguments.at(1);
    job.name = QStringLiteral("transfer");
    job.type = QStringLiteral("pdf");
    job.folder = folder;
    job.policy = SameNamePolicy::Overwrite;
    job.targetPath = QDir(folder).filePath(QStringLiteral("transfer.pdf"));
    job.sizeLimitMB = limitMB;
    SessionSettings settings;
    job.connection = ConnectionFor(job.url, settings);
    if (!transfer.start(job)) {
        std::fprintf(stderr, "transfer_driver: the transfer did not start\n");
        return 1;
    }
    return app.exec();
}
