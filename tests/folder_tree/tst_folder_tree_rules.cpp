#include "folder_tree/DriveSpace.h"
#include "folder_tree/ProperCase.h"
#include "folder_tree/Volumes.h"

#include <QtTest>

Q_DECLARE_METATYPE(DriveType)

// The rules below the tree: proper case, the free-space text, and the mapping of
// mounted file systems to drive types.
class TestFolderTreeRules : public QObject
{
    Q_OBJECT

private slots:
    void properCase_data();
    void properCase();
    void driveSpace_data();
    void driveSpace();
    void driveType_data();
    void driveType();
};

// clang-format off
void TestFolderTreeRules::properCase_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("lower case words") << "program files" << "Program Files";
    QTest::newRow("bracket is no separator") << "program files (x86)" << "Program Files (x86)";
    QTest::newRow("capitals lowered") << "SYSTEM VOLUME INFORMATION" << "System Volume Information";
    QTest::newRow("hidden folder keeps its dot") << ".config" << ".config";
    QTest::newRow("hyphen and dot are no separators") << "my-data.old" << "My-data.old";
    QTest::newRow("tab separates") << "a\tb" << "A\tB";
    QTest::newRow("chinese unchanged") << "论文 资料" << "论文 资料";
    QTest::newRow("empty") << "" << "";
}
// clang-format on

void TestFolderTreeRules::properCase()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(ProperCase(text), expected);
}

// clang-format off
void TestFolderTreeRules::driveSpace_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("full disk shows no digits") << qint64(0) << " bytes";
    QTest::newRow("below a thousand") << qint64(999) << "999 bytes";
    QTest::newRow("a thousand") << qint64(1000) << "1,000 bytes";
    QTest::newRow("largest 32-bit number") << qint64(2147483647) << "2,147,483,647 bytes";
    QTest::newRow("beyond 2 GiB exactly") << qint64(5368709121) << "5,368,709,121 bytes";
    QTest::newRow("beyond 4 TiB exactly") << qint64(4398046511105) << "4,398,046,511,105 bytes";
}
// clang-format on

void TestFolderTreeRules::driveSpace()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, expected);
    QCOMPARE(FormatDriveSpace(bytes), expected);
}

// clang-format off
void TestFolderTreeRules::driveType_data()
{
    QTest::addColumn<QString>("fileSystem");
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("mountPoint");
    QTest::addColumn<bool>("removableMedium");
    QTest::addColumn<bool>("pseudo");
    QTest::addColumn<DriveType>("type");
    QTest::newRow("disk") << "ext4" << "/dev/sda2" << "/" << false << false << DriveType::Fixed;
    QTest::newRow("container root") << "overlay" << "overlay" << "/" << false << false << DriveType::Unknown;
    QTest::newRow("usb stick") << "vfat" << "/dev/sdb1" << "/mnt/stick" << true << false << DriveType::Removable;
    QTest::newRow("medium under /media") << "exfat" << "/dev/sdc1" << "/media/u/CARD" << false << false
                                         << DriveType::Removable;
    QTest::newRow("medium under /run/media") << "vfat" << "/dev/sdc1" << "/run/media/u/CARD" << false << false
                                             << DriveType::Removable;
    QTest::newRow("optical disc") << "iso9660" << "/dev/sr0" << "/media/cdrom" << true << false << DriveType::CdRom;
    QTest::newRow("nfs share") << "nfs4" << "server:/export" << "/net/papers" << false << false
                               << DriveType::Network;
    QTest::newRow("smb share") << "cifs" << "//server/share" << "/mnt/share" << false << false
                               << DriveType::Network;
    QTest::newRow("tmpfs") << "tmpfs" << "tmpfs" << "/tmp" << false << false << DriveType::RamDisk;
    QTest::newRow("runtime tmpfs") << "tmpfs" << "tmpfs" << "/run/user/1000" << false << true << DriveType::RamDisk;
    QTest::newRow("proc") << "proc" << "proc" << "/proc" << false << true << DriveType::Unknown;
    QTest::newRow("cgroup") << "cgroup2" << "cgroup2" << "/sys/fs/cgroup" << false << true << DriveType::Unknown;
    QTest::newRow("overlay elsewhere") << "overlay" << "overlay" << "/var/lib/x" << false << true
                                       << DriveType::Unknown;
}
// clang-format on

void TestFolderTreeRules::driveType()
{
    QFETCH(QString, fileSystem);
    QFETCH(QString, device);
    QFETCH(QString, mountPoint);
    QFETCH(bool, removableMedium);
    QFETCH(bool, pseudo);
    QFETCH(DriveType, type);
    const VolumeFacts facts{fileSystem, device, mountPoint, removableMedium};
    QCOMPARE(IsPseudoFileSystem(facts), pseudo);
    QCOMPARE(DriveTypeFor(facts), type);
}

QTEST_GUILESS_MAIN(TestFolderTreeRules)
#include "tst_folder_tree_rules.moc"
