#include "folder_tree/Volumes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>
#include <algorithm>

static bool isUnder(const QString &path, const QString &folder)
{
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

bool IsPseudoFileSystem(const VolumeFacts &facts)
{
    static const QSet<QString> pseudoTypes = {"proc",      "sysfs",       "devtmpfs", "devpts",      "cgroup",
                                              "cgroup2",   "securityfs",  "pstore",   "debugfs",     "tracefs",
                                              "mqueue",    "hugetlbfs",   "configfs", "fusectl",     "bpf",
                                              "autofs",    "binfmt_misc", "efivarfs", "rpc_pipefs",  "nsfs",
                                              "selinuxfs", "overlay",     "squashfs", "fuse.portal", "fuse.gvfsd-fuse"};
    const QString type = facts.fileSystemType;
    const QString mount = facts.mountPoint;
    // The system's own runtime mounts; removable media mounted under /run/media stay.
    if (isUnder(mount, "/proc") || isUnder(mount, "/sys") || isUnder(mount, "/dev") || isUnder(mount, "/run"))
        return !isUnder(mount, "/run/media");
    // A root file system of a container is an overlay: the machine's only disk.
    if (type == "overlay" && mount == "/")
        return false;
    return pseudoTypes.contains(type);
}

DriveType DriveTypeFor(const VolumeFacts &facts)
{
    static const QSet<QString> opticalTypes = {"iso9660", "udf"};
    static const QSet<QString> networkTypes = {"nfs",        "nfs4",  "cifs",        "smb3",        "smbfs",
                                               "ncpfs",      "afs",   "ceph",        "glusterfs",   "9p",
                                               "fuse.sshfs", "davfs", "fuse.davfs2", "fuse.rclone", "lustre"};
    const QString type = facts.fileSystemType;
    const QString device = facts.device;
    if (opticalTypes.contains(type) || device.startsWith("/dev/sr") || device.startsWith("/dev/cdrom"))
        return DriveType::CdRom;
    if (networkTypes.contains(type) || device.startsWith("//"))
        return DriveType::Network;
    if (type == "tmpfs" || type == "ramfs")
        return DriveType::RamDisk;
    if (!device.startsWith("/dev/"))
        return DriveType::Unknown;
    if (facts.removableMedium || isUnder(facts.mountPoint, "/media") || isUnder(facts.mountPoint, "/run/media"))
        return DriveType::Removable;
    return DriveType::Fixed;
}

// The block device's "removable" flag in sysfs: a partition takes the flag of
// its disk, which is the folder above it.
static bool hasRemovableMedium(const QString &device)
{
    if (!device.startsWith("/dev/"))
        return false;
    const QString name = QFileInfo(device).canonicalFilePath().section('/', -1);
    if (name.isEmpty())
        return false;
    const QString block = QFileInfo("/sys/class/block/" + name).canonicalFilePath();
    if (block.isEmpty())
        return false;
    for (const QString &folder : {block, QFileInfo(block).path()}) {
        QFile flag(folder + "/removable");
        if (flag.open(QIODevice::ReadOnly))
            return flag.readAll().trimmed() == "1";
    }
    return false;
}

QList<Volume> SystemVolumes()
{
    QList<Volume> volumes;
    for (const QStorageInfo &storage : QStorageInfo::mountedVolumes()) {
        VolumeFacts facts;
        facts.fileSystemType = QString::fromLatin1(storage.fileSystemType());
        facts.device = QString::fromLocal8Bit(storage.device());
        facts.mountPoint = storage.rootPath();
        // Bind-mounted files (a container's /etc/hosts) are no volumes.
        if (!storage.isValid() || IsPseudoFileSystem(facts) || !QFileInfo(facts.mountPoint).isDir())
            continue;
        facts.removableMedium = hasRemovableMedium(facts.device);
        Volume volume;
        volume.mountPoint = facts.mountPoint;
        volume.device = facts.device;
        volume.label = storage.name();
        volume.type = DriveTypeFor(facts);
        volume.ready = storage.isReady();
        volume.freeBytes = storage.isReady() ? storage.bytesAvailable() : -1;
        volumes << volume;
    }
    std::sort(volumes.begin(), volumes.end(),
              [](const Volume &a, const Volume &b) { return a.mountPoint < b.mountPoint; });
    return volumes;
}

qint64 SystemFreeBytes(const QString &path)
{
    QStorageInfo storage(path);
    if (!storage.isValid() || !storage.isReady())
        return -1;
    return storage.bytesAvailable();
}
