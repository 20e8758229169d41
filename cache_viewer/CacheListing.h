#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class UrlCache;

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

// 判断文件在缓存中文件路径: fills "SIZE(Byte)" and "FilePath" of each row from the
// entry's local file; a row without one keeps both empty.
void FillLocalFiles(QList<CacheRow> &rows, const UrlCache &cache);

// CollectFolders: appends the folders below the path to the list (all of one
// folder before any of its sub-folders when recursive). The path gets a
// trailing separator (the caller's text too). A relative path lists nothing.
// Linked folders are listed but never entered, so a link loop ends.
void CollectFolders(QString &path, QStringList &list, bool recursive);

// CollectFiles: the same for the files below the path.
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
// sub-path; empty when the cache folder is not below the home folder.
UserCacheLayout UserCacheLayoutFor(const QString &homeFolder, const QString &profileCacheFolder);

// The all-users listing's folders.
struct UserCaches
{
    struct User
    {
        QString name;   // "用户名"
        QString folder; // "文件夹", ending with a separator
    };
    QStringList profileFolders;
    QStringList cacheFolders; // every folder below the users' cache folders, parents first
    QList<User> users;
};

// ListUserCaches: the users that have a cache folder under the layout, and
// every folder below those.
UserCaches ListUserCaches(const UserCacheLayout &layout);

// ListUserCacheFiles: one row per file below the folder: "用户:" and the user's
// name, the file's type, size and path.
void ListUserCacheFiles(const QString &folder, const QString &userName, QList<CacheRow> &rows);

// Whether the row belongs to the all-users listing.
bool IsAllUsersRow(const CacheRow &row);

// 强制删除: makes the file writable, then deletes it. Failures are ignored.
void ForceDelete(const QString &path);

// 删除空文件夹: removes the empty ones of the folders, last first, so that
// sub-folders go before the folders holding them.
void RemoveEmptyFolders(const QStringList &folders);

// Deletes the rows' files: an all-users row's file unless its type is txt;
// a my-cache row's entry and local file unless its address holds "Cookie".
void DeleteRows(const QList<CacheRow> &rows, const UrlCache &cache);

// Sorts the rows as text by a column (0 to 3); "SIZE(Byte)" sorts by value,
// an empty size before every number.
void SortCacheRows(QList<CacheRow> &rows, int column, bool descending);
