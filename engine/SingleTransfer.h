#pragma once

#include "engine/Resume.h"
#include "engine/Transfer.h"
#include "engine/TransferControl.h"

#include <QFile>
#include <QObject>
#include <QTimer>

class Clock;
class Prompts;
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
// short of the announced length fails at once.
//
// It reports through the transfer interface only: progressed() with the
// file the reply decided, the announced length ("未知" when there is none)
// and the bytes as they grow; finished() once with the outcome and the
// row's cells; stateTextChanged() with the control's state texts. The
// engine writes the row and runs the end steps.
//
// While it decides (a step that may show a message), further events of the
// control and its timer are ignored: a decision is never entered twice, and
// finished() comes once per transfer.
class SingleTransfer final : public Transfer
{
    Q_OBJECT

public:
    static constexpr double kResponseWaitSeconds = 30.0;
    static constexpr double kStallSeconds = 300.0;
    static constexpr qint64 kPieceBytes = 2048;
    static constexpr double kMegabyte = 1024.0 * 1024.0;
    static constexpr int kTickMilliseconds = 1000;

    // The transfer uses the control it is given (the engine's Inet1), the
    // clock for its limits and the prompts for the messages it leaves on
    // screen (an unusable proxy, a folder that cannot be made).
    SingleTransfer(TransferControl &control, const Clock &clock, Prompts &prompts, QObject *parent = nullptr);
    ~SingleTransfer() override;

    // Inet下载文件: sends the job's request and returns at once; false while
    // a transfer runs or the control is still busy (the engine puts the row
    // back to waiting then).
    bool start(const TransferJob &job) override;

    // The stop command's part: the control is cancelled. A transfer receiving
    // the body ends as "下载取消", what arrived kept in the .part file; one
    // still waiting for its response ends without response headers; a whole
    // fetch ends having got nothing. A decision under way ends so at its
    // first piece.
    void cancel() override;

    bool isRunning() const override { return m_phase != Phase::Idle; }
    void setTimerEnabled(bool enabled) override;

    // One second of the transfer: ends the 30 s wait for the response and
    // gives up a file that has not grown for 300 s.
    void tick() override;

private:
    enum class Phase { Idle, AwaitingResponse, Pieces, WholeFetch };

    void downloadItem(); // sends the request
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
    void end(TransferOutcome outcome, std::optional<ByteCounts> counts = std::nullopt,
             ProgressWord word = ProgressWord::None);
    void onBodyAvailable();
    void onResponseEnded();
    void report(std::optional<ByteCounts> counts, bool lengthUnknown = false);
    DecidedFile decidedFile() const { return {m_name, m_type, m_folder}; }
    ByteCounts storedCounts() const { return {m_stored, m_announced}; }
    std::optional<ByteCounts> announcedLength() const;
    bool openTarget();
    bool openTargetForAppend();
    bool closeTarget();
    void removeTarget();

    TransferControl &m_control;
    const Clock &m_clock;
    Prompts &m_prompts;
    QTimer m_timer;
    bool m_timerEnabled = true;
    bool m_deciding = false;        // a step is deciding: events wait for its end
    bool m_cancelRequested = false; // cancel() came: the body ends as "下载取消"
    Phase m_phase = Phase::Idle;
    TransferJob m_job;
    QString m_name;   // the file as the reply decides it: base name,
    QString m_type;   // type
    QString m_folder; // and folder
    QString m_path;
    QFile m_file;
    bool m_refetched = false;  // the whole fetch of a broken first read runs
    bool m_askedAgain = false; // a ranged request was refused and asked once more whole
    ResumePoint m_resume;      // where the request asked to continue
    QString m_resumePath;      // the final path whose .part file it continues
    qint64 m_resumedBytes = 0; // bytes the .part file had when the reply was appended to it
    qint64 m_announced = 0;
    qint64 m_stored = 0;     // bytes written to the file
    qint64 m_lastLength = 0; // file length at the last growth
    double m_requestTime = 0.0;
    double m_lastGrowth = 0.0;
};
