#pragma once

#include <QObject>
#include <QString>

// How one transfer ended, whichever method ran it. The row's state follows
// from it; the words shown in the row are written where the row is updated.
enum class TransferOutcome {
    Completed,      // every announced byte arrived: Finished
    CompletedShort, // a worker's read completed with fewer bytes than announced: Failed
    FetchedWhole,   // no length announced, the response fetched whole: Finished
    FetchedNothing, // the whole fetch got nothing: Failed
    TooLarge,       // above the size limit, nothing kept: Finished, "大文件，跳过"
    NoResponse,     // no response headers: Failed
    CannotReplace,  // the older file could not be deleted: Failed, "无法替换"
    Stalled,        // no growth for the stall limit ("超时" for a worker): Failed
    EndedShort,     // the connection ended before the announced length: Failed, partial file kept
    CannotDownload, // a worker's fallback fetch brought nothing ("无法下载"): Failed
    Cancelled,      // downloading was stopped: Failed
    NoFolder,       // the save folder cannot be made or is empty: Failed, nothing written
    ExistsSkipped,  // "跳过" and the reply's type names an existing file: Finished, "已存在，跳过"
};

// Whether the row ends Finished (true) or Failed (false).
inline bool EndsFinished(TransferOutcome outcome)
{
    return outcome == TransferOutcome::Completed || outcome == TransferOutcome::FetchedWhole
           || outcome == TransferOutcome::TooLarge || outcome == TransferOutcome::ExistsSkipped;
}

// What a transfer is asked to fetch.
struct TransferJob
{
    quint64 itemId = 0;   // the row's identity
    QString url;
    QString targetPath;   // method two: the path the scheduler chose; method one finds its own
    QString referer;
    double sizeLimitMB = 0.0;
    bool nameFromServer = false; // the reply's Content-Disposition names the file when it gives a name
};

struct TransferResult
{
    quint64 itemId = 0;
    TransferOutcome outcome = TransferOutcome::NoResponse;
    qint64 bytesRead = 0;  // bytes stored
    qint64 bytesTotal = 0; // the announced or stored total; 0 when unknown
    QString errorText;     // the control's last error, or the worker's error word
    int httpStatus = 0;    // the reply's status; 0 when no reply came
    double retryAfterSeconds = -1.0; // what a busy server (429, 503) asked to wait; -1: nothing
    QString serverFileName; // the name the reply's Content-Disposition gave, cleaned; empty: none
};

// One transfer of either method, as the engine drives it: start it, cancel
// it, read its progress, and hear once how it ended.
class Transfer : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Starts the job and returns at once; false when it could not start
    // (finished() never follows then). finished() never comes from inside
    // this call.
    virtual bool start(const TransferJob &job) = 0;

    // The stop command: the transfer ends. Method one ends itself as
    // cancelled and reports it from inside this call; a worker is unloaded
    // and reports nothing.
    virtual void cancel() = 0;

    virtual bool isRunning() const = 0;

    // One second of the transfer's own timer (its stall and wait limits);
    // tests call it with a manual clock when the timers do not run.
    virtual void tick() = 0;
    virtual void setTimerEnabled(bool enabled) = 0;

signals:
    // Bytes read of a known total.
    void progressed(quint64 itemId, qint64 bytesRead, qint64 bytesTotal);
    // Once per started job.
    void finished(const TransferResult &result);
};

Q_DECLARE_METATYPE(TransferResult)
Q_DECLARE_METATYPE(TransferOutcome)
