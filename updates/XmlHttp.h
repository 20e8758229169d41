#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkRequest>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QTimer>

class QNetworkAccessManager;
class QNetworkReply;

// uXMLHTTP: performs one HTTP request at a time without blocking its holder.
// The holder opens and sends a request; a 10 ms timer (tmrReader) polls the
// request's state, raising readyStateChanged at every tick, and when the
// response is complete raises one result event: dataArrived for status 200
// (after the body was saved, when a file was given), dataError with the
// status's Chinese description for any other status from 0 to 600. Abort
// returns to idle without a result event. A new open may follow on the same
// control. Every member fails quietly when no request back-end could be made.
class XmlHttp final : public QObject
{
    Q_OBJECT

public:
    // The request back-ends tried in order when the control is created
    // (CreateRequestObject); the first that can be made is kept.
    static QStringList requestBackends();

    explicit XmlHttp(QNetworkAccessManager &network, QObject *parent = nullptr);
    ~XmlHttp() override;

    // Open_: a new request; the method is upper-cased. The response body of a
    // 200 goes to savePath when it is not empty, and only a whole body: one
    // cut at the body limit is not saved (bodySaved() tells).
    void open(const QString &method, const QString &url, const QString &savePath = QString());
    // SetRequestHeader: a header of the opened request.
    void setRequestHeader(const QString &name, const QString &value);
    // Send_: sends the opened request and starts polling.
    void send(const QByteArray &body = QByteArray());
    // Abort_: stops polling and drops the request; no result event follows.
    void abort();

    bool downOk() const { return m_downOk; }        // DownOK
    int readyState() const { return m_readyState; } // 0 to 4; 4 = complete
    int status() const;
    QString statusText() const;
    QString responseHeader(const QString &name) const;
    QString allResponseHeaders() const;
    QByteArray responseBody() const { return m_body; }
    // The body decoded by the charset the response names (UTF-8 when none).
    QString responseText() const;

    // Bodies longer than this are cut there and the request ends as complete
    // with what had come; bodyCut() tells that it happened. 0: no limit.
    void setBodyLimit(qint64 bytes) { m_bodyLimit = bytes; }
    bool bodyCut() const { return m_bodyCut; }
    // Whether the last response's body is now in the file at the save path
    // (false as well when no path was given, the body was empty or cut, or
    // the file could not be written).
    bool bodySaved() const { return m_bodySaved; }
    // A request with no progress for this long ends complete with status 0.
    // 0: it may wait for ever.
    void setTransferTimeout(int milliseconds) { m_timeoutMs = milliseconds; }

    QTimer *tmrReader() { return &m_timer; }

signals:
    // OnDateArrived
    void dataArrived();
    // OnReadyStateChange
    void readyStateChanged();
    // OnDateErr
    void dataError(const QString &description);

private:
    void poll();
    void dropReply();
    void takeBody();
    bool saveBody();

    QNetworkAccessManager *m_network = nullptr; // null when no back-end could be made
    QTimer m_timer;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_method;
    QNetworkRequest m_request;
    bool m_opened = false;
    bool m_armed = false;
    bool m_downOk = false;
    int m_readyState = 0;
    int m_status = 0;
    QString m_statusText;
    QList<QPair<QByteArray, QByteArray>> m_headers;
    QByteArray m_body;
    QString m_saveFile;
    qint64 m_bodyLimit = 0;
    bool m_bodyCut = false;
    bool m_bodySaved = false;
    int m_timeoutMs = 0;
};
