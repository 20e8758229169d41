#pragma once

#include <QList>
#include <QString>

// The kinds of drive the tree knows, with the platform's codes: each kind has
// its picture and its caption for an empty label. NoRootDirectory gets no node.
enum class DriveType {
    Unknown = 0,
    NoRootDirectory = 1,
    Removable = 2,
    Fixed = 3,
    Network = 4,
    CdRom = 5,
    RamDisk = 6
};

// A mounted volume as the tree shows it under the computer node. The mount
// point plays the drive root; the device and mount point together identify
// the volume for its stable key number.
struct Volume
{
    QString mountPoint; // absolute, "/" separators
    QString device;
    QString label;
    DriveType type = DriveType::Unknown;
    bool ready = true;     // a medium is present and can be read
    qint64 freeBytes = -1; // bytes available to the user; -1 when unknown
};

// What the platform says about a mounted file system, for the drive-type rule.
struct VolumeFacts
{
    QString fileSystemType;
    QString device;
    QString mountPoint;
    bool removableMedium = false; // the block device says its medium can be removed
};

// True for file systems that are no storage a user keeps folders on (proc,
// sysfs, cgroups, runtime tmpfs under /run, /dev and /sys ...): they get no node.
bool IsPseudoFileSystem(const VolumeFacts &facts);

// Maps what the platform reports to a drive type: optical file systems and
// optical devices are CD-ROM; network file systems are network; tmpfs and
// ramfs are RAM disks; a block device whose medium is removable, or a volume
// mounted under /media or /run/media, is removable; another block device is
// fixed; everything else is unknown.
DriveType DriveTypeFor(const VolumeFacts &facts);

// The mounted volumes of this machine, without pseudo file systems, ordered
// by mount point. Labels and free space come from the platform's records; no
// medium is read.
QList<Volume> SystemVolumes();

// Free bytes of the volume holding the path, read now; -1 when it cannot be read.
qint64 SystemFreeBytes(const QString &path);
