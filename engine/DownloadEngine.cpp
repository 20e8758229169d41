#include "engine/DownloadEngine.h"

#include "engine/Downloader.h"
#include "engine/EngineTexts.h"
#include "engine/ItemTypeCorrection.h"
#include "engine/ListResets.h"
#include "engine/Naming.h"
#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "platform/SoundPlayer.h"
#include "common/SessionSettings.h"

#include <QDir>

#include <algorithm>
#include <cmath>

namespace {

QString withSeparator(const QString &folder)
{
    return folder.endsWith(QDir::separator()) ? folder : folder + QDir::separator();
}

QString percentText(qint64 read, qint64 total)
{
    return QString::number(read * 100 / total) + QLatin1Char('%');
}

} // namespace

DownloadEngine::DownloadEngine(SessionSettings &settings, const Clock &clock, Prompts &prompts, SoundPlayer &sounds,
                               QNetworkAccessManager &network, QObject *parent)
    : QObject(parent),
      m_settings(settings),
      m_clock(clock),
      m_prompts(prompts),
      m_sounds(sounds),
      m_network(network),
      m_inet1(network),
      m_single({m_list, m_values, m_inet1, m_settings, m_switches, m_clock, m_prompts, m_sounds})
{
    m_inet1.setObjectName(QStringLiteral("Inet1"));
    m_timerDown.setObjectName(QStringLiteral("Timer_Down"));
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timerDown.setInterval(kTickMilliseconds);
    m_timer1.setInterval(kTickMilliseconds);
    connect(&m_timerDown, &QTimer::timeout, this, &DownloadEngine::SchedulingTick);
    connect(&m_timer1, &QTimer::timeout, this, &DownloadEngine::SupervisorTick);

    connect(&m_single, &SingleTransfer::panel2TextChanged, this, &DownloadEngine::panel2TextChanged);
    connect(&m_single, &SingleTransfer::panel3TextChanged, this, &DownloadEngine::panel3TextChanged);
    connect(&m_single, &SingleTransfer::loginRequested, this, [this] { emit loginRequested(); });
    connect(&m_single, &SingleTransfer::finished, this,
            [this](const SingleTransferResult &result) { emit transferEnded(result.itemId); });

    m_values.LastFinishTime = m_clock.seconds();
    m_timer1.start();
}

DownloadEngine::~DownloadEngine()
{
    for (Downloader *&worker : m_workers) {
        delete worker;
        worker = nullptr;
    }
}

int DownloadEngine::downloadMethod() const
{
    return m_settings.DownloadMethod == 1 ? 1 : 2;
}

QString DownloadEngine::MethodLabelText(int method)
{
    return EngineText::kMethodLabelPrefix + QString::number(method);
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
    for (Downloader *worker : m_workers) {
        if (worker)
            worker->setStallTimerEnabled(running);
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

void DownloadEngine::syncSwitches()
{
    m_switches.soundOn = m_options.soundOn;
    m_switches.autoLogin = m_options.autoLogin;
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
    // single-connection transfer ends as "下载取消" and deletes its file.
    m_single.stop();
    m_inet1.Cancel();

    for (int k = 1; k <= kWorkerCount; ++k) {
        const quint64 itemId = m_values.WorkerRows[k];
        if (!m_workers[size_t(k)])
            continue;
        unloadWorker(k);
        emit transferEnded(itemId);
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
    m_settings.DownloadMethod = m_settings.DownloadMethod == 2 ? 1 : 2;
    m_options.threadCount = 1;
    emit optionsChanged();
    emit methodChanged(m_settings.DownloadMethod);
}

bool DownloadEngine::isBusy() const
{
    return m_downloadingOn || m_inet1.StillExecuting() || m_single.isRunning() || CountLoadedWorkers() > 1;
}

// ---------------------------------------------------------------- ticks

void DownloadEngine::SchedulingTick()
{
    syncSwitches();
    if (m_list.isEmpty()) {
        setDownloadingOn(false);
        return;
    }
    // A pause after the end of the last transfer, not a gap between the
    // starts of one tick.
    if (std::abs(m_clock.seconds() - m_values.LastFinishTime) <= m_options.intervalSeconds)
        return;
    if (downloadMethod() == 1)
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
        if (m_list.at(row).State != Waiting)
            continue;
        DownloadItem item = m_list.at(row);
        item.Name = SanitizeFileName(item.Name);
        if (createFolder)
            item.Folder = withSeparator(CreateFolderPath(withSeparator(item.Folder), m_prompts));
        else
            item.Folder = withSeparator(item.Folder);
        const bool needed = isDownloadNeeded(item, m_settings);
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
    emit transferStarted(itemId);
    m_single.downloadCurrentItem(itemId);
}

// A row handed to a transfer: downloading, with nothing of an earlier
// transfer left in its size, downloaded and progress.
void DownloadEngine::startRow(int row)
{
    m_list.updateItem(row, [](DownloadItem &item) {
        item.State = Downloading;
        item.Size.clear();
        item.Downloaded.clear();
        item.Progress.clear();
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
        const SavePath save = renamedSavePath(item.Folder, item.Name, item.Type, m_settings);
        m_list.updateItem(row, [&save](DownloadItem &stored) { stored.Name = save.name; });
        const quint64 itemId = m_list.at(row).Id;
        m_values.WorkerRows[k] = itemId;
        startWorkerDownload(k, itemId, m_list.at(row).Url, save.path);
    }
}

void DownloadEngine::SupervisorTick()
{
    syncSwitches();

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
    if (downloadMethod() == 1) {
        if (!m_inet1.StillExecuting() && !m_single.isRunning() && !m_downloadingOn)
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

    // 4. The summary.
    emit panel4TextChanged(m_list.statusSummaryText());

    // 5. Automatic start.
    if (m_options.autoStart && m_list.countNotDownloaded() >= 1)
        setDownloadingOn(true);

    // 6. Automatic re-download.
    if (m_options.autoRetry && !m_downloadingOn) {
        switch (m_options.autoRetryChoice) {
        case AutoRetryChoice::FailedItems:
            ResetFailedItems(m_list);
            break;
        case AutoRetryChoice::WebPageItems:
            ResetWebPageItems(m_list);
            break;
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
}

// ---------------------------------------------------------------- workers

void DownloadEngine::startWorkerDownload(int k, quint64 itemId, const QString &url, const QString &targetPath)
{
    if (k < 1 || k > kWorkerCount)
        return;
    unloadWorker(k);
    auto *worker = new Downloader(k, m_network, m_clock, this);
    worker->setObjectName(QStringLiteral("Downloader1(%1)").arg(k));
    worker->setStallTimerEnabled(m_timersRunning);
    worker->setSizeLimitMB(m_settings.MaxFileSizeMB);
    connect(worker, &Downloader::DownloadProgress, this, &DownloadEngine::onWorkerProgress);
    connect(worker, &Downloader::DownloadComplete, this, &DownloadEngine::onWorkerComplete);
    connect(worker, &Downloader::DownloadError, this, &DownloadEngine::onWorkerError);
    connect(worker, &Downloader::DownloadTooLarge, this, &DownloadEngine::onWorkerTooLarge);
    m_workers[size_t(k)] = worker;
    m_values.WorkerRows[k] = itemId;

    m_values.DownloadRunning = true;
    QString referer;
    const int row = m_list.rowOfId(itemId);
    if (row >= 0) {
        startRow(row);
        referer = m_list.at(row).Referer;
    }
    emit transferStarted(itemId);
    worker->BeginDownload(url, targetPath, referer);
}

int DownloadEngine::CountLoadedWorkers() const
{
    return 1 + int(std::count_if(m_workers.begin() + 1, m_workers.end(), [](Downloader *w) { return w != nullptr; }));
}

bool DownloadEngine::IsControlLoaded(int k) const
{
    return k == 0 || worker(k) != nullptr;
}

Downloader *DownloadEngine::worker(int k) const
{
    return k >= 1 && k <= kWorkerCount ? m_workers[size_t(k)] : nullptr;
}

void DownloadEngine::tickWorkers()
{
    for (int k = 1; k <= kWorkerCount; ++k) {
        if (Downloader *w = worker(k))
            w->stallTick();
    }
}

void DownloadEngine::unloadWorker(int k)
{
    Downloader *w = worker(k);
    if (!w)
        return;
    m_workers[size_t(k)] = nullptr;
    m_values.WorkerRows[k] = 0;
    w->unload();
    w->deleteLater(); // it may be inside its own event right now
}

void DownloadEngine::onWorkerProgress(int k, qint64 bytesRead, qint64 bytesTotal, const QString &)
{
    if (k == 0 || !worker(k))
        return;
    const quint64 itemId = m_values.WorkerRows[k];
    const int row = m_list.rowOfId(itemId);
    if (row < 0 || bytesTotal <= 0 || bytesTotal < bytesRead)
        return;
    const bool tooLarge = bytesTotal / Downloader::kMegabyte > m_settings.MaxFileSizeMB;
    m_list.updateItem(row, [&](DownloadItem &item) {
        item.Size = QString::number(bytesTotal);
        item.Downloaded = QString::number(bytesRead);
        item.Progress = percentText(bytesRead, bytesTotal);
        if (tooLarge) {
            item.State = Finished;
            item.Progress = EngineText::kLargeFileSkipped;
        }
    });
    if (tooLarge) {
        m_values.LastFinishTime = m_clock.seconds();
        unloadWorker(k);
        emit transferEnded(itemId);
    }
}

void DownloadEngine::onWorkerComplete(int k, qint64 bytesRead, qint64 bytesTotal, const QString &)
{
    if (k == 0 || !worker(k))
        return;
    const quint64 itemId = m_values.WorkerRows[k];
    const int row = m_list.rowOfId(itemId);
    if (row < 0) {
        unloadWorker(k);
        return;
    }
    DownloadItem item = m_list.at(row);
    if (bytesTotal > 0 && bytesTotal >= bytesRead) {
        item.Size = QString::number(bytesTotal);
        item.Downloaded = QString::number(bytesRead);
        item.Progress = percentText(bytesRead, bytesTotal);
    }
    item.State = item.Progress == EngineText::kComplete ? Finished : Failed;
    unloadWorker(k);
    CorrectItemType(item);
    m_list.updateItem(row, [&item](DownloadItem &stored) { stored = item; });
    emit panel2TextChanged(EngineText::kFinishedPrefix + item.Name);

    const bool webPage = IsWebPageType(item.Type);
    if (m_options.soundOn) {
        if (webPage)
            playSound(SoundNumber::WebPage);
        if (item.State == Failed)
            playSound(SoundNumber::ItemFailed);
    }
    if (m_options.autoLogin && webPage)
        emit loginRequested();
    m_values.LastFinishTime = m_clock.seconds();
    emit transferEnded(itemId);
}

void DownloadEngine::onWorkerError(int k, const QString &, const QString &)
{
    if (k == 0 || !worker(k))
        return;
    const quint64 itemId = m_values.WorkerRows[k];
    const int row = m_list.rowOfId(itemId);
    if (row >= 0)
        m_list.updateItem(row, [](DownloadItem &item) { item.State = Failed; });
    unloadWorker(k);
    m_values.LastFinishTime = m_clock.seconds();
    emit transferEnded(itemId);
}

void DownloadEngine::onWorkerTooLarge(int k, qint64, const QString &)
{
    if (k == 0 || !worker(k))
        return;
    const quint64 itemId = m_values.WorkerRows[k];
    const int row = m_list.rowOfId(itemId);
    if (row >= 0) {
        m_list.updateItem(row, [](DownloadItem &item) {
            item.State = Finished;
            item.Progress = EngineText::kLargeFileSkipped;
        });
    }
    unloadWorker(k);
    m_values.LastFinishTime = m_clock.seconds();
    emit transferEnded(itemId);
}
