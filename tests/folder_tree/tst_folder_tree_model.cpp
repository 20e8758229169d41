#include "folder_tree/FolderTreeModel.h"
#include "folder_tree/FolderTreeTexts.h"
#include "platform/ProgramFolder.h"
#include "settings/SettingsKeys.h"
#include "tests/folder_tree/FolderFixture.h"
#include "tests/support/PromptRecorder.h"
#include "tests/support/TempSettings.h"

#include <QSignalSpy>
#include <QtTest>

using namespace FolderTreeText;

// The tree's nodes and rules without widgets, over a temporary folder tree
// that plays desktop, documents and volumes.
class TestFolderTreeModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup();
    void firstBuild();
    void captionsAndKeysInProperCase();
    void onlyFoldersHaveChildren_data();
    void onlyFoldersHaveChildren();
    void volumes();
    void cdCaptionRenewedOnClick_data();
    void cdCaptionRenewedOnClick();
    void removableReadOnlyWhenClicked();
    void openingTwice();
    void rebuildDropsGoneFolders();
    void unreadableAndVanishedFolders();
    void documentsFirstRefusedUnderVolume();
    void findPath_data();
    void findPath();
    void dirNameByNodeKind();
    void treeClickSavesDirName();
    void startFallsBackToProgramFolder_data();
    void startFallsBackToProgramFolder();
    void driveProperties();
    void emptyDocumentsPath();

private:
    FolderTreeModel &build();
    QStringList childKeys(const QString &key) const;
    QStringList childCaptions(const QString &key) const;
    int index(const QString &key) const { return m_model->indexOfKey(key); }
    QString key(const QString &relative) const { return m_fixture->path(relative); }

    std::unique_ptr<FolderFixture> m_fixture;
    std::unique_ptr<TempSettings> m_settings;
    PromptRecorder m_prompts;
    std::unique_ptr<FolderTreeModel> m_model;
};

void TestFolderTreeModel::init()
{
    m_fixture = std::make_unique<FolderFixture>();
    m_settings = std::make_unique<TempSettings>();
    m_prompts.clear();
}

void TestFolderTreeModel::cleanup()
{
    m_model.reset();
    m_fixture.reset();
}

FolderTreeModel &TestFolderTreeModel::build()
{
    m_model = std::make_unique<FolderTreeModel>(m_fixture->platform(), m_settings->store(), m_prompts);
    return *m_model;
}

QStringList TestFolderTreeModel::childKeys(const QString &parentKey) const
{
    QStringList keys;
    const int parent = index(parentKey);
    if (parent < 0)
        return {"no node " + parentKey};
    for (int child : m_model->node(parent).children)
        keys << m_model->node(child).key;
    keys.sort();
    return keys;
}

QStringList TestFolderTreeModel::childCaptions(const QString &parentKey) const
{
    QStringList captions;
    for (int child : m_model->node(index(parentKey)).children)
        captions << m_model->node(child).caption;
    captions.sort();
    return captions;
}

void TestFolderTreeModel::firstBuild()
{
    FolderTreeModel &model = build();
    // Desktop, then documents and computer under it, then the desktop's folders.
    QCOMPARE(model.node(0).key, kDesktopKey);
    QCOMPARE(model.node(0).caption, kDesktopCaption);
    QCOMPARE(model.node(0).picture, kPictureDesktop);
    const QList<int> desktopChildren = model.node(0).children;
    QCOMPARE(model.node(desktopChildren.at(0)).key, kDocumentsKey);
    QCOMPARE(model.node(desktopChildren.at(0)).caption, kDocumentsCaption);
    QCOMPARE(model.node(desktopChildren.at(1)).key, kComputerKey);
    QCOMPARE(model.node(desktopChildren.at(1)).caption, kComputerCaption);
    QCOMPARE(model.node(desktopChildren.at(1)).picture, kPictureComputer);
    // Two levels under the desktop, one under documents; hidden folders listed.
    QCOMPARE(childKeys(kDesktopKey), QStringList({key("desktop/.hidden_desk"), key("desktop/Deska"),
                                                  key("desktop/Deskb"), kDocumentsKey, kComputerKey}));
    QCOMPARE(childKeys(key("desktop/Deska")), QStringList({key("desktop/Deska/Inner")}));
    QCOMPARE(childCaptions(kDocumentsKey), QStringList({".hidden", "Alpha", "Onlyfiles", "Program Files"}));
    QVERIFY(model.node(index(key("docs/Alpha"))).children.isEmpty());
    QCOMPARE(model.desktopPath(), key("desktop/"));
    QCOMPARE(model.documentsPath(), key("docs/"));
}

void TestFolderTreeModel::captionsAndKeysInProperCase()
{
    build();
    const int programFiles = index(key("docs/Program Files"));
    QVERIFY(programFiles >= 0);
    QCOMPARE(m_model->node(programFiles).caption, "Program Files");
    // The key is proper case, the folder on disk keeps its own name.
    QCOMPARE(m_model->node(programFiles).path, key("docs/program files"));
    // Keys are looked up regardless of case.
    QCOMPARE(index(key("docs/PROGRAM FILES")), programFiles);
    // Clicking it reads the real folder and gives its real path.
    m_fixture->mkdir("docs/program files/common files");
    m_model->clickNode(programFiles);
    QCOMPARE(m_model->DirName(), key("docs/program files/"));
    QCOMPARE(childCaptions(key("docs/Program Files")), QStringList({"Common Files"}));
}

// clang-format off
void TestFolderTreeModel::onlyFoldersHaveChildren_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<int>("children");
    QTest::newRow("folder with a sub-folder") << "docs/Alpha" << 1;
    QTest::newRow("folder with only files") << "docs/Onlyfiles" << 0;
    QTest::newRow("empty hidden folder") << "docs/.hidden" << 0;
}
// clang-format on

void TestFolderTreeModel::onlyFoldersHaveChildren()
{
    QFETCH(QString, folder);
    QFETCH(int, children);
    build();
    m_model->openNode(index(kDocumentsKey)); // reads one level below each child
    QCOMPARE(m_model->node(index(key(folder))).children.size(), children);
    QVERIFY(index(key("docs/Loose.txt")) < 0);
}

void TestFolderTreeModel::volumes()
{
    m_fixture->volumes() << m_fixture->volume("cd", DriveType::CdRom, "", -1)
                         << m_fixture->volume("ram", DriveType::RamDisk, "", 1)
                         << m_fixture->volume("nothing", DriveType::NoRootDirectory, "", 1);
    build();
    const QList<int> drives = m_model->node(index(kComputerKey)).children;
    QCOMPARE(drives.size(), 4);
    QStringList captions, pictures;
    for (int drive : drives) {
        captions << m_model->node(drive).caption;
        pictures << m_model->node(drive).picture;
        QVERIFY(m_model->node(drive).key.startsWith(kDrivePrefix));
    }
    QCOMPARE(captions, QStringList({"本地磁盘 (" + key("disk") + ")", "Stick (" + key("usb") + ")",
                                    "CD 驱动器 (" + key("cd") + ")", " (" + key("ram") + ")"}));
    QCOMPARE(pictures, QStringList({kPictureFixed, kPictureRemovable, kPictureCd, kPictureRam}));

    // The fixed volume's root is read while the tree is built; keys number
    // each volume once and keep the number through a rebuild.
    QCOMPARE(childKeys(m_model->node(drives.at(0)).key), QStringList({key("disk/Data")}));
    const QStringList keysBefore = {m_model->node(drives.at(0)).key, m_model->node(drives.at(1)).key};
    QVERIFY(keysBefore.at(0) != keysBefore.at(1));
    m_fixture->volumes().prepend(m_fixture->volume("added", DriveType::Fixed, "", 1));
    m_model->LoadTreeView();
    const QList<int> rebuilt = m_model->node(index(kComputerKey)).children;
    QCOMPARE(m_model->node(rebuilt.at(1)).key, keysBefore.at(0));
    QCOMPARE(m_model->node(rebuilt.at(2)).key, keysBefore.at(1));
    QVERIFY(!keysBefore.contains(m_model->node(rebuilt.at(0)).key));
}

// clang-format off
void TestFolderTreeModel::cdCaptionRenewedOnClick_data()
{
    QTest::addColumn<bool>("ready");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("caption"); // before the mount point
    QTest::newRow("disc with a label") << true << "physics 2024" << "Physics 2024";
    QTest::newRow("disc without a label") << true << "" << "";
    QTest::newRow("no disc") << false << "" << "CD 驱动器";
}
// clang-format on

void TestFolderTreeModel::cdCaptionRenewedOnClick()
{
    QFETCH(bool, ready);
    QFETCH(QString, label);
    QFETCH(QString, caption);
    m_fixture->volumes() = {m_fixture->volume("cd", DriveType::CdRom, "", -1)};
    m_fixture->volumes()[0].ready = false;
    build();
    const int cd = m_model->node(index(kComputerKey)).children.at(0);
    QCOMPARE(m_model->node(cd).caption, "CD 驱动器 (" + key("cd") + ")");
    m_fixture->volumes()[0].ready = ready;
    m_fixture->volumes()[0].label = label;
    m_model->clickNode(cd);
    QCOMPARE(m_model->node(cd).caption, caption + " (" + key("cd") + ")");
}

void TestFolderTreeModel::removableReadOnlyWhenClicked()
{
    build();
    const int usb = m_model->node(index(kComputerKey)).children.at(1);
    QVERIFY(m_model->node(usb).children.isEmpty());
    // Opening the computer node reads no drive.
    m_model->openNode(index(kComputerKey));
    QVERIFY(m_model->node(usb).children.isEmpty());

    QSignalSpy nodeClicks(m_model.get(), &FolderTreeModel::NodeClick);
    m_model->clickNode(usb);
    QCOMPARE(childKeys(m_model->node(usb).key), QStringList({key("usb/Stick")}));
    QCOMPARE(m_model->DirName(), key("usb/"));
    QCOMPARE(nodeClicks.size(), 1);

    // Once it has children a click only sets DirName.
    m_fixture->mkdir("usb/later");
    m_model->setDirName("elsewhere");
    m_model->clickNode(usb);
    QCOMPARE(m_model->DirName(), key("usb/"));
    QCOMPARE(nodeClicks.size(), 1);
    QCOMPARE(m_model->node(usb).children.size(), 1);
}

void TestFolderTreeModel::openingTwice()
{
    build();
    const int documents = index(kDocumentsKey);
    QSignalSpy nodeClicks(m_model.get(), &FolderTreeModel::NodeClick);
    m_model->openNode(documents);
    // One NodeClick for each child, in order, then one for the opened node.
    QCOMPARE(nodeClicks.size(), m_model->node(documents).children.size() + 1);
    QCOMPARE(nodeClicks.last().at(0).toInt(), documents);
    QCOMPARE(m_model->DirName(), key("docs/"));
    const int nodesAfterFirst = m_model->nodeCount();

    m_model->openNode(documents);
    QCOMPARE(m_model->nodeCount(), nodesAfterFirst);

    m_fixture->mkdir("docs/alpha/gamma");
    m_fixture->mkdir("docs/new folder");
    m_model->openNode(documents);
    QCOMPARE(m_model->nodeCount(), nodesAfterFirst + 2);
    QCOMPARE(childKeys(key("docs/Alpha")), QStringList({key("docs/Alpha/Beta"), key("docs/Alpha/Gamma")}));
    QVERIFY(index(key("docs/New Folder")) >= 0);

    // An opened folder shows the "open" picture.
    const int alpha = index(key("docs/Alpha"));
    QVERIFY(m_model->node(alpha).expandedPicture.isEmpty());
    m_model->openNode(alpha);
    QCOMPARE(m_model->node(alpha).expandedPicture, kPictureOpen);
}

void TestFolderTreeModel::rebuildDropsGoneFolders()
{
    build();
    m_model->openNode(index(kDocumentsKey));
    QVERIFY(index(key("docs/Alpha/Beta")) >= 0);
    m_fixture->remove("docs/alpha");
    m_fixture->remove("desktop/Deska/inner");
    // Without a rebuild, nodes of folders that have gone stay.
    m_model->openNode(index(kDocumentsKey));
    QVERIFY(index(key("docs/Alpha")) >= 0);

    QSignalSpy cleared(m_model.get(), &FolderTreeModel::nodesCleared);
    m_model->LoadTreeView();
    QCOMPARE(cleared.size(), 1);
    QCOMPARE(index(key("docs/Alpha")), -1);
    QCOMPARE(index(key("docs/Alpha/Beta")), -1);
    QCOMPARE(index(key("desktop/Deska/Inner")), -1);
    QVERIFY(index(key("desktop/Deska")) >= 0);
}

void TestFolderTreeModel::unreadableAndVanishedFolders()
{
    build();
    const int alpha = index(key("docs/Alpha"));
    m_fixture->remove("docs/alpha");
    m_model->clickNode(alpha); // gone: nothing read, nothing fails
    QCOMPARE(m_model->node(alpha).children.size(), 0);

    // A folder that cannot be listed shows no sub-folders (a superuser reads it all the same).
    m_fixture->mkdir("docs/locked/inside");
    QFile::setPermissions(m_fixture->path("docs/locked"), QFile::WriteOwner);
    m_model->clickNode(index(kDocumentsKey));
    const int locked = index(key("docs/Locked"));
    QVERIFY(locked >= 0);
    m_model->clickNode(locked);
    if (QDir(m_fixture->path("docs/locked")).isReadable())
        QVERIFY(m_model->node(locked).children.size() == 1);
    else
        QCOMPARE(m_model->node(locked).children.size(), 0);
    QFile::setPermissions(m_fixture->path("docs/locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestFolderTreeModel::documentsFirstRefusedUnderVolume()
{
    // A volume whose root holds the documents folder: the documents' folders
    // were added first, so they keep their place there.
    m_fixture->volumes() = {m_fixture->volume("", DriveType::Fixed, "", 1)};
    build();
    const int volume = m_model->node(index(kComputerKey)).children.at(0);
    const int docsOnVolume = index(key("Docs"));
    QVERIFY(docsOnVolume >= 0);
    QCOMPARE(m_model->node(docsOnVolume).parent, volume);
    const int alpha = index(key("docs/Alpha"));
    m_model->openNode(docsOnVolume);
    QVERIFY(m_model->node(docsOnVolume).children.isEmpty());
    QCOMPARE(index(key("Docs/Alpha")), alpha);
    QCOMPARE(m_model->node(alpha).parent, index(kDocumentsKey));
}

// clang-format off
void TestFolderTreeModel::findPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("deepest"); // relative to the fixture; "-" for none
    QTest::addColumn<bool>("found");
    QTest::newRow("folder in the tree") << "docs/alpha" << "docs/Alpha" << true;
    QTest::newRow("other letter case") << "DOCS/ALPHA" << "docs/Alpha" << true;
    QTest::newRow("trailing separator") << "docs/alpha/" << "docs/Alpha" << false;
    QTest::newRow("deeper than the tree") << "docs/alpha/beta/x" << "docs/Alpha/Beta" << false;
    QTest::newRow("only a root") << "/" << "-" << false;
    QTest::newRow("empty path") << "" << "-" << false;
}
// clang-format on

void TestFolderTreeModel::findPath()
{
    QFETCH(QString, path);
    QFETCH(QString, deepest);
    QFETCH(bool, found);
    // The machine's root volume is in the tree, so the fixture's folders are
    // reached from it level by level: each lookup opens the deepest node found,
    // which reads the next level, until a lookup gets no further.
    m_fixture->volumes().prepend(m_fixture->volume("", DriveType::Fixed, "", 1));
    m_fixture->volumes().first().mountPoint = "/";
    build();
    const QString full = path.startsWith('/') || path.isEmpty() ? path : m_fixture->path() + "/" + path;
    FolderTreeModel::PathLookup lookup = m_model->findPath(full);
    for (int previous = -2; lookup.node != previous;) {
        previous = lookup.node;
        m_model->openNode(lookup.node);
        lookup = m_model->findPath(full);
    }
    QCOMPARE(lookup.found, found);
    QCOMPARE(lookup.node, deepest == "-" ? -1 : index(key(deepest)));
    // A folder of documents is found as the documents' node, not under the volume.
    if (lookup.node >= 0)
        QVERIFY(m_model->node(lookup.node).key.startsWith(m_fixture->path()));
}

void TestFolderTreeModel::dirNameByNodeKind()
{
    build();
    m_model->clickNode(index(kComputerKey));
    QCOMPARE(m_model->DirName(), kComputerCaption + "/");
    m_model->clickNode(index(kDesktopKey));
    QCOMPARE(m_model->DirName(), key("desktop/"));
    m_model->clickNode(index(kDocumentsKey));
    QCOMPARE(m_model->DirName(), key("docs/"));
    m_model->clickNode(index(key("desktop/Deska")));
    QCOMPARE(m_model->DirName(), key("desktop/Deska/"));
    m_model->clickNode(m_model->node(index(kComputerKey)).children.at(0));
    QCOMPARE(m_model->DirName(), key("disk/"));

    // Assigning DirName raises Click and saves nothing.
    QSignalSpy clicks(m_model.get(), &FolderTreeModel::Click);
    m_model->setDirName(key("docs/alpha"));
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(m_model->DirName(), key("docs/alpha"));
    QCOMPARE(m_settings->store().GetSetting(SettingsKey::kApplication, SettingsKey::kSectionSettings,
                                            SettingsKey::kLastOpenedFolder, "unset"),
             "unset");
}

void TestFolderTreeModel::treeClickSavesDirName()
{
    build();
    QSignalSpy clicks(m_model.get(), &FolderTreeModel::Click);
    m_model->clickNode(index(key("docs/Alpha")));
    m_model->clickTree();
    QCOMPARE(clicks.size(), 1);
    m_settings->reopen();
    QCOMPARE(m_settings->store().GetSetting(SettingsKey::kApplication, SettingsKey::kSectionSettings,
                                            SettingsKey::kLastOpenedFolder, "unset"),
             key("docs/alpha/"));
    // The next start begins there.
    build();
    QCOMPARE(m_model->DirName(), key("docs/alpha/"));
}

// clang-format off
void TestFolderTreeModel::startFallsBackToProgramFolder_data()
{
    QTest::addColumn<QString>("stored");
    QTest::newRow("computer node") << kComputerCaption + "/";
    QTest::newRow("folder that has gone") << "gone";
}
// clang-format on

void TestFolderTreeModel::startFallsBackToProgramFolder()
{
    QFETCH(QString, stored);
    m_settings->store().SaveSetting(SettingsKey::kApplication, SettingsKey::kSectionSettings,
                                    SettingsKey::kLastOpenedFolder,
                                    stored == "gone" ? m_fixture->path("gone") : stored);
    build();
    QCOMPARE(m_model->DirName(), QDir::fromNativeSeparators(ProgramFolder()));
}

void TestFolderTreeModel::driveProperties()
{
    build();
    m_model->setDirName(key("disk/data/deep"));
    QCOMPARE(m_model->Drive(), key("disk"));
    QCOMPARE(m_model->DriveName(), kHardDrive);
    QCOMPARE(m_model->DiskSpaceInBytes(key("disk/data")), 5368709121.0);
    QCOMPARE(m_model->DriveSpace(), "5,368,709,121 bytes");

    m_model->setDirName(key("usb/stick/"));
    QCOMPARE(m_model->DriveName(), "stick");
    QCOMPARE(m_model->DriveSpace(), " bytes");
    QVERIFY(m_prompts.records.isEmpty());

    // A directory on no volume: no drive, and a failed free-space query.
    m_model->setDirName(kComputerCaption + "/");
    QCOMPARE(m_model->Drive(), QString());
    QCOMPARE(m_model->DriveName(), QString());
    QCOMPARE(m_model->DiskSpaceInBytes(m_model->Drive()), -1.0);
    QCOMPARE(m_model->DriveSpace(), QString());
    QCOMPARE(m_prompts.records.size(), 1);
    QCOMPARE(m_prompts.records.at(0).text, kFunctionFailed);
    QCOMPARE(m_prompts.records.at(0).title, kFunctionFailedTitle);
    QCOMPARE(m_prompts.records.at(0).icon, PromptIcon::Error);
}

void TestFolderTreeModel::emptyDocumentsPath()
{
    m_fixture->m_documents.clear();
    build();
    const int documents = index(kDocumentsKey);
    QVERIFY(m_model->node(documents).children.isEmpty());
    m_model->clickNode(documents);
    QVERIFY(m_model->node(documents).children.isEmpty());
    QCOMPARE(m_model->DirName(), QString());
}

QTEST_GUILESS_MAIN(TestFolderTreeModel)
#include "tst_folder_tree_model.moc"
