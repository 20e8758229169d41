#include "updates/XmlHttp.h"

#include "updates/HttpStatusTexts.h"
#include "platform/SafeFiles.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QStringDecoder>

namespace {

constexpr int kPollMs = 10;
const QString kQtNetworkBackend = QStringLiteral("QtNetwork");

} // namespace

QStringList XmlHttp::requestBackends()
{
    return {kQtNetworkBackend};
}

XmlHttp::XmlHttp(QNetworkAccessManager &network, QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("uXMLHTTP"));
    // CreateRequestObject: the first back-end of the list that can be made.
    for (const QString &backend : requestBackends()) {
        if (backend == kQtNetworkBackend) {
            m_network = &network;
            break;
        }
    }
    m_timer.setObjectName(QStringLiteral("tmrReader"));
    m_timer.setInterval(kPollMs);
    connect(&m_timer, &QTimer::timeout, this, &XmlHttp::poll);
}

XmlHttp::~XmlHttp()
{
    m_timer.stop();
    dropReply();
}

void XmlHttp::open(const QString &method, const QString &url, const QString &savePath)
{
    m_downOk = false;
    m_timer.stop();
    dropReply();
    m_method = method.toUpper().toLatin1();
    m_request = QNetworkRequest(QUrl(url));
    m_opened = m_network != nullptr;
    m_armed = true;
    m_saveFile = savePath;
    m_readyState = m_opened ? 1 : 0;
    m_status = 0;
    m_statusText.clear();
    m_headers.clear();
    m_body.clear();
    m_bodyCut = false;
    m_bodySaved = false;
}

void XmlHttp::setRequestHeader(const QString &name, const QString &value)
{
    if (m_opened && !m_reply)
        m_request.setRawHeader(name.toLatin1(), value.toLatin1());
}

void XmlHttp::send(const QByteArray &body)
{
    if (m_opened && !m_reply) {
        if (m_timeoutMs > 0)
            m_request.setTransferTimeout(m_timeoutMs);
        QNetworkReply *reply = m_network->sendCustomRequest(m_request, m_method, body);
        m_reply = reply;
        connect(reply, &QNetworkReply::metaDataChanged, this, [this] {
            if (m_readyState < 2)
                m_readyState = 2;
        });
        connect(reply, &QNetworkReply::readyRead, this, [this] {
            m_readyState = 3;
            takeBody();
        });
        connect(reply, &QNetworkReply::finished, this, [this] {
            takeBody();
            if (m_reply) {
                m_status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
                m_statusText = m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
                m_headers = m_reply->rawHeaderPairs();
                dropReply();
            }
            m_readyState = 4;
        });
    }
    if (m_armed)
        m_timer.start();
}

void XmlHttp::abort()
{
    m_timer.stop();
    dropReply();
    m_opened = false;
    m_armed = false;
    m_readyState = 0;
}

int XmlHttp::status() const
{
    if (m_reply)
        return m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return m_status;
}

QString XmlHttp::statusText() const
{
    if (m_reply)
        return m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    return m_statusText;
}

QString XmlHttp::responseHeader(const QString &name) const
{
    const QByteArray wanted = name.toLatin1().toLower();
    const auto pairs = m_reply ? m_reply->rawHeaderPairs() : m_headers;
    for (const auto &[key, value] : pairs) {
        if (key.toLower() == wanted)
            return QString::fromLatin1(value);
    }
    return QString();
}

QString XmlHttp::allResponseHeaders() const
{
    QString text;
    const auto pairs = m_reply ? m_reply->rawHeaderPairs() : m_headers;
    for (const auto &[key, value] : pairs)
        text += QString::fromLatin1(key + ": " + value + "\r\n");
    return text;
}

QString XmlHttp::responseText() const
{
    const QString type = responseHeader(QStringLiteral("Content-Type"));
    const qsizetype at = type.indexOf(QLatin1String("charset="), 0, Qt::CaseInsensitive);
    if (at >= 0) {
        const QString charset = type.mid(at + 8).section(QLatin1Char(';'), 0, 0).trimmed().remove(QLatin1Char('"'));
        QStringDecoder decoder(charset.toLatin1().constData());
        if (decoder.isValid())
            return decoder.decode(m_body);
    }
    return QString::fromUtf8(m_body);
}

// The reply's bytes are gathered as they arrive; past the body limit the
// request ends here, complete with the bytes up to the limit.
void XmlHttp::takeBody()
{
    if (!m_reply)
        return;
    m_body += m_reply->readAll();
    if (m_bodyLimit > 0 && m_body.size() > m_bodyLimit) {
        m_body.truncate(m_bodyLimit);
        m_bodyCut = true;
        m_status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        m_statusText = m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        m_headers = m_reply->rawHeaderPairs();
        dropReply();
        m_readyState = 4;
    }
}

void XmlHttp::dropReply()
{
    if (!m_reply)
        return;
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

void XmlHttp::poll()
{
    emit readyStateChanged();
    if (m_readyState != 4)
        return;
    m_timer.stop();
    m_armed = false;
    m_opened = false;
    m_downOk = true;
    const int code = m_status;
    if (code == 200) {
        // A body cut at the limit is not the file: the file at the save path
        // stays as it was.
        if (!m_saveFile.isEmpty() && !m_body.isEmpty() && !m_bodyCut)
            m_bodySaved = saveBody();
        emit dataArrived();
    } else if (code >= 0 && code <= 600) {
        emit dataError(HttpStatusText(code));
    }
}

// The file at the save path is replaced only by a complete body: the new
// bytes go to a new side file beside it that then takes its name (a link at
// either name is replaced, never written through). A body that cannot be
// stored leaves the old file as it was.
bool XmlHttp::saveBody()
{
    NewFile file;
    return file.create(m_saveFile + QStringLiteral(".part")) && file.file().write(m_body) == m_body.size()
           && file.putInPlace(m_saveFile);
}
