#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The browser's URL cache: the embedded browser's disk cache folder, one
// entry file per address. A listed entry's local file is its body written out
// under the address's last segment into a folder of the program, one
// sub-folder per entry, so that two addresses of the same name never share a
// file.
class UrlCache
{
public:
    struct Entry
    {
        QString url;
        QString entryFile; // the "<hash>_0" file in the cache folder
    };

    // `cacheFolder`: the browser profile's cache folder (the entry files lie
    // in it or in its "Cache/Cache_Data" below); `exportFolder`: where bodies
    // are written out.
    UrlCache(const QString &cacheFolder, const QString &exportFolder);

    // The complete entries, in the order of their files' names. `ok` is false
    // when the cache folder exists but could not be read.
    QList<Entry> entries(bool *ok = nullptr) const;

    // CacheEntryLocalFile: the local file of the address's entry, its body
    // written out when it is not there yet; empty when the cache holds no
    // such entry or writing failed.
    QString CacheEntryLocalFile(const QString &url) const;

    // DeleteUrlCacheEntry: removes the address's entry files and its written-out
    // body; false when the cache held no entry for it.
    bool DeleteUrlCacheEntry(const QString &url) const;

    QString exportFolder() const { return m_exportFolder; }

private:
    QStringList entryFolders() const;
    // The entry files of the address, from the index of the last listing;
    // the folder is read again when the address is not in it.
    QStringList entryFilesOf(const QString &url) const;

    QString m_cacheFolder;
    QString m_exportFolder;
    mutable QHash<QString, QStringList> m_index; // address → entry files
};

// The folder the program writes cache bodies to: "缓存文件" in its own folder.
QString CacheExportFolder();
