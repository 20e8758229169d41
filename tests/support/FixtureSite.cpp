#include "tests/support/FixtureSite.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QHostAddress>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

namespace {

using Header = QPair<QByteArray, QByteArray>;

constexpr qint64 kStreamBlock = 256 * 1024;
constexpr qint64 kStreamHighWater = 1024 * 1024;
constexpr char kNotFoundPage[] = "<html><head><title>404</title></head><body>Not found</body></html>";

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 302: return "Found";
    case 403: return "Forbidden";
    case 206: return "Partial Content";
    case 404: return "Not Found";
    case 416: return "Range Not Satisfiable";
    case 429: return "Too Many Requests";
    case 503: return "Service Unavailable";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

qint64 queryNumber(const QUrlQuery &query, const QString &key, qint64 fallback)
{
    bool ok = false;
    const qint64 value = query.queryItemValue(key).toLongLong(&ok);
    return ok ? value : fallback;
}

// Filler of a streamed body: the PDF header first, then a fixed pattern.
const QByteArray &streamBlock(bool first)
{
    static const QByteArray firstBlock = FixtureSite::pdfBody(kStreamBlock);
    static const QByteArray laterBlock = QByteArray(kStreamBlock, 'x');
    return first ? firstBlock : laterBlock;
}

QByteArray headHeaders(int status, const QList<QPair<QByteArray, QByteArray>> &headers)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    for (const auto &[name, value] : headers)
        head += name + ": " + value + "\r\n";
    head += "Connection: close\r\n";
    return head;
}

} // namespace

QList<QByteArray> FixtureSite::Request::headerValues(const QByteArray &name) const
{
    QList<QByteArray> values;
    for (const auto &[headerName, value] : headers) {
        if (headerName.compare(name, Qt::CaseInsensitive) == 0)
            values.append(value);
    }
    return values;
}

QByteArray FixtureSite::Request::header(const QByteArray &name) const
{
    const QList<QByteArray> values = headerValues(name);
    return values.isEmpty() ? QByteArray() : values.first();
}

FixtureSite::FixtureSite(QObject *parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] { onNewConnection(&m_server); });
    connect(&m_ipv6Server, &QTcpServer::newConnection, this, [this] { onNewConnection(&m_ipv6Server); });
    // A TLS connection is handed over once its handshake is done.
    connect(&m_tlsServer, &QSslServer::pendingConnectionAvailable, this, [this] { onNewConnection(&m_tlsServer); });
}

FixtureSite::~FixtureSite()
{
    // Connections still open (a held result page, a stall) are closed while
    // the site is whole: their sockets belong to the servers, which outlive
    // the request table their handlers use.
    for (QTcpServer *server : {&m_server, static_cast<QTcpServer *>(&m_tlsServer), &m_ipv6Server}) {
        server->close();
        const QList<QTcpSocket *> sockets = server->findChildren<QTcpSocket *>();
        for (QTcpSocket *socket : sockets) {
            disconnect(socket, nullptr, this, nullptr);
            delete socket;
        }
    }
}

bool FixtureSite::start(quint16 port)
{
    return m_server.listen(QHostAddress::LocalHost, port);
}

bool FixtureSite::startTls(const QSslCertificate &certificate, const QSslKey &key)
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(certificate);
    configuration.setPrivateKey(key);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    m_tlsServer.setSslConfiguration(configuration);
    return m_tlsServer.listen(QHostAddress::LocalHost);
}

bool FixtureSite::startIPv6()
{
    return m_ipv6Server.listen(QHostAddress::LocalHostIPv6, port());
}

quint16 FixtureSite::closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

void FixtureSite::sendPieces(qint64 bytes)
{
    for (const QPointer<QTcpSocket> &socket : std::as_const(m_pieceSockets)) {
        if (socket)
            socket->write(QByteArray(bytes, 'p'));
    }
}

void FixtureSite::closePieces()
{
    for (const QPointer<QTcpSocket> &socket : std::as_const(m_pieceSockets)) {
        if (socket)
            socket->disconnectFromHost();
    }
}

quint16 FixtureSite::port() const
{
    return m_server.serverPort();
}

QByteArray FixtureSite::base() const
{
    return "http://127.0.0.1:" + QByteArray::number(port());
}

QString FixtureSite::url(const QString &pathAndQuery) const
{
    return QString::fromLatin1(base()) + pathAndQuery;
}

void FixtureSite::addRoute(const QByteArray &path, Handler handler)
{
    m_routes.insert(path, std::move(handler));
}

QList<FixtureSite::Request> FixtureSite::requestsTo(const QByteArray &path) const
{
    QList<Request> matching;
    for (const Request &request : m_requests) {
        if (request.path == path)
            matching.append(request);
    }
    return matching;
}

QByteArray FixtureSite::pdfBody(qint64 size)
{
    QByteArray body = "%PDF-1.4\n";
    body.reserve(qMax<qint64>(size, body.size()));
    static const char pattern[] = "0123456789abcdefghijklmnopqrstuvwxyz\n";
    while (body.size() < size)
        body.append(pattern[body.size() % (sizeof(pattern) - 1)]);
    body.truncate(size);
    return body;
}

QByteArray FixtureSite::loginPage()
{
    return "<html>\n<head><title>Sign in</title></head>\n<body>\n"
           "<form action=\"/login\" method=\"post\">"
           "<input name=\"user\"><input name=\"pass\" type=\"password\"><input type=\"submit\">"
           "</form>\n</body>\n</html>\n";
}

QByteArray FixtureSite::signinPage(const QString &form)
{
    QByteArray body;
    if (form == QLatin1String("standard")) {
        body = "<form action=\"/signin-submit\" method=\"post\">"
               "<input name=\"UserName\"><input name=\"PassWord\" type=\"password\">"
               "<input type=\"submit\" name=\"go\" value=\"login\">"
               "<input type=\"SUBMIT\" name=\"other\" value=\"register\"></form>";
    } else if (form == QLatin1String("two-users")) {
        body = "<form action=\"/signin-submit\" method=\"post\">"
               "<input name=\"user\"><input name=\"USER\">"
               "<input type=\"submit\" name=\"go\" value=\"login\"></form>";
    } else if (form == QLatin1String("submit-first")) {
        body = "<form action=\"/signin-submit\" method=\"post\">"
               "<input name=\"username\"><input type=\"submit\" name=\"go\" value=\"login\">"
               "<input name=\"password\" type=\"password\"></form>";
    } else if (form == QLatin1String("ip")) {
        body = "<p>Sign in by address</p>"
               "<span id=\"submitip\" onclick=\"location.href='/iplogin'\">IP</span>";
    } else {
        return QByteArray();
    }
    return "<!DOCTYPE html>\n<html><head><title>Sign in</title></head><body>\n" + body + "\n</body></html>\n";
}

QByteArray FixtureSite::resultPage(int page)
{
    if (page < 1 || page > kResultPageCount)
        return QByteArray();
    QFile file(QStringLiteral(PAPERDRIFT_RESULT_PAGES_DIR "/results-%1.html").arg(page));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void FixtureSite::onNewConnection(QTcpServer *server)
{
    while (QTcpSocket *socket = server->nextPendingConnection()) {
        m_pending.insert(socket, QByteArray());
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_pending.remove(socket);
            socket->deleteLater();
        });
    }
}

void FixtureSite::onReadyRead(QTcpSocket *socket)
{
    if (!m_pending.contains(socket)) {
        socket->readAll(); // a request was answered already; ignore the rest
        return;
    }
    QByteArray &buffer = m_pending[socket];
    buffer += socket->readAll();
    const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return;

    Request request;
    const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    request.target = requestLine.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            request.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    const qint64 bodyLength = request.header("Content-Length").toLongLong();
    if (buffer.size() - headEnd - 4 < bodyLength)
        return; // the body is still arriving
    request.body = buffer.mid(headEnd + 4, bodyLength);
    m_pending.remove(socket);

    const QUrl url = request.target.startsWith('/') ? QUrl(QString::fromLatin1(base() + request.target))
                                                    : QUrl(QString::fromLatin1(request.target));
    request.path = url.path(QUrl::FullyEncoded).toLatin1();
    request.query = QUrlQuery(url);
    if (request.method == "POST")
        request.query = QUrlQuery(QString::fromLatin1(request.body));
    m_requests.append(request);
    emit requestReceived(request.path);
    dispatch(socket, request);
}

void FixtureSite::dispatch(QTcpSocket *socket, const Request &request)
{
    const QUrlQuery &query = request.query;
    const qint64 size = queryNumber(query, "size", 4096);
    Response response;

    if (const auto route = m_routes.constFind(request.path); route != m_routes.constEnd()) {
        send(socket, route.value()(request));
        return;
    }
    if (dispatchPoliteRoutes(socket, request))
        return;
    if (dispatchUpdateRoutes(socket, request))
        return;
    if (request.path == "/pdf" || request.path == "/pdf-close" || request.path == "/pdf-chunked") {
        response.headers.append(Header("Content-Type", "application/pdf"));
        response.body = pdfBody(size);
        response.contentLength = request.path == "/pdf";
        response.chunked = request.path == "/pdf-chunked";
        send(socket, response);
    } else if (request.path == "/typed") {
        const QByteArray type = query.queryItemValue("type", QUrl::FullyDecoded).toUtf8();
        if (!type.isEmpty())
            response.headers.append(Header("Content-Type", type));
        response.body = query.queryItemValue("body") == "html" ? loginPage() : pdfBody(size);
        send(socket, response);
    } else if (request.path == "/protected.pdf") {
        if (request.header("Cookie").contains("session=ok")) {
            response.headers.append(Header("Content-Type", "application/pdf"));
            response.body = pdfBody(size);
        } else {
            response.headers.append(Header("Content-Type", "text/html; charset=utf-8"));
            response.body = loginPage();
        }
        send(socket, response);
    } else if (request.path == "/login") {
        response.headers.append(Header("Content-Type", "text/html; charset=utf-8"));
        if (query.hasQueryItem("user") && query.hasQueryItem("pass")) {
            response.headers.append(Header("Set-Cookie", "session=ok; Path=/"));
            response.body = "<html><head><title>Welcome</title></head><body>Signed in</body></html>";
        } else {
            response.body = loginPage();
        }
        send(socket, response);
    } else if (request.path == "/signin") {
        const QByteArray page = signinPage(query.queryItemValue("form"));
        response.status = page.isEmpty() ? 404 : 200;
        response.headers.append(Header("Content-Type", "text/html; charset=utf-8"));
        response.body = page.isEmpty() ? QByteArray(kNotFoundPage) : page;
        send(socket, response);
    } else if (request.path == "/signin-submit" || request.path == "/iplogin") {
        response.headers.append(Header("Content-Type", "text/html; charset=utf-8"));
        response.headers.append(Header("Set-Cookie", "session=ok; Path=/"));
        response.body = "<html><head><title>Welcome</title></head><body>Signed in</body></html>";
        send(socket, response);
    } else if (request.path == "/stall") {
        streamBody(socket, size, true, queryNumber(query, "after", 0), false);
    } else if (request.path == "/short") {
        streamBody(socket, size, true, queryNumber(query, "send", size / 2), true);
    } else if (request.path == "/trickle") {
        trickle(socket, size, queryNumber(query, "piece", 1024), int(queryNumber(query, "ms", 100)));
    } else if (request.path == "/large") {
        if (query.queryItemValue("chunked") == QLatin1String("1"))
            streamChunked(socket, size);
        else
            streamBody(socket, size, query.queryItemValue("length") != "0", size, true);
    } else if (request.path == "/results") {
        const int page = int(queryNumber(query, "page", 1));
        const QByteArray body = resultPage(page);
        if (body.isEmpty()) {
            response.status = 404;
            response.headers.append(Header("Content-Type", "text/html"));
            response.body = kNotFoundPage;
        } else if (m_heldResultPages.contains(page)) {
            socket->write(headHeaders(200, {{"Content-Type", "text/html; charset=utf-8"}}) + "Content-Length: "
                          + QByteArray::number(body.size()) + "\r\n\r\n" + body.left(body.size() / 2));
            return;
        } else {
            response.headers.append(Header("Content-Type", "text/html; charset=utf-8"));
            response.body = body;
        }
        send(socket, response);
    } else if (request.path.startsWith("/doi/")) {
        const bool signedIn = request.header("Cookie").contains("session=ok");
        if (request.path.endsWith("/1.G0003") && !signedIn) {
            response.headers.append(Header("Content-Type", "text/html; charset=utf-8"));
            response.body = loginPage();
        } else if (request.path.endsWith("/1.C034000")) {
            response.headers.append(Header("Content-Type", "application/pdf"));
            response.body = QByteArray("CAJ\0", 4) + QByteArray(2000, 'c');
        } else {
            const bool mislabelled = request.path.endsWith("/1.B36000");
            response.headers.append(Header("Content-Type", mislabelled ? "text/plain" : "application/pdf"));
            response.body = pdfBody(size);
        }
        send(socket, response);
    } else if (request.path == "/piece") {
        QByteArray head = headHeaders(200, {{"Content-Type", "application/pdf"}});
        if (const qint64 length = queryNumber(query, "length", 0); length > 0)
            head += "Content-Length: " + QByteArray::number(length) + "\r\n";
        socket->write(head + "\r\n");
        m_pieceSockets.append(socket);
        ++m_pieceAnswered;
    } else if (request.path == "/silent") {
        return; // the connection stays open and nothing comes
    } else if (request.path == "/status") {
        response.status = int(queryNumber(query, "code", 500));
        send(socket, response);
    } else {
        response.status = 404;
        response.headers.append(Header("Content-Type", "text/html"));
        response.body = kNotFoundPage;
        send(socket, response);
    }
}

void FixtureSite::send(QTcpSocket *socket, const Response &response)
{
    QByteArray head = headHeaders(response.status, response.headers);
    if (response.chunked) {
        head += "Transfer-Encoding: chunked\r\n\r\n";
        socket->write(head);
        constexpr qsizetype kChunk = 1000;
        for (qsizetype at = 0; at < response.body.size(); at += kChunk) {
            const QByteArray piece = response.body.mid(at, kChunk);
            socket->write(QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n");
        }
        socket->write("0\r\n\r\n");
    } else {
        if (response.contentLength)
            head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
        socket->write(head + "\r\n" + response.body);
    }
    socket->disconnectFromHost();
}

void FixtureSite::streamBody(QTcpSocket *socket, qint64 size, bool announce, qint64 stopAfter, bool closeWhenDone)
{
    QByteArray head = headHeaders(200, {{"Content-Type", "application/pdf"}});
    if (announce)
        head += "Content-Length: " + QByteArray::number(size) + "\r\n";
    socket->write(head + "\r\n");

    const qint64 limit = qMin(size, stopAfter);
    auto sent = std::make_shared<qint64>(0);
    auto pump = [socket, sent, limit, closeWhenDone] {
        while (*sent < limit && socket->bytesToWrite() < kStreamHighWater) {
            const QByteArray &block = streamBlock(*sent == 0);
            const qint64 n = qMin<qint64>(block.size(), limit - *sent);
            socket->write(block.constData(), n);
            *sent += n;
        }
        if (*sent >= limit && closeWhenDone && socket->state() == QAbstractSocket::ConnectedState)
            socket->disconnectFromHost();
    };
    connect(socket, &QTcpSocket::bytesWritten, socket, pump);
    pump();
}

// A streamed body in chunked transfer encoding, ended by its last chunk:
// the client knows it has the whole body without any length.
void FixtureSite::streamChunked(QTcpSocket *socket, qint64 size)
{
    socket->write(headHeaders(200, {{"Content-Type", "application/pdf"}}) + "Transfer-Encoding: chunked\r\n\r\n");
    auto sent = std::make_shared<qint64>(0);
    auto done = std::make_shared<bool>(false);
    auto pump = [socket, sent, done, size] {
        while (*sent < size && socket->bytesToWrite() < kStreamHighWater) {
            const QByteArray &block = streamBlock(*sent == 0);
            const qint64 n = qMin<qint64>(block.size(), size - *sent);
            socket->write(QByteArray::number(n, 16) + "\r\n");
            socket->write(block.constData(), n);
            socket->write("\r\n");
            *sent += n;
        }
        if (*sent >= size && !*done) {
            *done = true;
            socket->write("0\r\n\r\n");
            socket->disconnectFromHost();
        }
    };
    connect(socket, &QTcpSocket::bytesWritten, socket, pump);
    pump();
}

void FixtureSite::trickle(QTcpSocket *socket, qint64 size, qint64 piece, int intervalMs)
{
    socket->write(headHeaders(200, {{"Content-Type", "application/pdf"}})
                  + "Content-Length: " + QByteArray::number(size) + "\r\n\r\n");
    const QByteArray body = pdfBody(size);
    auto sent = std::make_shared<qint64>(0);
    auto *timer = new QTimer(socket);
    connect(timer, &QTimer::timeout, socket, [socket, timer, body, sent, piece] {
        const QByteArray next = body.mid(*sent, piece);
        socket->write(next);
        *sent += next.size();
        if (*sent >= body.size()) {
            timer->stop();
            socket->disconnectFromHost();
        }
    });
    timer->start(intervalMs);
}

FixtureProxy::FixtureProxy(QObject *parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &FixtureProxy::onNewConnection);
}

bool FixtureProxy::start()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

void FixtureProxy::onNewConnection()
{
    while (QTcpSocket *client = m_server.nextPendingConnection()) {
        auto *upstream = new QTcpSocket(client);
        auto head = std::make_shared<QByteArray>();
        auto forwarding = std::make_shared<bool>(false);

        connect(client, &QTcpSocket::readyRead, this, [this, client, upstream, head, forwarding] {
            if (*forwarding) {
                upstream->write(client->readAll());
                return;
            }
            *head += client->readAll();
            const qsizetype end = head->indexOf("\r\n\r\n");
            if (end < 0)
                return;
            const qsizetype lineEnd = head->indexOf("\r\n");
            const QList<QByteArray> requestLine = head->left(lineEnd).split(' ');
            m_requestLines.append(head->left(lineEnd));
            const QUrl target(QString::fromLatin1(requestLine.value(1)));
            const bool loopback =
                target.host() == QLatin1String("127.0.0.1") || target.host() == QLatin1String("localhost");
            if (!target.isValid() || !loopback) {
                client->write("HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                client->disconnectFromHost();
                return;
            }
            QByteArray originForm = target.path(QUrl::FullyEncoded).toLatin1();
            if (target.hasQuery())
                originForm += '?' + target.query(QUrl::FullyEncoded).toLatin1();
            if (originForm.isEmpty())
                originForm = "/";
            *head = requestLine.value(0) + ' ' + originForm + ' ' + requestLine.value(2) + head->mid(lineEnd);
            *forwarding = true;
            upstream->connectToHost(QHostAddress::LocalHost, quint16(target.port(80)));
        });
        connect(upstream, &QTcpSocket::connected, this, [upstream, head] { upstream->write(*head); });
        connect(upstream, &QTcpSocket::readyRead, this, [client, upstream] { client->write(upstream->readAll()); });
        connect(upstream, &QTcpSocket::disconnected, this, [client] { client->disconnectFromHost(); });
        connect(upstream, &QTcpSocket::errorOccurred, this, [client] { client->disconnectFromHost(); });
        connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
    }
}

// ---------------------------------------------------------------- continued transfers, busy servers, server names

namespace {

QByteArray httpDate(const QDateTime &utc)
{
    return QLocale(QLocale::English, QLocale::UnitedStates)
        .toString(utc.toUTC(), QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"))
        .toLatin1();
}

} // namespace

QByteArray FixtureSite::rangedBytes(qint64 from, qint64 length, int version)
{
    static const QByteArray head = "%PDF-1.4\n";
    static const char pattern[] = "0123456789abcdefghijklmnopqrstuvwxyz\n";
    constexpr qint64 kPattern = sizeof(pattern) - 1;
    QByteArray bytes(length, Qt::Uninitialized);
    for (qint64 i = 0; i < length; ++i) {
        const qint64 at = from + i;
        bytes[i] = at < head.size() ? head[at] : pattern[(at + version * 7) % kPattern];
    }
    return bytes;
}

QByteArray FixtureSite::rangedBody(qint64 size, int version)
{
    return rangedBytes(0, size, version);
}

bool FixtureSite::dispatchPoliteRoutes(QTcpSocket *socket, const Request &request)
{
    const QUrlQuery &query = request.query;
    if (request.path == "/busy") {
        const int code = int(queryNumber(query, "code", 503));
        const QDateTime now = QDateTime::currentDateTimeUtc();
        QList<Header> headers{{"Content-Type", "text/html"}, {"Date", httpDate(now)}};
        if (query.hasQueryItem("date"))
            headers.append(Header("Retry-After", httpDate(now.addSecs(queryNumber(query, "date", 0)))));
        else
            headers.append(Header("Retry-After", query.queryItemValue("after").toLatin1()));
        socket->write(headHeaders(code, headers) + "Content-Length: 0\r\n\r\n");
        socket->disconnectFromHost();
        return true;
    }
    if (request.path == "/named") {
        Response response;
        response.headers.append(Header("Content-Type", "application/pdf"));
        response.headers.append(
            Header("Content-Disposition", query.queryItemValue("disposition", QUrl::FullyDecoded).toUtf8()));
        response.body = pdfBody(queryNumber(query, "size", 4096));
        send(socket, response);
        return true;
    }
    if (request.path != "/ranged")
        return false;

    const qint64 size = queryNumber(query, "size", 4096);
    const QString validatorKind = query.queryItemValue("validator");
    const bool ranges = query.queryItemValue("ranges") != QLatin1String("0");
    const bool chunked = query.queryItemValue("chunked") == QLatin1String("1");
    const QByteArray etag = "\"doc-" + QByteArray::number(m_rangedVersion) + '-' + QByteArray::number(size) + '"';
    const QByteArray lastModified =
        httpDate(QDateTime(QDate(2020, 1, 1), QTime(0, 0), Qt::UTC).addDays(m_rangedVersion));
    const QByteArray validator = validatorKind == QLatin1String("none")   ? QByteArray()
                                 : validatorKind == QLatin1String("date") ? lastModified
                                                                          : etag;
    QList<Header> headers{{"Content-Type", "application/pdf"}};
    if (validatorKind == QLatin1String("date"))
        headers.append(Header("Last-Modified", lastModified));
    else if (validatorKind != QLatin1String("none"))
        headers.append(Header("ETag", etag));
    if (ranges)
        headers.append(Header("Accept-Ranges", "bytes"));

    // "bytes=N-" only: what a client continuing a file asks for.
    qint64 from = 0;
    int status = 200;
    const QByteArray range = request.header("Range");
    if (ranges && range.startsWith("bytes=") && range.endsWith('-')) {
        const QByteArray ifRange = request.header("If-Range");
        const bool sameDocument =
            ifRange.isEmpty() || ifRange == validator || query.queryItemValue("ifrange") == QLatin1String("ignore");
        if (sameDocument) {
            from = range.mid(6, range.size() - 7).toLongLong();
            status = 206;
        }
    }
    if (status == 206 && from >= size) {
        socket->write(headHeaders(416, {{"Content-Range", "bytes */" + QByteArray::number(size)}})
                      + "Content-Length: 0\r\n\r\n");
        socket->disconnectFromHost();
        return true;
    }
    if (status == 206)
        headers.append(Header("Content-Range", "bytes " + QByteArray::number(from) + '-' + QByteArray::number(size - 1)
                                                   + '/' + QByteArray::number(size)));
    QByteArray head = headHeaders(status, headers);
    head += chunked ? QByteArray("Transfer-Encoding: chunked\r\n")
                    : "Content-Length: " + QByteArray::number(size - from) + "\r\n";
    socket->write(head + "\r\n");
    // Only a whole answer is cut: the rest of a document always arrives.
    qint64 cut = -1;
    if (status == 200 && m_rangedWholeAnswers[request.target]++ < queryNumber(query, "cuts", 1))
        cut = queryNumber(query, "cut", -1);
    streamRanged(socket, from, size, cut, chunked, queryNumber(query, "piece", 64 * 1024),
                 int(queryNumber(query, "ms", 0)));
    return true;
}

// Sends bytes [from, to) of the /ranged document, generated as the socket
// drains (or `piece` bytes every `intervalMs`), and closes after `cutAt`
// bytes of it when that is not -1 (a chunked body then lacks its last chunk).
void FixtureSite::streamRanged(QTcpSocket *socket, qint64 from, qint64 to, qint64 cutAt, bool chunked, qint64 piece,
                               int intervalMs)
{
    const int version = m_rangedVersion;
    const qint64 end = cutAt >= 0 ? qMin(to, from + cutAt) : to;
    const qint64 block = intervalMs > 0 ? qMax<qint64>(1, piece) : kStreamBlock;
    auto at = std::make_shared<qint64>(from);
    auto done = std::make_shared<bool>(false);
    auto sendSome = [socket, at, done, end, to, block, chunked, version](bool once) {
        while (*at < end && (once || socket->bytesToWrite() < kStreamHighWater)) {
            const qint64 n = qMin(block, end - *at);
            const QByteArray bytes = rangedBytes(*at, n, version);
            if (chunked)
                socket->write(QByteArray::number(n, 16) + "\r\n" + bytes + "\r\n");
            else
                socket->write(bytes);
            *at += n;
            if (once)
                break;
        }
        if (*at >= end && !*done) {
            *done = true;
            if (chunked && end == to)
                socket->write("0\r\n\r\n");
            socket->disconnectFromHost();
        }
    };
    if (intervalMs > 0) {
        auto *timer = new QTimer(socket);
        connect(timer, &QTimer::timeout, socket, [timer, sendSome, done] {
            sendSome(true);
            if (*done)
                timer->stop();
        });
        timer->start(intervalMs);
        return;
    }
    connect(socket, &QTcpSocket::bytesWritten, socket, [sendSome] { sendSome(false); });
    sendSome(false);
}

// The update server's odd answers.
bool FixtureSite::dispatchUpdateRoutes(QTcpSocket *socket, const Request &request)
{
    if (request.path.startsWith("/hang/"))
        return true; // the connection stays open and nothing comes
    if (!request.path.startsWith("/endless/"))
        return false;
    streamEndless(socket);
    return true;
}

// A chunked body that never ends, one block every few milliseconds until the
// client leaves. Pacing matters: a body written as fast as the socket takes it
// keeps the client's network thread reading forever, so it never gets to the
// client's own abort and the test's later requests wait behind it.
void FixtureSite::streamEndless(QTcpSocket *socket)
{
    socket->write(headHeaders(200, {{"Content-Type", "application/pdf"}}) + "Transfer-Encoding: chunked\r\n\r\n");
    constexpr int kIntervalMs = 5;
    auto first = std::make_shared<bool>(true);
    auto *timer = new QTimer(socket);
    connect(timer, &QTimer::timeout, socket, [socket, first] {
        if (socket->bytesToWrite() >= kStreamHighWater)
            return;
        constexpr qsizetype kPiece = 16 * 1024;
        const QByteArray piece = streamBlock(*first).left(kPiece);
        *first = false;
        socket->write(QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n");
    });
    timer->start(kIntervalMs);
}
