#include "cli/DownloadCommand.h"

#include "cli/ConsolePrompts.h"
#include "cli/DownloadArguments.h"
#include "cli/DownloadReport.h"
#include "cli/RunState.h"
#include "engine/DownloadEngine.h"
#include "platform/Clock.h"
#include "platform/Console.h"
#include "platform/SoundPlayer.h"
#include "common/SessionSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QNetworkAccessManager>
#include <QTimer>

namespace {

constexpr int kExitFailure = 1;

// The command line has no sound switch: nothing is played.
class SilentSoundPlayer final : public SoundPlayer
{
public:
    void playFile(const QString &) override {}
};

SessionSettings sessionSettingsOf(const DownloadArguments &arguments)
{
    SessionSettings settings;
    settings.DownloadMethod = arguments.method;
    settings.ProxyEnabled = arguments.proxyAddress.isEmpty() ? 0 : 1;
    settings.ProxyAddress = arguments.proxyAddress;
    settings.ProxyPort = arguments.proxyPort;
    settings.MaxFileSizeMB = arguments.maxFileSizeMB;
    settings.SaveFolder = arguments.folder;
    settings.DuplicateNamePolicy = arguments.sameNamePolicy;
    return settings;
}

void applyOptions(const DownloadArguments &arguments, EngineOptions &options)
{
    // Method one runs one transfer at a time; the window shows "1" then.
    options.threadCount = arguments.method == DownloadMethod::Single ? 1 : arguments.threads;
    options.sameNamePolicy = arguments.sameNamePolicy;
    options.intervalSeconds = arguments.intervalSeconds;
    options.errorStop = arguments.stopAfterErrors;
    options.autoRetry = arguments.retry != RetryChoice::None;
    switch (arguments.retry) {
    case RetryChoice::None:
    case RetryChoice::Failed: options.autoRetryChoice = AutoRetryChoice::FailedItems; break;
    case RetryChoice::Pages: options.autoRetryChoice = AutoRetryChoice::WebPageItems; break;
    case RetryChoice::Both: options.autoRetryChoice = AutoRetryChoice::Both; break;
    }
}

// One run: the engine, its list and the watch for its end.
class DownloadRun final : public QObject
{
public:
    DownloadRun(const DownloadArguments &arguments, const QList<RunStateRow> &stateRows, QTextStream &out,
                QTextStream &err)
        : m_out(out),
          m_err(err),
          m_settings(sessionSettingsOf(arguments)),
          m_prompts(err, QStringLiteral("paperdrift-cli download: ")),
          m_engine(m_settings, m_clock, m_prompts, m_sounds, m_network),
          m_progress(err, StandardErrorIsTerminal()),
          m_statePath(arguments.statePath)
    {
        applyOptions(arguments, m_engine.options());
        DownloadList &list = m_engine.list();
        // The rows of the state file first, as they were; then addresses
        // the file does not hold yet.
        for (const RunStateRow &row : stateRows) {
            if (list.addItem(row.item) && row.nameFromServer)
                m_engine.options().nameFromServerRows.insert(list.at(list.count() - 1).Id);
        }
        for (const DownloadSource &source : arguments.sources) {
            if (!stateRows.isEmpty() && list.rowOfUrl(source.url) >= 0)
                continue;
            if (!list.addItem(NewDownloadItem(
                    {source.url, CommandLineFileName(source), arguments.type, arguments.folder, source.referer}))) {
                m_err << "paperdrift-cli download: listed once only: " << source.url << '\n';
                continue;
            }
            if (arguments.nameFromServer && source.name.isEmpty())
                m_engine.options().nameFromServerRows.insert(list.at(list.count() - 1).Id);
        }

        // The state file follows the rows as they start and end; writes that
        // come together are written once.
        m_stateWrite.setSingleShot(true);
        m_stateWrite.setInterval(0);
        connect(&m_stateWrite, &QTimer::timeout, this, &DownloadRun::writeState);
        connect(&m_engine, &DownloadEngine::transferStarted, &m_stateWrite, qOverload<>(&QTimer::start));
        connect(&m_engine, &DownloadEngine::transferEnded, &m_stateWrite, qOverload<>(&QTimer::start));
        writeState();

        // The queued calls look at the list once the whole tick, or the end
        // of a transfer, is over.
        connect(&m_engine, &DownloadEngine::supervisorTickEnded, this, &DownloadRun::afterSupervisorTick,
                Qt::QueuedConnection);
        connect(&m_engine, &DownloadEngine::transferEnded, this, &DownloadRun::afterTransfer, Qt::QueuedConnection);
        connect(&m_stopRequests, &StopRequests::stopRequested, this, &DownloadRun::onStopRequested);
    }

    // Switches downloading on and runs until the list has ended; returns
    // the exit code.
    int exec()
    {
        m_engine.start();
        // The first tick at once, not a second later.
        QMetaObject::invokeMethod(this, &DownloadRun::kickScheduler, Qt::QueuedConnection);
        QCoreApplication::exec();
        return m_exitCode;
    }

private:
    // The run is over when downloading is off and no transfer is left: the
    // list has ended, the error rule stopped it, or the user did.
    void afterTransfer()
    {
        if (m_done)
            return;
        m_progress.update(m_engine.list());
        if (!m_engine.isBusy()) {
            finish();
            return;
        }
        // A transfer ended: the list is looked at now rather than at the
        // next tick of either timer, so that a run never idles between
        // transfers or after its last one.
        if (!m_engine.transfersRunning() && m_engine.list().isListFinished())
            m_engine.SupervisorTick();
        else
            kickScheduler();
    }

    void kickScheduler()
    {
        if (!m_done && m_engine.downloadingOn())
            m_engine.SchedulingTick();
    }

    void writeState()
    {
        if (m_statePath.isEmpty())
            return;
        if (!WriteRunState(m_statePath, m_engine.list(), m_engine.options().nameFromServerRows) && !m_stateWarned) {
            m_stateWarned = true;
            m_err << "paperdrift-cli download: cannot write the state file " << m_statePath << '\n';
        }
    }

    // The automatic re-download switches downloading on again whenever the
    // list has ended, whether or not it reset anything, so the window never
    // comes to rest. A list that is still ended after the supervisor's tick
    // had nothing left to fetch again: the run is over then too.
    void afterSupervisorTick()
    {
        if (m_done)
            return;
        m_progress.update(m_engine.list());
        m_progress.sampleSpeed(m_engine.list(), m_clock.seconds());
        if (!m_engine.isBusy()
            || (m_engine.options().autoRetry && !m_engine.transfersRunning() && m_engine.list().isListFinished())) {
            finish();
            return;
        }
        // Rows the automatic re-download set waiting again start now.
        kickScheduler();
    }

    // The first request runs the stop command; the run ends once its
    // transfers have wound down. A second one ends it at once.
    void onStopRequested()
    {
        if (m_stopping) {
            finish();
            return;
        }
        m_stopping = true;
        m_err << (m_progress.isTerminal() ? "\n" : "") << "paperdrift-cli download: stopping\n";
        m_engine.stop();
        QMetaObject::invokeMethod(this, &DownloadRun::afterTransfer, Qt::QueuedConnection);
    }

    void finish()
    {
        if (m_done)
            return;
        m_done = true;
        writeState();
        m_progress.update(m_engine.list());
        m_progress.finish();
        const DownloadList &list = m_engine.list();
        for (int row = 0; row < list.count(); ++row)
            m_out << ItemLine(list.at(row)) << '\n';
        m_out.flush();
        m_exitCode = RunSucceeded(list) ? kExitSuccess : kExitFailure;
        QCoreApplication::exit(m_exitCode);
    }

    QTextStream &m_out;
    QTextStream &m_err;
    SessionSettings m_settings;
    SystemClock m_clock;
    ConsolePrompts m_prompts;
    SilentSoundPlayer m_sounds;
    QNetworkAccessManager m_network;
    DownloadEngine m_engine;
    ProgressReporter m_progress;
    StopRequests m_stopRequests;
    QString m_statePath;
    QTimer m_stateWrite;
    bool m_stateWarned = false;
    bool m_stopping = false;
    bool m_done = false;
    int m_exitCode = kExitFailure;
};

} // namespace

int RunDownloadCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const DownloadArgumentsResult parsed = ParseDownloadArguments(arguments, QDir::currentPath());
    if (parsed.arguments.help) {
        WriteCommandUsage(kDownloadCommand, out);
        out << DownloadUsageText();
        return kExitSuccess;
    }
    if (!parsed.error.isEmpty()) {
        err << "paperdrift-cli download: " << parsed.error << '\n';
        WriteCommandUsage(kDownloadCommand, err);
        err << "(paperdrift-cli download --help lists the options)\n";
        return kExitUsage;
    }
    if (parsed.arguments.method != DownloadMethod::Single && !parsed.arguments.proxyAddress.isEmpty())
        err << "paperdrift-cli download: the proxy is used by method 1 only\n";

    QList<RunStateRow> stateRows;
    if (!parsed.arguments.statePath.isEmpty()) {
        QString error;
        stateRows = ReadRunState(parsed.arguments.statePath, &error);
        if (!error.isEmpty()) {
            err << "paperdrift-cli download: " << error << '\n';
            return kExitUsage;
        }
        if (stateRows.isEmpty() && parsed.arguments.sources.isEmpty()) {
            err << "paperdrift-cli download: no address given and no rows in " << parsed.arguments.statePath << '\n';
            return kExitUsage;
        }
    }

    DownloadRun run(parsed.arguments, stateRows, out, err);
    return run.exec();
}
