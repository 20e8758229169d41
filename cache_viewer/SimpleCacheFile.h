#pragma once

#include <QString>
#include <optional>

// One entry file ("<hash>_0") of the browser's disk cache: a header with a
// magic number and the key, the body, an end record for the body, the
// response headers, optionally the key's hash, and an end record for the
// headers. Only what the cache viewer needs is read from it.
struct CacheEntryFile
{
    QString url;           // the key's last part: the address of the entry
    qint64 bodyOffset = 0; // where the body begins in the file
    qint64 bodySize = 0;
};

// The entry of the file at the path; nothing when the file is not a complete
// entry file (wrong magic numbers, lengths that do not add up, too short).
// Never reads past the end of the file, whatever it holds.
std::optional<CacheEntryFile> ReadCacheEntryFile(const QString &path);

// The same for the file's bytes in memory (the fuzz target reads this way).
std::optional<CacheEntryFile> ParseCacheEntry(const QByteArray &bytes);

// The address a cache key stands for: its text after the last blank, without
// the leading "N/N/" marks of the key's kind.
QString UrlOfCacheKey(const QByteArray &key);
