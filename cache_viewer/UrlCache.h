#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class QDirIterator;

// The browser's URL cache: the embedded browser's disk cache folder, one
// entry file per address. An entry's local file is its body written out
// under the address's last segment into a folder of the program, one
// sub-folder per entry, so that two addresses of the same name never share a
// file. Listing the cache writes nothing: a body is written out only when the
// user copies it.
class UrlCache
{
public:
    struct Entry
    {
        QString url;
        QString entryFile; // the "<hash>_0" file in the cache folder
        qint64 bodySize = 0;
    };

    // `cacheFolder`: the browser profile's cache folder (the entry files lie
    // in it or in its "Cache/Cache_Data" below); `exportFolder`: where bodies
    // are written out.
    UrlCache(const QString &cacheFolder, const QString &exportFolder);

    // Reading the cache's entries a few files at a time, so that a window
    // stays responsive over a large cache. Only real folders and files count:
    // a link is never followed.
    class Scan
    {
    public:
        explicit Scan(const UrlCache &cache);
        ~Scan();
        // Looks at up to `files` more files of the cache folders; true once
        // every one has been looked at.
        bool next(int files);
        bool done() const { return m_done; }
        // False when a cache folder exists but could not be read.
        bool ok() const { return m_ok; }
        // The complete entries, in the order of their files' names, once done.
        const QList<Entry> &entries() const { return m_entries; }

    private:
        QStringList m_folders;
        qsizetype m_folder = 0;                // the next folder to look at
        std::unique_ptr<QDirIterator> m_names; // while a folder's names are gathered
        QStringList m_files;                   // the folder's entry files, by name
        qsizetype m_read = 0;                  // of m_files
        qsizetype m_announced = 0;             // of m_files, told to the system
        QList<Entry> m_entries;
        bool m_ok = true;
        bool m_done = false;
    };

    // Keeps the listed entries: the lookups below answer from them.
    void remember(const QList<Entry> &entries) const;

    // The complete entries, in the order of their files' names, read at
    // once; the lookups below answer from them.
    QList<Entry> entries(bool *ok = nullptr) const;

    // CacheEntryLocalFile: the local file of the address's entry, where its
    // body is (or will be) written out; empty when the cache holds no such
    // entry. Writes nothing.
    QString CacheEntryLocalFile(const QString &url) const;
    // The length of the body of the address's entry; -1 when there is none.
    qint64 bodySize(const QString &url) const;
    // Writes the body of the address's entry out to its local file (when it
    // is not there already) and returns the file; empty when the cache holds
    // no such entry or writing failed.
    QString writeOutBody(const QString &url) const;

    // DeleteUrlCacheEntry: removes the address's entry files and its
    // written-out body, never through a link.
    enum class Removal { Removed, NoEntry, Failed };
    Removal DeleteUrlCacheEntry(const QString &url) const;

    // Removes every body the program has written out, also those of entries
    // that have left the cache since; the number of bodies that could not be
    // removed.
    int removeWrittenOut() const;

    QString exportFolder() const { return m_exportFolder; }

private:
    QStringList entryFolders() const;
    // The entries of the address, from the last listing (the cache is listed
    // once when it has not been yet).
    QList<Entry> entriesOf(const QString &url) const;
    QString exportFolderOf(const Entry &entry) const;

    QString m_cacheFolder;
    QString m_exportFolder;
    mutable bool m_listed = false;
    mutable QHash<QString, QList<Entry>> m_index; // address → entries
};

// The folder the program writes cache bodies to: "缓存文件" in its own folder.
QString CacheExportFolder();
