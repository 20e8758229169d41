#include "engine/DownloadEngine.h"

#include "engine/Downloader.h"
#include "engine/EndSteps.h"
#include "engine/EngineTexts.h"
#include "engine/ItemTypeCorrection.h"
#include "engine/ListResets.h"
#include "engine/Naming.h"
#include "engine/ServerFileName.h"
#include "engine/SingleTransfer.h"
#include "platform/Clock.h"
#include "platform/FileTests.h"
#include "platform/Prompts.h"
#include "platform/SoundPlayer.h"
#include "common/SessionSettings.h"

#include <QDir>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {

QString withSeparator(const QString &folder)
{
    return folder.endsWith(QDir::separator()) ? folder : folder + QDir::separator();
}

// Moves a stored file to another path, replacing a file there in one step.
bool moveReplacing(const QString &from, const QString &to)
{
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(from.toStdU16String()), std::filesystem::path(to.toStdU16String()),
                            error);
    return !error;
}

// The counts a transfer reported, into the row's cells: the length, the
// bytes, and the whole percentage once bytes have arrived of a length.
void applyCounts(DownloadItem &item, const ByteCounts &counts)
{
    if (counts.total >= 0)
        item.Size = ItemSize::ofBytes(counts.total);
    if (counts.read >= 0)
        item.Downloaded = counts.read;
    if (counts.total > 0 && counts.read > 0)
        item.Progress = ItemProgress::received(counts.read, counts.total);
}

void applyFile(DownloadItem &item, const DecidedFile &file)
{
    item.Name = file.name;
    item.Type = file.type;
    item.Folder = file.folder;
}

// What follows the end of a transfer, by method. Method one runs the end
// steps after every outcome and its end clears DownloadRunning (Inet下载当前文件
// returns); a worker runs them after a completion only, and a worker stopped
// by the user leaves LastFinishTime at the last end of a transfer of its own.
struct EndRules
{
    bool endSteps = false;
    bool finishTime = true;
    bool runningOff = false;
};

EndRules endRulesFor(bool single, TransferOutcome outcome)
{
    if (single)
        return {true, true, true};
    const bool completion = outcome == TransferOutcome::Completed || outcome == TransferOutcome::CompletedShort
                            || outcome == TransferOutcome::FetchedWhole;
    return {completion, outcome != TransferOutcome::Cancelled, false};
}

} // namespace

DownloadEngine::DownloadEngine(SessionSettings &settings, const Clock &clock, Prompts &prompts, SoundPlayer &sounds,
                               QNetworkAccessManager &network, QObject *parent, TransferFactory factory)
    : QObject(parent),
      m_settings(settings),
      m_clock(clock),
      m_prompts(prompts),
      m_sounds(sounds),
      m_network(network),
      m_inet1(network),
      m_factory(std::move(factory))
{
    m_options.sameNamePolicy = settings.DuplicateNamePolicy;

    m_inet1.setObjectName(QStringLiteral("Inet1"));
    m_timerDown.setObjectName(QStringLiteral("Timer_Down"));
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timerDown.setInterval(kTickMilliseconds);
    m_timer1.setInterval(kTickMilliseconds);
    connect(&m_timerDown, &QTimer::timeout, this, &DownloadEngine::SchedulingTick);
    connect(&m_timer1, &QTimer::timeout, this, &DownloadEngine::SupervisorTick);

    m_single = makeTransfer(Method::Single, 1);
    m_single->setParent(this);
    m_single->setObjectName(QStringLiteral("Inet下载当前文件"));
    listen(m_single);

    m_values.LastFinishTime = m_clock.seconds();
    m_timer1.start();
}

DownloadEngine::~DownloadEngine()
{
    for (Transfer *&worker : m_workers) {
        delete worker;
        worker = nullptr;
    }
    delete m_single;
    m_single = nullptr;
}

Transfer *DownloadEngine::makeTransfer(Method method, int slot)
{
    if (m_factory)
        return m_factory(method, slot);
    if (method == Method::Single)
        return new SingleTransfer(m_inet1, m_clock, m_prompts);
    return new Downloader(slot, m_network, m_clock);
}

// The engine hears every transfer the same way: what it learns, how it ends,
// and its control's state text for panel 3.
void DownloadEngine::listen(Transfer *transfer)
{
    connect(transfer, &Transfer::progressed, this,
            [this, transfer](const TransferProgress &progress) { onTransferProgress(transfer, progress); });
    connect(transfer, &Transfer::finished, this,
            [this, transfer](const TransferResult &result) { onTransferFinished(transfer, result); });
    connect(transfer, &Transfer::stateTextChanged, this, &DownloadEngine::panel3TextChanged);
}

// The job of a row: its address, file and referring page, with the rules in
// force as it starts.
TransferJob DownloadEngine::jobFor(const DownloadItem &item) const
{
    TransferJob job;
    job.itemId = item.Id;
    job.url = item.Url;
    job.referer = item.Referer;
    job.name = item.Name;
    job.type = item.Type;
    job.folder = item.Folder;
    job.policy = m_options.sameNamePolicy;
    job.sizeLimitMB = m_settings.MaxFileSizeMB;
    job.nameFromServer = m_options.nameFromServerRows.contains(item.Id);
    return job;
}

DownloadMethod DownloadEngine::downloadMethod() const
{
    return TransferMethod(m_settings.DownloadMethod);
}

void DownloadEngine::setTimersRunning(bool running)
{
    m_timersRunning = running;
    if (running) {
        m_timer1.start();
        if (m_downloadingOn)
            m_timerDown.start();
    } else {
        m_timer1.stop();
        m_timerDown.stop();
    }
    m_single->setTimerEnabled(running);
    for (Transfer *worker : m_workers) {
        if (worker)
            worker->setTimerEnabled(running);
    }
}

void DownloadEngine::setDownloadingOn(bool on)
{
    if (m_downloadingOn == on)
        return;
    m_downloadingOn = on;
    if (on && m_timersRunning)
        m_timerDown.start();
    else
        m_timerDown.stop();
    emit downloadingSwitched(on);
}

void DownloadEngine::playSound(int number)
{
    PlaySound(number, m_sounds);
}

// ---------------------------------------------------------------- commands

void DownloadEngine::start()
{
    setDownloadingOn(true);
}

void DownloadEngine::stop()
{
    m_options.autoStart = false;
    m_options.autoRetry = false;
    emit optionsChanged();

    m_inet1.Cancel();
    setDownloadingOn(false);
    // DownloadRunning goes false and the control is cancelled: a running
    // single-connection transfer ends as "下载取消", its bytes in the .part
    // file and nothing under the item's name.
    m_values.DownloadRunning = false;
    m_single->cancel();
    m_inet1.Cancel();

    // Each worker reports its end as cancelled: it is unloaded and its row
    // fails with the counts it last showed.
    for (int k = 1; k <= kWorkerCount; ++k) {
        if (Transfer *w = worker(k))
            w->cancel();
    }
    for (int row = 0; row < m_list.count(); ++row) {
        if (m_list.at(row).State == Downloading)
            m_list.updateItem(row, [](DownloadItem &item) { item.State = Failed; });
    }
    m_values.DownloadRunning = false;
}

bool DownloadEngine::cancelRows(const QList<int> &rows)
{
    if (m_values.DownloadRunning) {
        m_prompts.message(EngineText::kStopBeforeSetting, QString(), PromptIcon::Error, PromptButtons::Ok);
        return false;
    }
    for (const int row : rows) {
        if (row >= 0 && row < m_list.count() && m_list.at(row).State == Waiting)
            m_list.updateItem(row, [](DownloadItem &item) { item.State = Failed; });
    }
    return true;
}

void DownloadEngine::switchMethod()
{
    m_settings.DownloadMethod =
        m_settings.DownloadMethod == DownloadMethod::Parallel ? DownloadMethod::Single : DownloadMethod::Parallel;
    m_options.threadCount = 1;
    emit optionsChanged();
    emit methodChanged(m_settings.DownloadMethod);
}

bool DownloadEngine::transfersRunning() const
{
    return m_inet1.StillExecuting() || m_single->isRunning() || CountLoadedWorkers() > 1;
}

bool DownloadEngine::isBusy() const
{
    return m_downloadingOn || transfersRunning();
}

// ---------------------------------------------------------------- ticks

void DownloadEngine::SchedulingTick()
{
    schedulingTickSteps();
    emit schedulingTickEnded();
}

void DownloadEngine::schedulingTickSteps()
{
    if (m_list.isEmpty()) {
        setDownloadingOn(false);
        return;
    }
    // A pause after the end of the last transfer, not a gap between the
    // starts of one tick.
    if (std::abs(m_clock.seconds() - m_values.LastFinishTime) <= m_options.intervalSeconds)
        return;
    if (downloadMethod() == DownloadMethod::Single)
        schedulingTickMethodOne();
    else
        schedulingTickMethodTwo();
}

// The first waiting row that is to be fetched; rows whose file exists under
// "跳过" are finished as "已存在，跳过" on the way. Every waiting row looked
// at gets its cleaned name and its folder with a separator (created first for
// method two). -1 when no row is to be fetched.
int DownloadEngine::nextRowToStart(bool createFolder)
{
    for (int row = 0; row < m_list.count(); ++row) {
        if (m_list.at(row).State != Waiting || mustWait(m_list.at(row)))
            continue;
        DownloadItem item = m_list.at(row);
        item.Name = SanitizeFileName(item.Name);
        // A name that cleans to nothing would leave a file called ".pdf".
        if (item.Name.isEmpty())
            item.Name = FallbackFileName(item.Url);
        // The folder's message is left on screen: a tick never waits for the
        // user. A folder that cannot be made fails the row; an empty one is
        // left empty (method one fails it when its reply arrives): nothing is
        // ever written to the file-system root instead.
        if (createFolder) {
            const QString folder = SaveFolderFor(item.Folder, m_prompts, MessageMode::NonBlocking);
            if (folder.isEmpty()) {
                item.State = Failed;
                m_list.updateItem(row, [&item](DownloadItem &stored) { stored = item; });
                continue;
            }
            item.Folder = folder;
        } else if (!TrimBlanks(item.Folder).isEmpty()) {
            item.Folder = withSeparator(item.Folder);
        }
        // A running transfer's path is reserved: under "跳过" and "覆盖" a row
        // of the same path waits until that transfer has ended ("重命名"
        // gives it a counter instead).
        if (m_options.sameNamePolicy != SameNamePolicy::Rename && isPathInUse(ItemFilePath(item))) {
            m_list.updateItem(row, [&item](DownloadItem &stored) { stored = item; });
            continue;
        }
        const bool needed = isDownloadNeeded(item, m_options.sameNamePolicy);
        m_list.updateItem(row, [&item](DownloadItem &stored) { stored = item; });
        if (needed)
            return row;
    }
    return -1;
}

void DownloadEngine::schedulingTickMethodOne()
{
    if (m_values.DownloadRunning)
        return;
    const int row = nextRowToStart(false);
    if (row < 0)
        return;
    startRow(row);
    const quint64 itemId = m_list.at(row).Id;
    m_values.WorkerRows[1] = itemId;
    downloadCurrentItem(itemId);
}

bool DownloadEngine::downloadCurrentItem(quint64 itemId)
{
    const int row = m_list.rowOfId(itemId);
    if (row < 0)
        return false;
    if (m_inet1.StillExecuting() || m_values.DownloadRunning || m_single->isRunning()) {
        m_list.updateItem(row, [](DownloadItem &item) {
            item.State = Waiting;
            item.Size = ItemSize::ofWord(SizeWord::WaitingAgain);
        });
        return false;
    }
    const DownloadItem &item = m_list.at(row);
    TransferJob job = jobFor(item);
    job.connection = ConnectionFor(item.Url, m_settings);
    m_values.DownloadRunning = true;
    m_singleItemId = itemId;
    emit panel2TextChanged(EngineText::kDownloadingPrefix + item.Name);
    if (!m_single->start(job)) {
        m_singleItemId = 0;
        m_values.DownloadRunning = false;
        return false;
    }
    emit transferStarted(itemId);
    return true;
}

// A row handed to a transfer: downloading, with nothing of an earlier
// transfer left in its size, downloaded and progress.
void DownloadEngine::startRow(int row)
{
    m_list.updateItem(row, [](DownloadItem &item) {
        item.State = Downloading;
        item.clearCounts();
    });
    if (m_options.followCurrent)
        emit rowStarted(row);
}

void DownloadEngine::schedulingTickMethodTwo()
{
    const int threads = std::clamp(m_options.threadCount, EngineOptions::kMinThreads, EngineOptions::kMaxThreads);
    for (int k = 1; k <= threads; ++k) {
        if (IsControlLoaded(k))
            continue;
        const int row = nextRowToStart(true);
        if (row < 0)
            break; // the walk left no waiting row to fetch: later slots find none either
        m_list.updateItem(row, [](DownloadItem &item) { item.State = Downloading; });
        const DownloadItem &item = m_list.at(row);
        const SavePath save =
            renamedSavePath(item.Folder, item.Name, item.Type, m_options.sameNamePolicy,
                            [this](const QString &path) { return FileExists(path) || isPathInUse(path); });
        m_list.updateItem(row, [&save](DownloadItem &stored) { stored.Name = save.name; });
        const quint64 itemId = m_list.at(row).Id;
        m_values.WorkerRows[k] = itemId;
        startWorkerDownload(k, itemId, save.path);
    }
}

void DownloadEngine::SupervisorTick()
{
    // 1. The list has ended: downloading goes off, with the end sound.
    bool menuStartEnabled = !m_downloadingOn;
    if (m_list.isListFinished()) {
        menuStartEnabled = true;
        if (m_downloadingOn) {
            setDownloadingOn(false);
            if (m_options.soundOn)
                playSound(SoundNumber::ListEnded);
            emit listFinished();
        }
    }
    if (int(menuStartEnabled) != m_menuStartEnabled) {
        m_menuStartEnabled = int(menuStartEnabled);
        emit menuStartEnabledChanged(menuStartEnabled);
    }

    // 2. The indicator shows the switch.
    if (int(m_downloadingOn) != m_indicatorVisible) {
        m_indicatorVisible = int(m_downloadingOn);
        emit indicatorVisibleChanged(m_downloadingOn);
    }

    // 3. DownloadRunning.
    if (downloadMethod() == DownloadMethod::Single) {
        if (!m_inet1.StillExecuting() && !m_single->isRunning() && !m_downloadingOn)
            m_values.DownloadRunning = false;
    } else {
        const int threads = std::clamp(m_options.threadCount, EngineOptions::kMinThreads, EngineOptions::kMaxThreads);
        for (int k = 1; k <= threads; ++k) {
            if (IsControlLoaded(k))
                m_values.DownloadRunning = true;
        }
        if (!m_downloadingOn)
            m_values.DownloadRunning = false;
    }
    // A single-connection transfer that finds DownloadRunning false ends
    // itself as stopped (a method switched during it, then downloading off).
    if (m_single->isRunning() && !m_values.DownloadRunning)
        m_single->cancel();

    // 4. The summary.
    emit panel4TextChanged(m_list.statusSummaryText());

    // 5. Automatic start.
    if (m_options.autoStart && m_list.countNotDownloaded() >= 1)
        setDownloadingOn(true);

    // 6. Automatic re-download.
    if (m_options.autoRetry && !m_downloadingOn) {
        switch (m_options.autoRetryChoice) {
        case AutoRetryChoice::FailedItems: ResetFailedItems(m_list); break;
        case AutoRetryChoice::WebPageItems: ResetWebPageItems(m_list); break;
        case AutoRetryChoice::Both:
            ResetFailedItems(m_list);
            ResetWebPageItems(m_list);
            break;
        }
        setDownloadingOn(true);
    }

    // 7. Error stop.
    if (m_options.errorStop && m_list.CountErrorsAndPages() >= kErrorStopCount && m_downloadingOn) {
        setDownloadingOn(false);
        if (m_options.soundOn)
            playSound(SoundNumber::ListEnded);
    }

    // 8. The rows that wait before their next try say so.
    m_waits.forgetPast(m_clock.seconds());
    showWaits();
    emit supervisorTickEnded();
}

// ---------------------------------------------------------------- workers

void DownloadEngine::startWorkerDownload(int k, quint64 itemId, const QString &targetPath)
{
    if (k < 1 || k > kWorkerCount)
        return;
    const int row = m_list.rowOfId(itemId);
    if (row < 0)
        return;
    unloadWorker(k);
    Transfer *worker = makeTransfer(Method::Parallel, k);
    worker->setParent(this);
    worker->setObjectName(QStringLiteral("Downloader1(%1)").arg(k));
    worker->setTimerEnabled(m_timersRunning);
    listen(worker);
    m_workers[size_t(k)] = worker;
    m_workerPaths[size_t(k)] = targetPath;
    m_values.WorkerRows[k] = itemId;

    m_values.DownloadRunning = true;
    startRow(row);
    TransferJob job = jobFor(m_list.at(row));
    job.targetPath = targetPath;
    emit transferStarted(itemId);
    worker->start(job);
}

bool DownloadEngine::isPathInUse(const QString &path) const
{
    return std::find(m_workerPaths.begin(), m_workerPaths.end(), path) != m_workerPaths.end();
}

int DownloadEngine::CountLoadedWorkers() const
{
    return 1 + int(std::count_if(m_workers.begin() + 1, m_workers.end(), [](Transfer *w) { return w != nullptr; }));
}

bool DownloadEngine::IsControlLoaded(int k) const
{
    return k == 0 || worker(k) != nullptr;
}

Transfer *DownloadEngine::worker(int k) const
{
    return k >= 1 && k <= kWorkerCount ? m_workers[size_t(k)] : nullptr;
}

void DownloadEngine::tickTransfers()
{
    if (m_single->isRunning())
        m_single->tick();
    for (int k = 1; k <= kWorkerCount; ++k) {
        if (Transfer *w = worker(k))
            w->tick();
    }
}

int DownloadEngine::slotOf(const Transfer *transfer) const
{
    for (int k = 1; k <= kWorkerCount; ++k) {
        if (m_workers[size_t(k)] == transfer)
            return k;
    }
    return 0;
}

// Whether a report comes from a transfer that still works on the row: the
// running single transfer, or a loaded worker (each worker is made for one
// job, so its reports are of that job's row; WorkerRows' slot 1 is also
// written by method one and cannot tell). A late report of a transfer that
// has ended or was unloaded changes nothing.
bool DownloadEngine::isReporting(const Transfer *transfer, quint64 itemId) const
{
    if (transfer == m_single)
        return m_singleItemId != 0 && m_singleItemId == itemId;
    return slotOf(transfer) != 0;
}

void DownloadEngine::unloadWorker(int k)
{
    Transfer *w = worker(k);
    if (!w)
        return;
    m_workers[size_t(k)] = nullptr;
    m_workerPaths[size_t(k)].clear();
    m_values.WorkerRows[k] = 0;
    w->cancel();      // no longer loaded: what it still reports is not heard
    w->deleteLater(); // it may be inside its own event right now
}

// ---------------------------------------------------------------- waits

// A row is passed over while its server asked to wait, and, while the
// automatic re-download runs, while its own wait after failures lasts.
bool DownloadEngine::mustWait(const DownloadItem &item) const
{
    const double now = m_clock.seconds();
    if (m_waits.serverFreeAt(ServerKey(item.Url)) > now)
        return true;
    return m_options.autoRetry && m_waits.rowFreeAt(item.Id) > now;
}

// A busy server's wait starts; the row's failures in a row are counted (a
// stop by the user is no failure of the server's) and a success forgets them.
void DownloadEngine::noteTransferEnd(quint64 itemId, const TransferResult &result)
{
    const int row = m_list.rowOfId(itemId);
    if (row < 0)
        return;
    const DownloadItem &item = m_list.at(row);
    const double now = m_clock.seconds();
    if (IsBusyStatus(result.httpStatus) && result.retryAfterSeconds >= 0)
        m_waits.holdServer(ServerKey(item.Url), now, result.retryAfterSeconds);
    if (result.outcome != TransferOutcome::Cancelled) {
        const bool succeeded = item.State == Finished && !IsWebPageType(item.Type);
        m_waits.rowEnded(itemId, succeeded, now);
        if (succeeded)
            m_waitShown.remove(itemId);
    }
    showWaits();
}

// The size cell of a row that failed shows how long it still waits
// ("等待重试 N 秒"); when the wait is over, or the row starts, its own words
// come back.
void DownloadEngine::showWaits()
{
    const double now = m_clock.seconds();
    QList<quint64> rows = m_waits.failedRows();
    for (auto it = m_waitShown.cbegin(); it != m_waitShown.cend(); ++it) {
        if (!rows.contains(it.key()))
            rows.append(it.key());
    }
    for (const quint64 itemId : std::as_const(rows)) {
        const int row = m_list.rowOfId(itemId);
        if (row < 0) {
            m_waitShown.remove(itemId);
            continue;
        }
        const DownloadItem &item = m_list.at(row);
        double freeAt = m_waits.serverFreeAt(ServerKey(item.Url));
        if (m_options.autoRetry)
            freeAt = std::max(freeAt, m_waits.rowFreeAt(itemId));
        const bool waiting = freeAt > now && item.State != Downloading && m_waits.failuresInARow(itemId) > 0;
        const auto shown = m_waitShown.constFind(itemId);
        if (waiting) {
            // The cell the row has besides the wait (a reset changes it).
            if (shown == m_waitShown.cend() || item.Size.word != SizeWord::WaitingToRetry)
                m_waitShown.insert(itemId, item.Size);
            const ItemSize wait = ItemSize::ofWord(SizeWord::WaitingToRetry, qint32(std::ceil(freeAt - now)));
            if (item.Size != wait)
                m_list.updateItem(row, [&wait](DownloadItem &stored) { stored.Size = wait; });
        } else if (shown != m_waitShown.cend()) {
            const ItemSize before = *shown;
            m_waitShown.remove(itemId);
            if (item.Size.word == SizeWord::WaitingToRetry)
                m_list.updateItem(row, [&before](DownloadItem &stored) { stored.Size = before; });
        }
    }
}

// The name the reply's Content-Disposition gave, for a row that takes it:
// the stored file moves there under the same-name rule ("跳过" keeps the
// link's name when a file of that name exists).
void DownloadEngine::applyServerName(DownloadItem &item, const QString &fileName)
{
    const ServerName server = SplitServerFileName(fileName);
    if (server.isEmpty())
        return;
    const QString from = ItemFilePath(item);
    if (!FileExists(from))
        return;
    const QString type = server.type.isEmpty() ? item.Type : server.type;
    const SavePath save =
        renamedSavePath(item.Folder, server.name, type, m_options.sameNamePolicy,
                        [this](const QString &path) { return FileExists(path) || isPathInUse(path); });
    if (QDir::cleanPath(save.path) == QDir::cleanPath(from))
        return;
    if (m_options.sameNamePolicy == SameNamePolicy::Skip && FileExists(save.path))
        return;
    if (!moveReplacing(from, save.path))
        return;
    item.Name = save.name;
    item.Type = type;
}

// What a transfer learned goes into its row: the file the reply decided,
// an unknown length, the counts. (The window's DownloadProgress handler for
// a worker.)
void DownloadEngine::onTransferProgress(const Transfer *transfer, const TransferProgress &progress)
{
    if (!isReporting(transfer, progress.itemId))
        return;
    const int row = m_list.rowOfId(progress.itemId);
    if (row < 0)
        return;
    m_list.updateItem(row, [&progress](DownloadItem &item) {
        if (progress.file)
            applyFile(item, *progress.file);
        if (progress.lengthUnknown)
            item.Size = ItemSize::ofWord(SizeWord::Unknown);
        if (progress.counts)
            applyCounts(item, *progress.counts);
    });
}

// The end of a transfer of either method, once per started job: the
// transfer is let go, the row takes the result (its file, cells and state;
// the server's name and the type of the stored file after a body), the end
// steps follow by the method's rule, and the run's values are brought up to
// date. A worker is unloaded first, so a late event of it finds its slot
// taken and is ignored.
void DownloadEngine::onTransferFinished(const Transfer *transfer, const TransferResult &result)
{
    if (!isReporting(transfer, result.itemId))
        return;
    const bool single = transfer == m_single;
    if (single)
        m_singleItemId = 0;
    else
        unloadWorker(slotOf(transfer));
    const EndRules rules = endRulesFor(single, result.outcome);

    const int row = m_list.rowOfId(result.itemId);
    if (row >= 0) {
        DownloadItem item = m_list.at(row);
        if (result.file)
            applyFile(item, *result.file);
        if (result.outcome == TransferOutcome::FetchedNothing || result.outcome == TransferOutcome::Refused)
            item.clearCounts();
        if (result.counts)
            applyCounts(item, *result.counts);
        if (result.word != ProgressWord::None)
            item.Progress = ItemProgress::ofWord(result.word);
        item.State = EndsFinished(result.outcome) ? Finished : Failed;
        if (StoredBody(result.outcome)) {
            if (item.State == Finished && m_options.nameFromServerRows.contains(item.Id))
                applyServerName(item, result.serverFileName);
            CorrectItemType(item);
        }
        m_list.updateItem(row, [&item](DownloadItem &stored) { stored = item; });
        if (rules.endSteps) {
            const EndNotice notice = RunEndSteps(item, m_options, m_sounds);
            emit panel2TextChanged(notice.panel2Text);
            if (notice.loginWanted)
                emit loginRequested();
        }
    }
    if (rules.finishTime)
        m_values.LastFinishTime = m_clock.seconds();
    if (rules.runningOff)
        m_values.DownloadRunning = false;
    noteTransferEnd(result.itemId, result);
    emit transferEnded(result.itemId, result.outcome);
}
