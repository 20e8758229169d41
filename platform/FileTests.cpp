#include "platform/FileTests.h"

#include <QFileInfo>

bool FileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

bool FolderExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && info.isDir();
}

qint64 FileLength(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return -1;
    return info.size();
}
