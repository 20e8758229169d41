#include "tests/support/FixtureSite.h"
#include "updates/UpdateCheck.h"
#include "updates/XmlHttp.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// The HTTP control and the update check against the local test site.
class TestXmlHttp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void completeResponse_data();
    void completeResponse();
    void emptyBodyWritesNoFile();
    void existingFileIsReplaced();
    void neverCompleting_pollsUntilAbort();
    void bodyLimit_cutsLongBody();
    void savePath_onlyWholeBodies_data();
    void savePath_onlyWholeBodies();
    void savePath_linkIsReplacedNotFollowed();
    void updateCheck_data();
    void updateCheck();
    void updateCheck_runsOnceAndNotWithoutBase();

private:
    FixtureSite m_site;
    QNetworkAccessManager m_network;
};

void TestXmlHttp::initTestCase()
{
    QVERIFY(m_site.start());
    m_site.addRoute("/ok/Paperdrift/newver.txt", [](const FixtureSite::Request &) {
        FixtureSite::Response response;
        response.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("text/plain")));
        response.body = "1.4.928\r\n";
        return response;
    });
    m_site.addRoute("/same/Paperdrift/newver.txt", [](const FixtureSite::Request &) {
        FixtureSite::Response response;
        response.body = "1.4.927";
        return response;
    });
    // A huge file whose text, trimmed, would read as a newer version.
    m_site.addRoute("/binary/Paperdrift/newver.txt", [](const FixtureSite::Request &) {
        FixtureSite::Response response;
        response.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("application/octet-stream")));
        response.body = "9.9.9" + QByteArray(64 * 1024, ' ');
        return response;
    });
}

// One result event for a complete response, by its status.
// clang-format off
void TestXmlHttp::completeResponse_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("arrived");
    QTest::addColumn<QString>("description");

    QTest::newRow("200") << "/pdf?size=300" << true << "";
    QTest::newRow("404") << "/status?code=404" << false << "没有发现文件?查询或URl";
    QTest::newRow("500") << "/status?code=500" << false << "服务器产生内部错误";
    QTest::newRow("no entry") << "/status?code=418" << false << "";
    QTest::newRow("no connection") << QString() << false << "";
}
// clang-format on

void TestXmlHttp::completeResponse()
{
    QFETCH(QString, path);
    QFETCH(bool, arrived);
    QFETCH(QString, description);
    const QString url =
        path.isEmpty() ? QStringLiteral("http://127.0.0.1:%1/x").arg(FixtureSite::closedPort()) : m_site.url(path);

    XmlHttp control(m_network);
    QSignalSpy arrivedSpy(&control, &XmlHttp::dataArrived);
    QSignalSpy errorSpy(&control, &XmlHttp::dataError);
    QSignalSpy stateSpy(&control, &XmlHttp::readyStateChanged);
    control.open(QStringLiteral("get"), url);
    QVERIFY(!control.downOk());
    control.send();
    QTRY_VERIFY(control.downOk());
    QVERIFY(!control.tmrReader()->isActive());
    QCOMPARE(control.readyState(), 4);
    QVERIFY(stateSpy.count() >= 1);
    QCOMPARE(arrivedSpy.count(), arrived ? 1 : 0);
    QCOMPARE(errorSpy.count(), arrived ? 0 : 1);
    if (!arrived)
        QCOMPARE(errorSpy.at(0).at(0).toString(), description);
    else
        QCOMPARE(control.responseBody(), FixtureSite::pdfBody(300));
    // Nothing more follows: the poll has stopped, and what the network had
    // queued has come.
    QCoreApplication::sendPostedEvents();
    QVERIFY(!control.tmrReader()->isActive());
    QCOMPARE(arrivedSpy.count() + errorSpy.count(), 1);
    QCOMPARE(m_site.requests().isEmpty() ? QByteArray("GET") : m_site.requests().last().method, QByteArray("GET"));
}

void TestXmlHttp::emptyBodyWritesNoFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("newver.txt"));
    XmlHttp control(m_network);
    QSignalSpy arrivedSpy(&control, &XmlHttp::dataArrived);
    control.open(QStringLiteral("GET"), m_site.url(QStringLiteral("/status?code=200")), path);
    control.send();
    QTRY_COMPARE(arrivedSpy.count(), 1);
    QVERIFY(!QFile::exists(path));
}

void TestXmlHttp::existingFileIsReplaced()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.pdf"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'o')); // longer than the new body
    }
    XmlHttp control(m_network);
    QSignalSpy arrivedSpy(&control, &XmlHttp::dataArrived);
    control.open(QStringLiteral("GET"), m_site.url(QStringLiteral("/pdf?size=700")), path);
    control.send();
    QTRY_COMPARE(arrivedSpy.count(), 1);
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), FixtureSite::pdfBody(700));
    // No temporary file is left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("saved.pdf")});

    // A save path that cannot be written still ends in the data-arrived event.
    const QString nowhere = dir.filePath(QStringLiteral("missing/folder/saved.pdf"));
    control.open(QStringLiteral("GET"), m_site.url(QStringLiteral("/pdf?size=50")), nowhere);
    control.send();
    QTRY_COMPARE(arrivedSpy.count(), 2);
    QVERIFY(!QFile::exists(nowhere));
}

void TestXmlHttp::neverCompleting_pollsUntilAbort()
{
    XmlHttp control(m_network);
    QSignalSpy arrivedSpy(&control, &XmlHttp::dataArrived);
    QSignalSpy errorSpy(&control, &XmlHttp::dataError);
    QSignalSpy stateSpy(&control, &XmlHttp::readyStateChanged);
    control.open(QStringLiteral("GET"), m_site.url(QStringLiteral("/silent")));
    control.send();
    QTRY_VERIFY(stateSpy.count() >= 20);
    QVERIFY(!control.downOk());
    control.abort();
    const int afterAbort = stateSpy.count();
    // The poll has stopped, and what the network had queued has come.
    QVERIFY(!control.tmrReader()->isActive());
    QCoreApplication::sendPostedEvents();
    QCOMPARE(stateSpy.count(), afterAbort);
    QCOMPARE(arrivedSpy.count() + errorSpy.count(), 0);
    QCOMPARE(control.readyState(), 0);

    // The same control takes a new request afterwards.
    control.open(QStringLiteral("GET"), m_site.url(QStringLiteral("/pdf?size=10")));
    control.send();
    QTRY_COMPARE(arrivedSpy.count(), 1);
}

void TestXmlHttp::bodyLimit_cutsLongBody()
{
    XmlHttp control(m_network);
    QSignalSpy arrivedSpy(&control, &XmlHttp::dataArrived);
    control.setBodyLimit(1000);
    control.open(QStringLiteral("GET"), m_site.url(QStringLiteral("/endless/x")));
    control.send();
    QTRY_COMPARE(arrivedSpy.count(), 1);
    QVERIFY(control.bodyCut());
    QCOMPARE(control.responseBody().size(), 1000);
}

// clang-format off
void TestXmlHttp::savePath_onlyWholeBodies_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("before"); // the file at the save path before; empty: none
    QTest::addColumn<bool>("saved");
    QTest::addColumn<QByteArray>("after");  // empty: no file

    const QByteArray whole = FixtureSite::pdfBody(700);
    QTest::newRow("whole body within the limit") << "/pdf?size=700" << QByteArray() << true << whole;
    QTest::newRow("whole body replaces the old file") << "/pdf?size=700" << QByteArray("old") << true << whole;
    QTest::newRow("long body cut, no file before") << "/pdf?size=5000" << QByteArray() << false << QByteArray();
    QTest::newRow("long body cut keeps the old file") << "/pdf?size=5000" << QByteArray("old") << false << QByteArray("old");
    QTest::newRow("endless body cut keeps the old file") << "/endless/x" << QByteArray("old") << false << QByteArray("old");
}
// clang-format on

// With a save path and a body limit, only a whole body is saved: one cut at
// the limit leaves the file as it was, and the control says it was not saved.
void TestXmlHttp::savePath_onlyWholeBodies()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, before);
    QFETCH(bool, saved);
    QFETCH(QByteArray, after);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("saved.pdf"));
    if (!before.isEmpty()) {
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(before);
    }
    XmlHttp control(m_network);
    control.setBodyLimit(1000);
    QSignalSpy arrivedSpy(&control, &XmlHttp::dataArrived);
    control.open(QStringLiteral("GET"), m_site.url(path), file);
    control.send();
    QTRY_COMPARE(arrivedSpy.count(), 1);
    QCOMPARE(control.bodyCut(), !saved);
    QCOMPARE(control.bodySaved(), saved);
    QFile result(file);
    if (after.isEmpty()) {
        QVERIFY(!result.exists());
    } else {
        QVERIFY(result.open(QIODevice::ReadOnly));
        QCOMPARE(result.readAll(), after);
    }
    // No temporary file is left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), after.isEmpty() ? QStringList() : QStringList{"saved.pdf"});
}

// A link at the save path is replaced by the saved file; the file it
// pointed to keeps its bytes.
void TestXmlHttp::savePath_linkIsReplacedNotFollowed()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("saved.pdf"));
    const QString victim = dir.filePath(QStringLiteral("victim.pdf"));
    {
        QFile other(victim);
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("victim");
    }
    QVERIFY(QFile::link(victim, file));
    XmlHttp control(m_network);
    QSignalSpy arrivedSpy(&control, &XmlHttp::dataArrived);
    control.open(QStringLiteral("GET"), m_site.url(QStringLiteral("/pdf?size=300")), file);
    control.send();
    QTRY_COMPARE(arrivedSpy.count(), 1);
    QVERIFY(control.bodySaved());
    QVERIFY(!QFileInfo(file).isSymLink());
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), FixtureSite::pdfBody(300));
    QFile other(victim);
    QVERIFY(other.open(QIODevice::ReadOnly));
    QCOMPARE(other.readAll(), QByteArray("victim"));
}

// What the update check of a running 1.4.927 says for each answer.
// clang-format off
void TestXmlHttp::updateCheck_data()
{
    QTest::addColumn<QString>("baseFolder");
    QTest::addColumn<QString>("newer");   // empty: none
    QTest::addColumn<bool>("trouble");

    QTest::newRow("newer") << "/ok/" << "1.4.928" << false;
    QTest::newRow("same") << "/same/" << "" << false;
    QTest::newRow("not found") << "/missing/" << "" << true;
    QTest::newRow("huge") << "/binary/" << "" << false;
    QTest::newRow("never ending") << "/endless/" << "" << false;
    QTest::newRow("no answer") << "/hang/" << "" << true;
}
// clang-format on

void TestXmlHttp::updateCheck()
{
    QFETCH(QString, baseFolder);
    QFETCH(QString, newer);
    QFETCH(bool, trouble);

    XmlHttp control(m_network);
    UpdateCheck check(control, m_site.url(baseFolder), ProgramVersion{1, 4, 927});
    check.setNoAnswerTimeout(300);
    QSignalSpy newerSpy(&check, &UpdateCheck::newerVersion);
    QSignalSpy troubleSpy(&check, &UpdateCheck::networkTrouble);
    QSignalSpy arrivedSpy(&control, &XmlHttp::dataArrived);
    QSignalSpy errorSpy(&control, &XmlHttp::dataError);
    check.start();
    QTRY_COMPARE(arrivedSpy.count() + errorSpy.count(), 1);
    QCOMPARE(troubleSpy.count(), trouble ? 1 : 0);
    QCOMPARE(newerSpy.count(), newer.isEmpty() ? 0 : 1);
    if (!newer.isEmpty())
        QCOMPARE(newerSpy.at(0).at(0).toString(), newer);
    QCOMPARE(check.programPage(), m_site.url(baseFolder + QStringLiteral("Paperdrift/")));
}

void TestXmlHttp::updateCheck_runsOnceAndNotWithoutBase()
{
    m_site.clearRequests();
    XmlHttp control(m_network);
    UpdateCheck check(control, m_site.url(QStringLiteral("/ok/")), ProgramVersion{1, 4, 927});
    QSignalSpy arrivedSpy(&control, &XmlHttp::dataArrived);
    check.start();
    check.start();
    QTRY_COMPARE(arrivedSpy.count(), 1);
    // The control is idle: no second request follows.
    QVERIFY(!control.tmrReader()->isActive());
    QCOMPARE(m_site.requestsTo("/ok/Paperdrift/newver.txt").size(), 1);

    XmlHttp idle(m_network);
    UpdateCheck none(idle, QString(), ProgramVersion{1, 4, 927});
    none.start();
    QVERIFY(!idle.tmrReader()->isActive());
}

QTEST_GUILESS_MAIN(TestXmlHttp)
#include "tst_xmlhttp.moc"
