#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSslServer>
#include <QTcpServer>
#include <QUrlQuery>
#include <functional>

class QSslCertificate;
class QSslKey;
class QTcpSocket;
class QTimer;

// An HTTP server on 127.0.0.1 with the routes that transfers must face:
// PDFs with and without Content-Length, odd content types, a login page
// served instead of a PDF until the login cookie is set, stalls, short
// bodies, slow trickles, large streamed bodies and 404s. Every request is
// logged so that tests can check the Referer, cookies and the proxy.
//
// Routes (query parameters in brackets, sizes in bytes):
//   /pdf[size]                   PDF with Content-Length
//   /pdf-close[size]             PDF without Content-Length, ended by closing
//   /pdf-chunked[size]           PDF in chunked transfer encoding
//   /typed[type,size,body=pdf|html]  the given Content-Type (omitted when empty)
//   /protected.pdf[size]         login page unless the cookie session=ok is sent
//   /login                       GET: the login form; POST or GET with user and
//                                pass: sets the cookie session=ok
//   /signin[form]                a login page for the login panel:
//                                  standard      fields UserName and PassWord, then the submit
//                                                inputs "go" and "other", in that order
//                                  two-users     two fields named user and USER, no password
//                                                field, then the submit input "go"
//                                  submit-first  username, the submit input "go", then password
//                                  ip            an element with id "submitip" whose click opens /iplogin
//                                the forms are posted to /signin-submit
//   /signin-submit               sets the cookie session=ok, whatever was posted
//   /iplogin                     sets the cookie session=ok
//   /stall[size,after]           announces size, sends `after` bytes, then nothing
//   /short[size,send]            announces size, sends `send` bytes and closes
//   /trickle[size,piece,ms]      `piece` bytes every `ms` milliseconds
//   /large[size,length=1|0,chunked=1]  streamed body, generated as the socket drains;
//                                chunked=1: in chunked encoding, without length
//   /status[code]                an empty response with the given status
//   /piece[length]               the response head (with `length` when above 0),
//                                then only the bytes the test sends with sendPieces()
//   /silent                      takes the request and never answers
//   /results[page]               result page `page` (1 to 3) of a search: entries in
//                                the site's markup, pages linked by an anchor reading
//                                "next"; the last page has none. Other pages: 404
//   /doi/...                     the result pages' document links: a PDF, except
//                                  .../1.B36000  a PDF sent as text/plain
//                                  .../1.C034000 a CAJ document sent as application/pdf
//                                  .../1.G0003   a login page unless the cookie session=ok is sent
//
// Routes for continued transfers, busy servers and names from the server:
//   /ranged[size,validator=etag|date|none,ranges=1|0,ifrange=ignore,cut,cuts,chunked=1,piece,ms]
//                                the document rangedBody(size): with an ETag or a
//                                Last-Modified as `validator` says (etag by default),
//                                "Range: bytes=N-" answered 206 with the rest unless
//                                ranges=0 (then always 200), a range from the length on
//                                answered 416, and If-Range with another validator
//                                answered 200 whole (ifrange=ignore: the range is served
//                                anyway); the first `cuts` (1) whole answers to the
//                                address are cut after `cut` bytes (the connection
//                                closed, a chunked one without its last chunk);
//                                chunked=1: no length, chunked encoding;
//                                `piece` bytes every `ms` milliseconds when ms > 0.
//                                changeRangedDocuments() makes every document another
//                                one: new body, new validators.
//   /busy[code,after,date]       the status `code` (503 by default) with an empty body and
//                                "Retry-After": `after` seconds, or with date=S an HTTP
//                                date S seconds after the reply's own "Date"
//   /named[size,disposition]     a PDF with the Content-Disposition header `disposition`
//
// Routes of the update server:
//   /endless/...                 200 in chunked encoding whose body never ends
//   /hang/...                    takes the request and never answers
//
//   anything else                404
class FixtureSite : public QObject
{
    Q_OBJECT

public:
    struct Request
    {
        QByteArray method;
        QByteArray target; // as sent: origin form, or absolute form through a proxy
        QByteArray path;   // path without query
        QUrlQuery query;
        QList<QPair<QByteArray, QByteArray>> headers; // names as sent
        QByteArray body;

        // The values of a header (name compared without case), in order.
        QList<QByteArray> headerValues(const QByteArray &name) const;
        QByteArray header(const QByteArray &name) const;
    };

    struct Response
    {
        int status = 200;
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
        bool contentLength = true; // announce the body's length
        bool chunked = false;      // send the body in chunked encoding

        // A small HTML page in UTF-8 with the given title and body markup.
        static Response htmlPage(const QByteArray &title, const QByteArray &body)
        {
            Response response;
            response.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("text/html; charset=utf-8")));
            response.body =
                "<!DOCTYPE html><html><head><title>" + title + "</title></head><body>" + body + "</body></html>";
            return response;
        }
    };

    using Handler = std::function<Response(const Request &)>;

    explicit FixtureSite(QObject *parent = nullptr);
    ~FixtureSite() override;

    bool start(quint16 port = 0);
    quint16 port() const;

    // The same routes over TLS with the given certificate, on a port of
    // their own.
    bool startTls(const QSslCertificate &certificate, const QSslKey &key);
    quint16 tlsPort() const { return m_tlsServer.serverPort(); }

    // The same routes on the IPv6 loopback ::1, at the site's port; false
    // when that address or port cannot be had here.
    bool startIPv6();

    // A port on 127.0.0.1 where nothing listens.
    static quint16 closedPort();

    // The /piece responses: every open one gets `bytes` more bytes of body,
    // or is closed; how many /piece requests were answered with their head.
    void sendPieces(qint64 bytes);
    void closePieces();
    int piecesAnswered() const { return m_pieceAnswered; }
    QByteArray base() const; // "http://127.0.0.1:PORT"
    QString url(const QString &pathAndQuery) const;

    // A route of a test's own, answered before the built-in ones.
    void addRoute(const QByteArray &path, Handler handler);

    QList<Request> requests() const { return m_requests; }
    QList<Request> requestsTo(const QByteArray &path) const;
    void clearRequests() { m_requests.clear(); }

    // The deterministic body of a PDF of the given size ("%PDF-1.4" first).
    static QByteArray pdfBody(qint64 size);
    // A login page as a site serves it instead of a document.
    static QByteArray loginPage();
    // The login panel's pages served by /signin (empty for an unknown form).
    static QByteArray signinPage(const QString &form);

    // The result pages served by /results, as stored (empty for a page that
    // does not exist), and their number.
    static QByteArray resultPage(int page);
    static constexpr int kResultPageCount = 3;

    // From now on /results?page=N sends the head and the first part of that
    // page and then nothing: the page never finishes loading.
    void holdResultPage(int page) { m_heldResultPages.append(page); }

    // The documents of /ranged: version 0 until changeRangedDocuments().
    static QByteArray rangedBody(qint64 size, int version = 0);
    static QByteArray rangedBytes(qint64 from, qint64 length, int version);
    void changeRangedDocuments() { ++m_rangedVersion; }
    int rangedVersion() const { return m_rangedVersion; }

signals:
    void requestReceived(const QByteArray &path);

private:
    struct Connection;
    void onNewConnection(QTcpServer *server);
    void onReadyRead(QTcpSocket *socket);
    void dispatch(QTcpSocket *socket, const Request &request);
    void send(QTcpSocket *socket, const Response &response);
    void streamBody(QTcpSocket *socket, qint64 size, bool announce, qint64 stopAfter, bool closeWhenDone);
    void streamChunked(QTcpSocket *socket, qint64 size);
    void trickle(QTcpSocket *socket, qint64 size, qint64 piece, int intervalMs);
    void streamEndless(QTcpSocket *socket);

    // The routes for continued transfers, busy servers and server names;
    // false when the request is for none of them.
    bool dispatchPoliteRoutes(QTcpSocket *socket, const Request &request);
    void streamRanged(QTcpSocket *socket, qint64 from, qint64 to, qint64 cutAt, bool chunked, qint64 piece,
                      int intervalMs);
    int m_rangedVersion = 0;

    // The update server's routes; false when the request is for none of them.
    bool dispatchUpdateRoutes(QTcpSocket *socket, const Request &request);
    QHash<QByteArray, int> m_rangedWholeAnswers; // whole answers of /ranged per address

    QTcpServer m_server;
    QSslServer m_tlsServer;
    QTcpServer m_ipv6Server;
    QHash<QTcpSocket *, QByteArray> m_pending;
    QList<QPointer<QTcpSocket>> m_pieceSockets;
    int m_pieceAnswered = 0;
    QHash<QByteArray, Handler> m_routes;
    QList<Request> m_requests;
    QList<int> m_heldResultPages;
};

// A forward HTTP proxy on 127.0.0.1 that records the requests that passed
// through it and forwards them to loopback servers only.
class FixtureProxy : public QObject
{
    Q_OBJECT

public:
    explicit FixtureProxy(QObject *parent = nullptr);
    bool start();
    quint16 port() const { return m_server.serverPort(); }
    QList<QByteArray> requestLines() const { return m_requestLines; }

private:
    void onNewConnection();

    QTcpServer m_server;
    QList<QByteArray> m_requestLines;
};
