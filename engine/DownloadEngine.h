#pragma once

#include "common/DownloadMethod.h"
#include "engine/DownloadList.h"
#include "engine/EngineOptions.h"
#include "engine/EngineValues.h"
#include "engine/PoliteWaits.h"
#include "engine/Transfer.h"
#include "engine/TransferControl.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <array>
#include <functional>

class Clock;
class Prompts;
class QNetworkAccessManager;
class SoundPlayer;
struct SessionSettings;

// The download engine of one download window: the list, the transfer control
// Inet1 with the single-connection transfer (method one), the parallel
// workers Downloader1(1..6) (method two), the engine values, and the
// options the window's controls bind to.
//
// Two one-second timers drive it. Timer_Down runs while downloading is
// switched on; each firing is one SchedulingTick, which starts the next
// waiting rows. Timer1 runs all the time; each firing is one SupervisorTick,
// which refreshes the summary, applies the automatic rules and keeps
// DownloadRunning up to date. Tests switch the timers off with
// setTimersRunning(false) and call the ticks themselves with a manual clock.
//
// The engine reports to the window only through its signals and the list.
//
// Transfers of both methods are made through a factory and driven through
// the transfer interface alone: each gets a job (a value made from the row
// and the settings) and reports what it learns and how it ended. The engine
// alone writes the rows, runs the end steps and keeps the run's values.
// Tests may pass a factory of their own.
class DownloadEngine final : public QObject
{
    Q_OBJECT

public:
    static constexpr int kTickMilliseconds = 1000;
    static constexpr int kWorkerCount = 6;    // Downloader1(1) to Downloader1(6)
    static constexpr int kErrorStopCount = 5; // failures or web pages that stop downloading

    using Method = DownloadMethod;
    // Makes the transfer of method one (once, slot 1) or worker k of method
    // two (at each start). The engine owns what it returns.
    using TransferFactory = std::function<Transfer *(Method method, int slot)>;

    // Construction is the window's load: downloading off, Timer1 on,
    // LastFinishTime now, the options at their defaults and the same-name
    // rule the settings name. Without a factory the real transfers are made.
    DownloadEngine(SessionSettings &settings, const Clock &clock, Prompts &prompts, SoundPlayer &sounds,
                   QNetworkAccessManager &network, QObject *parent = nullptr, TransferFactory factory = {});
    ~DownloadEngine() override;

    DownloadList &list() { return m_list; }
    const DownloadList &list() const { return m_list; }
    EngineValues &values() { return m_values; }
    const EngineValues &values() const { return m_values; }
    EngineOptions &options() { return m_options; }
    const EngineOptions &options() const { return m_options; }
    const SessionSettings &settings() const { return m_settings; }
    TransferControl &Inet1() { return m_inet1; }
    const Transfer &singleTransfer() const { return *m_single; }

    // The download method in force: Single, or Parallel for any other
    // method of the record.
    DownloadMethod downloadMethod() const;

    // Whether the real QTimers fire. Off: Timer_Down and Timer1 keep their
    // logical running state but never fire, and workers' stall timers do not
    // run either (tests call the ticks).
    void setTimersRunning(bool running);
    bool timersRunning() const { return m_timersRunning; }

    // Timer_Down running: downloading is switched on.
    bool downloadingOn() const { return m_downloadingOn; }

    // Commands.
    void start(); // Command4, menu下载全部: switch downloading on
    void stop();  // Command31, menu停止下载, and the window's close
    // menu取消下载选中项: the given rows (0-based positions) that are waiting
    // become failed; refused with "停止下载后方可设置！" while DownloadRunning
    // is true. Returns false when refused.
    bool cancelRows(const QList<int> &rows);
    void switchMethod(); // Command26

    // The ticks.
    void SchedulingTick();
    void SupervisorTick();

    // Inet下载当前文件: starts the single-connection transfer of the row with
    // the given identity and returns at once; true when it started (its end
    // follows, never from inside this call). When the control is still busy
    // or DownloadRunning is true the row goes back to Waiting with the size
    // "等待重新下载" and false is returned.
    bool downloadCurrentItem(quint64 itemId);

    // 多线程下载 and the host operations of the parallel workers. Worker k
    // works on the row with the identity held in slot k of WorkerRows.
    void startWorkerDownload(int k, quint64 itemId, const QString &targetPath);
    int CountLoadedWorkers() const; // loaded workers plus element 0: 1 when none runs
    bool IsControlLoaded(int k) const;
    Transfer *worker(int k) const; // nullptr when slot k is not loaded

    // Runs one tick of the own timer of every running transfer: the single
    // transfer's waits and stall limit, each worker's stall timer (tests;
    // the transfers' own timers do this while the timers run).
    void tickTransfers();

    // A transfer of either method runs: the single transfer, Inet1, or a
    // loaded worker.
    bool transfersRunning() const;

    // The list is busy: downloading is on or a transfer runs. List commands
    // refuse while it is.
    bool isBusy() const;

    // The waits before servers and rows may be tried again; tests seed the
    // spread of the row waits through it.
    PoliteWaits &politeWaits() { return m_waits; }
    const PoliteWaits &politeWaits() const { return m_waits; }

signals:
    void panel2TextChanged(const QString &text);                 // "正在下载:" / "完成下载:" + name
    void panel3TextChanged(const QString &text);                 // the transfer control's state text
    void panel4TextChanged(const QString &text);                 // the status summary, every supervisor tick
    void downloadingSwitched(bool on);                           // Timer_Down switched on or off
    void menuStartEnabledChanged(bool enabled);                  // menu下载全部
    void indicatorVisibleChanged(bool visible);                  // Shape1
    void rowStarted(int row);                                    // follow mode: scroll this row into view
    void loginRequested();                                       // automatic login: a web page arrived
    void methodChanged(DownloadMethod method);                   // after switchMethod
    void optionsChanged();                                       // the engine changed the options record itself
    void transferStarted(quint64 itemId);                        // a transfer of either method started
    void transferEnded(quint64 itemId, TransferOutcome outcome); // ... and ended, once per start
    void listFinished();        // every row finished or failed; downloading switched off
    void schedulingTickEnded(); // a SchedulingTick is over
    void supervisorTickEnded(); // a SupervisorTick is over, its automatic rules applied

private:
    void setDownloadingOn(bool on);
    void schedulingTickMethodOne();
    void schedulingTickMethodTwo();
    int nextRowToStart(bool createFolder);
    void startRow(int row);
    void unloadWorker(int k);
    bool isPathInUse(const QString &path) const;
    void playSound(int number);
    void schedulingTickSteps();
    Transfer *makeTransfer(Method method, int slot);
    void listen(Transfer *transfer);
    int slotOf(const Transfer *transfer) const;
    bool isReporting(const Transfer *transfer, quint64 itemId) const;
    TransferJob jobFor(const DownloadItem &item) const;
    bool mustWait(const DownloadItem &item) const;
    void noteTransferEnd(quint64 itemId, const TransferResult &result);
    void showWaits();
    void applyServerName(DownloadItem &item, const QString &fileName);

    void onTransferProgress(const Transfer *transfer, const TransferProgress &progress);
    void onTransferFinished(const Transfer *transfer, const TransferResult &result);

    SessionSettings &m_settings;
    const Clock &m_clock;
    Prompts &m_prompts;
    SoundPlayer &m_sounds;
    QNetworkAccessManager &m_network;

    DownloadList m_list;
    EngineValues m_values;
    EngineOptions m_options;
    TransferControl m_inet1;
    TransferFactory m_factory;
    Transfer *m_single = nullptr;                         // method one, owned
    quint64 m_singleItemId = 0;                           // the row method one works on; 0 while idle
    std::array<Transfer *, kWorkerCount + 1> m_workers{}; // element 0 never used
    std::array<QString, kWorkerCount + 1> m_workerPaths;  // each worker's target path, reserved while it runs

    QTimer m_timerDown; // Timer_Down
    QTimer m_timer1;    // Timer1
    bool m_timersRunning = true;
    bool m_downloadingOn = false;
    int m_menuStartEnabled = -1; // last announced, -1 before the first tick
    int m_indicatorVisible = -1;

    PoliteWaits m_waits;
    // Rows whose size cell shows their wait, with the cell it had before.
    QHash<quint64, ItemSize> m_waitShown;
};
