// The no-follow file operations against real links planted in a temporary
// folder: what lies behind a link survives, and nothing is written through
// one.
#include "platform/SafeFiles.h"
#include "tests/support/FileHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

// A folder the operations own ("root/") beside one they must never touch
// ("outside/"), with links from the first into the second.
//
//   root/plain.pdf   root/sub/deep.pdf   root/folder/   root/full/f
//   root/fifo        root/file-link -> outside/victim.pdf
//   root/dir-link -> outside/          outside/victim.pdf   outside/empty/
class Planted
{
public:
    Planted()
    {
        const QDir base(m_dir.path());
        m_ok = base.mkpath("root/sub") && base.mkpath("root/folder") && base.mkpath("root/full")
               && base.mkpath("outside/empty") && writeFile(root("plain.pdf"), "plain")
               && writeFile(root("sub/deep.pdf"), "deep") && writeFile(root("full/f"), "f")
               && writeFile(outside("victim.pdf"), "victim") && QFile::link(outside("victim.pdf"), root("file-link"))
               && QFile::link(outside(), root("dir-link")) && ::mkfifo(QFile::encodeName(root("fifo")), 0600) == 0
               && QFile::setPermissions(outside("empty"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    ~Planted()
    {
        QFile::setPermissions(outside("empty"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    bool ok() const { return m_ok; }
    QString root(const QString &name = QString()) const { return m_dir.filePath("root/" + name); }
    QString outside(const QString &name = QString()) const { return m_dir.filePath("outside/" + name); }
    // Nothing outside has changed: the victim's bytes, the empty folder and
    // its permissions.
    bool outsideIntact() const
    {
        return readFile(outside("victim.pdf")) == "victim" && QFileInfo(outside("empty")).isDir()
               && (QFile::permissions(outside("empty")) & kOwner) == (QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }

private:
    static constexpr QFileDevice::Permissions kOwner{QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                     | QFileDevice::ExeOwner};
    QTemporaryDir m_dir;
    bool m_ok = false;
};

bool isLink(const QString &path)
{
    return QFileInfo(path).isSymLink();
}

} // namespace

class TestSafeFiles : public QObject
{
    Q_OBJECT

private slots:
    void removeFileInside_data();
    void removeFileInside();
    void removeEmptyFolderInside_data();
    void removeEmptyFolderInside();
    void removeTreeNeverFollowsLinks();
    void makeFolderInside();
    void isRealFolderInside();
    void newFileAtAPlantedName_data();
    void newFileAtAPlantedName();
    void newFileSwappedBeforeCommit();
    void newFileNotPutInPlaceIsRemoved();
};

// clang-format off
void TestSafeFiles::removeFileInside_data()
{
    QTest::addColumn<QString>("path");  // below root; empty: root itself
    QTest::addColumn<bool>("result");
    QTest::addColumn<bool>("gone");     // nothing is at the path afterwards

    QTest::newRow("regular file") << "plain.pdf" << true << true;
    QTest::newRow("file in a sub-folder") << "sub/deep.pdf" << true << true;
    QTest::newRow("missing file") << "missing.pdf" << true << true;
    QTest::newRow("missing folder on the way") << "nowhere/x.pdf" << true << true;
    QTest::newRow("link to a file") << "file-link" << false << false;
    QTest::newRow("file behind a linked folder") << "dir-link/victim.pdf" << false << false;
    QTest::newRow("folder") << "folder" << false << false;
    QTest::newRow("fifo") << "fifo" << false << false;
    QTest::newRow("outside the root by ..") << "../outside/victim.pdf" << false << false;
    QTest::newRow("root itself") << "" << false << false;
}
// clang-format on

void TestSafeFiles::removeFileInside()
{
    QFETCH(QString, path);
    QFETCH(bool, result);
    QFETCH(bool, gone);
    Planted planted;
    QVERIFY(planted.ok());
    const QString full = planted.root(path);
    QCOMPARE(RemoveFileInside(planted.root(), full), result);
    QCOMPARE(!NameTaken(full), gone);
    QVERIFY(planted.outsideIntact());
}

// clang-format off
void TestSafeFiles::removeEmptyFolderInside_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("result");
    QTest::addColumn<bool>("gone");

    QTest::newRow("empty folder") << "folder" << true << true;
    QTest::newRow("folder with a file") << "full" << false << false;
    QTest::newRow("link to an empty folder") << "dir-link" << false << false;
    QTest::newRow("empty folder behind a link") << "dir-link/empty" << false << false;
    QTest::newRow("file") << "plain.pdf" << false << false;
    QTest::newRow("root itself") << "" << false << false;
}
// clang-format on

void TestSafeFiles::removeEmptyFolderInside()
{
    QFETCH(QString, path);
    QFETCH(bool, result);
    QFETCH(bool, gone);
    Planted planted;
    QVERIFY(planted.ok());
    const QString full = planted.root(path);
    QCOMPARE(RemoveEmptyFolderInside(planted.root(), full), result);
    QCOMPARE(!NameTaken(full), gone);
    QVERIFY(planted.outsideIntact());
}

// A tree holding links to a file and to a folder outside goes with its links;
// what they point to stays. A link at the tree's own name goes as a link.
void TestSafeFiles::removeTreeNeverFollowsLinks()
{
    Planted planted;
    QVERIFY(planted.ok());
    QVERIFY(QDir().mkpath(planted.root("tree/a/b")));
    QVERIFY(writeFile(planted.root("tree/a/b/x"), "x"));
    QVERIFY(QFile::link(planted.outside(), planted.root("tree/a/out")));
    QVERIFY(QFile::link(planted.outside("victim.pdf"), planted.root("tree/v")));

    QVERIFY(RemoveTreeInside(planted.root(), planted.root("tree")));
    QVERIFY(!NameTaken(planted.root("tree")));
    QVERIFY(RemoveTreeInside(planted.root(), planted.root("dir-link")));
    QVERIFY(!NameTaken(planted.root("dir-link")));
    QVERIFY(planted.outsideIntact());

    QVERIFY(!RemoveTreeInside(planted.root(), planted.root("plain.pdf")));
    QVERIFY(RemoveTreeInside(planted.root(), planted.root("missing")));
    QVERIFY(!RemoveTreeInside(planted.root(), planted.root()));
}

void TestSafeFiles::makeFolderInside()
{
    Planted planted;
    QVERIFY(planted.ok());
    QVERIFY(MakeFolderInside(planted.root(), planted.root("new/deeper")));
    QVERIFY(IsRealFolderInside(planted.root(), planted.root("new/deeper")));
    // A link at the folder's own name is replaced by a real folder.
    QVERIFY(MakeFolderInside(planted.root(), planted.root("dir-link")));
    QVERIFY(!isLink(planted.root("dir-link")) && QFileInfo(planted.root("dir-link")).isDir());
    QVERIFY(QFile::link(planted.outside(), planted.root("again")));
    // A link on the way stops it.
    QVERIFY(!MakeFolderInside(planted.root(), planted.root("again/sub")));
    QVERIFY(!QFileInfo::exists(planted.outside("sub")));
    QVERIFY(!MakeFolderInside(planted.root(), planted.root("plain.pdf")));
    QVERIFY(planted.outsideIntact());
}

void TestSafeFiles::isRealFolderInside()
{
    Planted planted;
    QVERIFY(planted.ok());
    QVERIFY(IsRealFolderInside(planted.root(), planted.root()));
    QVERIFY(IsRealFolderInside(planted.root(), planted.root("sub")));
    QVERIFY(!IsRealFolderInside(planted.root(), planted.root("dir-link")));
    QVERIFY(!IsRealFolderInside(planted.root(), planted.root("dir-link/empty")));
    QVERIFY(!IsRealFolderInside(planted.root(), planted.root("plain.pdf")));
    QVERIFY(!IsRealFolderInside(planted.root(), planted.outside("empty")));
    QVERIFY(!IsRealFolderInside(QString(), planted.root()));
}

// clang-format off
void TestSafeFiles::newFileAtAPlantedName_data()
{
    QTest::addColumn<QString>("side");    // what sits at the side file's name
    QTest::addColumn<QString>("target");  // what sits at the final name
    QTest::addColumn<bool>("result");

    QTest::newRow("free names") << "" << "" << true;
    QTest::newRow("link at the side name") << "file-link" << "" << true;
    QTest::newRow("dangling link at the side name") << "dangling" << "" << true;
    QTest::newRow("stale side file") << "stale" << "" << true;
    QTest::newRow("link at the final name") << "" << "file-link" << true;
    QTest::newRow("links at both names") << "file-link" << "file-link" << true;
    QTest::newRow("folder at the side name") << "folder" << "" << false;
    QTest::newRow("folder at the final name") << "" << "folder" << false;
}
// clang-format on

void TestSafeFiles::newFileAtAPlantedName()
{
    QFETCH(QString, side);
    QFETCH(QString, target);
    QFETCH(bool, result);
    Planted planted;
    QVERIFY(planted.ok());
    const QString finalName = planted.root("a.pdf");
    const QString sideName = finalName + ".copying";
    auto plant = [&](const QString &what, const QString &at) {
        if (what == "file-link")
            return QFile::link(planted.outside("victim.pdf"), at);
        if (what == "dangling")
            return QFile::link(planted.outside("nowhere.pdf"), at);
        if (what == "stale")
            return writeFile(at, "stale bytes, longer than the new ones");
        if (what == "folder")
            return QDir().mkpath(at + "/inner");
        return true;
    };
    QVERIFY(plant(side, sideName));
    QVERIFY(plant(target, finalName));

    NewFile file;
    const bool created = file.create(sideName);
    bool placed = false;
    if (created) {
        QCOMPARE(file.file().write("new"), 3);
        placed = file.putInPlace(finalName);
    }
    QCOMPARE(created && placed, result);
    QVERIFY(planted.outsideIntact());
    QVERIFY(!QFileInfo::exists(planted.outside("nowhere.pdf")));
    if (result) {
        QVERIFY(!isLink(finalName));
        QCOMPARE(readFile(finalName), QByteArray("new"));
        QVERIFY(!NameTaken(sideName));
    } else if (target == "folder") {
        QVERIFY(QFileInfo(finalName + "/inner").isDir());
        QVERIFY(!NameTaken(sideName));
    }
}

// A side file replaced by a link between writing and committing is never put
// in place: the final name stays free and the link's target is untouched.
void TestSafeFiles::newFileSwappedBeforeCommit()
{
    Planted planted;
    QVERIFY(planted.ok());
    const QString finalName = planted.root("a.pdf");
    const QString sideName = finalName + ".copying";
    NewFile file;
    QVERIFY(file.create(sideName));
    file.file().write("new");
    QVERIFY(QFile::remove(sideName));
    QVERIFY(QFile::link(planted.outside("victim.pdf"), sideName));
    QVERIFY(!file.putInPlace(finalName));
    QVERIFY(!NameTaken(finalName));
    QVERIFY(isLink(sideName)); // not ours: left where it is
    QVERIFY(planted.outsideIntact());

    NewFile second;
    QVERIFY(!second.create(planted.root("folder")));
    QVERIFY(QFileInfo(planted.root("folder")).isDir());
}

// A file neither put in place nor discarded goes with its object.
void TestSafeFiles::newFileNotPutInPlaceIsRemoved()
{
    Planted planted;
    QVERIFY(planted.ok());
    {
        NewFile file;
        QVERIFY(file.create(planted.root("a.pdf.copying")));
        file.file().write("half");
    }
    QVERIFY(!NameTaken(planted.root("a.pdf.copying")));
}

QTEST_GUILESS_MAIN(TestSafeFiles)
#include "tst_safe_files.moc"
