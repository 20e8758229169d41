#include "engine/Downloader.h"

#include "engine/EngineTexts.h"
#include "engine/Naming.h"
#include "engine/PoliteWaits.h"
#include "engine/ServerFileName.h"
#include "platform/Clock.h"
#include "platform/FileTests.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QScopedValueRollback>
#include <QUrl>

namespace {

// Bytes taken from the network per read.
constexpr qint64 kPieceBytes = 64 * 1024;

// The announced length of a reply; 0 when it announced none.
qint64 announcedLength(const QNetworkReply &reply)
{
    const QVariant length = reply.header(QNetworkRequest::ContentLengthHeader);
    return length.isValid() ? qMax<qint64>(0, length.toLongLong()) : 0;
}

// The length of the whole document a reply belongs to: the announced length,
// or for the rest of a document continued from `offset` the total its range
// names (else the bytes before it and the rest). 0 when unknown.
qint64 documentLength(const QNetworkReply &reply, qint64 offset)
{
    const qint64 announced = announcedLength(reply);
    if (offset <= 0 || announced <= 0)
        return offset > 0 ? 0 : announced;
    const ContentRange range = ParseContentRange(reply.rawHeader("Content-Range"));
    return range.total > 0 ? range.total : offset + announced;
}

} // namespace

Downloader::Downloader(int index, QNetworkAccessManager &network, const Clock &clock, QObject *parent)
    : Transfer(parent), m_index(index), m_network(network), m_clock(clock), m_inet1(network)
{
    m_stallTimer.setInterval(kTickMilliseconds);
    connect(&m_stallTimer, &QTimer::timeout, this, &Downloader::stallTick);
    connect(&m_inet1, &TransferControl::bodyAvailable, this, &Downloader::onFallbackBody);
    connect(&m_inet1, &TransferControl::ended, this, &Downloader::onFallbackEnded);
}

Downloader::~Downloader()
{
    unload();
}

void Downloader::setStallTimerEnabled(bool enabled)
{
    m_stallTimerEnabled = enabled;
    if (!enabled)
        m_stallTimer.stop();
}

bool Downloader::start(const TransferJob &job)
{
    if (m_unloaded || !m_targetPath.isEmpty())
        return false;
    m_itemId = job.itemId;
    m_limitMB = job.sizeLimitMB;
    BeginDownload(job.url, job.targetPath, job.referer);
    return true;
}

void Downloader::complete(TransferOutcome outcome, qint64 bytesRead, qint64 bytesTotal)
{
    if (m_ended)
        return;
    m_ended = true;
    TransferResult result;
    result.itemId = m_itemId;
    result.outcome = outcome;
    result.bytesRead = bytesRead;
    result.bytesTotal = bytesTotal;
    // A completion shows its counts when it knows a total that covers them;
    // any other end leaves the counts the last progress showed.
    const bool completion = outcome == TransferOutcome::Completed || outcome == TransferOutcome::CompletedShort
                            || outcome == TransferOutcome::FetchedWhole;
    if (completion && bytesTotal > 0 && bytesTotal >= bytesRead)
        result.counts = ByteCounts{bytesRead, bytesTotal};
    if (outcome == TransferOutcome::TooLarge)
        result.word = ProgressWord::LargeFileSkipped;
    result.serverFileName = m_serverFileName;
    result.httpStatus = m_inet1.hasResponse() ? m_inet1.StatusCode() : m_status;
    if (IsBusyStatus(result.httpStatus))
        result.retryAfterSeconds = RetryAfterSeconds(m_retryAfter, m_replyDate, QDateTime::currentDateTimeUtc());
    if (outcome == TransferOutcome::Stalled)
        result.errorText = EngineText::kTimedOut;
    else if (outcome == TransferOutcome::CannotDownload)
        result.errorText = EngineText::kCannotDownload;
    emit finished(result);
}

void Downloader::cancel()
{
    const bool running = isRunning();
    unload();
    if (running)
        complete(TransferOutcome::Cancelled, m_read + m_fallbackBytes, m_total);
}

void Downloader::BeginDownload(const QString &url, const QString &targetPath, const QString &referer)
{
    Q_UNUSED(referer) // the read sends no referring page
    if (m_unloaded)
        return;
    m_targetPath = targetPath;

    // The bytes go to "<target>.part" as they arrive; the target path gets
    // them only when the body is complete, so an older file of the same name
    // (under "覆盖") stays whole until then and an abandoned transfer leaves
    // its bytes in the .part file, never under the target's name.
    m_lastGrowthTime = m_clock.seconds();
    if (m_stallTimerEnabled)
        m_stallTimer.start();

    static const QRegularExpression ampersandEntity(QStringLiteral("&amp;"), QRegularExpression::CaseInsensitiveOption);
    m_sourceUrl = QString(url).replace(ampersandEntity, QStringLiteral("&")).trimmed();
    m_askedAgain = false;
    sendRead();
}

// The read of the address: from the start, or for the rest of the .part file
// an earlier transfer left. The .part file is opened (and so reserved) at
// once; it is truncated only when a whole body is known to come.
void Downloader::sendRead()
{
    m_resume = m_askedAgain ? ResumePoint() : ResumePointFor(m_targetPath, m_sourceUrl);
    m_decided = false;
    m_keepOldPart = false;
    m_offset = 0;
    m_read = 0;
    m_status = 0;
    openTemporary();
    QNetworkRequest request{QUrl(m_sourceUrl)};
    if (m_resume.isResume()) {
        request.setRawHeader("Range", "bytes=" + QByteArray::number(m_resume.offset) + '-');
        request.setRawHeader("If-Range", m_resume.validator);
    }
    // Always a fresh copy, never one from a cache.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setRawHeader("Cache-Control", "no-cache");
    request.setRawHeader("Pragma", "no-cache");
    // Stored as sent: the announced length is the stored file's length.
    request.setRawHeader("Accept-Encoding", "identity");
    request.setRawHeader("User-Agent", EngineText::kUserAgent);
    m_reply = m_network.get(request);
    m_reply->setReadBufferSize(TransferControl::kReadBufferBytes);
    connect(m_reply, &QNetworkReply::readyRead, this, &Downloader::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &Downloader::onFinished);
}

bool Downloader::CancelAsyncRead()
{
    dropReply();
    return false;
}

bool Downloader::openTemporary()
{
    m_file = std::make_unique<QFile>(PartPath(m_targetPath));
    // A .part file that may be continued is opened for appending; the
    // reply decides whether it is truncated.
    const QIODevice::OpenMode mode =
        m_resume.isResume() ? QIODevice::WriteOnly | QIODevice::Append : QIODevice::WriteOnly | QIODevice::Truncate;
    m_writeFailed = !m_file->open(mode);
    return !m_writeFailed;
}

// The first look at a reply: whether it continues the .part file, starts it
// over, leaves it alone (an error answer) or must be asked again without a
// range. False when it was asked again (the reply is gone).
bool Downloader::decideReply()
{
    if (m_decided || !m_reply)
        return true;
    m_decided = true;
    QNetworkReply &reply = *m_reply;
    m_status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    m_retryAfter = reply.rawHeader("Retry-After");
    m_replyDate = reply.rawHeader("Date");
    m_serverFileName = ContentDispositionFileName(reply.rawHeader("Content-Disposition"));
    const QByteArray etag = reply.rawHeader("ETag");
    const QByteArray lastModified = reply.rawHeader("Last-Modified");
    const ResumeDecision decision =
        DecideResume(m_resume, m_status, reply.rawHeader("Content-Range"), etag, lastModified);
    if (decision == ResumeDecision::Restart && !m_askedAgain) {
        m_askedAgain = true;
        dropReply();
        if (m_file)
            m_file->close();
        m_file.reset();
        ForgetValidator(m_targetPath);
        sendRead();
        return false;
    }
    if (decision == ResumeDecision::Append) {
        m_offset = m_resume.offset;
        m_read = m_offset; // resumed bytes count as read
        return true;
    }
    // Not the document (an error answer, or no answer at all: a refused or
    // broken connection): its bytes never go to the .part file, and the
    // bytes kept there are not given up for a fetch over again.
    if (decision == ResumeDecision::Refused || m_status >= 400 || m_status == 0) {
        m_keepOldPart = m_resume.isResume();
        if (m_keepOldPart) {
            m_file->close();
            m_file.reset();
        }
        return true;
    }
    // A whole body: the .part file starts over.
    if (m_resume.isResume() && m_file && !m_file->resize(0))
        m_writeFailed = true;
    KeepValidator(m_targetPath, m_sourceUrl, etag, lastModified);
    return true;
}

// The complete body takes the target's name, replacing what was there.
bool Downloader::commitPart()
{
    if (!m_file)
        return false;
    const bool written = !m_writeFailed && m_file->flush();
    m_file->close();
    m_file.reset();
    if (!written || !ReplaceWithPart(m_targetPath))
        return false;
    ForgetValidator(m_targetPath);
    return true;
}

// The .part file is closed and kept with what arrived: a failed row keeps
// its bytes, and the resets delete them with the item's file.
void Downloader::keepPart()
{
    if (!m_file)
        return;
    const bool empty = m_file->size() == 0;
    m_file->close();
    if (empty) // nothing arrived: nothing to keep
        m_file->remove();
    m_file.reset();
}

void Downloader::removePart()
{
    keepPart();
    QFile::remove(PartPath(m_targetPath));
    ForgetValidator(m_targetPath);
}

bool Downloader::storePieces(QNetworkReply *reply)
{
    char piece[kPieceBytes];
    while (reply && reply->isOpen()) {
        const qint64 n = reply->read(piece, kPieceBytes);
        if (n <= 0)
            break;
        if (!m_file) // an error answer to a ranged read: the old .part file stays as it was
            continue;
        if (!m_writeFailed && m_file->write(piece, n) != n)
            m_writeFailed = true;
        m_read += n;
    }
    return !m_writeFailed;
}

bool Downloader::overLimit(qint64 bytes) const
{
    return bytes / kMegabyte > m_limitMB;
}

void Downloader::onReadyRead()
{
    if (m_unloaded || m_fallback || !m_reply || m_handling)
        return;
    const QScopedValueRollback<bool> handling(m_handling, true);
    if (!decideReply())
        return;
    if (!storePieces(m_reply)) {
        giveUp(TransferOutcome::CannotDownload);
        return;
    }
    m_total = documentLength(*m_reply, m_offset);
    // Every arriving byte counts against the stall limit, with or without an
    // announced length: a server that keeps sending is never stalled.
    m_bytesSoFar = m_read;
    if (m_total >= 1) {
        // DownloadProgress: the counts of a total that covers them. A total
        // above the size limit abandons the transfer: nothing of it is kept.
        if (m_total >= m_read) {
            TransferProgress progress;
            progress.itemId = m_itemId;
            progress.counts = ByteCounts{m_read, m_total};
            emit progressed(progress);
            if (m_unloaded || m_ended)
                return;
        }
        if (overLimit(m_total)) {
            dropReply();
            m_stallTimer.stop();
            removePart();
            complete(TransferOutcome::TooLarge, m_read, m_total);
        }
        return;
    }
    if (overLimit(m_read)) {
        const qint64 read = m_read;
        dropReply();
        m_stallTimer.stop();
        removePart(); // nothing of it is kept
        complete(TransferOutcome::TooLarge, read, 0);
    }
}

void Downloader::onFinished()
{
    if (m_unloaded || m_fallback || !m_reply || m_handling)
        return;
    const QScopedValueRollback<bool> handling(m_handling, true);
    if (!decideReply())
        return;
    QNetworkReply *reply = m_reply;
    if (!storePieces(reply)) {
        giveUp(TransferOutcome::CannotDownload);
        return;
    }
    m_bytesSoFar = m_read;
    m_total = documentLength(*reply, m_offset);
    // An error page (404 and the like) is not the document: nothing of it
    // is stored, and the row fails.
    if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() >= 400 || m_keepOldPart) {
        dropReply();
        if (!m_keepOldPart)
            removePart();
        giveUp(TransferOutcome::CannotDownload);
        return;
    }
    // A read without length that ended properly has the whole body already:
    // it is stored, not fetched a second time. Only a read that brought
    // nothing or broke off is fetched again.
    const bool readWhole = reply->error() == QNetworkReply::NoError;
    if (m_read < 1 || (m_total < 1 && !readWhole)) {
        FetchWithInet();
        return;
    }
    dropReply();
    m_stallTimer.stop();
    if (m_total < 1) {
        if (!commitPart()) {
            giveUp(TransferOutcome::CannotDownload);
            return;
        }
        const qint64 length = qMax<qint64>(0, FileLength(m_targetPath));
        complete(TransferOutcome::FetchedWhole, length, length);
        return;
    }
    // Complete when every announced byte was counted; fewer leave the row at
    // the percentage reached, with its bytes in the .part file.
    if (m_read < m_total) {
        keepPart();
        complete(TransferOutcome::CompletedShort, m_read, m_total);
        return;
    }
    if (!commitPart()) {
        giveUp(TransferOutcome::CannotDownload);
        return;
    }
    complete(TransferOutcome::Completed, m_read, m_total);
}

void Downloader::FetchWithInet()
{
    dropReply();
    m_inet1.Cancel();
    m_fallback = true;
    m_fallbackBytes = 0;
    // The fallback fetches the whole body again: nothing is continued.
    m_resume = ResumePoint();
    m_offset = 0;
    m_read = 0;
    openTemporary();
    m_inet1.setConnection(TransferConnection()); // the default connection, no referring page
    m_inet1.OpenURL(m_sourceUrl);
}

void Downloader::onFallbackBody()
{
    if (m_unloaded || !m_fallback || m_handling)
        return;
    const QScopedValueRollback<bool> handling(m_handling, true);
    char piece[kPieceBytes];
    bool grew = false;
    for (;;) {
        const qint64 n = m_inet1.GetChunk(piece, kPieceBytes);
        if (n <= 0)
            break;
        if (!m_writeFailed && m_file->write(piece, n) != n)
            m_writeFailed = true;
        m_fallbackBytes += n;
        grew = true;
    }
    if (!grew)
        return;
    if (m_writeFailed) {
        giveUp(TransferOutcome::CannotDownload);
        return;
    }
    m_bytesSoFar = m_read + m_fallbackBytes;
    if (overLimit(m_fallbackBytes)) {
        const qint64 fetched = m_fallbackBytes;
        m_inet1.Cancel();
        m_stallTimer.stop();
        m_fallback = false;
        removePart();
        complete(TransferOutcome::TooLarge, fetched, 0);
    }
}

void Downloader::onFallbackEnded()
{
    if (m_unloaded || !m_fallback || m_handling)
        return;
    onFallbackBody();
    const QScopedValueRollback<bool> handling(m_handling, true);
    if (m_unloaded || !m_fallback || !m_file)
        return;
    m_fallback = false;
    m_stallTimer.stop();
    // Stored only when the whole response arrived: a connection that broke
    // off is no complete file.
    if (m_inet1.endedWhole() && m_fallbackBytes >= 1 && commitPart()) {
        const qint64 length = qMax<qint64>(0, FileLength(m_targetPath));
        complete(TransferOutcome::FetchedWhole, length, length);
        return;
    }
    giveUp(TransferOutcome::CannotDownload);
}

void Downloader::stallTick()
{
    if (m_unloaded || m_handling)
        return;
    const QScopedValueRollback<bool> handling(m_handling, true);
    if (m_bytesSoFar != m_bytesAtLastTick) {
        m_bytesAtLastTick = m_bytesSoFar;
        m_lastGrowthTime = m_clock.seconds();
        return;
    }
    if (m_clock.seconds() - m_lastGrowthTime >= kStallSeconds) {
        CancelAsyncRead();
        giveUp(TransferOutcome::Stalled);
    }
}

void Downloader::giveUp(TransferOutcome outcome)
{
    dropReply();
    m_inet1.Cancel();
    m_fallback = false;
    m_stallTimer.stop();
    keepPart(); // the target keeps the older file, if any
    complete(outcome, m_read + m_fallbackBytes, m_total);
}

void Downloader::dropReply()
{
    DiscardReply(m_reply, this);
}

void Downloader::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_stallTimer.stop();
    dropReply();
    m_inet1.Cancel();
    m_fallback = false;
    keepPart();
}
