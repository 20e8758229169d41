#include "engine/SingleTransfer.h"

#include "engine/ContentType.h"
#include "engine/DownloadList.h"
#include "engine/EndSteps.h"
#include "engine/EngineOptions.h"
#include "engine/EngineTexts.h"
#include "engine/EngineValues.h"
#include "engine/ItemTypeCorrection.h"
#include "engine/Naming.h"
#include "platform/Clock.h"
#include "platform/FileTests.h"
#include "common/SessionSettings.h"

#include <QDir>
#include <QScopedValueRollback>

namespace {

// Larger pieces for the whole fetch, which has no piece size of its own.
constexpr qint64 kWholeFetchPieceBytes = 64 * 1024;

// A port number written in the address: the text from its ninth character
// up to the next "/" (or to its end), split at ":"; exactly two parts and a
// port number after the colon. 0 when the address names no port there.
int portInAddress(const QString &url)
{
    constexpr qsizetype kFrom = 8; // the ninth character, just after "https://"
    if (url.size() <= kFrom)
        return 0;
    const qsizetype slash = url.indexOf(QLatin1Char('/'), kFrom);
    if (slash == kFrom)
        return 0;
    const QStringList parts = url.mid(kFrom, slash < 0 ? -1 : slash - kFrom).split(QLatin1Char(':'));
    if (parts.size() != 2)
        return 0;
    bool ok = false;
    const int port = parts.at(1).trimmed().toInt(&ok);
    return ok && port > 0 && port <= 65535 ? port : 0;
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

SingleTransfer::SingleTransfer(const Context &context, QObject *parent) : Transfer(parent), m_context(context)
{
    m_timer.setInterval(kTickMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &SingleTransfer::tick);

    TransferControl &control = m_context.control;
    connect(&control, &TransferControl::StateChanged, this,
            [this](int, const QString &text) { emit panel3TextChanged(text); });
    connect(&control, &TransferControl::headersArrived, this, [this] {
        if (m_phase == Phase::AwaitingResponse && !m_deciding)
            decideFromResponse();
    });
    connect(&control, &TransferControl::bodyAvailable, this, &SingleTransfer::onBodyAvailable);
    connect(&control, &TransferControl::ended, this, &SingleTransfer::onResponseEnded);
}

SingleTransfer::~SingleTransfer()
{
    if (m_phase != Phase::Idle)
        m_context.control.Cancel();
}

bool SingleTransfer::downloadCurrentItem(quint64 itemId)
{
    const int row = m_context.list.rowOfId(itemId);
    if (row < 0)
        return false;
    if (m_context.control.StillExecuting() || m_context.values.DownloadRunning || isRunning()) {
        m_context.list.updateItem(row, [](DownloadItem &item) {
            item.State = Waiting;
            item.Size = EngineText::kWaitingAgain;
        });
        return false;
    }
    m_context.values.DownloadRunning = true;
    downloadItem(itemId);
    return true;
}

void SingleTransfer::downloadItem(quint64 itemId)
{
    m_itemId = itemId;
    m_item = m_context.list.at(m_context.list.rowOfId(itemId));
    m_path.clear();
    m_announced = 0;
    m_stored = 0;
    m_lastLength = 0;

    TransferControl &control = m_context.control;
    control.setConnection(ConnectionFor(m_item.Url, m_context.settings));

    m_context.values.DownloadRunning = true;
    emit panel2TextChanged(EngineText::kDownloadingPrefix + m_item.Name);

    // Exactly one header line of our own: the page the link was found on,
    // or the address's own site when there is none.
    QString referer = m_item.Referer.isEmpty() ? HostOfUrl(m_item.Url) : m_item.Referer;
    referer.remove(QLatin1Char('\r'));
    referer.remove(QLatin1Char('\n'));

    m_phase = Phase::AwaitingResponse;
    m_requestTime = m_context.clock.seconds();
    if (m_timerEnabled)
        m_timer.start();
    control.Execute(m_item.Url, QStringLiteral("GET"), QByteArray(),
                    QStringLiteral("Referer: ") + referer + QStringLiteral("\r\n"));
}

void SingleTransfer::decideFromResponse()
{
    // Everything from the headers to the first piece is one decision.
    const QScopedValueRollback<bool> deciding(m_deciding, true);
    TransferControl &control = m_context.control;
    const SessionSettings &settings = m_context.settings;

    // The announced length, and the size limit it is held to.
    bool numeric = false;
    const qint64 announced = control.GetHeader(QStringLiteral("content-length")).trimmed().toLongLong(&numeric);
    m_announced = numeric && announced > 0 ? announced : 0;
    if (m_announced > 0)
        m_item.Size = QString::number(m_announced);
    if (m_announced / kMegabyte > settings.MaxFileSizeMB) {
        control.Cancel();
        m_item.State = Finished;
        m_item.Progress = EngineText::kLargeFileSkipped;
        end(TransferOutcome::TooLarge);
        return;
    }

    // The content type, without its parameters ("text/html; charset=utf-8").
    QString contentType = control.GetHeader(QStringLiteral("Content-Type")).trimmed();
    if (const qsizetype semicolon = contentType.indexOf(QLatin1Char(';')); semicolon >= 0)
        contentType = contentType.left(semicolon).trimmed();
    const QString fileType = ContentTypeToFileType(contentType);

    if (control.GetHeader().isEmpty()) {
        control.Cancel();
        m_item.State = Failed;
        end(TransferOutcome::NoResponse);
        return;
    }

    // The folder's message is left on screen: this runs inside a network or
    // timer handler, which must not wait for the user.
    QString folder = CreateFolderPath(m_item.Folder, m_context.prompts, MessageMode::NonBlocking);
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    m_item.Folder = folder;

    if (!fileType.isEmpty() && !fileType.contains(QLatin1Char('/')))
        m_item.Type = fileType;

    const SameNamePolicy policy = m_context.options.sameNamePolicy;
    if (policy == SameNamePolicy::Rename) {
        const SavePath savePath = renamedSavePath(m_item.Folder, m_item.Name, m_item.Type, policy);
        m_item.Name = savePath.name;
        m_path = savePath.path;
    } else {
        m_path = ItemFilePath(m_item);
    }

    // An older file of the same path goes first; when it cannot, it stays.
    if (FileExists(m_path))
        QFile::remove(m_path);
    if (FileExists(m_path)) {
        const QString length = QString::number(qMax<qint64>(FileLength(m_path), 0));
        m_item.State = Failed;
        m_item.Size = length;
        m_item.Downloaded = length;
        m_item.Progress = EngineText::kCannotReplace;
        control.Cancel();
        end(TransferOutcome::CannotReplace);
        return;
    }

    if (m_announced > 0)
        startPieces();
    else
        FetchWholeBody();
}

void SingleTransfer::startPieces()
{
    m_item.Downloaded = QStringLiteral("0");
    m_stored = 0;
    m_lastLength = 0;
    m_lastGrowth = m_context.clock.seconds();
    openTarget();
    m_phase = Phase::Pieces;
    storeItem();
    readPieces();
}

// Takes every piece that has arrived, appends it to the file, and after the
// pieces decides: complete, stopped by the user, or ended short.
void SingleTransfer::readPieces()
{
    TransferControl &control = m_context.control;
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
            m_item.Downloaded = QString::number(m_stored);
            m_item.Progress = percentage();
            if (!closeTarget()) { // the last bytes never reached the disk
                m_item.State = Failed;
                end(TransferOutcome::EndedShort);
                return;
            }
            m_item.State = Finished;
            CorrectItemType(m_item);
            end(TransferOutcome::Completed);
            return;
        }
    }
    if (m_phase != Phase::Pieces)
        return;

    if (grew) {
        m_lastGrowth = m_context.clock.seconds();
        m_item.Downloaded = QString::number(m_stored);
        m_item.Progress = percentage();
        storeItem();
    }

    if (!m_context.values.DownloadRunning) {
        control.Cancel();
        closeTarget();
        removeTarget();
        m_item.Progress = EngineText::kCancelled;
        m_item.State = Failed;
        end(TransferOutcome::Cancelled);
        return;
    }

    // The connection is over and the announced length never came: no more
    // bytes can arrive, so waiting out the stall limit would only delay the
    // failure.
    if (control.responseEnded() && control.bytesAvailable() == 0) {
        closeTarget();
        m_item.State = Failed;
        end(TransferOutcome::EndedShort);
    }
}

void SingleTransfer::FetchWholeBody()
{
    TransferControl &control = m_context.control;
    m_item.Size = EngineText::kSizeUnknown;
    storeItem();

    // A second request over the same connection settings, without the
    // referring page; its body goes straight to the file.
    control.Cancel();
    m_stored = 0;
    m_lastGrowth = m_context.clock.seconds();
    openTarget();
    m_phase = Phase::WholeFetch;
    control.OpenURL(m_item.Url);
}

void SingleTransfer::readWholeBody()
{
    TransferControl &control = m_context.control;
    const double limit = m_context.settings.MaxFileSizeMB;
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
        if (m_stored / kMegabyte > limit) {
            control.Cancel();
            closeTarget();
            removeTarget();
            m_item.State = Finished;
            m_item.Progress = EngineText::kLargeFileSkipped;
            end(TransferOutcome::TooLarge);
            return;
        }
    }
    if (grew)
        m_lastGrowth = m_context.clock.seconds();
}

// The end of the whole fetch: stored when at least one byte of a whole
// response arrived, else nothing is kept.
void SingleTransfer::endWholeFetch(bool cancelled)
{
    TransferControl &control = m_context.control;
    if (!cancelled) {
        readWholeBody();
        if (m_phase != Phase::WholeFetch)
            return;
    }
    TransferOutcome outcome = TransferOutcome::FetchedWhole;
    if (!cancelled && control.endedWhole() && m_stored > 0 && closeTarget()) {
        m_item.Size = QString::number(qMax<qint64>(FileLength(m_path), 0));
        m_item.Downloaded = QString::number(m_stored);
        m_item.Progress = EngineText::kComplete;
        m_item.State = Finished;
    } else {
        control.Cancel();
        closeTarget();
        removeTarget();
        m_item.Size.clear();
        m_item.Downloaded.clear();
        m_item.Progress.clear();
        m_item.State = Failed;
        outcome = TransferOutcome::FetchedNothing;
    }
    CorrectItemType(m_item);
    end(outcome);
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
    const double now = m_context.clock.seconds();
    switch (m_phase) {
    case Phase::Idle:
        m_timer.stop();
        break;
    case Phase::AwaitingResponse:
        if (now - m_requestTime > kResponseWaitSeconds)
            decideFromResponse();
        break;
    case Phase::Pieces:
        readPieces();
        if (m_phase == Phase::Pieces && now - m_lastGrowth > kStallSeconds) {
            m_context.control.Cancel();
            closeTarget();
            m_item.State = Failed;
            end(TransferOutcome::Stalled);
        }
        break;
    case Phase::WholeFetch:
        readWholeBody();
        if (m_phase != Phase::WholeFetch)
            break;
        if (!m_context.values.DownloadRunning || now - m_lastGrowth > kStallSeconds)
            endWholeFetch(true);
        break;
    }
}

void SingleTransfer::stop()
{
    m_context.values.DownloadRunning = false;
    m_context.control.Cancel();
    // A decision under way sees DownloadRunning false at its first piece.
    if (m_deciding)
        return;
    switch (m_phase) {
    case Phase::AwaitingResponse: decideFromResponse(); break;
    case Phase::Pieces: readPieces(); break;
    case Phase::WholeFetch: endWholeFetch(true); break;
    case Phase::Idle: break;
    }
}

void SingleTransfer::end(TransferOutcome outcome)
{
    if (m_phase == Phase::Idle)
        return; // ended already: finished() comes once
    m_phase = Phase::Idle;
    m_timer.stop();
    m_context.control.Cancel();
    closeTarget();

    m_context.values.LastFinishTime = m_context.clock.seconds();
    storeItem();
    const EndNotice notice = RunEndSteps(m_item, m_context.options, m_context.sounds);
    emit panel2TextChanged(notice.panel2Text);
    if (notice.loginWanted)
        emit loginRequested(m_itemId);

    m_context.values.DownloadRunning = false;

    TransferResult result;
    result.itemId = m_itemId;
    result.outcome = outcome;
    result.bytesRead = m_stored;
    result.bytesTotal = m_announced;
    result.errorText = m_context.control.ResponseInfo();
    emit finished(result);
}

void SingleTransfer::storeItem()
{
    const int row = m_context.list.rowOfId(m_itemId);
    if (row >= 0)
        m_context.list.updateItem(row, [this](DownloadItem &stored) { stored = m_item; });
}

bool SingleTransfer::openTarget()
{
    closeTarget();
    m_file.setFileName(m_path);
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
    if (!m_path.isEmpty())
        QFile::remove(m_path);
}

QString SingleTransfer::percentage() const
{
    if (m_announced <= 0)
        return m_item.Progress;
    return QString::number(m_stored * 100 / m_announced) + QLatin1Char('%');
}
