#pragma once

#include "engine/DownloadItem.h"
#include "engine/Resume.h"
#include "engine/Transfer.h"
#include "engine/TransferControl.h"

#include <QFile>
#include <QObject>
#include <QTimer>

class Clock;
class DownloadList;
class Prompts;
class SoundPlayer;
struct EngineOptions;
struct EngineValues;
struct SessionSettings;

// The connection settings of the control for an address: the named proxy
// when it is switched on, else a direct connection to the address's port
// (80 when it names none); an "https://" address uses port 443 unless it
// names a port of its own.
TransferConnection ConnectionFor(const QString &url, const SessionSettings &settings);

// Download method one: one item at a time over the transfer control.
//
// A transfer is a state machine driven by the control's signals and by one
// 1000 ms tick: it sends the request, waits at most 30 s for the response,
// decides from the headers (size limit, file type, same-name rule), and then
// either writes the announced length in pieces of 2048 bytes or reads a
// response without length whole, fetching it again only when that read broke
// off. The bytes go to "<final name>.part" as they arrive and take the final
// name only when the body is complete, so an older file stays until then and
// a failed row keeps its bytes in the .part file; no body is held in memory.
// A row whose .part file was left by an earlier transfer, with the validator
// of its reply kept beside it, is continued: the request asks for the rest
// with "Range" and "If-Range"; a 206 reply for that rest is appended, a whole
// reply starts the .part file over, and a 416 or another document's validator
// asks once more without a range. Resumed bytes count as downloaded.
// A file that stops growing for 300 s is given up; a connection that ends
// short of the announced length fails at once. Every outcome ends with the end steps: panel 2 says
// "完成下载:", LastFinishTime is set, the sounds are played, the login is
// asked for, DownloadRunning goes false, and finished() reports the result.
//
// While it decides (a step that may show a message), further events of the
// control and its timer are ignored: a decision is never entered twice, and
// finished() comes once per transfer.
//
// The engine drives it: Inet下载当前文件 starts a row, stop() is the stop
// command's cancel, and tick() runs every second while a transfer runs (the
// transfer's own timer calls it; tests call it with a manual clock).
class SingleTransfer final : public Transfer
{
    Q_OBJECT

public:
    static constexpr double kResponseWaitSeconds = 30.0;
    static constexpr double kStallSeconds = 300.0;
    static constexpr qint64 kPieceBytes = 2048;
    static constexpr double kMegabyte = 1024.0 * 1024.0;
    static constexpr int kTickMilliseconds = 1000;

    // What a transfer works with; the engine owns all of it.
    struct Context
    {
        DownloadList &list;
        EngineValues &values;
        TransferControl &control;
        const SessionSettings &settings;  // proxy, size limit
        const EngineOptions &options;     // same-name rule, sound, automatic login
        const Clock &clock;
        Prompts &prompts;
        SoundPlayer &sounds;
    };

    explicit SingleTransfer(const Context &context, QObject *parent = nullptr);
    ~SingleTransfer() override;

    // Inet下载当前文件: starts the transfer of the row with the given identity and returns at
    // once; true when it started (finished() follows, never from inside this
    // call). When the control is still busy or DownloadRunning is true the
    // row goes back to Waiting with the size "等待重新下载" and false is
    // returned.
    bool downloadCurrentItem(quint64 itemId);

    // The transfer interface: start() is Inet下载当前文件 for the job's row,
    // cancel() is stop().
    bool start(const TransferJob &job) override
    {
        m_nameFromServer = job.nameFromServer;
        const bool started = downloadCurrentItem(job.itemId);
        m_nameFromServer = started && m_nameFromServer;
        return started;
    }
    void cancel() override { stop(); }
    bool isRunning() const override { return m_phase != Phase::Idle; }
    void setTimerEnabled(bool enabled) override;
    quint64 currentItemId() const { return isRunning() ? m_itemId : 0; }

    // The stop command's part: DownloadRunning goes false and the control is
    // cancelled. A transfer receiving the body ends as "下载取消", what
    // arrived kept in the .part file; one still waiting for its response ends
    // without response headers; a whole fetch ends having got nothing.
    void stop();

    // One second of the transfer: ends the 30 s wait for the response, gives
    // up a file that has not grown for 300 s, and notices that DownloadRunning
    // went false.
    void tick() override;

signals:
    void panel2TextChanged(const QString &text);
    void panel3TextChanged(const QString &text);
    // Automatic login is on and a web page arrived (type htm or html).
    void loginRequested(quint64 itemId);

private:
    enum class Phase { Idle, AwaitingResponse, Pieces, WholeFetch };

    void downloadItem(quint64 itemId); // Inet下载文件: sends the request
    void requestAgainWhole();
    QString expectedPath() const;
    void decideFromResponse();
    void startPieces();
    void readPieces();
    void readFirstBodyWhole();
    void FetchWholeBody();
    void cannotReplace();
    bool storeComplete();
    void readWholeBody();
    void endWholeFetch(bool cancelled);
    void end(TransferOutcome outcome);
    void onBodyAvailable();
    void onResponseEnded();
    void storeItem();
    bool openTarget();
    bool openTargetForAppend();
    bool closeTarget();
    void removeTarget();
    QString percentage() const;

    Context m_context;
    QTimer m_timer;
    bool m_timerEnabled = true;
    bool m_deciding = false; // a step is deciding: events wait for its end
    Phase m_phase = Phase::Idle;
    quint64 m_itemId = 0;
    DownloadItem m_item;
    QString m_path;
    QFile m_file;
    bool m_refetched = false; // the whole fetch of a broken first read runs
    bool m_nameFromServer = false; // the reply's Content-Disposition may name the file
    bool m_askedAgain = false;     // a ranged request was refused and asked once more whole
    ResumePoint m_resume;          // where the request asked to continue
    QString m_resumePath;          // the final path whose .part file it continues
    qint64 m_resumedBytes = 0;     // bytes the .part file had when the reply was appended to it
    qint64 m_announced = 0;
    qint64 m_stored = 0;      // bytes written to the file
    qint64 m_lastLength = 0;  // file length at the last growth
    double m_requestTime = 0.0;
    double m_lastGrowth = 0.0;
};
