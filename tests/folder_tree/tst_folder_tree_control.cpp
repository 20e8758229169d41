#include "folder_tree/DirTreeWidget.h"
#include "folder_tree/FolderPictures.h"
#include "folder_tree/FolderTreeControl.h"
#include "folder_tree/FolderTreeTexts.h"
#include "settings/SettingsKeys.h"
#include "tests/folder_tree/FolderFixture.h"
#include "tests/support/PromptRecorder.h"
#include "tests/support/TempSettings.h"

#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

using namespace FolderTreeText;

// usrDir driven through its tree with the mouse and the keyboard, over a
// temporary folder tree that plays desktop, documents and volumes.
class TestFolderTreeControl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup();
    void partsAndNames();
    void expandButtonsOnlyWithSubFolders();
    void openedFolderShowsOpenPicture();
    void f5RebuildsBeforeKeyDown();
    void clickOnNode();
    void keyboardSelectionClicksNode();
    void assigningDirName();
    void openDirectory_data();
    void openDirectory();
    void openDirectoryWithOnlyRoot();

private:
    QTreeWidgetItem *item(const QString &key) const { return m_control->item(m_control->model().indexOfKey(key)); }
    QString key(const QString &relative) const { return m_fixture->path(relative); }
    QString storedDirName() const
    {
        return m_settings->store().GetSetting(SettingsKey::kApplication, SettingsKey::kSectionSettings,
                                              SettingsKey::kLastOpenedFolder, "unset");
    }
    void clickItem(QTreeWidgetItem *target)
    {
        DirTreeWidget *tree = m_control->tree();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(target).center());
    }

    std::unique_ptr<FolderFixture> m_fixture;
    std::unique_ptr<TempSettings> m_settings;
    PromptRecorder m_prompts;
    std::unique_ptr<FolderTreeControl> m_control;
};

void TestFolderTreeControl::init()
{
    m_fixture = std::make_unique<FolderFixture>();
    m_settings = std::make_unique<TempSettings>();
    m_control = std::make_unique<FolderTreeControl>(m_fixture->platform(), m_settings->store(), m_prompts);
    m_control->resize(400, 500);
    m_control->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_control.get()));
}

void TestFolderTreeControl::cleanup()
{
    m_control.reset();
    m_fixture.reset();
}

void TestFolderTreeControl::partsAndNames()
{
    QCOMPARE(m_control->objectName(), kControlName);
    DirTreeWidget *tree = m_control->findChild<DirTreeWidget *>(kTreeName);
    QVERIFY(tree);
    QVERIFY(!tree->accessibleName().isEmpty());
    QCOMPARE(tree->focusPolicy(), Qt::StrongFocus);
    QLabel *banner = m_control->findChild<QLabel *>(kBannerName);
    QVERIFY(banner);
    QVERIFY(banner->isHidden()); // shown only while folders are read
    QCOMPARE(banner->size(), QSize(136, 24));
    FolderPictures *pictures = m_control->findChild<FolderPictures *>(kPicturesName);
    QVERIFY(pictures);
    QStringList keys = pictures->keys();
    keys.sort();
    QCOMPARE(keys, QStringList({"Desktop", "MyComputer", "cd", "fixed", "folder", "open", "ram", "remote", "remove",
                                "unknown"}));
    for (const QString &picture : keys)
        QVERIFY2(!pictures->picture(picture).isNull(), qPrintable(picture));
    // The tree shows the model's nodes: one root, the desktop.
    QCOMPARE(tree->topLevelItemCount(), 1);
    QCOMPARE(tree->topLevelItem(0)->text(0), kDesktopCaption);
    QCOMPARE(item(key("docs/Program Files"))->text(0), "Program Files");
}

void TestFolderTreeControl::expandButtonsOnlyWithSubFolders()
{
    m_control->tree()->expandItem(item(kDesktopKey));
    m_control->tree()->expandItem(item(kDocumentsKey));
    QCOMPARE(item(key("docs/Alpha"))->childCount(), 1);
    QCOMPARE(item(key("docs/Onlyfiles"))->childCount(), 0);
    QCOMPARE(item(key("docs/Onlyfiles"))->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
    QCOMPARE(item(key("desktop/Deskb"))->childCount(), 0);
    QCOMPARE(item(key("desktop/Deska"))->childCount(), 1);
}

void TestFolderTreeControl::openedFolderShowsOpenPicture()
{
    FolderPictures *pictures = m_control->findChild<FolderPictures *>(kPicturesName);
    QTreeWidgetItem *alpha = item(key("docs/Alpha"));
    m_control->tree()->expandItem(item(kDesktopKey));
    m_control->tree()->expandItem(item(kDocumentsKey));
    QCOMPARE(alpha->icon(0).cacheKey(), pictures->picture(kPictureFolder).cacheKey());
    m_control->tree()->expandItem(alpha);
    QCOMPARE(alpha->icon(0).cacheKey(), pictures->picture(kPictureOpen).cacheKey());
    m_control->tree()->collapseItem(alpha);
    QCOMPARE(alpha->icon(0).cacheKey(), pictures->picture(kPictureFolder).cacheKey());
}

void TestFolderTreeControl::f5RebuildsBeforeKeyDown()
{
    QVERIFY(item(key("docs/Alpha")));
    m_fixture->remove("docs/alpha");
    bool goneAtKeyDown = false;
    QSignalSpy keyDowns(m_control.get(), &FolderTreeControl::KeyDown);
    connect(m_control.get(), &FolderTreeControl::KeyDown, this,
            [&] { goneAtKeyDown = m_control->model().indexOfKey(key("docs/Alpha")) < 0; });
    QTest::keyClick(m_control->tree(), Qt::Key_F5);
    QCOMPARE(keyDowns.size(), 1);
    QCOMPARE(keyDowns.at(0).at(0).toInt(), 116);
    QVERIFY(goneAtKeyDown);
    QVERIFY(!item(key("docs/Alpha")));
    QVERIFY(item(key("docs/Onlyfiles")));
    QCOMPARE(m_control->tree()->topLevelItemCount(), 1);
}

void TestFolderTreeControl::clickOnNode()
{
    m_control->tree()->expandItem(item(kDesktopKey));
    m_control->tree()->expandItem(item(kDocumentsKey));
    QSignalSpy nodeClicks(m_control.get(), &FolderTreeControl::NodeClick);
    QSignalSpy clicks(m_control.get(), &FolderTreeControl::Click);
    QSignalSpy mouseDowns(m_control.get(), &FolderTreeControl::MouseDown);
    QSignalSpy mouseUps(m_control.get(), &FolderTreeControl::MouseUp);
    QTreeWidgetItem *alpha = item(key("docs/Alpha"));
    clickItem(alpha);
    QCOMPARE(nodeClicks.size(), 1);
    QCOMPARE(nodeClicks.at(0).at(0).value<QTreeWidgetItem *>(), alpha);
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(mouseDowns.size(), 1);
    QCOMPARE(mouseDowns.at(0).at(0).toInt(), 1);
    QCOMPARE(mouseUps.size(), 1);
    QCOMPARE(m_control->DirName(), key("docs/alpha/"));
    QCOMPARE(storedDirName(), key("docs/alpha/"));
}

void TestFolderTreeControl::keyboardSelectionClicksNode()
{
    DirTreeWidget *tree = m_control->tree();
    tree->expandItem(item(kDesktopKey));
    tree->setCurrentItem(item(kDesktopKey));
    QSignalSpy nodeClicks(m_control.get(), &FolderTreeControl::NodeClick);
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Down); // the documents node comes first under the desktop
    QCOMPARE(tree->currentItem(), item(kDocumentsKey));
    QCOMPARE(nodeClicks.size(), 1);
    QCOMPARE(m_control->DirName(), key("docs/"));
}

void TestFolderTreeControl::assigningDirName()
{
    m_control->tree()->expandItem(item(kDesktopKey));
    QTreeWidgetItem *documents = item(kDocumentsKey);
    clickItem(documents);
    const QString stored = storedDirName();
    QSignalSpy clicks(m_control.get(), &FolderTreeControl::Click);
    QSignalSpy nodeClicks(m_control.get(), &FolderTreeControl::NodeClick);
    QSignalSpy changes(m_control.get(), &FolderTreeControl::DirNameChanged);
    m_control->setProperty("DirName", key("desktop/Deska"));
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(changes.size(), 1);
    QCOMPARE(nodeClicks.size(), 0);
    QCOMPARE(m_control->DirName(), key("desktop/Deska"));
    QCOMPARE(m_control->tree()->currentItem(), documents);
    QCOMPARE(storedDirName(), stored);
}

// clang-format off
void TestFolderTreeControl::openDirectory_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<bool>("found");
    QTest::newRow("folder") << "docs/alpha" << "docs/Alpha" << true;
    QTest::newRow("trailing separator") << "docs/alpha/" << "docs/Alpha" << false;
}
// clang-format on

void TestFolderTreeControl::openDirectory()
{
    QFETCH(QString, path);
    QFETCH(QString, selected);
    QFETCH(bool, found);
    // With the machine's root volume in the tree, each call goes one level further.
    m_fixture->volumes().prepend(m_fixture->volume("", DriveType::Fixed, "", 1));
    m_fixture->volumes().first().mountPoint = "/";
    m_control->LoadTreeView();
    QSignalSpy nodeClicks(m_control.get(), &FolderTreeControl::NodeClick);
    const QString full = m_fixture->path() + "/" + path;
    bool result = false;
    QTreeWidgetItem *previous = nullptr;
    for (int call = 0; call < 20; ++call) {
        result = m_control->openDirectory(full);
        if (m_control->tree()->currentItem() == previous)
            break;
        previous = m_control->tree()->currentItem();
    }
    QCOMPARE(result, found);
    QTreeWidgetItem *shown = item(key(selected));
    QCOMPARE(m_control->tree()->currentItem(), shown);
    QVERIFY(shown->isExpanded());
    QCOMPARE(m_control->DirName(), key(selected.toLower() + "/"));
    QVERIFY(m_control->findChild<QLabel *>(kBannerName)->isHidden());
    // Opening raised NodeClick for the nodes it read, never for a bare selection:
    // the last one is the opened node.
    QCOMPARE(nodeClicks.last().at(0).value<QTreeWidgetItem *>(), shown);
}

void TestFolderTreeControl::openDirectoryWithOnlyRoot()
{
    const int nodes = m_control->model().nodeCount();
    QTreeWidgetItem *current = m_control->tree()->currentItem();
    QSignalSpy nodeClicks(m_control.get(), &FolderTreeControl::NodeClick);
    QVERIFY(!m_control->openDirectory("/"));
    QVERIFY(!m_control->openDirectory(""));
    QCOMPARE(m_control->tree()->currentItem(), current);
    QCOMPARE(m_control->model().nodeCount(), nodes);
    QCOMPARE(nodeClicks.size(), 0);
}

QTEST_MAIN(TestFolderTreeControl)
#include "tst_folder_tree_control.moc"
