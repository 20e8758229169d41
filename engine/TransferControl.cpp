#include "engine/TransferControl.h"

#include "engine/EngineTexts.h"

#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkProxy>
#include <QNetworkRequest>
#include <QUrl>

namespace {

int defaultPort(const QUrl &url)
{
    return url.scheme() == QLatin1String("https") ? 443 : 80;
}

// An error Qt reports for an HTTP status of 400 or more whose page arrived;
// the response itself is whole.
bool isStatusError(QNetworkReply::NetworkError error)
{
    const int code = int(error);
    return (code >= 201 && code <= 299) || error == QNetworkReply::ProtocolInvalidOperationError
           || (code >= 401 && code <= 499);
}

bool isRedirectBeingFollowed(const QNetworkReply &reply)
{
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool redirect =
        status == 301 || status == 302 || status == 303 || status == 305 || status == 307 || status == 308;
    const auto policy = reply.request().attribute(QNetworkRequest::RedirectPolicyAttribute);
    const bool manual = policy.isValid() && policy.toInt() == QNetworkRequest::ManualRedirectPolicy;
    return redirect && !manual && reply.hasRawHeader("Location");
}

const QString kClosedBeforeWholeBody = QStringLiteral("Connection closed before the whole body arrived");

} // namespace

QString TransferStateText(int state, int errorNumber, const QString &errorText)
{
    const QString error = QString::number(errorNumber) + QLatin1Char(':') + errorText;
    if (state < 0 || state > TransferState::ResponseCompleted)
        return error;
    if (state == TransferState::Error)
        return EngineText::kTransferStateTexts[state] + error;
    return EngineText::kTransferStateTexts[state];
}

TransferControl::TransferControl(QNetworkAccessManager &network, QObject *parent) : QObject(parent), m_network(network)
{}

TransferControl::~TransferControl()
{
    dropReply();
}

void TransferControl::Execute(const QString &url, const QString &method, const QByteArray &data, const QString &headers)
{
    start(url, method.toLatin1(), data, headers);
}

void TransferControl::OpenURL(const QString &url)
{
    start(url, "GET", QByteArray(), QString());
}

void TransferControl::start(const QString &address, const QByteArray &method, const QByteArray &data,
                            const QString &headers)
{
    dropReply();
    ++m_requestNumber;
    m_pendingFailure = false;
    m_headersArrived = false;
    m_ended = false;
    m_connectedReported = false;
    m_completeReported = false;
    m_bodyLength = -1;
    m_bodyRead = 0;
    m_errorCode = 0;
    m_errorText.clear();
    m_method = method.toUpper();

    QUrl url(address);
    if (m_connection.accessType == TransferConnection::NamedProxy && !isUsableProxy(m_connection.proxy)) {
        failWithoutReply(QNetworkReply::ProxyNotFoundError, EngineText::kProxyUnusable);
        return;
    }
    QNetworkAccessManager &network = managerFor(m_connection);
    const bool direct = m_connection.accessType != TransferConnection::NamedProxy;
    if (direct && url.isValid() && m_connection.remotePort > 0) {
        // A direct connection goes to the port worked out for the address;
        // through a proxy the address keeps its own.
        url.setPort(m_connection.remotePort == defaultPort(url) ? -1 : m_connection.remotePort);
    }

    QNetworkRequest request(url);
    // Bodies are stored as the server sends them: no compressed transfer,
    // so that the announced length is the length of the stored file.
    request.setRawHeader("Accept-Encoding", "identity");
    request.setRawHeader("User-Agent", EngineText::kUserAgent);
    for (const QString &line : headers.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon > 0)
            request.setRawHeader(line.left(colon).trimmed().toLatin1(), line.mid(colon + 1).trimmed().toUtf8());
    }

    reportState(TransferState::Resolving);
    // A plain GET goes as such: no body and no Content-Length line.
    if (method == "GET" && data.isEmpty())
        m_reply = network.get(request);
    else
        m_reply = network.sendCustomRequest(request, method, data);
    m_reply->setReadBufferSize(kReadBufferBytes);

    QNetworkReply *reply = m_reply;
    connect(reply, &QNetworkReply::socketStartedConnecting, this, [this] {
        reportState(TransferState::Resolved);
        reportState(TransferState::Connecting);
    });
    connect(reply, &QNetworkReply::requestSent, this, [this] {
        if (!m_connectedReported) {
            m_connectedReported = true;
            reportState(TransferState::Connected);
        }
        reportState(TransferState::Requesting);
        reportState(TransferState::RequestSent);
    });
    connect(reply, &QNetworkReply::metaDataChanged, this, &TransferControl::onMetaDataChanged);
    connect(reply, &QNetworkReply::readyRead, this, &TransferControl::bodyAvailable);
    connect(reply, &QNetworkReply::errorOccurred, this, [this, reply](QNetworkReply::NetworkError error) {
        if (m_errorCode == 0) {
            m_errorCode = int(error);
            m_errorText = reply->errorString();
        }
    });
    connect(reply, &QNetworkReply::finished, this, &TransferControl::onFinished);
}

bool TransferControl::isUsableProxy(const QString &proxy)
{
    const qsizetype colon = proxy.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    bool portOk = false;
    const uint port = proxy.mid(colon + 1).trimmed().toUInt(&portOk);
    return portOk && port >= 1 && port <= 65535 && !proxy.left(colon).trimmed().isEmpty();
}

// A request that cannot be sent ends with an error, as a refused one would:
// once the caller has returned, never from inside Execute.
void TransferControl::failWithoutReply(QNetworkReply::NetworkError error, const QString &text)
{
    m_errorCode = int(error);
    m_errorText = text;
    m_pendingFailure = true;
    const quint64 request = m_requestNumber;
    QMetaObject::invokeMethod(
        this,
        [this, request] {
            if (request != m_requestNumber || !m_pendingFailure)
                return;
            m_pendingFailure = false;
            m_ended = true;
            reportState(TransferState::Error);
            emit ended();
        },
        Qt::QueuedConnection);
}

QNetworkAccessManager &TransferControl::managerFor(const TransferConnection &connection)
{
    if (connection.accessType != TransferConnection::NamedProxy)
        return m_network;
    const qsizetype colon = connection.proxy.lastIndexOf(QLatin1Char(':'));
    bool portOk = false;
    const quint16 port = connection.proxy.mid(colon + 1).trimmed().toUShort(&portOk);
    const QString host = connection.proxy.left(colon).trimmed();
    if (colon <= 0 || !portOk || port == 0 || host.isEmpty())
        return m_network; // a proxy text the control cannot use is passed over

    if (!m_proxyNetwork)
        m_proxyNetwork = new QNetworkAccessManager(this);
    // The same cookie jar as every other transfer; the shared manager stays
    // its owner.
    QNetworkCookieJar *jar = m_network.cookieJar();
    if (m_proxyNetwork->cookieJar() != jar) {
        QObject *owner = jar->parent();
        m_proxyNetwork->setCookieJar(jar);
        jar->setParent(owner);
    }
    if (m_proxyInUse != connection.proxy) {
        m_proxyNetwork->setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, host, port));
        m_proxyInUse = connection.proxy;
    }
    return *m_proxyNetwork;
}

void TransferControl::reportState(int state)
{
    emit StateChanged(state, TransferStateText(state, m_errorCode, m_errorText));
}

void TransferControl::onMetaDataChanged()
{
    if (m_headersArrived || !m_reply)
        return;
    if (!m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid())
        return;
    if (isRedirectBeingFollowed(*m_reply))
        return; // the headers that count are those of the page redirected to
    m_headersArrived = true;
    bool numeric = false;
    const qint64 length = m_reply->rawHeader("Content-Length").trimmed().toLongLong(&numeric);
    m_bodyLength = numeric ? length : -1;
    reportState(TransferState::ReceivingResponse);
    reportState(TransferState::ResponseReceived);
    emit headersArrived();
}

void TransferControl::onFinished()
{
    if (!m_reply || m_ended)
        return;
    if (!m_headersArrived && m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid()) {
        m_headersArrived = true;
        emit headersArrived();
    }
    m_ended = true;
    if (m_errorCode == 0 && m_reply->error() != QNetworkReply::NoError) {
        m_errorCode = int(m_reply->error());
        m_errorText = m_reply->errorString();
    }
    // When the server's close races its last bytes, the network layer can
    // finish a reply without error although its body fell short of the
    // announced length. A cut body is a broken connection all the same.
    if (m_errorCode == 0 && bodyFellShort()) {
        m_errorCode = int(QNetworkReply::RemoteHostClosedError);
        m_errorText = kClosedBeforeWholeBody;
    }
    if (m_errorCode != 0)
        reportState(TransferState::Error);
    else if (!m_completeReported)
        reportState(TransferState::ResponseCompleted);
    m_completeReported = true;
    emit ended();
}

int TransferControl::StatusCode() const
{
    if (!m_reply || !m_headersArrived)
        return 0;
    return m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

bool TransferControl::StillExecuting() const
{
    return (m_reply && !m_ended) || m_pendingFailure;
}

QString TransferControl::GetHeader(const QString &name) const
{
    if (!m_reply || !m_headersArrived)
        return QString();
    return QString::fromLatin1(m_reply->rawHeader(name.toLatin1()));
}

QString TransferControl::GetHeader() const
{
    if (!m_reply || !m_headersArrived)
        return QString();
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return QString();
    const bool http2 = m_reply->attribute(QNetworkRequest::Http2WasUsedAttribute).toBool();
    QStringList lines;
    lines << (http2 ? QStringLiteral("HTTP/2 ") : QStringLiteral("HTTP/1.1 ")) + QString::number(status.toInt())
                 + QLatin1Char(' ')
                 + QString::fromLatin1(m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray());
    for (const auto &[name, value] : m_reply->rawHeaderPairs())
        lines << QString::fromLatin1(name) + QStringLiteral(": ") + QString::fromLatin1(value);
    return lines.join(QStringLiteral("\r\n"));
}

QByteArray TransferControl::GetChunk(qint64 maxBytes)
{
    QByteArray piece(qMax<qint64>(0, qMin(maxBytes, bytesAvailable())), Qt::Uninitialized);
    piece.truncate(qMax<qint64>(0, GetChunk(piece.data(), piece.size())));
    return piece;
}

qint64 TransferControl::GetChunk(char *buffer, qint64 maxBytes)
{
    if (!m_reply || !m_reply->isOpen() || maxBytes <= 0)
        return 0;
    const qint64 n = qMax<qint64>(0, m_reply->read(buffer, maxBytes));
    m_bodyRead += n;
    // Every announced byte taken: the request is complete even when the
    // reader cancels before the reply itself reports its end.
    if (n > 0 && !m_completeReported && m_bodyLength > 0 && m_bodyRead >= m_bodyLength) {
        m_completeReported = true;
        reportState(TransferState::ResponseCompleted);
    }
    return n;
}

qint64 TransferControl::bytesAvailable() const
{
    return m_reply && m_reply->isOpen() ? m_reply->bytesAvailable() : 0;
}

void TransferControl::Cancel()
{
    if (m_pendingFailure) {
        m_pendingFailure = false;
        m_ended = true;
        return;
    }
    if (!m_reply || m_ended)
        return;
    m_reply->disconnect(this);
    m_reply->abort();
    m_ended = true;
    if (m_errorCode == 0 && !m_completeReported) {
        m_errorCode = int(QNetworkReply::OperationCanceledError);
        m_errorText = m_reply->errorString();
    }
}

bool TransferControl::bodyFellShort() const
{
    if (!m_reply || m_bodyLength < 0 || m_method == "HEAD")
        return false;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status < 200 || status == 204 || status == 304)
        return false; // no body belongs to these answers
    return m_bodyRead + m_reply->bytesAvailable() < m_bodyLength;
}

bool TransferControl::endedWhole() const
{
    if (!m_ended || !m_reply)
        return false;
    if (m_errorCode == 0)
        return true;
    return m_headersArrived && isStatusError(QNetworkReply::NetworkError(m_errorCode));
}

void TransferControl::dropReply()
{
    DiscardReply(m_reply, this);
}

void DiscardReply(QPointer<QNetworkReply> &reply, QObject *listener)
{
    QNetworkReply *const dropped = reply;
    if (!dropped)
        return;
    reply = nullptr;
    dropped->disconnect(listener);
    if (!dropped->isFinished())
        dropped->abort();
    dropped->deleteLater();
}
