// fIEcache over a cache the real browser wrote: pages and a PDF loaded from
// the fixture site, listed without writing anything, the PDF copied out
// through Form_Copy_Move; deleting in both listings (never through a link),
// and ClearBrowserCache with its message.
#include "cache_viewer/BrowserCache.h"
#include "cache_viewer/CacheViewer.h"
#include "copy_move/CopyMoveDialog.h"
#include "settings/StoredSettings.h"
#include "tests/cache_viewer/CacheMaker.h"
#include "tests/cache_viewer/EntryBytes.h"
#include "tests/support/FileHelpers.h"
#include "tests/support/FixtureSite.h"
#include "tests/support/PromptRecorder.h"
#include "tests/support/TempSettings.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QWebEngineProfile>
#include <QtTest>

#include <memory>

class TestCacheViewer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { m_prompts.clear(); }
    void cachedPdfListedAndCopiedOut();
    void deleteSelectedEntry();
    void allUsersDeleteKeepsTxtAndRemovesEmptyFolders();
    void copyWithoutFilesShowsZero();
    void clearBrowserCacheCountsFailures();
    void clearBrowserCacheEmptiesTheCache();

private:
    std::unique_ptr<CacheViewer> openViewer(const UserCacheLayout &layout = {})
    {
        auto viewer = std::make_unique<CacheViewer>(CacheViewerServices{
            *m_stored, m_prompts, m_work.filePath("SaveList.dat"), m_cacheFolder, m_work.filePath("out"), layout});
        viewer->show();
        return viewer;
    }
    // Lists my cache and waits until the rows are shown.
    static bool listMyCache(CacheViewer &viewer, bool byClick = false)
    {
        QSignalSpy listed(&viewer, &CacheViewer::listed);
        if (byClick)
            QTest::mouseClick(viewer.Command1, Qt::LeftButton);
        else
            viewer.Command1_Click();
        return listed.wait(10000);
    }
    static int rowOf(QTreeWidget *list, const QString &caption)
    {
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            if (list->topLevelItem(i)->text(0) == caption)
                return i;
        }
        return -1;
    }

    FixtureSite m_site;
    QTemporaryDir m_work;
    QString m_cacheFolder;
    TempSettings m_settings;
    std::unique_ptr<StoredSettings> m_stored;
    PromptRecorder m_prompts;
};

void TestCacheViewer::initTestCase()
{
    QVERIFY(m_site.start());
    AddPaperRoute(m_site, "/papers/wing-flutter.pdf", 40000);
    m_stored = std::make_unique<StoredSettings>(m_settings.store());
    m_cacheFolder = MakeBrowserCache(m_work.filePath("browser"),
                                     {m_site.url("/typed?type=text/html&body=html&size=300"),
                                      m_site.url("/papers/wing-flutter.pdf?download=1"), m_site.url("/pdf?size=700")});
    QVERIFY(!m_cacheFolder.isEmpty());
}

void TestCacheViewer::cachedPdfListedAndCopiedOut()
{
    auto viewer = openViewer();
    QVERIFY(listMyCache(*viewer, true));
    QCOMPARE(viewer->listTag(), QStringLiteral("我的缓存"));
    // Listing wrote nothing: no body is written out before it is copied.
    QVERIFY(!QFileInfo::exists(m_work.filePath("out")));

    QTreeWidget *list = viewer->findChild<QTreeWidget *>("ListView1");
    const int row = rowOf(list, m_site.url("/papers/wing-flutter.pdf?download=1"));
    QVERIFY(row >= 0);
    QTreeWidgetItem *item = list->topLevelItem(row);
    QCOMPARE(item->text(1), QStringLiteral("pdf"));
    QCOMPARE(item->text(2), QStringLiteral("40000"));
    QCOMPARE(QFileInfo(item->text(3)).fileName(), QStringLiteral("wing-flutter.pdf"));
    QVERIFY(rowOf(list, m_site.url("/pdf?size=700")) >= 0);
    QCOMPARE(viewer->findChild<QLabel *>("Label1")->text(),
             QStringLiteral("共有%1 个文件").arg(list->topLevelItemCount()));

    item->setSelected(true);
    QTest::mouseClick(viewer->findChild<QPushButton *>("Command6"), Qt::LeftButton);
    QTRY_VERIFY(viewer->findChild<CopyMoveDialog *>("Form_Copy_Move"));
    auto *dialog = viewer->findChild<CopyMoveDialog *>("Form_Copy_Move");
    QVERIFY(dialog->isVisible() && dialog->isModal());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("复制文件：1 个文件..."));
    QVERIFY(!dialog->IsMove);
    // The selected body, and only it, is written out for the copy.
    QCOMPARE(dialog->FileList, QStringList{item->text(3)});
    QCOMPARE(readFile(item->text(3)), FixtureSite::pdfBody(40000));
    QCOMPARE(QDir(m_work.filePath("out")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);

    const QString to = m_work.filePath("copied");
    QLineEdit *edit = dialog->findChild<QComboBox *>("Combo1")->lineEdit();
    edit->clear();
    QTest::keyClicks(edit, to);
    QSignalSpy finished(dialog, &CopyMoveDialog::runFinished);
    QTest::mouseClick(dialog->findChild<QPushButton *>("Command1"), Qt::LeftButton);
    QVERIFY(finished.wait(5000));
    QCOMPARE(readFile(to + "/wing-flutter.pdf"), FixtureSite::pdfBody(40000));
    QCOMPARE(m_prompts.messageTexts(), QStringList{"复制文件完成！"});
    dialog->close();
}

// A selected entry loses its cache files and its written-out body; the
// listing is read again.
void TestCacheViewer::deleteSelectedEntry()
{
    auto viewer = openViewer();
    QVERIFY(listMyCache(*viewer));
    QTreeWidget *list = viewer->findChild<QTreeWidget *>("ListView1");
    const int before = list->topLevelItemCount();
    const QString url = m_site.url("/pdf?size=700");
    const int row = rowOf(list, url);
    QVERIFY(row >= 0);
    const QString body = list->topLevelItem(row)->text(3);
    QVERIFY(!QFile::exists(body));
    QCOMPARE(UrlCache(m_cacheFolder, m_work.filePath("out")).writeOutBody(url), body);
    list->topLevelItem(row)->setSelected(true);

    QSignalSpy listed(viewer.get(), &CacheViewer::listed);
    QTest::mouseClick(viewer->findChild<QPushButton *>("Command2"), Qt::LeftButton);
    QVERIFY(listed.wait(10000));

    QCOMPARE(list->topLevelItemCount(), before - 1);
    QCOMPARE(rowOf(list, url), -1);
    QVERIFY(!QFile::exists(body));
}

// The all-users listing and its deletes: txt files stay, empty folders go;
// a user's cache folder that is a link, and a linked folder inside a cache,
// are neither listed nor touched.
void TestCacheViewer::allUsersDeleteKeepsTxtAndRemovesEmptyFolders()
{
    QTemporaryDir users;
    QTemporaryDir outside;
    const QString root = users.path() + '/';
    QVERIFY(QDir(root).mkpath("anna/cache/A1/deep") && QDir(root).mkpath("anna/cache/B2")
            && QDir(root).mkpath("ben/cache") && QDir(root).mkpath("carl"));
    QVERIFY(writeFile(root + "anna/cache/B2/page[1].htm", "p") && writeFile(root + "anna/cache/c.txt", "c")
            && writeFile(root + "ben/cache/ben@site[1].txt", "b"));
    QVERIFY(QDir(outside.path()).mkpath("carl-cache/sub") && QDir(outside.path()).mkpath("locked"));
    QVERIFY(writeFile(outside.filePath("carl-cache/sub/secret.pdf"), "s"));
    const QFileDevice::Permissions locked = QFileDevice::ReadOwner | QFileDevice::ExeOwner;
    QVERIFY(QFile::setPermissions(outside.filePath("locked"), locked));
    QVERIFY(QFile::link(outside.filePath("carl-cache"), root + "carl/cache"));
    QVERIFY(QFile::link(outside.filePath("locked"), root + "anna/cache/linked"));
    QVERIFY(QFile::link(outside.filePath("carl-cache/sub/secret.pdf"), root + "anna/cache/secret.pdf"));
    auto outsideIntact = [&] {
        return readFile(outside.filePath("carl-cache/sub/secret.pdf")) == "s"
               && (QFile::permissions(outside.filePath("locked"))
                   & (QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner))
                      == locked;
    };

    auto viewer = openViewer({root, {"/cache"}});
    QTest::mouseClick(viewer->findChild<QPushButton *>("Command7"), Qt::LeftButton);
    QTreeWidget *files = viewer->findChild<QTreeWidget *>("ListView1");
    QCOMPARE(files->topLevelItemCount(), 3);
    QCOMPARE(viewer->findChild<QTreeWidget *>("ListView2")->topLevelItemCount(), 2);
    QCOMPARE(viewer->findChild<QTreeWidget *>("ListView3")->topLevelItemCount(), 3);

    // Nothing selected: no file goes, the empty folders do, the listing is read again.
    QVERIFY(writeFile(root + "anna/cache/late.htm", "l"));
    QTest::mouseClick(viewer->findChild<QPushButton *>("Command2"), Qt::LeftButton);
    QVERIFY(!QFileInfo::exists(root + "anna/cache/A1"));
    QVERIFY(QFile::exists(root + "anna/cache/B2/page[1].htm"));
    QCOMPARE(files->topLevelItemCount(), 4);
    QCOMPARE(viewer->findChild<QLabel *>("Label1")->text(), QStringLiteral("共有4 个文件"));

    QTest::mouseClick(viewer->findChild<QPushButton *>("Command3"), Qt::LeftButton);
    QCOMPARE(files->topLevelItemCount(), 2);
    QVERIFY(QFile::exists(root + "anna/cache/c.txt") && QFile::exists(root + "ben/cache/ben@site[1].txt"));
    QVERIFY(!QFileInfo::exists(root + "anna/cache/B2"));
    QVERIFY(QFileInfo(root + "anna/cache/linked").isSymLink());
    QVERIFY(QFileInfo(root + "anna/cache/secret.pdf").isSymLink());
    QVERIFY(outsideIntact());
    QCOMPARE(viewer->listTag(), QStringLiteral("所有缓存"));
    QFile::setPermissions(outside.filePath("locked"), locked | QFileDevice::WriteOwner);
}

void TestCacheViewer::copyWithoutFilesShowsZero()
{
    QTemporaryDir users;
    QVERIFY(QDir(users.path()).mkpath("anna/cache"));
    auto viewer = openViewer({users.path() + '/', {"/cache"}});
    viewer->Command7_Click();
    QTest::mouseClick(viewer->findChild<QPushButton *>("Command6"), Qt::LeftButton);
    auto *dialog = viewer->findChild<CopyMoveDialog *>("Form_Copy_Move");
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("复制文件：0 个文件..."));
    dialog->close();
}

// Clearing that cannot delete everything says how many files went and how
// many stayed: here an entry whose side file is a folder.
void TestCacheViewer::clearBrowserCacheCountsFailures()
{
    QTemporaryDir browser;
    const QString data = browser.filePath("cache/Cache/Cache_Data");
    QVERIFY(QDir().mkpath(data + "/00000000000000a1_1/inner"));
    QVERIFY(writeFile(data + "/00000000000000a1_0", CacheEntryBytes("1/0/http://h/a.pdf", "a"))
            && writeFile(data + "/00000000000000b2_0", CacheEntryBytes("1/0/http://h/b.pdf", "b")));
    QWebEngineProfile profile(QStringLiteral("failtest"));
    profile.setPersistentStoragePath(browser.filePath("storage"));
    profile.setCachePath(browser.filePath("cache"));
    profile.setHttpCacheType(QWebEngineProfile::DiskHttpCache);

    ClearBrowserCache(&profile, *m_stored, m_prompts, true);

    QCOMPARE(m_prompts.messageTexts(), QStringList{"IE缓存清空结束：删除1 个文件，1 个文件删除失败！"});
    QCOMPARE(m_prompts.records.first().icon, PromptIcon::Warning);
    QVERIFY(QFile::exists(data + "/00000000000000a1_1/inner"));
}

// The routine the menus call: the cache is emptied through the viewer's
// rules and through the browser, the bodies the program wrote out go too, and
// the message says so.
void TestCacheViewer::clearBrowserCacheEmptiesTheCache()
{
    QTemporaryDir browser;
    QWebEngineProfile profile(QStringLiteral("cleartest"));
    profile.setPersistentStoragePath(browser.filePath("storage"));
    profile.setCachePath(m_cacheFolder);
    profile.setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    const UrlCache before(m_cacheFolder, CacheExportFolder());
    QVERIFY(!before.entries().isEmpty());
    QVERIFY(!before.writeOutBody(m_site.url("/papers/wing-flutter.pdf?download=1")).isEmpty());
    // Left by an entry that has gone from the cache since.
    QVERIFY(QDir().mkpath(CacheExportFolder() + "/00000000000000f6")
            && writeFile(CacheExportFolder() + "/00000000000000f6/x.pdf", "x"));

    ClearBrowserCache(&profile, *m_stored, m_prompts, true);

    QCOMPARE(UrlCache(m_cacheFolder, m_work.filePath("out")).entries().size(), 0);
    QCOMPARE(QDir(CacheExportFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    QCOMPARE(m_prompts.messageTexts(), QStringList{"IE缓存清空完毕！"});
    QCOMPARE(m_prompts.records.first().icon, PromptIcon::Information);
}

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    TestCacheViewer test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_cache_viewer.moc"
