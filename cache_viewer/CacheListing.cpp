#include "cache_viewer/CacheListing.h"

#include "cache_viewer/CacheTexts.h"
#include "cache_viewer/UrlCache.h"
#include "common/FileNames.h"
#include "platform/FileTests.h"
#include "platform/SafeFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>

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

// The real folders (or the regular files) of a folder, hidden ones
// included; links and special files are skipped. Skips ".", "..",
// pagefile.sys and, at a root, RECYCLER.
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
        if (info.isSymLink())
            continue;
        if (info.isDir()) {
            subFolders.append(name);
            if (wantFolders)
                list.append(path + name);
        } else if (!wantFolders && info.isFile()) {
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
    CacheUrlListing listing(cache);
    while (!listing.step(std::numeric_limits<int>::max())) {
    }
    if (ok)
        *ok = listing.ok();
    return listing.rows();
}

CacheUrlListing::CacheUrlListing(const UrlCache &cache) : m_cache(cache), m_scan(cache)
{
    if (done())
        finish();
}

bool CacheUrlListing::step(int files)
{
    if (done())
        return true;
    if (m_scan.next(files))
        finish();
    return done();
}

void CacheUrlListing::finish()
{
    m_rows.clear();
    m_rows.reserve(m_scan.entries().size());
    for (const UrlCache::Entry &entry : m_scan.entries())
        m_rows.append(CacheRow{entry.url, UrlFileType(entry.url), QString(), QString()});
    m_cache.remember(m_scan.entries());
}

void FillLocalFiles(QList<CacheRow> &rows, const UrlCache &cache, qsizetype from, qsizetype count)
{
    const qsizetype end = from + qMin(count, rows.size() - from);
    for (qsizetype i = from; i < end; ++i) {
        CacheRow &row = rows[i];
        const QString local = cache.CacheEntryLocalFile(row.caption);
        if (local.isEmpty())
            continue;
        row.filePath = local;
        row.size = QString::number(cache.bodySize(row.caption));
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
    if (!parent.cdUp() || parent.isRoot())
        return layout;
    // A folder where anyone may make entries (a home under /tmp) could be
    // given fake "users" by anyone; a home that is a link is not held by it.
    if (QFileInfo(home).isSymLink() || (QFile::permissions(parent.path()) & QFileDevice::WriteOther))
        return layout;
    layout.usersRoot = parent.path();
    ensureSeparator(layout.usersRoot);
    layout.subPaths.append(cache.mid(home.size()));
    return layout;
}

bool UserCaches::owns(const QString &path) const
{
    const QString clean = QDir::cleanPath(path);
    return !root.isEmpty() && std::any_of(users.cbegin(), users.cend(), [&](const User &user) {
        return clean.startsWith(QDir::cleanPath(user.folder) + QLatin1Char('/'));
    });
}

UserCaches ListUserCaches(const UserCacheLayout &layout)
{
    UserCaches caches;
    if (layout.usersRoot.isEmpty())
        return caches;
    caches.root = layout.usersRoot;
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
            if (!IsRealFolderInside(root, folder))
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

bool ForceDelete(const QString &root, const QString &path)
{
    return !path.isEmpty() && RemoveFileInside(root, path);
}

void RemoveEmptyFolders(const UserCaches &owned)
{
    for (auto it = owned.cacheFolders.crbegin(); it != owned.cacheFolders.crend(); ++it) {
        if (!it->isEmpty() && owned.owns(*it))
            RemoveEmptyFolderInside(owned.root, *it);
    }
}

DeletionCount DeleteRows(const QList<CacheRow> &rows, const UrlCache &cache, const UserCaches &owned)
{
    DeletionCount count;
    auto tally = [&count](bool deleted) { ++(deleted ? count.deleted : count.failed); };
    for (const CacheRow &row : rows) {
        if (IsAllUsersRow(row)) {
            if (row.type.toLower() != QStringLiteral("txt") && !row.filePath.isEmpty())
                tally(owned.owns(row.filePath) && ForceDelete(owned.root, row.filePath));
        } else if (!row.caption.isEmpty() && !row.caption.contains(QStringLiteral("Cookie"), Qt::CaseInsensitive)) {
            // A failing cache delete still lets the written-out body go.
            bool deleted = cache.DeleteUrlCacheEntry(row.caption) != UrlCache::Removal::Failed;
            if (!row.filePath.isEmpty())
                deleted = ForceDelete(cache.exportFolder(), row.filePath) && deleted;
            tally(deleted);
        }
    }
    return count;
}

DeletionCount ClearCaches(const UrlCache &cache, const UserCacheLayout &layout)
{
    QList<CacheRow> mine = GetCacheURLList(cache);
    FillLocalFiles(mine, cache);
    DeletionCount count = DeleteRows(mine, cache, UserCaches{});
    count.failed += cache.removeWrittenOut();

    const UserCaches all = ListUserCaches(layout);
    QList<CacheRow> theirs;
    for (const UserCaches::User &user : all.users)
        ListUserCacheFiles(user.folder, user.name, theirs);
    count += DeleteRows(theirs, cache, all);
    RemoveEmptyFolders(all);
    return count;
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
