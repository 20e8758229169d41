#pragma once

#include "engine/DownloadEngine.h"
#include "engine/Downloader.h"
#include "platform/Clock.h"
#include "common/SessionSettings.h"
#include "common/SameNamePolicy.h"
#include "tests/support/FixtureSite.h"
#include "tests/support/FileHelpers.h"
#include "tests/support/PromptRecorder.h"
#include "tests/support/SoundRecorder.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

// A download engine over a real network manager and a real folder, with the
// seams faked: a manual clock, recorded prompts, recorded sounds. Its timers
// do not fire; tests call the ticks.
struct EngineRig
{
    static constexpr int kWaitMs = 20000;

    explicit EngineRig(int method = 2)
    {
        settings.DownloadMethod = qint16(method);
        settings.MaxFileSizeMB = 100;
        engine.options().sameNamePolicy = SameNamePolicy::Rename;
        engine.setTimersRunning(false);
    }

    quint64 add(const QString &url, const QString &name, const QString &type = QStringLiteral("pdf"),
                ItemState state = Waiting)
    {
        DownloadItem item;
        item.Url = url;
        item.Name = name;
        item.Type = type;
        item.Folder = folder.path();
        item.State = state;
        engine.list().addItem(item);
        return engine.list().at(engine.list().rowOfUrl(url)).Id;
    }

    const DownloadItem &item(quint64 id) const { return engine.list().at(engine.list().rowOfId(id)); }
    QString filePath(const QString &fileName) const { return folder.filePath(fileName); }

    // One second later, one scheduling tick.
    void tick()
    {
        clock.advance(1);
        engine.SchedulingTick();
    }

    // Waits until no transfer of either method runs.
    bool waitIdle()
    {
        return QTest::qWaitFor(
            [this] { return !engine.singleTransfer().isRunning() && engine.CountLoadedWorkers() == 1; }, kWaitMs);
    }

    QStringList filesInFolder() const { return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden); }

    QNetworkAccessManager network;
    SessionSettings settings;
    ManualClock clock;
    PromptRecorder prompts;
    SoundRecorder sounds;
    DownloadEngine engine{settings, clock, prompts, sounds, network};
    QTemporaryDir folder;
};

// A query item naming the running test row, put at the end of an address,
// so that the site's log can be read for this row alone.
inline QString rowMark()
{
    return QStringLiteral("&row=")
           + QString::fromLatin1(QUrl::toPercentEncoding(QString::fromUtf8(QTest::currentDataTag())));
}

// The requests the site logged whose address ends with the mark.
inline int requestsMarked(const FixtureSite &site, const QString &mark)
{
    int count = 0;
    for (const FixtureSite::Request &request : site.requests())
        count += request.target.endsWith(mark.toLatin1()) ? 1 : 0;
    return count;
}

// A server whose body the test sends piece by piece: the response head goes
// out at once, with or without a length, and every further byte only when
// the test says so. Shows what a worker does while data flows slowly.
class PieceServer
{
public:
    explicit PieceServer(qint64 announcedLength) : m_length(announcedLength)
    {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                m_sockets.append(socket);
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    if (!socket->readAll().contains("\r\n\r\n") || socket->property("answered").toBool())
                        return;
                    socket->setProperty("answered", true);
                    QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: application/pdf\r\nConnection: close\r\n";
                    if (m_length > 0)
                        head += "Content-Length: " + QByteArray::number(m_length) + "\r\n";
                    socket->write(head + "\r\n");
                    ++m_answered;
                });
            }
        });
    }

    QString url(const QString &path = QStringLiteral("/piece")) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }
    int answered() const { return m_answered; }

    void send(qint64 bytes)
    {
        for (QTcpSocket *socket : std::as_const(m_sockets))
            socket->write(QByteArray(bytes, 'p'));
    }
    void close()
    {
        for (QTcpSocket *socket : std::as_const(m_sockets))
            socket->disconnectFromHost();
    }

private:
    QTcpServer m_server;
    QList<QTcpSocket *> m_sockets;
    qint64 m_length;
    int m_answered = 0;
};
