#pragma once

#include "cache_viewer/UrlCache.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <limits>

// The listings of the cache viewer and what it does with their files,
// without a window.

// One row of the file list: "URL", "TYPE", "SIZE(Byte)", "FilePath".
struct CacheRow
{
    QString caption;
    QString type;
    QString size;
    QString filePath;

    bool operator==(const CacheRow &) const = default;
};

// UrlFileType: the file type of an address or a path (may be empty): the
// extension of its last segment, cut before a query, a fragment and other
// characters no name holds; seven characters or more count as none.
QString UrlFileType(const QString &text);

// The count line: "共有N 个文件", or "出错!!!共有N 个文件" after a failure.
QString CountLine(int rows, bool failed = false);

// GetCacheURLList: one row per entry of the cache, caption the address and
// "TYPE" its UrlFileType. `ok` is false when the cache could not be read.
QList<CacheRow> GetCacheURLList(const UrlCache &cache, bool *ok = nullptr);

// GetCacheURLList in steps, so that a window stays responsive over a large
// cache: a few files of the cache folders are looked at per step.
class CacheUrlListing
{
public:
    explicit CacheUrlListing(const UrlCache &cache);
    // Looks at up to `files` more files; true once every one has been, and
    // then the rows are there and the cache answers its lookups from them.
    bool step(int files);
    bool done() const { return m_scan.done(); }
    bool ok() const { return m_scan.ok(); }
    const QList<CacheRow> &rows() const { return m_rows; }

private:
    void finish();

    const UrlCache &m_cache;
    UrlCache::Scan m_scan;
    QList<CacheRow> m_rows;
};

// 判断文件在缓存中文件路径: fills "SIZE(Byte)" (the body's length) and
// "FilePath" (where the body is written out when it is copied) of the rows
// from `from` on (up to `count` of them) from the cache's entries; a row
// without one keeps both empty. Writes nothing.
void FillLocalFiles(QList<CacheRow> &rows, const UrlCache &cache, qsizetype from = 0,
                    qsizetype count = std::numeric_limits<qsizetype>::max());

// CollectFolders: appends the real folders below the path to the list (all
// of one folder before any of its sub-folders when recursive). The path gets
// a trailing separator (the caller's text too). A relative path lists
// nothing. A link is not a folder of the cache: it is neither listed nor
// entered.
void CollectFolders(QString &path, QStringList &list, bool recursive);

// CollectFiles: the same for the regular files below the path; links and
// special files are not listed.
void CollectFiles(QString &path, QStringList &list, bool recursive);

// Where the users' caches lie on this system: the folder holding the users'
// home folders, and the browser's cache folder below a home folder.
struct UserCacheLayout
{
    QString usersRoot;    // ends with a separator; empty: nothing to list
    QStringList subPaths; // each begins with a separator
};
// The layout for a home folder and the profile's cache folder: the home
// folder's parent as root, the cache folder's place below the home folder as
// sub-path. Empty when the cache folder is not below the home folder, and
// when the parent does not really hold users' homes: a file-system root (a
// home directly under "/"), a folder anyone may write into (a home under
// /tmp), or a home folder that is a link.
UserCacheLayout UserCacheLayoutFor(const QString &homeFolder, const QString &profileCacheFolder);

// The all-users listing's folders.
struct UserCaches
{
    struct User
    {
        QString name;   // "用户名"
        QString folder; // "文件夹", ending with a separator
    };
    QString root; // the users' root the listing walked from
    QStringList profileFolders;
    QStringList cacheFolders; // every folder below the users' cache folders, parents first
    QList<User> users;

    // Whether the path lies below one of the users' cache folders: what the
    // viewer may delete there (walking from the users' root through real
    // folders only).
    bool owns(const QString &path) const;
};

// ListUserCaches: the users that have a cache folder under the layout, and
// every folder below those. A user's cache folder counts only when it is
// reached from the users' root through real folders: a linked home or a
// linked folder on the way to the cache is passed over.
UserCaches ListUserCaches(const UserCacheLayout &layout);

// ListUserCacheFiles: one row per file below the folder: "用户:" and the user's
// name, the file's type, size and path.
void ListUserCacheFiles(const QString &folder, const QString &userName, QList<CacheRow> &rows);

// Whether the row belongs to the all-users listing.
bool IsAllUsersRow(const CacheRow &row);

// 强制删除: deletes the regular file at the path when it lies inside `root`,
// reached through real folders; a link, a folder or a special file is left
// alone. On this system a read-only file goes without changing its
// permissions. True when the file is gone.
bool ForceDelete(const QString &root, const QString &path);

// 删除空文件夹: removes the empty ones of the users' cache folders' folders,
// last first, so that sub-folders go before the folders holding them. Only
// real folders the listing owns are removed; nothing's permissions change.
void RemoveEmptyFolders(const UserCaches &owned);

// How many of the rows' files were deleted, and how many could not be.
struct DeletionCount
{
    int deleted = 0;
    int failed = 0;
    DeletionCount &operator+=(const DeletionCount &other)
    {
        deleted += other.deleted;
        failed += other.failed;
        return *this;
    }
};

// Deletes the rows' files: an all-users row's file unless its type is txt,
// and only when the listing owns it; a my-cache row's entry and written-out
// body unless its address holds "Cookie".
DeletionCount DeleteRows(const QList<CacheRow> &rows, const UrlCache &cache, const UserCaches &owned);

// ClearBrowserCache's work without a window: every entry of the user's cache
// but cookies and every body the program wrote out, then the files of all
// users' caches but txt files, and the folders left empty.
DeletionCount ClearCaches(const UrlCache &cache, const UserCacheLayout &layout);

// Sorts the rows as text by a column (0 to 3); "SIZE(Byte)" sorts by value,
// an empty size before every number.
void SortCacheRows(QList<CacheRow> &rows, int column, bool descending);
