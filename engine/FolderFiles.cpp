#include "engine/FolderFiles.h"

#include "engine/Naming.h"
#include "platform/FileTests.h"

#include <QDir>
#include <QStringList>

namespace {

QString folderPath(const QString &folder)
{
    return folder.endsWith(QDir::separator()) ? folder : folder + QDir::separator();
}

// The file name of the item's path: its name, and "." and its type.
QString fileNameOf(const DownloadItem &item)
{
    return item.Type.isEmpty() ? item.Name : item.Name + QLatin1Char('.') + item.Type;
}

} // namespace

bool FolderFiles::exists(const QString &folder, const QString &fileName)
{
    if (fileName.contains(QLatin1Char('/')) || fileName.contains(QDir::separator()))
        return FileExists(folderPath(folder) + fileName);
    const Listing &listing = listingOf(folder);
    if (listing.names.contains(fileName))
        return true;
    return listing.foldedNames.contains(fileName.toCaseFolded()) && FileExists(folderPath(folder) + fileName);
}

bool FolderFiles::itemFileExists(const DownloadItem &item)
{
    return exists(item.Folder, fileNameOf(item));
}

bool FolderFiles::itemFileOrPartExists(const DownloadItem &item)
{
    const QString name = fileNameOf(item);
    return exists(item.Folder, name) || exists(item.Folder, PartPath(name));
}

const FolderFiles::Listing &FolderFiles::listingOf(const QString &folder)
{
    auto found = m_listings.constFind(folder);
    if (found != m_listings.constEnd())
        return *found;
    Listing listing;
    if (!folder.isEmpty()) {
        // Regular files, hidden ones included, and links to them, as FileExists counts them.
        const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
        listing.names = QSet<QString>(names.begin(), names.end());
        for (const QString &name : names)
            listing.foldedNames.insert(name.toCaseFolded());
    }
    return *m_listings.insert(folder, std::move(listing));
}
