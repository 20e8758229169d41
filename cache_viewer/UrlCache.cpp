#include "cache_viewer/UrlCache.h"

#include "cache_viewer/SimpleCacheFile.h"
#include "common/FileNames.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUrl>

namespace {

const QRegularExpression &entryFileName()
{
    static const QRegularExpression pattern(QStringLiteral("^([0-9a-f]{16})_0$"));
    return pattern;
}

QString entryHash(const QString &entryFile)
{
    return entryFileName().match(QFileInfo(entryFile).fileName()).captured(1);
}

// The name a body is written out under: the address's last path segment,
// cleaned, or a name made from the address when that is empty.
QString bodyFileName(const QString &url)
{
    const QUrl address(url);
    QString name = SanitizeFileName(address.fileName(QUrl::FullyDecoded));
    if (name.isEmpty())
        name = FallbackFileName(url);
    if (name.isEmpty())
        name = QStringLiteral("index");
    return name;
}

bool writeBody(const QString &entryFile, const CacheEntryFile &entry, const QString &target)
{
    QFile in(entryFile);
    if (!in.open(QIODevice::ReadOnly) || !in.seek(entry.bodyOffset))
        return false;
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    QByteArray buffer(256 * 1024, Qt::Uninitialized);
    qint64 left = entry.bodySize;
    while (left > 0) {
        const qint64 read = in.read(buffer.data(), qMin<qint64>(left, buffer.size()));
        if (read <= 0 || out.write(buffer.constData(), read) != read) {
            out.cancelWriting();
            return false;
        }
        left -= read;
    }
    return out.commit();
}

} // namespace

UrlCache::UrlCache(const QString &cacheFolder, const QString &exportFolder)
    : m_cacheFolder(cacheFolder), m_exportFolder(exportFolder)
{}

QStringList UrlCache::entryFolders() const
{
    // No folder given (a profile kept in memory) is no cache, never the root.
    if (m_cacheFolder.isEmpty())
        return {};
    return {m_cacheFolder, m_cacheFolder + QStringLiteral("/Cache"),
            m_cacheFolder + QStringLiteral("/Cache/Cache_Data")};
}

QList<UrlCache::Entry> UrlCache::entries(bool *ok) const
{
    QList<Entry> found;
    bool readable = true;
    for (const QString &folder : entryFolders()) {
        const QDir dir(folder);
        if (!dir.exists())
            continue;
        if (!dir.isReadable()) {
            readable = false;
            continue;
        }
        for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
            if (!entryFileName().match(name).hasMatch())
                continue;
            const QString path = dir.filePath(name);
            if (const auto entry = ReadCacheEntryFile(path))
                found.append(Entry{entry->url, path});
        }
    }
    m_index.clear();
    for (const Entry &entry : std::as_const(found))
        m_index[entry.url].append(entry.entryFile);
    if (ok)
        *ok = readable;
    return found;
}

QStringList UrlCache::entryFilesOf(const QString &url) const
{
    if (!m_index.contains(url))
        entries();
    return m_index.value(url);
}

QString UrlCache::CacheEntryLocalFile(const QString &url) const
{
    if (url.isEmpty() || m_exportFolder.isEmpty())
        return QString();
    const QStringList files = entryFilesOf(url);
    if (files.isEmpty())
        return QString();
    const QString entryFile = files.first();
    const auto file = ReadCacheEntryFile(entryFile);
    if (!file || file->url != url)
        return QString();
    const QString folder = m_exportFolder + QLatin1Char('/') + entryHash(entryFile);
    const QString target = folder + QLatin1Char('/') + bodyFileName(url);
    const QFileInfo existing(target);
    if (existing.isFile() && existing.size() == file->bodySize)
        return target;
    if (!QDir().mkpath(folder) || !writeBody(entryFile, *file, target))
        return QString();
    return target;
}

bool UrlCache::DeleteUrlCacheEntry(const QString &url) const
{
    const QStringList files = entryFilesOf(url);
    for (const QString &entryFile : files) {
        const QString hash = entryHash(entryFile);
        const QDir folder = QFileInfo(entryFile).dir();
        for (const char *suffix : {"_0", "_1", "_s"})
            QFile::remove(folder.filePath(hash + QLatin1String(suffix)));
        if (!hash.isEmpty() && !m_exportFolder.isEmpty())
            QDir(m_exportFolder + QLatin1Char('/') + hash).removeRecursively();
    }
    m_index.remove(url);
    return !files.isEmpty();
}

QString CacheExportFolder()
{
    return ProgramFolder() + QStringLiteral("/缓存文件");
}
