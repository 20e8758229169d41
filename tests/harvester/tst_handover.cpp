#include "engine/DownloadList.h"
#include "harvester/Handover.h"
#include "common/SessionSettings.h"

#include <QtTest>

namespace {

// The download window as the hand-over sees it: its list, created on first use.
class TestTarget final : public HandoverTarget
{
public:
    DownloadList &downloadList() override
    {
        if (!list)
            list = std::make_unique<DownloadList>();
        return *list;
    }
    void showDownloadWindow() override { ++shown; }

    std::unique_ptr<DownloadList> list;
    int shown = 0;
};

const QString kPage = QStringLiteral("https://arc.example.org/action/doSearch?AllField=inlet");

struct HandoverSetup
{
    HandoverSetup() { settings.SaveFolder = QStringLiteral("/papers/"); }
    const DownloadItem &onlyItem() { return target.downloadList().at(0); }

    SessionSettings settings;
    TestTarget target;
    Handover handover{target, settings};
};

} // namespace

class TestHandover : public QObject
{
    Q_OBJECT

private slots:
    void fileName_data();
    void fileName();
    void itemFields();
    void folder_data();
    void folder();
    void duplicateLinkChangesNothing();
    void noFolderRefused();
};

// clang-format off
void TestHandover::fileName_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("keepOriginal");
    QTest::addColumn<QString>("name");

    const QString doi = QStringLiteral("https://arc.example.org/doi/pdf/10.2514/6.2016-1234");
    QTest::newRow("title on two lines joins without a blank")
        << "Supersonic inlet\r\nat high angle" << doi << false << "Supersonic inletat high angle";
    QTest::newRow("lone line feed and lone carriage return removed")
        << "A\nB\rC" << doi << false << "ABC";
    QTest::newRow("NUL removed") << QString("Wing") + QChar(0) + "let" << doi << false << "Winglet";
    QTest::newRow("blanks at both ends trimmed") << "   Rotor wake   " << doi << false << "Rotor wake";
    QTest::newRow("reserved characters cleaned from the title")
        << "Drag: a <review>?" << doi << false << "Drag a review";
    QTest::newRow("original name: text after the last slash, cut before its last dot")
        << "Title" << doi << true << "6";
    QTest::newRow("original name: several dots keep all but the last")
        << "Title" << "https://arc.example.org/files/paper.final.pdf" << true << "paper.final";
    QTest::newRow("original name: no slash and no dot") << "Title" << "paper" << true << "paper";
    QTest::newRow("original name: backslashes separate too")
        << "Title" << "C:\\docs\\report.v2.pdf" << true << "report.v2";
    QTest::newRow("original name: blanks around the parts trimmed")
        << "Title" << "https://x.example.org/ name .pdf" << true << "name";
    QTest::newRow("original name ignores the title")
        << "Some title\r\nsecond line" << "https://x.example.org/a/b.pdf" << true << "b";
}
// clang-format on

void TestHandover::fileName()
{
    QFETCH(QString, title);
    QFETCH(QString, link);
    QFETCH(bool, keepOriginal);
    QFETCH(QString, name);

    HandoverSetup setup;
    setup.settings.KeepOriginalFileName = keepOriginal;

    QVERIFY(setup.handover.addToDownloadList(link, title, QStringLiteral("pdf"), QString(), kPage));
    QCOMPARE(setup.target.downloadList().count(), 1);
    QCOMPARE(setup.onlyItem().Name, name);
}

void TestHandover::itemFields()
{
    HandoverSetup setup;
    const QString link = QStringLiteral("https://arc.example.org/doi/pdf/10.2514/6.2016-1234?a=1&b=2");

    setup.handover.addToDownloadList(link, QStringLiteral("Rotor wake"), QStringLiteral("pdf"),
                                     QStringLiteral("/saved/"), kPage);

    const DownloadItem &item = setup.onlyItem();
    QCOMPARE(item.Url, link);
    QCOMPARE(item.Name, QString("Rotor wake"));
    QCOMPARE(item.Type, QString("pdf"));
    QCOMPARE(item.Folder, QString("/saved/"));
    QCOMPARE(item.Referer, kPage);
    QCOMPARE(item.State, Waiting);
    QVERIFY(item.Size.isEmpty());
    QVERIFY(!item.Downloaded);
    QVERIFY(item.Progress.isEmpty());
    QCOMPARE(setup.target.shown, 0); // handing over does not show the window
}

// clang-format off
void TestHandover::folder_data()
{
    QTest::addColumn<QString>("savePath");
    QTest::addColumn<QString>("folder");

    QTest::newRow("entry's own folder") << "/chosen/when/read/" << "/chosen/when/read/";
    QTest::newRow("empty: the folder current at hand-over") << "" << "/current/now/";
}
// clang-format on

void TestHandover::folder()
{
    QFETCH(QString, savePath);
    QFETCH(QString, folder);

    HandoverSetup setup;
    setup.settings.SaveFolder = QStringLiteral("/current/now/"); // changed after the entry was read

    setup.handover.addToDownloadList(QStringLiteral("https://x.example.org/a.pdf"), QStringLiteral("A"),
                                     QStringLiteral("pdf"), savePath, kPage);
    QCOMPARE(setup.onlyItem().Folder, folder);
}

void TestHandover::duplicateLinkChangesNothing()
{
    HandoverSetup setup;
    const QString link = QStringLiteral("https://x.example.org/a.pdf");

    QVERIFY(setup.handover.addToDownloadList(link, QStringLiteral("First"), QStringLiteral("pdf"), QString(), kPage));
    setup.target.downloadList().updateItem(0, [](DownloadItem &item) { item.Progress = ItemProgress::ofPercent(40); });
    QVERIFY(setup.handover.addToDownloadList(link, QStringLiteral("Second"), QStringLiteral("htm"),
                                             QStringLiteral("/other/"),
                                             QStringLiteral("https://elsewhere.example.org/")));

    QCOMPARE(setup.target.downloadList().count(), 1);
    const DownloadItem &item = setup.onlyItem();
    QCOMPARE(item.Name, QString("First"));
    QCOMPARE(item.Type, QString("pdf"));
    QCOMPARE(item.Folder, QString("/papers/"));
    QCOMPARE(item.Referer, kPage);
    QCOMPARE(item.Progress, ItemProgress::ofPercent(40));
}

void TestHandover::noFolderRefused()
{
    HandoverSetup setup;
    setup.settings.SaveFolder.clear(); // the save-folder dialog has not been confirmed in this run
    QVERIFY(!setup.handover.addToDownloadList(QStringLiteral("https://x.example.org/a.pdf"), QStringLiteral("A"),
                                              QStringLiteral("pdf"), QString(), kPage));
    QCOMPARE(setup.target.downloadList().count(), 0);
}

QTEST_GUILESS_MAIN(TestHandover)
#include "tst_handover.moc"
