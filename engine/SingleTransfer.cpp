#include "engine/SingleTransfer.h"

#include "engine/ContentType.h"
#include "engine/EngineTexts.h"
#include "engine/Naming.h"
#include "engine/PoliteWaits.h"
#include "engine/ServerFileName.h"
#include "platform/Clock.h"
#include "platform/FileTests.h"
#include "platform/Prompts.h"
#include "common/SessionSettings.h"

#include <QDir>
#include <QScopedValueRollback>
#include <QUrl>

namespace {

// Larger pieces for the whole fetch, which has no piece size of its own.
constexpr qint64 kWholeFetchPieceBytes = 64 * 1024;

// The port the address names, in any of its forms: a query or fragment
// right after the host, user info, an IPv6 literal. 0 when it names none.
int portInAddress(const QString &url)
{
    const QUrl address(url.trimmed());
    const int port = address.isValid() ? address.port() : -1;
    return port > 0 && port <= 65535 ? port : 0;
}

} // namespace

TransferConnection ConnectionFor(const QString &url, const SessionSettings &settings)
{
    TransferConnection connection;
    const int explicitPort = portInAddress(url);
    if (settings.ProxyEnabled == 1) {
        connection.accessType = TransferConnection::NamedProxy;
        connection.remotePort = settings.ProxyPort.trimmed().toInt();
        connection.proxy = settings.ProxyAddress + QLatin1Char(':') + settings.ProxyPort;
    } else {
        connection.accessType = TransferConnection::UseDefault;
        connection.remotePort = explicitPort > 0 ? explicitPort : 80;
    }
    if (url.left(8).toLower() == QLatin1String("https://")) {
        connection.protocol = TransferConnection::Https;
        // The port the address names counts for HTTPS too.
        connection.remotePort = explicitPort > 0 ? explicitPort : 443;
    } else {
        connection.protocol = TransferConnection::Http;
    }
    return connection;
}

SingleTransfer::SingleTransfer(TransferControl &control, const Clock &clock, Prompts &prompts, QObject *parent)
    : Transfer(parent), m_control(control), m_clock(clock), m_prompts(prompts)
{
    m_timer.setInterval(kTickMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &SingleTransfer::tick);

    connect(&m_control, &TransferControl::StateChanged, this,
            [this](int, const QString &text) { emit stateTextChanged(text); });
    connect(&m_control, &TransferControl::headersArrived, this, [this] {
        if (m_phase == Phase::AwaitingResponse && !m_deciding)
            decideFromResponse();
    });
    connect(&m_control, &TransferControl::bodyAvailable, this, &SingleTransfer::onBodyAvailable);
    connect(&m_control, &TransferControl::ended, this, &SingleTransfer::onResponseEnded);
}

SingleTransfer::~SingleTransfer()
{
    if (m_phase != Phase::Idle)
        m_control.Cancel();
}

bool SingleTransfer::start(const TransferJob &job)
{
    if (isRunning() || m_control.StillExecuting())
        return false;
    m_job = job;
    m_askedAgain = false;
    m_cancelRequested = false;
    downloadItem();
    return true;
}

void SingleTransfer::downloadItem()
{
    // The file as the row names it, until the reply decides.
    m_name = m_job.name;
    m_type = m_job.type;
    m_folder = m_job.folder;
    m_path.clear();
    m_announced = 0;
    m_stored = 0;
    m_lastLength = 0;
    m_resumedBytes = 0;
    // The bytes an earlier transfer of the same file left are continued,
    // unless a ranged request of this transfer was refused already.
    m_resumePath = expectedPath();
    m_resume = m_askedAgain || m_resumePath.isEmpty() ? ResumePoint() : ResumePointFor(m_resumePath, m_job.url);

    m_control.setConnection(m_job.connection);

    // Exactly one header line of our own: the page the link was found on,
    // or the address's own site when there is none.
    QString referer = m_job.referer.isEmpty() ? HostOfUrl(m_job.url) : m_job.referer;
    referer.remove(QLatin1Char('\r'));
    referer.remove(QLatin1Char('\n'));

    // A proxy that is switched on but cannot be used is said: the control
    // then fails the request instead of connecting directly.
    if (m_job.connection.accessType == TransferConnection::NamedProxy
        && !TransferControl::isUsableProxy(m_job.connection.proxy))
        m_prompts.notify(EngineText::kProxyUnusable, QString(), PromptIcon::Error);

    m_phase = Phase::AwaitingResponse;
    m_requestTime = m_clock.seconds();
    if (m_timerEnabled)
        m_timer.start();
    m_control.Execute(m_job.url, QStringLiteral("GET"), QByteArray(),
                      QStringLiteral("Referer: ") + referer + QStringLiteral("\r\n") + ResumeHeaderLines(m_resume));
}

// The path the row's file will most likely get, known before the reply: the
// row's name and type under the same-name rule. Only a .part file there can
// be continued; a reply that leads elsewhere (another type) asks again.
QString SingleTransfer::expectedPath() const
{
    if (TrimBlanks(m_job.folder).isEmpty())
        return QString();
    const QString folder = m_job.folder.endsWith(QDir::separator()) ? m_job.folder : m_job.folder + QDir::separator();
    if (m_job.policy == SameNamePolicy::Rename)
        return renamedSavePath(folder, m_job.name, m_job.type, SameNamePolicy::Rename).path;
    DownloadItem item;
    item.Folder = folder;
    item.Name = m_job.name;
    item.Type = m_job.type;
    return ItemFilePath(item);
}

// A ranged request that cannot be continued (416, another document, a range
// that does not fit) is sent once more without a range; its whole body
// replaces the .part file. The job is taken afresh: nothing the refused reply
// decided stays.
void SingleTransfer::requestAgainWhole()
{
    m_askedAgain = true;
    m_control.Cancel();
    ForgetValidator(m_resumePath);
    downloadItem();
}

std::optional<ByteCounts> SingleTransfer::announcedLength() const
{
    if (m_announced <= 0)
        return std::nullopt;
    return ByteCounts{-1, m_announced};
}

void SingleTransfer::decideFromResponse()
{
    // Everything from the headers to the first piece is one decision.
    const QScopedValueRollback<bool> deciding(m_deciding, true);
    TransferControl &control = m_control;

    // A reply to a ranged request: the rest of the same document is
    // appended; anything else that would not fit the .part file asks again.
    const QByteArray etag = control.GetHeader(QStringLiteral("ETag")).toLatin1();
    const QByteArray lastModified = control.GetHeader(QStringLiteral("Last-Modified")).toLatin1();
    ResumeDecision decision = ResumeDecision::StartOver;
    if (control.hasResponse())
        decision = DecideResume(m_resume, control.StatusCode(),
                                control.GetHeader(QStringLiteral("Content-Range")).toLatin1(), etag, lastModified);
    if (decision == ResumeDecision::Restart && !m_askedAgain) {
        requestAgainWhole();
        return;
    }
    const bool appending = decision == ResumeDecision::Append;
    m_resumedBytes = appending ? m_resume.offset : 0;

    // The announced length, and the size limit it is held to: for the rest
    // of a document, the length of the whole.
    bool numeric = false;
    const qint64 announced = control.GetHeader(QStringLiteral("content-length")).trimmed().toLongLong(&numeric);
    m_announced = numeric && announced > 0 ? announced : 0;
    if (appending && m_announced > 0) {
        const ContentRange range = ParseContentRange(control.GetHeader(QStringLiteral("Content-Range")).toLatin1());
        m_announced = range.total > 0 ? range.total : m_resumedBytes + m_announced;
    }
    if (m_announced / kMegabyte > m_job.sizeLimitMB) {
        control.Cancel();
        // Nothing of a document over the limit is kept, the bytes an earlier
        // transfer left of it neither.
        if (appending) {
            QFile::remove(PartPath(m_resumePath));
            ForgetValidator(m_resumePath);
        }
        end(TransferOutcome::TooLarge, announcedLength(), ProgressWord::LargeFileSkipped);
        return;
    }

    // The content type, without its parameters ("text/html; charset=utf-8").
    QString contentType = control.GetHeader(QStringLiteral("Content-Type")).trimmed();
    if (const qsizetype semicolon = contentType.indexOf(QLatin1Char(';')); semicolon >= 0)
        contentType = contentType.left(semicolon).trimmed();
    const QString fileType = ContentTypeToFileType(contentType);

    if (control.GetHeader().isEmpty()) {
        control.Cancel();
        end(TransferOutcome::NoResponse, announcedLength());
        return;
    }

    // The folder's message is left on screen: this runs inside a network or
    // timer handler, which must not wait for the user. A folder that cannot
    // be made ends the row: nothing goes to the file-system root instead.
    const QString folder = SaveFolderFor(m_folder, m_prompts, MessageMode::NonBlocking);
    if (folder.isEmpty()) {
        control.Cancel();
        end(TransferOutcome::NoFolder, announcedLength());
        return;
    }
    m_folder = folder;

    // Only a plain extension from the reply becomes the type: "." or a text
    // with separators would lead out of the folder.
    if (!fileType.isEmpty() && !fileType.contains(QLatin1Char('/')) && IsPlainFileType(fileType))
        m_type = fileType;

    // The server's name for the file, when the row takes it.
    if (m_job.nameFromServer) {
        const ServerName serverName = SplitServerFileName(
            ContentDispositionFileName(control.GetHeader(QStringLiteral("Content-Disposition")).toLatin1()));
        if (!serverName.isEmpty()) {
            m_name = serverName.name;
            if (!serverName.type.isEmpty())
                m_type = serverName.type;
        }
    }

    const SameNamePolicy policy = m_job.policy;
    if (policy == SameNamePolicy::Rename) {
        const SavePath savePath = renamedSavePath(m_folder, m_name, m_type, policy);
        m_name = savePath.name;
        m_path = savePath.path;
    } else {
        DownloadItem item;
        item.Folder = m_folder;
        item.Name = m_name;
        item.Type = m_type;
        m_path = ItemFilePath(item);
    }

    // "跳过" never replaces a file: when the reply's type names a file that
    // exists, the row ends as one that exists, and the body is not stored.
    if (policy == SameNamePolicy::Skip && FileExists(m_path)) {
        const qint64 length = qMax<qint64>(FileLength(m_path), 0);
        control.Cancel();
        end(TransferOutcome::ExistsSkipped, ByteCounts{length, length}, ProgressWord::ExistsSkipped);
        return;
    }

    // The rest of a document goes on the .part file of the path it was asked
    // for; when the reply leads to another path, the range is of no use.
    // (Only a ranged request is appended to, and a transfer asks again
    // without a range at most once.)
    if (appending && QDir::cleanPath(m_path) != QDir::cleanPath(m_resumePath)) {
        requestAgainWhole();
        return;
    }
    // An error answer to a ranged request never takes the place of the
    // bytes kept for the document: the row fails, its .part file as it was.
    if (decision == ResumeDecision::Refused && QDir::cleanPath(m_path) == QDir::cleanPath(m_resumePath)) {
        control.Cancel();
        end(TransferOutcome::Refused);
        return;
    }
    if (m_resumedBytes == 0 && decision != ResumeDecision::Refused)
        KeepValidator(m_path, m_job.url, etag, lastModified);

    // The body goes to the .part file; an older file of the same path stays
    // until the body is complete. When even the .part file cannot be made
    // beside an older file, that file cannot be replaced either.
    const bool opened = m_resumedBytes > 0 ? openTargetForAppend() : openTarget();
    if (!opened && FileExists(m_path)) {
        cannotReplace();
        return;
    }

    if (m_announced > 0)
        startPieces();
    else
        readFirstBodyWhole();
}

// The older file stays: the row shows its length and "无法替换".
void SingleTransfer::cannotReplace()
{
    const qint64 length = qMax<qint64>(FileLength(m_path), 0);
    m_control.Cancel();
    end(TransferOutcome::CannotReplace, ByteCounts{length, length}, ProgressWord::CannotReplace);
}

// The complete body takes the final name; false when the older file there
// could not be replaced (the row then ends "无法替换", its bytes in .part).
bool SingleTransfer::storeComplete()
{
    if (!closeTarget())
        return false;
    if (ReplaceWithPart(m_path)) {
        ForgetValidator(m_path);
        return true;
    }
    cannotReplace();
    return false;
}

void SingleTransfer::report(std::optional<ByteCounts> counts, bool lengthUnknown)
{
    TransferProgress progress;
    progress.itemId = m_job.itemId;
    progress.counts = counts;
    progress.lengthUnknown = lengthUnknown;
    progress.file = decidedFile();
    emit progressed(progress);
}

// The storing begins: the row shows the length and the bytes so far ("0",
// or what an earlier transfer left), and the percentage once there are bytes.
void SingleTransfer::startPieces()
{
    m_stored = m_resumedBytes; // resumed bytes count as downloaded
    m_lastLength = m_stored;
    m_lastGrowth = m_clock.seconds();
    m_phase = Phase::Pieces;
    report(storedCounts());
    readPieces();
}

// Takes every piece that has arrived, appends it to the file, and after the
// pieces decides: complete, stopped, or ended short.
void SingleTransfer::readPieces()
{
    TransferControl &control = m_control;
    char piece[kPieceBytes];
    bool grew = false;
    while (m_phase == Phase::Pieces) {
        const qint64 n = control.GetChunk(piece, kPieceBytes);
        if (n <= 0)
            break;
        if (m_file.isOpen() && m_file.write(piece, n) == n)
            m_stored += n;
        if (m_stored > m_lastLength) {
            m_lastLength = m_stored;
            grew = true;
        }
        if (m_stored >= m_announced) {
            if (!m_file.isOpen() || !m_file.flush()) { // the last bytes never reached the disk
                end(TransferOutcome::EndedShort, storedCounts());
                return;
            }
            if (!storeComplete())
                return;
            end(TransferOutcome::Completed, storedCounts());
            return;
        }
    }
    if (m_phase != Phase::Pieces)
        return;

    if (grew) {
        m_lastGrowth = m_clock.seconds();
        report(storedCounts());
        if (m_phase != Phase::Pieces)
            return;
    }

    // Stopped: the bytes so far stay in the .part file, never under the
    // final name.
    if (m_cancelRequested) {
        control.Cancel();
        closeTarget();
        end(TransferOutcome::Cancelled, storedCounts(), ProgressWord::Cancelled);
        return;
    }

    // The connection is over and the announced length never came: no more
    // bytes can arrive, so waiting out the stall limit would only delay the
    // failure.
    if (control.responseEnded() && control.bytesAvailable() == 0) {
        closeTarget();
        end(TransferOutcome::EndedShort, storedCounts());
    }
}

// A response without length: its body is read as it arrives, straight to
// the .part file. Only when that read cannot be completed is the address
// fetched again (FetchWholeBody).
void SingleTransfer::readFirstBodyWhole()
{
    m_stored = m_resumedBytes;
    m_refetched = false;
    m_lastGrowth = m_clock.seconds();
    m_phase = Phase::WholeFetch;
    report(std::nullopt, true);
    if (m_phase != Phase::WholeFetch)
        return;
    readWholeBody();
    if (m_phase == Phase::WholeFetch && m_control.responseEnded())
        endWholeFetch(false);
}

void SingleTransfer::FetchWholeBody()
{
    // A second request over the same connection settings, without the
    // referring page; its body goes straight to the .part file.
    m_control.Cancel();
    m_stored = 0;
    m_resumedBytes = 0;
    m_refetched = true;
    m_lastGrowth = m_clock.seconds();
    openTarget();
    m_phase = Phase::WholeFetch;
    m_control.OpenURL(m_job.url);
}

void SingleTransfer::readWholeBody()
{
    TransferControl &control = m_control;
    QByteArray piece(kWholeFetchPieceBytes, Qt::Uninitialized);
    bool grew = false;
    while (m_phase == Phase::WholeFetch) {
        const qint64 n = control.GetChunk(piece.data(), piece.size());
        if (n <= 0)
            break;
        if (m_file.isOpen() && m_file.write(piece.constData(), n) == n) {
            m_stored += n;
            grew = true;
        }
        // Held to the size limit although no length was announced: once
        // more than the limit has arrived, nothing of it is kept.
        if (m_stored / kMegabyte > m_job.sizeLimitMB) {
            control.Cancel();
            closeTarget();
            removeTarget(); // nothing of a body over the limit is kept
            end(TransferOutcome::TooLarge, std::nullopt, ProgressWord::LargeFileSkipped);
            return;
        }
    }
    if (grew)
        m_lastGrowth = m_clock.seconds();
}

// The end of the whole read: stored when at least one byte of a whole
// response arrived. A first read that broke off is fetched once more; what
// arrived of a failed fetch stays in the .part file.
void SingleTransfer::endWholeFetch(bool cancelled)
{
    TransferControl &control = m_control;
    if (!cancelled) {
        readWholeBody();
        if (m_phase != Phase::WholeFetch)
            return;
        if (!control.endedWhole() && !m_refetched) {
            FetchWholeBody();
            return;
        }
    }
    if (!cancelled && control.endedWhole() && m_stored > 0 && m_file.isOpen() && m_file.flush()) {
        if (!storeComplete())
            return;
        end(TransferOutcome::FetchedWhole, ByteCounts{m_stored, qMax<qint64>(FileLength(m_path), 0)});
        return;
    }
    control.Cancel();
    closeTarget();
    if (m_stored == 0)
        removeTarget();
    end(TransferOutcome::FetchedNothing);
}

void SingleTransfer::onBodyAvailable()
{
    if (m_deciding)
        return;
    if (m_phase == Phase::Pieces)
        readPieces();
    else if (m_phase == Phase::WholeFetch)
        readWholeBody();
}

void SingleTransfer::onResponseEnded()
{
    // A decision under way reads what has arrived when it goes on.
    if (m_deciding)
        return;
    switch (m_phase) {
    case Phase::AwaitingResponse: decideFromResponse(); break;
    case Phase::Pieces: readPieces(); break;
    case Phase::WholeFetch: endWholeFetch(false); break;
    case Phase::Idle: break;
    }
}

void SingleTransfer::setTimerEnabled(bool enabled)
{
    m_timerEnabled = enabled;
    if (!enabled)
        m_timer.stop();
    else if (m_phase != Phase::Idle)
        m_timer.start();
}

void SingleTransfer::tick()
{
    if (m_deciding)
        return;
    const double now = m_clock.seconds();
    switch (m_phase) {
    case Phase::Idle: m_timer.stop(); break;
    case Phase::AwaitingResponse:
        if (now - m_requestTime > kResponseWaitSeconds)
            decideFromResponse();
        break;
    case Phase::Pieces:
        readPieces();
        if (m_phase == Phase::Pieces && now - m_lastGrowth > kStallSeconds) {
            m_control.Cancel();
            closeTarget();
            end(TransferOutcome::Stalled, storedCounts());
        }
        break;
    case Phase::WholeFetch:
        readWholeBody();
        if (m_phase != Phase::WholeFetch)
            break;
        if (m_cancelRequested || now - m_lastGrowth > kStallSeconds)
            endWholeFetch(true);
        break;
    }
}

void SingleTransfer::cancel()
{
    if (m_phase == Phase::Idle)
        return;
    m_cancelRequested = true;
    m_control.Cancel();
    // A decision under way sees the cancel at its first piece.
    if (m_deciding)
        return;
    switch (m_phase) {
    case Phase::AwaitingResponse: decideFromResponse(); break;
    case Phase::Pieces: readPieces(); break;
    case Phase::WholeFetch: endWholeFetch(true); break;
    case Phase::Idle: break;
    }
}

void SingleTransfer::end(TransferOutcome outcome, std::optional<ByteCounts> counts, ProgressWord word)
{
    if (m_phase == Phase::Idle)
        return; // ended already: finished() comes once
    m_phase = Phase::Idle;
    m_timer.stop();
    m_control.Cancel();
    closeTarget();
    // A .part file that got no byte keeps nothing.
    if (!m_path.isEmpty() && FileExists(PartPath(m_path)) && FileLength(PartPath(m_path)) == 0)
        removeTarget();

    TransferResult result;
    result.itemId = m_job.itemId;
    result.outcome = outcome;
    result.bytesRead = m_stored;
    result.bytesTotal = m_announced;
    result.counts = counts;
    result.word = word;
    result.file = decidedFile();
    result.errorText = m_control.ResponseInfo();
    result.httpStatus = m_control.StatusCode();
    if (IsBusyStatus(result.httpStatus))
        result.retryAfterSeconds =
            RetryAfterSeconds(m_control.GetHeader(QStringLiteral("Retry-After")).toLatin1(),
                              m_control.GetHeader(QStringLiteral("Date")).toLatin1(), QDateTime::currentDateTimeUtc());
    emit finished(result);
}

bool SingleTransfer::openTarget()
{
    closeTarget();
    m_file.setFileName(PartPath(m_path));
    return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

bool SingleTransfer::closeTarget()
{
    if (!m_file.isOpen())
        return true;
    const bool flushed = m_file.flush();
    m_file.close();
    return flushed && m_file.error() == QFileDevice::NoError;
}

void SingleTransfer::removeTarget()
{
    if (m_path.isEmpty())
        return;
    QFile::remove(PartPath(m_path));
    ForgetValidator(m_path);
}

bool SingleTransfer::openTargetForAppend()
{
    closeTarget();
    m_file.setFileName(PartPath(m_path));
    return m_file.open(QIODevice::WriteOnly | QIODevice::Append);
}
