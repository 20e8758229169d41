#include "cache_viewer/UrlCache.h"

#include "cache_viewer/SimpleCacheFile.h"
#include "common/FileNames.h"
#include "platform/ProgramFolder.h"
#include "platform/ReadAhead.h"
#include "platform/SafeFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <limits>

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
    // The body goes to a new side file that then takes the name, so a link
    // at either name is replaced rather than written through.
    NewFile out;
    if (!out.create(target + QStringLiteral(".part")))
        return false;
    QByteArray buffer(256 * 1024, Qt::Uninitialized);
    qint64 left = entry.bodySize;
    while (left > 0) {
        const qint64 read = in.read(buffer.data(), qMin<qint64>(left, buffer.size()));
        if (read <= 0 || out.file().write(buffer.constData(), read) != read)
            return false;
        left -= read;
    }
    return out.putInPlace(target);
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
    QStringList folders;
    for (const QString &folder : {m_cacheFolder, m_cacheFolder + QStringLiteral("/Cache"),
                                  m_cacheFolder + QStringLiteral("/Cache/Cache_Data")}) {
        if (IsRealFolderInside(m_cacheFolder, folder))
            folders.append(folder);
    }
    return folders;
}

UrlCache::Scan::Scan(const UrlCache &cache) : m_folders(cache.entryFolders())
{
    m_done = m_folders.isEmpty();
}

UrlCache::Scan::~Scan() = default;

// A folder's names are gathered first, then its entry files are read in the
// order of their names. The system is told a little ahead which bytes will
// be read (each file's first and last page), so that on a cache not yet in
// memory the reads from the disk overlap.
bool UrlCache::Scan::next(int files)
{
    constexpr qsizetype kLookahead = 64;
    constexpr qint64 kPage = 4096;
    while (!m_done && files > 0) {
        if (m_names) {
            while (files > 0 && m_names->hasNext()) {
                --files;
                const QString path = m_names->next();
                if (entryFileName().match(m_names->fileName()).hasMatch())
                    m_files.append(path);
            }
            if (!m_names->hasNext()) {
                m_names.reset();
                m_files.sort();
            }
        } else if (m_read < m_files.size()) {
            for (; m_announced < qMin(m_read + kLookahead, m_files.size()); ++m_announced)
                ExpectReads(m_files.at(m_announced), kPage, kPage);
            --files;
            const QString &path = m_files.at(m_read++);
            if (const auto entry = ReadCacheEntryFile(path))
                m_entries.append(Entry{entry->url, path, entry->bodySize});
        } else if (m_folder < m_folders.size()) {
            const QString folder = m_folders.at(m_folder++);
            m_files.clear();
            m_read = m_announced = 0;
            if (QDir(folder).isReadable())
                m_names = std::make_unique<QDirIterator>(folder, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
            else
                m_ok = false;
        } else {
            m_done = true;
        }
    }
    return m_done;
}

void UrlCache::remember(const QList<Entry> &entries) const
{
    m_index.clear();
    for (const Entry &entry : entries)
        m_index[entry.url].append(entry);
    m_listed = true;
}

QList<UrlCache::Entry> UrlCache::entries(bool *ok) const
{
    Scan scan(*this);
    while (!scan.next(std::numeric_limits<int>::max())) {
    }
    if (ok)
        *ok = scan.ok();
    remember(scan.entries());
    return scan.entries();
}

QList<UrlCache::Entry> UrlCache::entriesOf(const QString &url) const
{
    if (!m_listed)
        entries();
    return m_index.value(url);
}

QString UrlCache::exportFolderOf(const Entry &entry) const
{
    const QString hash = entryHash(entry.entryFile);
    if (m_exportFolder.isEmpty() || hash.isEmpty())
        return QString();
    return m_exportFolder + QLatin1Char('/') + hash;
}

QString UrlCache::CacheEntryLocalFile(const QString &url) const
{
    if (url.isEmpty())
        return QString();
    const QList<Entry> found = entriesOf(url);
    if (found.isEmpty())
        return QString();
    const QString folder = exportFolderOf(found.first());
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + bodyFileName(url);
}

qint64 UrlCache::bodySize(const QString &url) const
{
    const QList<Entry> found = entriesOf(url);
    return found.isEmpty() ? -1 : found.first().bodySize;
}

QString UrlCache::writeOutBody(const QString &url) const
{
    const QString target = CacheEntryLocalFile(url);
    if (target.isEmpty())
        return QString();
    const QString entryFile = entriesOf(url).first().entryFile;
    const auto file = ReadCacheEntryFile(entryFile);
    if (!file || file->url != url)
        return QString();
    const QFileInfo existing(target);
    if (!existing.isSymLink() && existing.isFile() && existing.size() == file->bodySize)
        return target;
    if (!QDir().mkpath(m_exportFolder) || !MakeFolderInside(m_exportFolder, QFileInfo(target).path())
        || !writeBody(entryFile, *file, target))
        return QString();
    return target;
}

UrlCache::Removal UrlCache::DeleteUrlCacheEntry(const QString &url) const
{
    const QList<Entry> found = entriesOf(url);
    if (found.isEmpty())
        return Removal::NoEntry;
    bool removed = true;
    for (const Entry &entry : found) {
        const QString hash = entryHash(entry.entryFile);
        const QDir folder = QFileInfo(entry.entryFile).dir();
        for (const char *suffix : {"_0", "_1", "_s"})
            removed = RemoveFileInside(m_cacheFolder, folder.filePath(hash + QLatin1String(suffix))) && removed;
        const QString written = exportFolderOf(entry);
        if (!written.isEmpty())
            removed = RemoveTreeInside(m_exportFolder, written) && removed;
    }
    m_index.remove(url);
    return removed ? Removal::Removed : Removal::Failed;
}

int UrlCache::removeWrittenOut() const
{
    if (m_exportFolder.isEmpty())
        return 0;
    static const QRegularExpression hashName(QStringLiteral("^[0-9a-f]{16}$"));
    int failed = 0;
    const QDir dir(m_exportFolder);
    for (const QString &name : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (hashName.match(name).hasMatch() && !RemoveTreeInside(m_exportFolder, dir.filePath(name)))
            ++failed;
    }
    return failed;
}

QString CacheExportFolder()
{
    return ProgramFolder() + QStringLiteral("/缓存文件");
}
