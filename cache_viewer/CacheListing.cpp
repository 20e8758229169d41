#include "cache_viewer/CacheListing.h"

#include "cache_viewer/CacheTexts.h"
#include "cache_viewer/UrlCache.h"
#include "common/FileNames.h"
#include "platform/FileTests.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

using namespace CacheText;

namespace {

constexpr int kMaxTypeLength = 6;

void cutBefore(QString &text, const QString &mark)
{
    const qsizetype at = text.indexOf(mark);
    if (at >= 0)
        text.truncate(at);
}

bool validListingPath(const QString &path)
{
    return QDir::isAbsolutePath(path) && !path.isEmpty();
}

void ensureSeparator(QString &path)
{
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
}

// The entries of a folder, hidden and system ones included; folders are
// told apart by `isFolder`. Skips ".", "..", pagefile.sys and, at a root,
// RECYCLER.
void collect(QString &path, QStringList &list, bool recursive, bool wantFolders)
{
    ensureSeparator(path);
    const QDir dir(path);
    if (!dir.exists())
        return;
    const bool atRoot = dir.isRoot();
    QStringList subFolders;
    const QFileInfoList infos =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo &info : infos) {
        const QString name = info.fileName();
        if (name.compare(QStringLiteral("pagefile.sys"), Qt::CaseInsensitive) == 0)
            continue;
        if (atRoot && name.toUpper() == QStringLiteral("RECYCLER"))
            continue;
        if (info.isDir()) {
            if (!info.isSymLink())
                subFolders.append(name);
            if (wantFolders)
                list.append(path + name);
        } else if (!wantFolders) {
            list.append(path + name);
        }
    }
    if (!recursive)
        return;
    for (const QString &name : subFolders) {
        QString sub = path + name;
        collect(sub, list, true, wantFolders);
    }
}

qint64 sizeValue(const QString &text, bool *ok)
{
    return text.toLongLong(ok);
}

} // namespace

QString UrlFileType(const QString &text)
{
    QString s = text;
    const QString scheme = QStringLiteral("://");
    const qsizetype first = s.indexOf(scheme);
    if (first >= 0) {
        const qsizetype afterFirst = first + scheme.size();
        const qsizetype second = s.indexOf(scheme, afterFirst);
        s = second > afterFirst ? s.mid(afterFirst, second - afterFirst) : s.mid(afterFirst);
    }
    s.replace(QLatin1Char('\\'), QLatin1Char('/'));
    s = s.mid(s.lastIndexOf(QLatin1Char('/')) + 1);
    for (const QString &mark :
         {QStringLiteral("#"), QStringLiteral("\b"), QStringLiteral("\t"), QStringLiteral("\n"), QStringLiteral("\r"),
          QStringLiteral(":"), QStringLiteral("*"), QStringLiteral("<"), QStringLiteral(">"), QStringLiteral("|"),
          QStringLiteral("\""), QStringLiteral("'"), QStringLiteral("="), QStringLiteral("?")})
        cutBefore(s, mark);
    const qsizetype dot = s.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return QString();
    const QString type = TrimBlanks(s.mid(dot + 1));
    return type.size() > kMaxTypeLength ? QString() : type;
}

QString CountLine(int rows, bool failed)
{
    return (failed ? kCountErrorPrefix : kCountPrefix) + QString::number(rows) + kCountSuffix;
}

QList<CacheRow> GetCacheURLList(const UrlCache &cache, bool *ok)
{
    QList<CacheRow> rows;
    for (const UrlCache::Entry &entry : cache.entries(ok))
        rows.append(CacheRow{entry.url, UrlFileType(entry.url), QString(), QString()});
    return rows;
}

void FillLocalFiles(QList<CacheRow> &rows, const UrlCache &cache)
{
    for (CacheRow &row : rows) {
        const QString local = cache.CacheEntryLocalFile(row.caption);
        if (local.isEmpty() || !FileExists(local))
            continue;
        row.filePath = local;
        row.size = QString::number(FileLength(local));
    }
}

void CollectFolders(QString &path, QStringList &list, bool recursive)
{
    if (!validListingPath(path))
        return;
    collect(path, list, recursive, true);
}

void CollectFiles(QString &path, QStringList &list, bool recursive)
{
    if (path.isEmpty())
        return;
    collect(path, list, recursive, false);
}

UserCacheLayout UserCacheLayoutFor(const QString &homeFolder, const QString &profileCacheFolder)
{
    const QString home = QDir::cleanPath(homeFolder);
    const QString cache = QDir::cleanPath(profileCacheFolder);
    UserCacheLayout layout;
    if (home.isEmpty() || !cache.startsWith(home + QLatin1Char('/')))
        return layout;
    QDir parent(home);
    if (!parent.cdUp())
        return layout;
    layout.usersRoot = parent.path();
    ensureSeparator(layout.usersRoot);
    layout.subPaths.append(cache.mid(home.size()));
    return layout;
}

UserCaches ListUserCaches(const UserCacheLayout &layout)
{
    UserCaches caches;
    if (layout.usersRoot.isEmpty())
        return caches;
    QString root = layout.usersRoot;
    CollectFolders(root, caches.profileFolders, false);
    for (const QString &profile : std::as_const(caches.profileFolders)) {
        if (profile.isEmpty())
            continue;
        QString trimmed = profile;
        if (trimmed.endsWith(QLatin1Char('/')))
            trimmed.chop(1);
        const QString userName = trimmed.mid(trimmed.lastIndexOf(QLatin1Char('/')) + 1);
        for (const QString &subPath : layout.subPaths) {
            QString folder = trimmed + subPath;
            if (!FolderExists(folder))
                continue;
            CollectFolders(folder, caches.cacheFolders, true);
            caches.users.append(UserCaches::User{userName, folder});
        }
    }
    caches.cacheFolders.removeAll(QString());
    return caches;
}

void ListUserCacheFiles(const QString &folder, const QString &userName, QList<CacheRow> &rows)
{
    QStringList files;
    QString path = folder;
    CollectFiles(path, files, true);
    for (const QString &file : std::as_const(files)) {
        if (file.isEmpty())
            continue;
        rows.append(CacheRow{kUserPrefix + userName, UrlFileType(file), QString::number(FileLength(file)), file});
    }
}

bool IsAllUsersRow(const CacheRow &row)
{
    return row.caption.left(3) == kUserPrefix;
}

void ForceDelete(const QString &path)
{
    if (path.isEmpty())
        return;
    // A link goes as it is; the file it points to keeps its permissions.
    if (!QFileInfo(path).isSymLink())
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
    QFile::remove(path);
}

void RemoveEmptyFolders(const QStringList &folders)
{
    for (auto it = folders.crbegin(); it != folders.crend(); ++it) {
        if (it->isEmpty())
            continue;
        QFile::setPermissions(*it, QFile::permissions(*it) | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                       | QFileDevice::ReadOwner);
        QDir().rmdir(*it);
    }
}

void DeleteRows(const QList<CacheRow> &rows, const UrlCache &cache)
{
    for (const CacheRow &row : rows) {
        if (IsAllUsersRow(row)) {
            if (row.type.toLower() != QStringLiteral("txt") && !row.filePath.isEmpty())
                ForceDelete(row.filePath);
        } else if (!row.caption.isEmpty() && !row.caption.contains(QStringLiteral("Cookie"), Qt::CaseInsensitive)) {
            cache.DeleteUrlCacheEntry(row.caption);
            if (!row.filePath.isEmpty())
                ForceDelete(row.filePath);
        }
    }
}

void SortCacheRows(QList<CacheRow> &rows, int column, bool descending)
{
    auto text = [column](const CacheRow &row) -> QString {
        switch (column) {
        case 0: return row.caption;
        case 1: return row.type;
        case 2: {
            bool ok = false;
            const qint64 value = sizeValue(row.size, &ok);
            return ok ? QStringLiteral("%1").arg(value, 12, 10, QLatin1Char('0')) : row.size;
        }
        default: return row.filePath;
        }
    };
    std::stable_sort(rows.begin(), rows.end(), [&](const CacheRow &a, const CacheRow &b) {
        const int order = text(a).localeAwareCompare(text(b));
        return descending ? order > 0 : order < 0;
    });
}
