#pragma once

#include "engine/Resume.h"
#include "engine/Transfer.h"
#include "engine/TransferControl.h"

#include <QObject>
#include <QPointer>
#include <QFile>
#include <QString>
#include <QTimer>

#include <memory>

class Clock;
class QNetworkAccessManager;
class QNetworkReply;

// One parallel transfer worker, element k of Downloader1: fetches one
// address into one file, watches itself for stalls, falls back to a whole
// fetch over its own transfer control Inet1 when the read brings no counts,
// and reports through the transfer interface: progressed() with the counts
// while the read knows a total that covers them (the DownloadProgress
// event), finished() once when it completes (DownloadComplete), gives up
// (DownloadError: "超时", "无法下载"), goes past the size limit (on the
// announced total, or on the bytes when none was announced) or is
// cancelled.
//
// The body goes to "<target>.part" as it arrives and replaces the target
// only when it is complete: an older file of the same name (under "覆盖")
// stays whole until then, and a transfer that fails or is abandoned keeps
// what arrived in the .part file, never under the target's name (over the
// size limit nothing is kept). The .part file also reserves the name while
// the transfer runs. A read without length that ends properly is stored as
// it is; only a read that broke off or brought nothing is fetched again. No
// body is held in memory.
//
// A .part file an earlier transfer left, with its reply's validator kept
// beside it, is continued: the read asks for the rest ("Range", "If-Range");
// a 206 reply for that rest is appended and the counts include the bytes the
// .part file had, a whole reply starts it over, and a 416 or another
// document's validator asks once more without a range. An error answer to a
// ranged read leaves the .part file as it was.
//
// Unloading (destroying, or unload()) switches the stall timer off, cancels
// the read and Inet1, and closes the .part file. Events may unload the
// worker from their handlers; the worker does nothing after that. While one
// of its handlers runs, further events wait for the next one.
class Downloader final : public Transfer
{
    Q_OBJECT

public:
    static constexpr double kStallSeconds = 300.0; // no new byte for this long: "超时"
    static constexpr int kTickMilliseconds = 1000;
    static constexpr double kMegabyte = 1024.0 * 1024.0;

    Downloader(int index, QNetworkAccessManager &network, const Clock &clock, QObject *parent = nullptr);
    ~Downloader() override;

    int index() const { return m_index; }

    // Whether the stall timer runs by itself (tests call stallTick()).
    void setStallTimerEnabled(bool enabled);

    // The transfer interface: start() is BeginDownload of the job, held to
    // the job's size limit; cancel() unloads the worker and reports a
    // running job as Cancelled; tick() is one stall-timer tick.
    bool start(const TransferJob &job) override;
    void cancel() override;
    bool isRunning() const override { return !m_unloaded && !m_ended && !m_targetPath.isEmpty(); }
    void tick() override { stallTick(); }
    void setTimerEnabled(bool enabled) override { setStallTimerEnabled(enabled); }

    // Starts the transfer and returns at once. The referring page is
    // accepted and not sent.
    void BeginDownload(const QString &url, const QString &targetPath, const QString &referer);

    // Cancels the running read (not the fallback); returns false.
    bool CancelAsyncRead();

    // One second of the stall timer: gives up with "超时" when the byte
    // count has not changed for the stall limit. Bytes count whether or not
    // the server announced a length.
    void stallTick();

    // Everything stops; no event follows, and nothing is reported.
    void unload();
    bool isUnloaded() const { return m_unloaded; }

    QString TargetPath() const { return m_targetPath; }
    QString SourceUrl() const { return m_sourceUrl; }
    qint64 BytesSoFar() const { return m_bytesSoFar; }
    double LastGrowthTime() const { return m_lastGrowthTime; }
    bool isFallbackRunning() const { return m_fallback; }

private:
    void complete(TransferOutcome outcome, qint64 bytesRead, qint64 bytesTotal);
    void sendRead();
    bool decideReply();
    void onReadyRead();
    void onFinished();
    void FetchWithInet();
    void onFallbackBody();
    void onFallbackEnded();
    bool storePieces(QNetworkReply *reply);
    bool openTemporary();
    bool commitPart();
    void keepPart();
    void removePart();
    void dropReply();
    void giveUp(TransferOutcome outcome);
    bool overLimit(qint64 bytes) const;

    const int m_index;
    QNetworkAccessManager &m_network;
    const Clock &m_clock;
    TransferControl m_inet1; // used only by the fallback
    QTimer m_stallTimer;     // Timer1
    bool m_stallTimerEnabled = true;

    QString m_targetPath;
    QString m_sourceUrl;
    qint64 m_bytesSoFar = 0;
    qint64 m_bytesAtLastTick = 0;
    double m_lastGrowthTime = 0.0;
    double m_limitMB = 0.0;

    QPointer<QNetworkReply> m_reply;
    qint64 m_total = 0;            // announced length of the read; 0 when none
    qint64 m_read = 0;             // bytes of the read stored in the temporary file
    std::unique_ptr<QFile> m_file; // the .part file
    bool m_writeFailed = false;
    bool m_fallback = false;
    qint64 m_fallbackBytes = 0;
    bool m_unloaded = false;
    bool m_ended = false;    // finished() was emitted
    bool m_handling = false; // one of the handlers runs
    quint64 m_itemId = 0;

    ResumePoint m_resume;       // where the read asked to continue
    bool m_decided = false;     // the reply's status was looked at
    bool m_askedAgain = false;  // a ranged read was refused and asked once more whole
    bool m_keepOldPart = false; // an error answer to a ranged read: the .part file stays as it was
    qint64 m_offset = 0;        // bytes of the .part file the reply continues
    QString m_serverFileName;   // the reply's Content-Disposition name
    int m_status = 0;           // the read's reply status
    QByteArray m_retryAfter;    // its Retry-After and Date
    QByteArray m_replyDate;
};
