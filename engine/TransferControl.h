#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>

class QNetworkAccessManager;

// The state numbers the transfer control reports while a request runs.
namespace TransferState {
enum : int {
    None = 0,
    Resolving = 1,
    Resolved = 2,
    Connecting = 3,
    Connected = 4,
    Requesting = 5,
    RequestSent = 6,
    ReceivingResponse = 7,
    ResponseReceived = 8,
    Disconnecting = 9,
    Disconnected = 10,
    Error = 11,
    ResponseCompleted = 12,
};
} // namespace TransferState

// The panel text of a state number: its fixed text, with the error number,
// ":" and the error text after state 11; for a number outside 0 to 12 the
// error number, ":" and the error text alone.
QString TransferStateText(int state, int errorNumber, const QString &errorText);

// How the control connects: directly (or as the system is set up) or through
// a named proxy, and the port of a direct connection.
struct TransferConnection
{
    enum AccessType : int { UseDefault = 0, NamedProxy = 2 };
    enum Protocol : int { Http = 4, Https = 5 };

    int accessType = UseDefault;
    QString proxy; // "host:port" of the named proxy, empty otherwise
    int protocol = Http;
    int remotePort = 0; // port of a direct connection; 0: the address's own
};

// The HTTP transfer control of the single-connection download: one request at
// a time, started asynchronously, its response headers read by name or all at
// once, its body taken in pieces as it arrives, and a cancel that is harmless
// when nothing runs. Requests go through the network manager it is given, so
// that every transfer and the browser's login share one cookie jar; a request
// through the named proxy goes through a second manager of the control's own
// that uses the same cookie jar.
//
// The body is never collected: the reply keeps at most a bounded read buffer,
// and the reader takes it out piece by piece as bodyAvailable() is signalled.
// Stops listening to a reply, aborts it when it still runs and lets it go;
// the pointer is empty afterwards.
void DiscardReply(QPointer<QNetworkReply> &reply, QObject *listener);

class TransferControl final : public QObject
{
    Q_OBJECT

public:
    explicit TransferControl(QNetworkAccessManager &network, QObject *parent = nullptr);
    ~TransferControl() override;

    void setConnection(const TransferConnection &connection) { m_connection = connection; }

    // Whether a named proxy text reads as host and port ("host:port", port 1
    // to 65535). A request through a proxy that does not fails with an error
    // instead of connecting directly.
    static bool isUsableProxy(const QString &proxy);
    const TransferConnection &connection() const { return m_connection; }

    // Starts a request and returns at once. `headers` holds "Name: value"
    // lines, each ended by CR LF, sent besides the control's own headers.
    void Execute(const QString &url, const QString &method, const QByteArray &data, const QString &headers);

    // Starts a plain GET of the address, without extra headers, over the
    // same connection settings; its body is read with GetChunk like any other.
    void OpenURL(const QString &url);

    // True while a request runs: from Execute or OpenURL until its response
    // has ended or it was cancelled.
    bool StillExecuting() const;

    // The value of one response header (name without regard to case), or an
    // empty text.
    QString GetHeader(const QString &name) const;
    // All header lines of the response, the status line first, separated by
    // CR LF; empty when no response arrived.
    QString GetHeader() const;

    // The next at most `maxBytes` bytes of the body; none when nothing is
    // waiting. The second form copies into the caller's buffer and returns
    // the number of bytes copied.
    QByteArray GetChunk(qint64 maxBytes);
    qint64 GetChunk(char *buffer, qint64 maxBytes);
    qint64 bytesAvailable() const;

    // Ends the running request; harmless when nothing runs. The headers of
    // the last response stay readable until the next request.
    void Cancel();

    // The status of the response (200, 206, 404...); 0 when none arrived.
    int StatusCode() const;

    // Number and text of the last error (0 and empty when there was none).
    int ResponseCode() const { return m_errorCode; }
    QString ResponseInfo() const { return m_errorText; }

    // Whether the response headers arrived, and whether the response has
    // ended (completely, with an error, or cancelled).
    bool hasResponse() const { return m_headersArrived; }
    bool responseEnded() const { return m_ended; }
    // The response ended with its whole body: without error, or with an
    // HTTP error status whose page arrived whole. A refused or broken
    // connection, a TLS failure, a timeout or a cancel is not whole.
    bool endedWhole() const;

    // Read buffer of one reply: bounds the memory a transfer uses while the
    // reader is busy writing.
    static constexpr qint64 kReadBufferBytes = 512 * 1024;

signals:
    // The state number and its panel text.
    void StateChanged(int state, const QString &text);
    void headersArrived();
    void bodyAvailable();
    void ended();

private:
    void start(const QString &url, const QByteArray &method, const QByteArray &data, const QString &headers);
    QNetworkAccessManager &managerFor(const TransferConnection &connection);
    void reportState(int state);
    void onMetaDataChanged();
    void onFinished();
    bool bodyFellShort() const;
    void dropReply();
    void failWithoutReply(QNetworkReply::NetworkError error, const QString &text);

    QNetworkAccessManager &m_network;
    quint64 m_requestNumber = 0; // tells a late failure of an earlier request apart
    QNetworkAccessManager *m_proxyNetwork = nullptr;
    QString m_proxyInUse;
    TransferConnection m_connection;
    QPointer<QNetworkReply> m_reply;
    bool m_pendingFailure = false; // a request that could not be sent, its end still to come
    bool m_headersArrived = false;
    bool m_ended = false;
    bool m_connectedReported = false;
    bool m_completeReported = false;
    qint64 m_bodyLength = -1; // announced length of the body; -1: none
    qint64 m_bodyRead = 0;
    QByteArray m_method; // of the request under way, upper case
    int m_errorCode = 0;
    QString m_errorText;
};
