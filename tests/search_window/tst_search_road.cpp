// The whole road, as a user walks it: the result series opened in the search
// window's browser, all three pages added, "分析下载" with the save-folder
// dialog answered, and the download window fetching every entry with the
// parallel workers (three, no interval) into files named after the article
// titles, their types taken from what arrived. The protected entry arrives
// as a login page until the login panel has signed in, then as a PDF.
// Real browser, real engine, real transfers over 127.0.0.1, the real clock.
#include "download_window/CommandStrip.h"
#include "download_window/LoginPanel.h"
#include "engine/DownloadEngine.h"
#include "engine/Naming.h"
#include "harvester/Handover.h"
#include "browser/WebBrowser.h"
#include "harvester/HarvestList.h"
#include "tests/search_window/SearchRig.h"
#include "tests/support/FixtureSite.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int kWaitMs = 60000;

} // namespace

class TestSearchRoad : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fromResultPagesToStoredFiles();

private:
    FixtureSite m_site;
};

void TestSearchRoad::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_site.start());
    qputenv("PAPERDRIFT_START_PAGE", m_site.url("/results?page=1").toUtf8());
}

void TestSearchRoad::fromResultPagesToStoredFiles()
{
    SearchRig rig;
    // The pass asks for the folder; method two.
    rig.stored.saveAskSaveFolder(0);
    rig.stored.saveDownloadMethod(DownloadMethod::Parallel);
    QTemporaryDir folder;

    SearchWindow *window = rig.open();
    QVERIFY(QTest::qWaitFor(
        [&] {
            return window->WebBrowser1->url().path() == QStringLiteral("/results") && !window->WebBrowser1->isBusy();
        },
        kWaitMs));

    window->Command4->click();
    QVERIFY(QTest::qWaitFor([&] { return window->Command4->text() == QStringLiteral("加入全部到列表"); }, kWaitMs));
    const HarvestList &harvest = window->harvestList();
    QCOMPARE(harvest.count(), 7);

    SaveFolderAnswer answer(rig.prompts, folder.path());
    window->Command2->click();
    QVERIFY(
        QTest::qWaitFor([&] { return window->downloadWindow() && window->downloadWindow()->isVisible(); }, kWaitMs));
    QCOMPARE(answer.answered, 1);
    DownloadWindow *downloads = window->downloadWindow();
    DownloadEngine &engine = downloads->engine();
    QCOMPARE(engine.list().count(), 7);

    // The download window set as the user would: three workers, no interval,
    // web pages downloaded again, sounds on, the login panel signing in by
    // itself.
    CommandStrip *strip = downloads->Picture3;
    strip->Combo1->setCurrentIndex(2);
    strip->Combo2->setCurrentIndex(0);
    strip->Check3->setChecked(true);
    strip->Combo4->setCurrentIndex(int(AutoRetryChoice::WebPageItems));
    strip->Check6->setChecked(true);
    LoginPanel *login = downloads->PicWebBK;
    login->findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(m_site.url("/signin?form=standard"));
    login->findChild<QLineEdit *>(QStringLiteral("Text2"))->setText(QStringLiteral("reader"));
    login->findChild<QLineEdit *>(QStringLiteral("Text3"))->setText(QStringLiteral("secret"));
    login->findChild<QCheckBox *>(QStringLiteral("Check2"))->setChecked(true);
    QCOMPARE(rig.session.DownloadMethod, DownloadMethod::Parallel);
    QCOMPARE(engine.options().threadCount, 3);
    QCOMPARE(engine.options().intervalSeconds, 0);

    QHash<QString, QStringList> endedTypes; // by link, in order
    connect(&engine, &DownloadEngine::transferEnded, this, [&] {
        for (int row = 0; row < engine.list().count(); ++row) {
            const DownloadItem &item = engine.list().at(row);
            if (item.State == Finished && endedTypes.value(item.Url).value(0) != item.Type)
                endedTypes[item.Url].prepend(item.Type);
        }
    });
    const auto everyRowStored = [&] {
        for (int row = 0; row < engine.list().count(); ++row) {
            const DownloadItem &item = engine.list().at(row);
            if (item.State != Finished || item.Type.startsWith(QLatin1String("htm")))
                return false;
        }
        return true;
    };
    strip->Command4->click();
    QVERIFY2(QTest::qWaitFor(everyRowStored, 2 * kWaitMs), qPrintable(engine.list().statusSummaryText()));

    // Each entry's file is named after its title, with the type of what
    // arrived: a mislabelled PDF is a PDF, a CAJ document is not one.
    for (int row = 0; row < harvest.count(); ++row) {
        const HarvestEntry &entry = harvest.at(row);
        QCOMPARE(entry.Status, QStringLiteral("成功"));
        const bool caj = entry.Link.endsWith(QLatin1String("/1.C034000"));
        const QString name = SanitizeFileName(CleanHandoverTitle(entry.Title)) + (caj ? ".kdh" : ".pdf");
        QFile file(QDir(folder.path()).filePath(name));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(name));
        QVERIFY2(file.read(4) == (caj ? QByteArray("CAJ\0", 4) : QByteArray("%PDF")), qPrintable(name));
    }
    const QString twoLineTitle = SanitizeFileName(CleanHandoverTitle(harvest.at(1).Title));
    QCOMPARE(twoLineTitle, QStringLiteral("Boundary Layer Transitionin Hypersonic Flow"));

    // The protected entry: a page first, the document after the login.
    const QString protectedLink = m_site.url("/doi/pdf/10.2514/1.G0003");
    QCOMPARE(endedTypes.value(protectedLink).last(), QStringLiteral("htm"));
    QCOMPARE(endedTypes.value(protectedLink).first(), QStringLiteral("pdf"));
    QVERIFY(!m_site.requestsTo("/signin-submit").isEmpty());
    QVERIFY(rig.sounds.numbers().contains(101));

    engine.stop();
    login->stopTimers();
}

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    TestSearchRoad test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_search_road.moc"
