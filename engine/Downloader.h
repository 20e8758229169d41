#pragma once

#include "engine/TransferControl.h"

#include <QObject>
#include <QPointer>
#include <QSaveFile>
#include <QString>
#include <QTimer>

#include <memory>

class Clock;
class QNetworkAccessManager;
class QNetworkReply;

// One parallel transfer worker, element k of Downloader1: fetches one
// address into one file, watches itself for stalls, falls back to a whole
// fetch over its own transfer control Inet1 when the read brings no counts,
// and reports through its events, each carrying its index k.
//
// The body goes to a temporary file beside the target as it arrives and
// replaces the target only when it is complete: the placeholder 01 00 (or
// an older file of the same name, under "覆盖") stays at the target path
// until then, and an abandoned transfer leaves it as it was. No body is
// held in memory.
//
// Unloading (destroying, or unload()) switches the stall timer off, cancels
// the read and Inet1, and discards the temporary file. Events may unload the
// worker from their handlers; the worker does nothing after that.
class Downloader final : public QObject
{
    Q_OBJECT

public:
    static constexpr double kStallSeconds = 300.0; // no new byte for this long: "超时"
    static constexpr int kTickMilliseconds = 1000;
    static constexpr double kMegabyte = 1024.0 * 1024.0;

    Downloader(int index, QNetworkAccessManager &network, const Clock &clock, QObject *parent = nullptr);
    ~Downloader() override;

    int index() const { return m_index; }

    // The size limit in megabytes that a response without announced length
    // is held to: once more has arrived, the transfer stops and
    // DownloadTooLarge is raised. A response with a length is held to the
    // limit by the host, on the total of DownloadProgress.
    void setSizeLimitMB(double megabytes) { m_limitMB = megabytes; }

    // Whether the stall timer runs by itself (tests call stallTick()).
    void setStallTimerEnabled(bool enabled);

    // Starts the transfer and returns at once. The referring page is
    // accepted and not sent.
    void BeginDownload(const QString &url, const QString &targetPath, const QString &referer);

    // Cancels the running read (not the fallback); returns false.
    bool CancelAsyncRead();

    // One second of the stall timer: gives up with "超时" when the byte
    // count has not changed for the stall limit. Bytes count whether or not
    // the server announced a length.
    void stallTick();

    // Everything stops; no event follows.
    void unload();
    bool isUnloaded() const { return m_unloaded; }

    QString TargetPath() const { return m_targetPath; }
    QString SourceUrl() const { return m_sourceUrl; }
    qint64 BytesSoFar() const { return m_bytesSoFar; }
    double LastGrowthTime() const { return m_lastGrowthTime; }
    bool isFallbackRunning() const { return m_fallback; }

    // The placeholder written at the target path when no file is there.
    static QByteArray placeholder();

signals:
    // The read made progress and the server announced the total.
    void DownloadProgress(int k, qint64 bytesRead, qint64 bytesTotal, const QString &targetPath);
    // The data is stored at the target path.
    void DownloadComplete(int k, qint64 bytesRead, qint64 bytesTotal, const QString &targetPath);
    // The transfer is given up: "超时" or "无法下载".
    void DownloadError(int k, const QString &errorText, const QString &targetPath);
    // A response without announced length went past the size limit; nothing
    // of it is kept.
    void DownloadTooLarge(int k, qint64 bytesRead, const QString &targetPath);

private:
    void onReadyRead();
    void onFinished();
    void FetchWithInet();
    void onFallbackBody();
    void onFallbackEnded();
    bool storePieces(QNetworkReply *reply);
    bool openTemporary();
    void dropReply();
    void giveUp(const QString &errorText);
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
    qint64 m_total = 0; // announced length of the read; 0 when none
    qint64 m_read = 0;  // bytes of the read stored in the temporary file
    std::unique_ptr<QSaveFile> m_file;
    bool m_writeFailed = false;
    bool m_fallback = false;
    qint64 m_fallbackBytes = 0;
    bool m_unloaded = false;
};
