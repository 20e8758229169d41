#include "EngineRig.h"

#include "common/CommonTexts.h"
#include "engine/EngineTexts.h"
#include "engine/ListResets.h"

#include <QSignalSpy>

Q_DECLARE_METATYPE(ItemState)

// What the transfers of either method do to the user's files when they do
// not end well: an older file stays whole under "覆盖", "跳过" never replaces
// a file, the bytes of a failed row wait in "<name>.part" and never stand
// under the document's name, nothing goes to the file-system root, and every
// address form reaches the port it names.
class UserFilesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true); // sound files go to a test folder
        QVERIFY(m_site.start());
        m_ipv6 = m_site.startIPv6();
    }

    void methodOne_data() { endings(); }
    void methodOne() { checkEnding(1); }
    void methodTwo_data() { endings(); }
    void methodTwo() { checkEnding(2); }

    void addressForms_data();
    void addressForms();
    void neverIntoTheRoot_data();
    void neverIntoTheRoot();

private:
    void endings();
    void checkEnding(int method);

    FixtureSite m_site;
    bool m_ipv6 = false;
};

void UserFilesTest::endings()
{
    QTest::addColumn<QString>("route");
    QTest::addColumn<SameNamePolicy>("policy");
    QTest::addColumn<QString>("older");      // the user's file that exists before the run
    QTest::addColumn<bool>("stop");          // the stop command once bytes arrived
    QTest::addColumn<QStringList>("files1"); // the folder's files at the end, method one
    QTest::addColumn<ItemState>("state1");
    QTest::addColumn<QStringList>("files2"); // ... method two
    QTest::addColumn<ItemState>("state2");
    QTest::addColumn<bool>("again"); // a second run under "跳过" fetches again

    const SameNamePolicy overwrite = SameNamePolicy::Overwrite;
    const QStringList olderWithPart{"A.pdf", "A.pdf.part"};
    const QStringList olderOnly{"A.pdf"};
    const QString refused = QStringLiteral("http://127.0.0.1:%1/a.pdf?x=1").arg(FixtureSite::closedPort());

    QTest::newRow("overwrite: short body") << "/short?size=3000&send=1000" << overwrite << "A.pdf" << false
                                           << olderWithPart << Failed << olderWithPart << Failed << true;
    QTest::newRow("overwrite: stopped") << "/stall?size=100000&after=30000" << overwrite << "A.pdf" << true
                                        << olderWithPart << Failed << olderWithPart << Failed << false;
    QTest::newRow("overwrite: over the size limit") << "/pdf?size=11534336" << overwrite << "A.pdf" << false
                                                    << olderOnly << Finished << olderOnly << Finished << false;
    QTest::newRow("overwrite: 404") << "/status?code=404" << overwrite << "A.pdf" << false << olderOnly << Failed
                                    << olderOnly << Failed << false;
    QTest::newRow("overwrite: refused connection")
        << refused << overwrite << "A.pdf" << false << olderOnly << Failed << olderOnly << Failed << false;
    QTest::newRow("skip: reply of another type names an existing file")
        << "/typed?type=text/html&body=html" << SameNamePolicy::Skip << "A.html" << false << QStringList{"A.html"}
        << Finished << QStringList{"A.htm", "A.html"} << Finished << false;
}

void UserFilesTest::checkEnding(int method)
{
    QFETCH(QString, route);
    QFETCH(SameNamePolicy, policy);
    QFETCH(QString, older);
    QFETCH(bool, stop);
    QFETCH(bool, again);
    QFETCH(QStringList, files1);
    QFETCH(ItemState, state1);
    QFETCH(QStringList, files2);
    QFETCH(ItemState, state2);
    const QStringList files = method == 1 ? files1 : files2;
    const ItemState state = method == 1 ? state1 : state2;

    EngineRig rig(method);
    rig.settings.MaxFileSizeMB = 10;
    rig.engine.options().sameNamePolicy = policy;
    const QByteArray olderBytes = "the user's own file";
    QVERIFY(writeFile(rig.filePath(older), olderBytes));
    const QString mark = QStringLiteral("&m=%1").arg(method) + rowMark();
    const QString url = (route.startsWith(QLatin1Char('/')) ? m_site.url(route) : route) + mark;
    const quint64 id = rig.add(url, QStringLiteral("A"));

    rig.engine.start();
    rig.tick();
    if (stop) {
        QTRY_VERIFY_WITH_TIMEOUT(rig.item(id).Downloaded.value_or(0) > 0, EngineRig::kWaitMs);
        rig.engine.stop();
    }
    QVERIFY(rig.waitIdle());

    QCOMPARE(rig.item(id).State, state);
    QCOMPARE(rig.filesInFolder(), files);
    QCOMPARE(readFile(rig.filePath(older)), olderBytes);
    // Nothing but a whole body ever stands under the document's name.
    if (state == Failed)
        QVERIFY(!files.contains(QStringLiteral("A.pdf")) || readFile(rig.filePath("A.pdf")) == olderBytes);

    if (again) {
        const int requestsBefore = requestsMarked(m_site, mark);
        QFile::remove(rig.filePath(older));
        rig.engine.options().sameNamePolicy = SameNamePolicy::Skip;
        QCOMPARE(ResetFailedItems(rig.engine.list()), 1);
        QVERIFY2(!QFile::exists(rig.filePath("A.pdf.part")), "the reset deletes the bytes kept");
        rig.engine.start();
        rig.tick();
        QVERIFY(rig.waitIdle());
        QCOMPARE(requestsMarked(m_site, mark), requestsBefore + 1);
        QCOMPARE(rig.item(id).State, Failed);
        QVERIFY(!rig.item(id).Progress.is(ProgressWord::ExistsSkipped));
        QCOMPARE(rig.filesInFolder(), QStringList{QStringLiteral("A.pdf.part")});
    }
}

// clang-format off
void UserFilesTest::addressForms_data()
{
    QTest::addColumn<int>("method");
    QTest::addColumn<QString>("address"); // %1: the site's port
    for (int method : {1, 2}) {
        const QString prefix = QStringLiteral("method %1: ").arg(method);
        QTest::newRow(qPrintable(prefix + "query right after the port")) << method << "http://127.0.0.1:%1?size=700";
        QTest::newRow(qPrintable(prefix + "fragment right after the port")) << method << "http://127.0.0.1:%1#f";
        QTest::newRow(qPrintable(prefix + "user info")) << method << "http://u:p@127.0.0.1:%1/pdf?size=700";
        QTest::newRow(qPrintable(prefix + "IPv6 literal")) << method << "http://[::1]:%1/pdf?size=700";
    }
}
// clang-format on

// Each form reaches the site's own port: the site answers (a 404 page for
// its root, a PDF otherwise), so the row ends finished with a stored file.
void UserFilesTest::addressForms()
{
    QFETCH(int, method);
    QFETCH(QString, address);
    if (address.contains(QLatin1String("[::1]")) && !m_ipv6)
        QSKIP("no IPv6 loopback here");

    EngineRig rig(method);
    const QString url = address.arg(m_site.port());
    const quint64 id = rig.add(url, QStringLiteral("A"));
    const int before = m_site.requests().size();
    rig.engine.start();
    rig.tick();
    QVERIFY(rig.waitIdle());
    QVERIFY2(m_site.requests().size() > before, "the request reached the site's port");
    QVERIFY(rig.item(id).State == Finished || rig.item(id).State == Failed);
    QVERIFY(rig.item(id).State == Finished || method == 2); // a 404 page stored by method one
}

// clang-format off
void UserFilesTest::neverIntoTheRoot_data()
{
    QTest::addColumn<int>("method");
    QTest::addColumn<QString>("folder"); // %1: a file in the rig's folder
    for (int method : {1, 2}) {
        const QString prefix = QStringLiteral("method %1: ").arg(method);
        QTest::newRow(qPrintable(prefix + "parent is a file")) << method << "%1/sub";
        QTest::newRow(qPrintable(prefix + "name that cleans to nothing")) << method << "/???";
        QTest::newRow(qPrintable(prefix + "empty folder")) << method << "";
    }
}
// clang-format on

void UserFilesTest::neverIntoTheRoot()
{
    QFETCH(int, method);
    QFETCH(QString, folder);

    EngineRig rig(method);
    const QString file = rig.filePath(QStringLiteral("plain-file"));
    QVERIFY(writeFile(file, "x"));
    const QStringList rootBefore = QDir(QDir::rootPath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    const quint64 id = rig.add(m_site.url(QStringLiteral("/pdf?size=500") + rowMark()), QStringLiteral("A"));
    rig.engine.list().updateItem(rig.engine.list().rowOfId(id), [&](DownloadItem &item) {
        item.Folder = folder.contains("%1") ? folder.arg(file) : folder;
    });

    rig.engine.start();
    rig.tick();
    QVERIFY(rig.waitIdle());

    QCOMPARE(rig.item(id).State, Failed);
    QVERIFY(rig.prompts.messageTexts().contains(CommonText::kFolderNameWrong));
    QCOMPARE(QDir(QDir::rootPath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), rootBefore);
}

QTEST_GUILESS_MAIN(UserFilesTest)
#include "tst_user_files.moc"
