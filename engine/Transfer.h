#pragma once

#include "common/SameNamePolicy.h"
#include "engine/DownloadItem.h"
#include "engine/TransferControl.h"

#include <QObject>
#include <QString>

#include <optional>

// How one transfer ended, whichever method ran it. The row's state follows
// from it (EndsFinished); the row's cells follow from the result's facts.
enum class TransferOutcome {
    Completed,      // every announced byte arrived: Finished
    CompletedShort, // a worker's read completed with fewer bytes than announced: Failed
    FetchedWhole,   // no length announced, the response fetched whole: Finished
    FetchedNothing, // the whole fetch got nothing: Failed, its cells empty
    TooLarge,       // above the size limit, nothing kept: Finished, "大文件，跳过"
    NoResponse,     // no response headers: Failed
    CannotReplace,  // the older file could not be deleted: Failed, "无法替换"
    Stalled,        // no growth for the stall limit ("超时" for a worker): Failed
    EndedShort,     // the connection ended before the announced length: Failed, partial file kept
    CannotDownload, // a worker's fallback fetch brought nothing ("无法下载"): Failed
    Cancelled,      // stopped by cancel(): Failed
    NoFolder,       // the save folder cannot be made or is empty: Failed, nothing written
    ExistsSkipped,  // "跳过" and the reply's type names an existing file: Finished, "已存在，跳过"
    Refused,        // a request for the rest of a .part file was answered with an error:
                    // Failed, its cells empty, the .part file as it was
};

// Whether the row ends Finished (true) or Failed (false).
inline bool EndsFinished(TransferOutcome outcome)
{
    return outcome == TransferOutcome::Completed || outcome == TransferOutcome::FetchedWhole
           || outcome == TransferOutcome::TooLarge || outcome == TransferOutcome::ExistsSkipped;
}

// A read that delivered a body to the item's path (completely or not), or a
// whole fetch that tried to: the stored file's type is recognised after it.
inline bool StoredBody(TransferOutcome outcome)
{
    return outcome == TransferOutcome::Completed || outcome == TransferOutcome::CompletedShort
           || outcome == TransferOutcome::FetchedWhole || outcome == TransferOutcome::FetchedNothing;
}

// What a transfer is asked to fetch: a value, made by the engine from the
// row and the settings when the transfer starts. A transfer knows nothing of
// the list or of the engine's values.
struct TransferJob
{
    quint64 itemId = 0; // the row's identity, given back with every report
    QString url;
    QString referer;
    // The row's file: base name, type and folder (method one decides the
    // final name from the reply under the same-name rule).
    QString name;
    QString type;
    QString folder;
    SameNamePolicy policy = SameNamePolicy::Rename;
    QString targetPath;            // method two: the path the scheduler chose; method one finds its own
    double sizeLimitMB = 0.0;      // a document longer than this is not kept
    TransferConnection connection; // method one: direct or through the named proxy
    bool nameFromServer = false;   // the reply's Content-Disposition names the file when it gives a name
};

// The file a reply decided for the row (method one): its final base name,
// type and the folder it was made in.
struct DecidedFile
{
    QString name;
    QString type;
    QString folder;
};

// The byte counts a transfer reports: the bytes of the document stored so
// far (resumed bytes included) and its length, each -1 when the row is not
// to show one. The row shows the length, the bytes and, once bytes have
// arrived of a length above 0, the whole percentage.
struct ByteCounts
{
    qint64 read = -1;
    qint64 total = -1;
};

// What a transfer has learned while it runs, that the row shows.
struct TransferProgress
{
    quint64 itemId = 0;
    std::optional<ByteCounts> counts; // present: the row shows these counts
    bool lengthUnknown = false;       // no length was announced: the body comes whole ("未知")
    std::optional<DecidedFile> file;  // present: the reply decided the row's file
};

// How a transfer ended, and what the row shows after it.
struct TransferResult
{
    quint64 itemId = 0;
    TransferOutcome outcome = TransferOutcome::NoResponse;
    qint64 bytesRead = 0;  // bytes stored
    qint64 bytesTotal = 0; // the announced or stored total; 0 when unknown
    // The row's cells at the end. Counts present: the row shows them (a
    // part that is -1 leaves its cell as it is); absent: the row keeps what
    // the last progress showed. The word, when not None, takes the progress
    // cell. FetchedNothing and Refused empty all three cells.
    std::optional<ByteCounts> counts;
    ProgressWord word = ProgressWord::None;
    std::optional<DecidedFile> file; // the file the reply decided, when it did
    QString errorText;               // the control's last error, or the worker's error word
    int httpStatus = 0;              // the reply's status; 0 when no reply came
    double retryAfterSeconds = -1.0; // what a busy server (429, 503) asked to wait; -1: nothing
    QString serverFileName;          // the name the reply's Content-Disposition gave, cleaned; empty: none
};

// One transfer of either method, as the engine drives it: start a job,
// cancel it, read whether it runs, and hear how it goes. A transfer reports
// only through its signals; the engine alone writes the row, runs the end
// steps and keeps the run's values.
class Transfer : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Starts the job and returns at once; false when it could not start
    // (finished() never follows then). finished() never comes from inside
    // this call.
    virtual bool start(const TransferJob &job) = 0;

    // Stops the transfer: its request ends, the bytes that arrived stay in
    // the .part file, and a job that has not reported its end yet reports it
    // now, from inside this call, as its method ends when stopped (method
    // one: "下载取消" during the body, no response while it waits, nothing
    // fetched during a whole fetch; a worker: Cancelled, the row keeping its
    // last counts). A transfer that has ended or never started reports
    // nothing. Either way nothing follows afterwards.
    virtual void cancel() = 0;

    virtual bool isRunning() const = 0;

    // One second of the transfer's own timer (its stall and wait limits);
    // tests call it with a manual clock when the timers do not run.
    virtual void tick() = 0;
    virtual void setTimerEnabled(bool enabled) = 0;

signals:
    // What the transfer learned: counts, an unknown length, the file decided.
    void progressed(const TransferProgress &progress);
    // Once per started job.
    void finished(const TransferResult &result);
    // The state text of the transfer control (panel 3), for a transfer that
    // reports one.
    void stateTextChanged(const QString &text);
};

Q_DECLARE_METATYPE(TransferResult)
Q_DECLARE_METATYPE(TransferProgress)
Q_DECLARE_METATYPE(TransferOutcome)
