#include "EngineRig.h"

#include "engine/EngineTexts.h"
#include "engine/RowTexts.h"
#include "engine/SingleTransfer.h"
#include "engine/TransferControl.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QSignalSpy>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <unistd.h>

namespace {

constexpr int kWaitMs = 20000;
constexpr qint64 kOlderLength = 777;

// What a row does to the running transfer once it is under way.
enum class Action {
    None,
    Stall,            // after the first bytes: 300 s without growth, then one second more
    Stop,             // after the first bytes: the stop command
    SwitchOff,        // after the first bytes: DownloadRunning goes false, then a tick
    ResponseTimeout,  // no response: 30 s pass, then one second more
    StopWhileWaiting, // no response: the stop command
    StopWholeFetch,   // once the whole fetch runs ("未知"): the stop command
};

// What a row sets up beside the item.
enum class Setup {
    None,
    OlderFile,       // an older file at the item's path
    LockedOlderFile, // an older file in a folder where nothing can be deleted
};

// The single-connection transfer of a download engine over a real network
// manager, with the seams faked: a manual clock, recorded prompts and
// recorded sounds. The rows are started as the scheduler starts them
// (Inet下载当前文件); what the row shows on the way is recorded.
struct Rig : EngineRig
{
    Rig() : EngineRig(1)
    {
        settings.MaxFileSizeMB = 100;
        engine.options().sameNamePolicy = SameNamePolicy::Overwrite;
        DownloadList &list = engine.list();
        QObject::connect(&list, &DownloadList::dataChanged, &list, [this, &list](const QModelIndex &topLeft) {
            const DownloadItem &item = list.at(topLeft.row());
            sizesSeen.append(SizeText(item.Size));
            if (item.Downloaded == 0 && typeWhileStoring.isNull())
                typeWhileStoring = item.Type;
        });
    }

    quint64 add(const QString &url, const QString &name, const QString &type, const QString &referer = QString())
    {
        return EngineRig::add(url, name, type, Downloading, referer);
    }

    // Names the test proxy in the settings, switched on or off.
    void useProxy(const FixtureProxy &proxy, bool on)
    {
        settings.ProxyEnabled = on ? 1 : 0;
        settings.ProxyAddress = QStringLiteral("127.0.0.1");
        settings.ProxyPort = QString::number(proxy.port());
    }

    // Starts the item; the result arrives later, never from inside the call.
    bool start(quint64 id, QSignalSpy &finished)
    {
        const bool started = engine.downloadCurrentItem(id);
        return started && finished.isEmpty() && engine.values().DownloadRunning;
    }

    const Transfer &transfer() const { return engine.singleTransfer(); }
    TransferControl &control() { return engine.Inet1(); }

    QStringList sizesSeen;
    QString typeWhileStoring;
};

TransferResult resultOf(const QSignalSpy &finished)
{
    return finished.isEmpty() ? TransferResult() : finished.first().first().value<TransferResult>();
}

// The requests the site logged for the given address.
QList<FixtureSite::Request> requestsFor(const FixtureSite &site, const QString &url)
{
    QList<FixtureSite::Request> matching;
    const QByteArray pathAndQuery = QUrl(url).toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority);
    for (const FixtureSite::Request &request : site.requests()) {
        if (request.target == pathAndQuery || request.target.endsWith(pathAndQuery))
            matching.append(request);
    }
    return matching;
}

// A folder whose files cannot be deleted: read-only for a user; for root,
// who ignores permissions, marked immutable. Undone when it goes.
class UndeletableFolder
{
public:
    explicit UndeletableFolder(const QString &path) : m_path(path)
    {
        if (geteuid() == 0) {
            m_immutable = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), m_path}) == 0;
        } else {
            m_permissions = QFile::permissions(m_path);
            m_readOnly = QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        }
    }
    ~UndeletableFolder()
    {
        if (m_immutable)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path});
        if (m_readOnly)
            QFile::setPermissions(m_path, m_permissions);
    }
    UndeletableFolder(const UndeletableFolder &) = delete;
    UndeletableFolder &operator=(const UndeletableFolder &) = delete;

    // True when a new file cannot be made in the folder: the lock holds.
    bool holds() const
    {
        QFile probe(m_path + QStringLiteral("/probe"));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            return false;
        }
        return true;
    }

private:
    QString m_path;
    bool m_immutable = false;
    bool m_readOnly = false;
    QFileDevice::Permissions m_permissions;
};

struct SelfSignedCertificate
{
    QSslCertificate certificate;
    QSslKey key;
};

// A certificate for 127.0.0.1 made by the openssl command; empty when the
// command is not there.
SelfSignedCertificate makeCertificate(const QString &folder, const QString &name)
{
    const QString keyPath = folder + QLatin1Char('/') + name + QStringLiteral(".key");
    const QString certificatePath = folder + QLatin1Char('/') + name + QStringLiteral(".crt");
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
                   QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                   QStringLiteral("-keyout"), keyPath, QStringLiteral("-out"), certificatePath, QStringLiteral("-days"),
                   QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                   QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1")});
    if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
        return SelfSignedCertificate();
    const QList<QSslCertificate> certificates = QSslCertificate::fromPath(certificatePath);
    return {certificates.value(0), QSslKey(readFile(keyPath), QSsl::Ec)};
}

} // namespace

class TestTransfer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void outcomes_data();
    void outcomes();
    void contentTypes_data();
    void contentTypes();
    void referer_data();
    void referer();
    void proxy_data();
    void proxy();
    void endSteps_data();
    void endSteps();
    void sharedCookieJar_data();
    void sharedCookieJar();
    void busyControlPutsItemBack();
    void controlOperations();
    void https_data();
    void https();

private:
    FixtureSite m_site;
    SelfSignedCertificate m_certificate;
};

void TestTransfer::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true); // sound files go to a test folder
    QVERIFY(m_site.start());
    m_site.addRoute("/moved", [this](const FixtureSite::Request &) {
        FixtureSite::Response response;
        response.status = 302;
        response.headers.append({"Location", m_site.base() + "/pdf?size=5000"});
        return response;
    });
}

// clang-format off
void TestTransfer::outcomes_data()
{
    QTest::addColumn<QString>("route");   // on the site; "closed" names a port where nothing listens
    QTest::addColumn<double>("limitMB");
    QTest::addColumn<int>("setup");
    QTest::addColumn<int>("action");
    QTest::addColumn<TransferOutcome>("outcome");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("downloaded");
    QTest::addColumn<QString>("progress");
    QTest::addColumn<qint64>("fileLength"); // at the item's path; -1: no file there
    QTest::addColumn<qint64>("partLength"); // "<item's path>.part"; -1: none, -2: some bytes

    const int none = int(Setup::None);
    const int older = int(Setup::OlderFile);
    const int locked = int(Setup::LockedOlderFile);
    const int noAction = int(Action::None);
    const qint64 noFile = -1;

    QTest::newRow("completed in pieces")
        << "/pdf?size=100000" << 100.0 << older << noAction << TransferOutcome::Completed << 3 << "100000"
        << "100000" << "100%" << qint64(100000) << noFile;
    QTest::newRow("completed after a redirect")
        << "/moved" << 100.0 << none << noAction << TransferOutcome::Completed << 3 << "5000" << "5000" << "100%"
        << qint64(5000) << noFile;
    QTest::newRow("fetched whole, ended by closing")
        << "/pdf-close?size=50000" << 100.0 << none << noAction << TransferOutcome::FetchedWhole << 3 << "50000"
        << "50000" << "100%" << qint64(50000) << noFile;
    QTest::newRow("fetched whole, chunked")
        << "/pdf-chunked?size=50000" << 100.0 << none << noAction << TransferOutcome::FetchedWhole << 3 << "50000"
        << "50000" << "100%" << qint64(50000) << noFile;
    QTest::newRow("whole fetch got nothing")
        << "/pdf-close?size=0" << 100.0 << none << noAction << TransferOutcome::FetchedNothing << 4 << "" << ""
        << "" << noFile << noFile;
    QTest::newRow("10485760 bytes at a 10 MB limit")
        << "/large?size=10485760&length=1" << 10.0 << none << noAction << TransferOutcome::Completed << 3
        << "10485760" << "10485760" << "100%" << qint64(10485760) << noFile;
    QTest::newRow("10485761 bytes at a 10 MB limit, older file untouched")
        << "/large?size=10485761&length=1" << 10.0 << older << noAction << TransferOutcome::TooLarge << 3
        << "10485761" << "" << "大文件，跳过" << kOlderLength << noFile;
    QTest::newRow("10485761 bytes without a length at a 10 MB limit")
        << "/large?size=10485761&length=0" << 10.0 << none << noAction << TransferOutcome::TooLarge << 3
        << "未知" << "" << "大文件，跳过" << noFile << noFile;
    QTest::newRow("no response headers, nothing listening")
        << "closed" << 100.0 << none << noAction << TransferOutcome::NoResponse << 4 << "" << "" << "" << noFile << noFile;
    QTest::newRow("no response within 30 s")
        << "/silent" << 100.0 << none << int(Action::ResponseTimeout) << TransferOutcome::NoResponse << 4 << ""
        << "" << "" << noFile << noFile;
    QTest::newRow("stopped while waiting for the response")
        << "/silent" << 100.0 << none << int(Action::StopWhileWaiting) << TransferOutcome::NoResponse << 4 << ""
        << "" << "" << noFile << noFile;
    QTest::newRow("cannot replace the older file")
        << "/pdf?size=100000" << 100.0 << locked << noAction << TransferOutcome::CannotReplace << 4 << "777"
        << "777" << "无法替换" << kOlderLength << noFile;
    QTest::newRow("stalled for 300 s")
        << "/stall?size=100000&after=30000" << 100.0 << none << int(Action::Stall) << TransferOutcome::Stalled << 4
        << "100000" << "30000" << "30%" << noFile << qint64(30000);
    QTest::newRow("connection ended short of the length")
        << "/short?size=100000&send=40000" << 100.0 << none << noAction << TransferOutcome::EndedShort << 4
        << "100000" << "40000" << "40%" << noFile << qint64(40000);
    QTest::newRow("stopped by the user")
        << "/stall?size=100000&after=30000" << 100.0 << none << int(Action::Stop) << TransferOutcome::Cancelled << 4
        << "100000" << "30000" << "下载取消" << noFile << qint64(30000);
    QTest::newRow("downloading switched off")
        << "/stall?size=100000&after=30000" << 100.0 << none << int(Action::SwitchOff) << TransferOutcome::Cancelled
        << 4 << "100000" << "30000" << "下载取消" << noFile << qint64(30000);
    QTest::newRow("stopped during the whole fetch")
        << "/large?size=1073741824&length=0" << 2048.0 << none << int(Action::StopWholeFetch)
        << TransferOutcome::FetchedNothing << 4 << "" << "" << "" << noFile << qint64(-2);
    QTest::newRow("address the control cannot use")
        << "nonsense" << 100.0 << none << noAction << TransferOutcome::NoResponse << 4 << "" << "" << "" << noFile << noFile;
}
// clang-format on

void TestTransfer::outcomes()
{
    QFETCH(QString, route);
    QFETCH(double, limitMB);
    QFETCH(int, setup);
    QFETCH(int, action);
    QFETCH(TransferOutcome, outcome);
    QFETCH(int, state);
    QFETCH(QString, size);
    QFETCH(QString, downloaded);
    QFETCH(QString, progress);
    QFETCH(qint64, fileLength);
    QFETCH(qint64, partLength);

    Rig rig;
    rig.settings.MaxFileSizeMB = limitMB;
    QString url = m_site.url(route);
    if (route == QLatin1String("closed"))
        url = QStringLiteral("http://127.0.0.1:%1/a.pdf").arg(FixtureSite::closedPort());
    else if (route == QLatin1String("nonsense"))
        url = QStringLiteral("nonsense:/a.pdf");

    const quint64 id = rig.add(url, QStringLiteral("A1"), QStringLiteral("pdf"));
    const QString path = rig.folder.filePath(QStringLiteral("A1.pdf"));
    std::unique_ptr<UndeletableFolder> lock;
    if (setup != int(Setup::None)) {
        QVERIFY(writeFile(path, QByteArray(kOlderLength, 'o')));
        if (setup == int(Setup::LockedOlderFile)) {
            lock = std::make_unique<UndeletableFolder>(rig.folder.path());
            if (!lock->holds())
                QSKIP("cannot make a folder whose files cannot be deleted here");
        }
    }

    const qsizetype requestsBefore = requestsFor(m_site, url).size();
    QSignalSpy finished(&rig.transfer(), &Transfer::finished);
    QVERIFY(rig.start(id, finished));

    switch (Action(action)) {
    case Action::None: break;
    case Action::Stall:
        QTRY_COMPARE_WITH_TIMEOUT(DownloadedText(rig.item(id).Downloaded), downloaded, kWaitMs);
        rig.clock.advance(SingleTransfer::kStallSeconds);
        rig.engine.tickTransfers();
        QVERIFY2(finished.isEmpty(), "300 s without growth is not yet a stall");
        rig.clock.advance(1.0);
        rig.engine.tickTransfers();
        break;
    case Action::Stop:
        QTRY_COMPARE_WITH_TIMEOUT(DownloadedText(rig.item(id).Downloaded), downloaded, kWaitMs);
        rig.engine.stop();
        break;
    case Action::SwitchOff:
        QTRY_COMPARE_WITH_TIMEOUT(DownloadedText(rig.item(id).Downloaded), downloaded, kWaitMs);
        rig.engine.values().DownloadRunning = false;
        rig.engine.SupervisorTick();
        break;
    case Action::ResponseTimeout:
        // The request is out, and no answer comes.
        QTRY_VERIFY_WITH_TIMEOUT(requestsFor(m_site, url).size() > requestsBefore, kWaitMs);
        QVERIFY(rig.control().StillExecuting());
        rig.clock.advance(SingleTransfer::kResponseWaitSeconds);
        rig.engine.tickTransfers();
        QVERIFY2(finished.isEmpty(), "30 s is still within the wait");
        rig.clock.advance(1.0);
        rig.engine.tickTransfers();
        break;
    case Action::StopWholeFetch:
        QTRY_COMPARE_WITH_TIMEOUT(SizeText(rig.item(id).Size), QStringLiteral("未知"), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(path + QStringLiteral(".part")).size() > 0, kWaitMs);
        rig.engine.stop();
        break;
    case Action::StopWhileWaiting:
        QTRY_VERIFY_WITH_TIMEOUT(requestsFor(m_site, url).size() > requestsBefore, kWaitMs);
        rig.engine.stop();
        break;
    }

    QVERIFY(finished.count() == 1 || finished.wait(kWaitMs));
    lock.reset();
    QCOMPARE(finished.count(), 1);
    QCOMPARE(resultOf(finished).outcome, outcome);
    if (outcome == TransferOutcome::Completed || outcome == TransferOutcome::FetchedWhole)
        QCOMPARE(resultOf(finished).errorText, QString());
    else if (outcome == TransferOutcome::NoResponse || outcome == TransferOutcome::EndedShort)
        QVERIFY(!resultOf(finished).errorText.isEmpty());

    const DownloadItem &item = rig.item(id);
    QCOMPARE(int(item.State), state);
    QCOMPARE(SizeText(item.Size), size);
    QCOMPARE(DownloadedText(item.Downloaded), downloaded);
    QCOMPARE(ProgressText(item.Progress), progress);
    QCOMPARE(ItemFilePath(item), path);
    // Bytes of a failed transfer stay in the .part file, never under the
    // item's name.
    const QString part = path + QStringLiteral(".part");
    if (partLength == -1) {
        QVERIFY2(!QFile::exists(part), "no .part file");
    } else {
        QVERIFY(QFile::exists(part));
        QVERIFY(readFile(part).startsWith("%PDF"));
        if (partLength >= 0)
            QCOMPARE(QFileInfo(part).size(), partLength);
    }
    if (fileLength < 0) {
        QVERIFY2(!QFile::exists(path), "nothing under the item's name");
        if (partLength == -1)
            QVERIFY2(QDir(rig.folder.path()).isEmpty(), "nothing of the body is kept");
    } else {
        QVERIFY(QFile::exists(path));
        QCOMPARE(QFile(path).size(), fileLength);
        if (setup != int(Setup::None) && fileLength == kOlderLength)
            QCOMPARE(readFile(path), QByteArray(kOlderLength, 'o'));
        else
            QVERIFY(readFile(path).startsWith("%PDF"));
    }
    if (size != QLatin1String("未知") && resultOf(finished).outcome == TransferOutcome::FetchedWhole)
        QVERIFY2(rig.sizesSeen.contains(QStringLiteral("未知")), "the size is unknown while the whole body comes");

    // The end steps of every outcome.
    QVERIFY(!rig.engine.values().DownloadRunning);
    QCOMPARE(rig.engine.values().LastFinishTime, rig.clock.seconds());
    QVERIFY(!rig.transfer().isRunning());
    QVERIFY(!rig.control().StillExecuting());
}

// clang-format off
void TestTransfer::contentTypes_data()
{
    QTest::addColumn<QString>("contentType"); // sent by the site; empty: no header
    QTest::addColumn<QString>("body");        // pdf or html
    QTest::addColumn<QString>("itemType");
    QTest::addColumn<SameNamePolicy>("policy");
    QTest::addColumn<QString>("olderFile");   // a file of the item's name that exists already
    QTest::addColumn<QString>("typeWhileStoring");
    QTest::addColumn<QString>("finalType");
    QTest::addColumn<QStringList>("files");   // the folder's files at the end

    const SameNamePolicy skip = SameNamePolicy::Skip;
    const SameNamePolicy overwrite = SameNamePolicy::Overwrite;
    const SameNamePolicy rename = SameNamePolicy::Rename;

    QTest::newRow("html with a charset for a pdf item, older .html untouched under skip")
        << "text/html; charset=utf-8" << "html" << "pdf" << skip << "A1.html" << "" << "html"
        << QStringList{"A1.html"};
    QTest::newRow("html page beside an older .htm of the same name")
        << "text/html" << "html" << "pdf" << overwrite << "A1.htm" << "html" << "htm"
        << QStringList{"A1.htm", "A1[0001].htm"};
    QTest::newRow("octet-stream keeps the item's type")
        << "application/octet-stream" << "pdf" << "pdf" << overwrite << "" << "pdf" << "pdf" << QStringList{"A1.pdf"};
    QTest::newRow("image/tiff gives tif until the bytes say pdf")
        << "image/tiff" << "pdf" << "pdf" << overwrite << "" << "tif" << "pdf" << QStringList{"A1.pdf"};
    QTest::newRow("bare word without a slash becomes the type")
        << "pdf" << "pdf" << "xxx" << overwrite << "" << "pdf" << "pdf" << QStringList{"A1.pdf"};
    QTest::newRow("no content type keeps the item's type")
        << "" << "pdf" << "xxx" << overwrite << "" << "xxx" << "pdf" << QStringList{"A1.pdf"};
    QTest::newRow("unknown type keeps the item's type")
        << "application/zip" << "pdf" << "pdf" << overwrite << "" << "pdf" << "pdf" << QStringList{"A1.pdf"};
    QTest::newRow("a type that is no plain extension keeps the item's type")
        << "." << "pdf" << "pdf" << overwrite << "" << "pdf" << "pdf" << QStringList{"A1.pdf"};
    QTest::newRow("rename rule takes a free name for the new type")
        << "application/pdf" << "pdf" << "xxx" << rename << "A1.pdf" << "pdf" << "pdf"
        << QStringList{"A1.pdf", "A1[001].pdf"};
}
// clang-format on

void TestTransfer::contentTypes()
{
    QFETCH(QString, contentType);
    QFETCH(QString, body);
    QFETCH(QString, itemType);
    QFETCH(SameNamePolicy, policy);
    QFETCH(QString, olderFile);
    QFETCH(QString, typeWhileStoring);
    QFETCH(QString, finalType);
    QFETCH(QStringList, files);

    Rig rig;
    rig.engine.options().sameNamePolicy = policy;
    if (!olderFile.isEmpty())
        QVERIFY(writeFile(rig.folder.filePath(olderFile), "older"));
    const QString url = m_site.url(QStringLiteral("/typed?size=3000&body=%1&type=%2")
                                       .arg(body, QString::fromLatin1(QUrl::toPercentEncoding(contentType))));
    const quint64 id = rig.add(url, QStringLiteral("A1"), itemType);

    QSignalSpy finished(&rig.transfer(), &Transfer::finished);
    QVERIFY(rig.start(id, finished));
    QVERIFY(finished.wait(kWaitMs));

    const DownloadItem &item = rig.item(id);
    QCOMPARE(rig.typeWhileStoring, typeWhileStoring);
    QCOMPARE(item.Type, finalType);
    QCOMPARE(int(item.State), int(Finished));
    QStringList stored = QDir(rig.folder.path()).entryList(QDir::Files, QDir::Name);
    QCOMPARE(stored, files);
    QVERIFY(QFile::exists(ItemFilePath(item)));
    if (typeWhileStoring.isEmpty()) { // "跳过" found the file of the new type: nothing stored
        QCOMPARE(ProgressText(item.Progress), EngineText::kExistsSkipped);
        QCOMPARE(readFile(ItemFilePath(item)), QByteArray("older"));
        return;
    }
    QCOMPARE(QFile(ItemFilePath(item)).size(), body == QLatin1String("html") ? FixtureSite::loginPage().size() : 3000);
}

// clang-format off
void TestTransfer::referer_data()
{
    QTest::addColumn<QString>("referer");
    QTest::addColumn<QString>("route");
    QTest::addColumn<QByteArray>("sent"); // empty: the address's own site

    QTest::newRow("the item's page") << "http://arc.example.org/search?q=x" << "/pdf?size=1000"
                                     << QByteArray("http://arc.example.org/search?q=x");
    QTest::newRow("no page: the address's site") << "" << "/pdf?size=1000" << QByteArray();
    // Chunked, so the body's end is its last chunk: a body ended only by the
    // server closing the connection is sometimes requested again by the
    // network library itself, which would hide what this row looks for.
    QTest::newRow("no length: one request, body read whole")
        << "http://arc.example.org/search?q=x" << "/pdf-chunked?size=1000" << QByteArray("http://arc.example.org/search?q=x");
}
// clang-format on

void TestTransfer::referer()
{
    QFETCH(QString, referer);
    QFETCH(QString, route);
    QFETCH(QByteArray, sent);
    if (sent.isEmpty())
        sent = m_site.base();

    Rig rig;
    const QString url = m_site.url(route + rowMark());
    const quint64 id = rig.add(url, QStringLiteral("A1"), QStringLiteral("pdf"), referer);
    QSignalSpy finished(&rig.transfer(), &Transfer::finished);
    QVERIFY(rig.start(id, finished));
    QVERIFY(finished.wait(kWaitMs));
    QCOMPARE(int(rig.item(id).State), int(Finished));

    // The transfer sends one request with exactly one Referer line; a body
    // without length that arrived whole is not fetched again.
    const QList<FixtureSite::Request> requests = requestsFor(m_site, url);
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests.first().headerValues("Referer"), QList<QByteArray>{sent});
}

// clang-format off
void TestTransfer::proxy_data()
{
    QTest::addColumn<bool>("proxyOn");
    QTest::addColumn<QString>("port"); // the proxy port as set; empty: the test proxy's
    QTest::newRow("proxy on: the request goes through it") << true << "";
    QTest::newRow("proxy off: straight to the site") << false << "";
    QTest::newRow("proxy port that is no number: failed, said, no direct request") << true << "80a";
    QTest::newRow("proxy port out of range: failed, said, no direct request") << true << "70000";
}
// clang-format on

void TestTransfer::proxy()
{
    QFETCH(bool, proxyOn);
    QFETCH(QString, port);

    FixtureProxy proxy;
    QVERIFY(proxy.start());
    Rig rig;
    rig.useProxy(proxy, proxyOn);
    if (!port.isEmpty())
        rig.settings.ProxyPort = port;
    const QString url = m_site.url(QStringLiteral("/pdf?size=20000") + rowMark());
    const quint64 id = rig.add(url, QStringLiteral("A1"), QStringLiteral("pdf"));

    QSignalSpy finished(&rig.transfer(), &Transfer::finished);
    QVERIFY(rig.start(id, finished));
    QVERIFY(finished.wait(kWaitMs));

    if (!port.isEmpty()) {
        QCOMPARE(resultOf(finished).outcome, TransferOutcome::NoResponse);
        QCOMPARE(int(rig.item(id).State), int(Failed));
        QCOMPARE(rig.prompts.messageTexts(), QStringList{EngineText::kProxyUnusable});
        QVERIFY(requestsFor(m_site, url).isEmpty());
        QVERIFY(proxy.requestLines().isEmpty());
        QVERIFY(QDir(rig.folder.path()).isEmpty());
        return;
    }

    QCOMPARE(ProgressText(rig.item(id).Progress), QStringLiteral("100%"));
    QCOMPARE(QFile(ItemFilePath(rig.item(id))).size(), qint64(20000));
    const QList<FixtureSite::Request> requests = requestsFor(m_site, url);
    QVERIFY(!requests.isEmpty());
    for (const FixtureSite::Request &request : requests)
        QCOMPARE(request.headerValues("Referer"), QList<QByteArray>{m_site.base()});
    if (proxyOn) {
        QVERIFY(!proxy.requestLines().isEmpty());
        for (const QByteArray &line : proxy.requestLines())
            QCOMPARE(line, "GET " + url.toLatin1() + " HTTP/1.1");
    } else {
        QVERIFY(proxy.requestLines().isEmpty());
    }
}

// clang-format off
void TestTransfer::endSteps_data()
{
    QTest::addColumn<QString>("route");  // "closed": nothing listens
    QTest::addColumn<QString>("itemType");
    QTest::addColumn<bool>("soundOn");
    QTest::addColumn<bool>("autoLogin");
    QTest::addColumn<QList<int>>("sounds");
    QTest::addColumn<bool>("login");
    QTest::addColumn<QString>("panel3Start");

    QTest::newRow("failed page item: 101 then 103")
        << "closed" << "htm" << true << true << QList<int>{101, 103} << true << "11 与主机通讯时出现了错误:";
    QTest::newRow("failed pdf item: 103")
        << "closed" << "pdf" << true << true << QList<int>{103} << false << "11 与主机通讯时出现了错误:";
    QTest::newRow("login page instead of the pdf: 101")
        << "/protected.pdf" << "pdf" << true << true << QList<int>{101} << true << "12 ";
    QTest::newRow("pdf stored: no sound") << "/pdf?size=1000" << "pdf" << true << true << QList<int>{} << false
                                          << "12 ";
    QTest::newRow("sound and login switched off")
        << "closed" << "html" << false << false << QList<int>{} << false << "11 ";
}
// clang-format on

void TestTransfer::endSteps()
{
    QFETCH(QString, route);
    QFETCH(QString, itemType);
    QFETCH(bool, soundOn);
    QFETCH(bool, autoLogin);
    QFETCH(QList<int>, sounds);
    QFETCH(bool, login);
    QFETCH(QString, panel3Start);

    Rig rig;
    rig.engine.options().soundOn = soundOn;
    rig.engine.options().autoLogin = autoLogin;
    const QString url = route == QLatin1String("closed")
                            ? QStringLiteral("http://127.0.0.1:%1/a.pdf").arg(FixtureSite::closedPort())
                            : m_site.url(route);
    const quint64 id = rig.add(url, QStringLiteral("A1"), itemType);
    QSignalSpy panel2(&rig.engine, &DownloadEngine::panel2TextChanged);
    QSignalSpy panel3(&rig.engine, &DownloadEngine::panel3TextChanged);
    QSignalSpy loginRequested(&rig.engine, &DownloadEngine::loginRequested);
    QSignalSpy finished(&rig.transfer(), &Transfer::finished);
    QVERIFY(rig.start(id, finished));
    QVERIFY(finished.wait(kWaitMs));

    QCOMPARE(rig.sounds.numbers(), sounds);
    for (const QString &played : rig.sounds.paths)
        QVERIFY2(QFile::exists(played), "the sound file is written before it is played");
    QCOMPARE(loginRequested.count(), login ? 1 : 0);
    QCOMPARE(panel2.count(), 2);
    QCOMPARE(panel2.first().first().toString(), QStringLiteral("正在下载:A1"));
    QCOMPARE(panel2.last().first().toString(), QStringLiteral("完成下载:A1"));
    QVERIFY(!panel3.isEmpty());
    QCOMPARE(panel3.first().first().toString(), QStringLiteral("1 正在查询所指定的主机的 IP 地址..."));
    QVERIFY2(panel3.last().first().toString().startsWith(panel3Start), qPrintable(panel3.last().first().toString()));
}

// clang-format off
void TestTransfer::sharedCookieJar_data()
{
    QTest::addColumn<bool>("loggedIn");
    QTest::addColumn<bool>("proxyOn");
    QTest::addColumn<QString>("type");

    QTest::newRow("not logged in: the login page") << false << false << "htm";
    QTest::newRow("logged in through the same manager: the pdf") << true << false << "pdf";
    QTest::newRow("logged in, through the proxy: the pdf") << true << true << "pdf";
}
// clang-format on

void TestTransfer::sharedCookieJar()
{
    QFETCH(bool, loggedIn);
    QFETCH(bool, proxyOn);
    QFETCH(QString, type);

    FixtureProxy proxy;
    QVERIFY(proxy.start());
    Rig rig;
    rig.useProxy(proxy, proxyOn);
    if (loggedIn) {
        QNetworkReply *reply =
            rig.network.get(QNetworkRequest(QUrl(m_site.url(QStringLiteral("/login?user=u&pass=p")))));
        QSignalSpy done(reply, &QNetworkReply::finished);
        QVERIFY(done.wait(kWaitMs));
        reply->deleteLater();
    }

    const quint64 id =
        rig.add(m_site.url(QStringLiteral("/protected.pdf?size=4000")), QStringLiteral("A1"), QStringLiteral("pdf"));
    QSignalSpy finished(&rig.transfer(), &Transfer::finished);
    QVERIFY(rig.start(id, finished));
    QVERIFY(finished.wait(kWaitMs));
    QCOMPARE(rig.item(id).Type, type);
    QCOMPARE(int(rig.item(id).State), int(Finished));
    QCOMPARE(proxy.requestLines().isEmpty(), !proxyOn);
}

void TestTransfer::busyControlPutsItemBack()
{
    Rig rig;
    const QString url = m_site.url(QStringLiteral("/pdf?size=1000&row=busy"));
    const quint64 id = rig.add(url, QStringLiteral("A1"), QStringLiteral("pdf"));
    rig.engine.values().DownloadRunning = true;
    QSignalSpy finished(&rig.transfer(), &Transfer::finished);

    QVERIFY(!rig.engine.downloadCurrentItem(id));
    QCOMPARE(int(rig.item(id).State), int(Waiting));
    QCOMPARE(SizeText(rig.item(id).Size), QStringLiteral("等待重新下载"));
    QVERIFY(rig.engine.values().DownloadRunning);
    // Nothing was handed to the control, so no request can follow.
    QVERIFY(!rig.control().StillExecuting());
    QVERIFY(!rig.transfer().isRunning());
    QVERIFY(requestsFor(m_site, url).isEmpty());
    QVERIFY(finished.isEmpty());
}

// The control on its own: headers by name and all at once, the body in
// pieces of at most the size asked for, and a cancel that is harmless twice.
void TestTransfer::controlOperations()
{
    QNetworkAccessManager network;
    TransferControl control(network);
    QVERIFY(control.GetHeader().isEmpty());
    QVERIFY(!control.StillExecuting());
    control.Cancel();

    QSignalSpy headers(&control, &TransferControl::headersArrived);
    QSignalSpy ended(&control, &TransferControl::ended);
    control.Execute(m_site.url(QStringLiteral("/typed?size=10000&type=image%2Ftiff&row=control")),
                    QStringLiteral("GET"), QByteArray(), QStringLiteral("Referer: http://a.example/\r\n"));
    QVERIFY(control.StillExecuting());
    QVERIFY(headers.wait(kWaitMs));

    const QString all = control.GetHeader();
    QVERIFY2(all.startsWith(QStringLiteral("HTTP/1.1 200 OK\r\n")), qPrintable(all));
    QVERIFY(all.contains(QStringLiteral("\r\nContent-Type: image/tiff")));
    QVERIFY(all.contains(QStringLiteral("\r\nContent-Length: 10000")));
    QVERIFY(!all.endsWith(QStringLiteral("\r\n")));
    QCOMPARE(control.GetHeader(QStringLiteral("content-type")), QStringLiteral("image/tiff"));
    QCOMPARE(control.GetHeader(QStringLiteral("X-None")), QString());

    QByteArray body;
    QTRY_VERIFY_WITH_TIMEOUT(ended.count() == 1 || control.bytesAvailable() >= 10000, kWaitMs);
    while (true) {
        const QByteArray piece = control.GetChunk(2048);
        if (piece.isEmpty())
            break;
        QVERIFY(piece.size() <= 2048);
        body += piece;
        if (body.size() >= 10000)
            break;
    }
    QCOMPARE(body, FixtureSite::pdfBody(10000));

    control.Cancel();
    control.Cancel();
    QVERIFY(!control.StillExecuting());
    QCOMPARE(control.GetHeader(QStringLiteral("Content-Length")), QStringLiteral("10000"));
}

// clang-format off
void TestTransfer::https_data()
{
    QTest::addColumn<bool>("trusted");
    QTest::addColumn<int>("state");

    QTest::newRow("trusted certificate, port of the address") << true << int(Finished);
    QTest::newRow("certificate not trusted: the transfer fails") << false << int(Failed);
}
// clang-format on

void TestTransfer::https()
{
    QFETCH(bool, trusted);
    QFETCH(int, state);

    // One certificate for the site's TLS port, made at the first row.
    if (m_certificate.certificate.isNull()) {
        QTemporaryDir certificates;
        m_certificate = makeCertificate(certificates.path(), QStringLiteral("site"));
        if (m_certificate.certificate.isNull() || m_certificate.key.isNull())
            QSKIP("the openssl command cannot make a certificate here");
        QVERIFY(m_site.startTls(m_certificate.certificate, m_certificate.key));
    }
    const SelfSignedCertificate &certificate = m_certificate;

    const QSslConfiguration before = QSslConfiguration::defaultConfiguration();
    if (trusted) {
        QSslConfiguration configuration = before;
        configuration.addCaCertificate(certificate.certificate);
        QSslConfiguration::setDefaultConfiguration(configuration);
    }
    Rig rig;
    const QString url = QStringLiteral("https://127.0.0.1:%1/pdf?size=8000").arg(m_site.tlsPort()) + rowMark();
    const quint64 id = rig.add(url, QStringLiteral("A1"), QStringLiteral("pdf"));

    QSignalSpy finished(&rig.transfer(), &Transfer::finished);
    QVERIFY(rig.start(id, finished));
    const bool ended = finished.wait(kWaitMs);
    QSslConfiguration::setDefaultConfiguration(before);
    QVERIFY(ended);

    QCOMPARE(int(rig.item(id).State), state);
    if (trusted) {
        QCOMPARE(ProgressText(rig.item(id).Progress), QStringLiteral("100%"));
        QCOMPARE(QFile(ItemFilePath(rig.item(id))).size(), qint64(8000));
        QVERIFY(!requestsFor(m_site, url).isEmpty());
        QCOMPARE(requestsFor(m_site, url).first().header("Referer"),
                 QStringLiteral("https://127.0.0.1:%1").arg(m_site.tlsPort()).toLatin1());
    } else {
        QCOMPARE(resultOf(finished).outcome, TransferOutcome::NoResponse);
        QVERIFY(requestsFor(m_site, url).isEmpty());
        QVERIFY(QDir(rig.folder.path()).isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestTransfer)
#include "tst_transfer.moc"
