#pragma once

#include "folder_tree/Volumes.h"

#include <QList>
#include <QString>
#include <functional>

// The platform calls of the folder tree behind small functions, so that a test
// can give the tree its own desktop, documents folder and volumes over a
// temporary folder tree.
struct FolderTreePlatform
{
    std::function<QString()> desktopPath;                 // empty when the platform has none
    std::function<QString()> documentsPath;               // empty when the platform has none
    std::function<QList<Volume>()> volumes;               // ordered by mount point
    std::function<qint64(const QString &path)> freeBytes; // -1 on failure
};

// The real platform: QStandardPaths for the desktop and documents folders,
// QStorageInfo for the volumes and their free space.
FolderTreePlatform SystemFolderTreePlatform();
