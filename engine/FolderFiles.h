#pragma once

#include "engine/DownloadItem.h"

#include <QHash>
#include <QSet>
#include <QString>

// The files of the folders a walk looks in, each folder listed once: a walk
// over 100,000 rows then costs a listing per folder instead of two system
// calls per row. A name the listing does not hold exactly, but holds in
// another letter case, is asked of the file system itself, so the answer is
// the file system's own on case-insensitive ones too.
class FolderFiles
{
public:
    bool exists(const QString &folder, const QString &fileName);
    bool itemFileExists(const DownloadItem &item);
    // The item's file or the bytes a failed transfer kept.
    bool itemFileOrPartExists(const DownloadItem &item);

private:
    struct Listing
    {
        QSet<QString> names;
        QSet<QString> foldedNames;
    };

    const Listing &listingOf(const QString &folder);

    QHash<QString, Listing> m_listings;
};
