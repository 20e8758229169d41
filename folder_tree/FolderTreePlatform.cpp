#include "folder_tree/FolderTreePlatform.h"

#include <QStandardPaths>

// SpecialFolderPath: the folder's path, trimmed; empty when the platform has none.
static QString specialFolderPath(QStandardPaths::StandardLocation location)
{
    return QStandardPaths::writableLocation(location).trimmed();
}

FolderTreePlatform SystemFolderTreePlatform()
{
    FolderTreePlatform platform;
    platform.desktopPath = [] { return specialFolderPath(QStandardPaths::DesktopLocation); };
    platform.documentsPath = [] { return specialFolderPath(QStandardPaths::DocumentsLocation); };
    platform.volumes = &SystemVolumes;
    platform.freeBytes = &SystemFreeBytes;
    return platform;
}
