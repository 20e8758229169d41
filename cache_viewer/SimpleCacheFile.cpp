#include "cache_viewer/SimpleCacheFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QtEndian>

namespace {

constexpr quint64 kInitialMagic = 0xfcfb6d1ba7725c30ULL;
constexpr quint64 kFinalMagic = 0xf4fa6f45970d41d8ULL;
constexpr qint64 kHeaderSize = 24; // magic, version, key length, key hash, padding
constexpr qint64 kEndSize = 24;    // magic, flags, checksum, stream size, padding
constexpr quint32 kFlagKeyHash = 2;
constexpr qint64 kKeyHashSize = 32;
constexpr qint64 kMaxKeyLength = 64 * 1024;

struct EndRecord
{
    quint32 flags = 0;
    qint64 streamSize = 0;
};

// The end record in `bytes` (kEndSize long); nothing when its magic is wrong.
std::optional<EndRecord> parseEnd(const char *bytes)
{
    if (qFromLittleEndian<quint64>(bytes) != kFinalMagic)
        return std::nullopt;
    const qint32 size = qFromLittleEndian<qint32>(bytes + 16);
    if (size < 0)
        return std::nullopt;
    return EndRecord{qFromLittleEndian<quint32>(bytes + 8), size};
}

// Reads from a file or from memory, refusing anything outside the data.
class Source
{
public:
    virtual ~Source() = default;
    virtual qint64 size() const = 0;
    virtual QByteArray read(qint64 offset, qint64 length) = 0;
};

class FileSource final : public Source
{
public:
    explicit FileSource(QFile &file) : m_file(file) {}
    qint64 size() const override { return m_file.size(); }
    QByteArray read(qint64 offset, qint64 length) override
    {
        if (offset < 0 || length < 0 || offset + length > size() || !m_file.seek(offset))
            return QByteArray();
        QByteArray bytes = m_file.read(length);
        return bytes.size() == length ? bytes : QByteArray();
    }

private:
    QFile &m_file;
};

class MemorySource final : public Source
{
public:
    explicit MemorySource(const QByteArray &bytes) : m_bytes(bytes) {}
    qint64 size() const override { return m_bytes.size(); }
    QByteArray read(qint64 offset, qint64 length) override
    {
        if (offset < 0 || length < 0 || offset + length > size())
            return QByteArray();
        return m_bytes.mid(offset, length);
    }

private:
    const QByteArray &m_bytes;
};

std::optional<CacheEntryFile> parse(Source &source)
{
    const qint64 fileSize = source.size();
    if (fileSize < kHeaderSize + 2 * kEndSize)
        return std::nullopt;
    const QByteArray header = source.read(0, kHeaderSize);
    if (header.size() != kHeaderSize || qFromLittleEndian<quint64>(header.constData()) != kInitialMagic)
        return std::nullopt;
    const qint64 keyLength = qFromLittleEndian<quint32>(header.constData() + 12);
    if (keyLength == 0 || keyLength > kMaxKeyLength || kHeaderSize + keyLength + 2 * kEndSize > fileSize)
        return std::nullopt;

    // The headers' end record closes the file; the body's end record lies
    // before the headers (and the key's hash, when the flags say so).
    const QByteArray lastBytes = source.read(fileSize - kEndSize, kEndSize);
    if (lastBytes.size() != kEndSize)
        return std::nullopt;
    const std::optional<EndRecord> headersEnd = parseEnd(lastBytes.constData());
    if (!headersEnd)
        return std::nullopt;
    const qint64 hashSize = (headersEnd->flags & kFlagKeyHash) ? kKeyHashSize : 0;
    const qint64 bodyEndAt = fileSize - kEndSize - hashSize - headersEnd->streamSize - kEndSize;
    const qint64 bodyOffset = kHeaderSize + keyLength;
    if (bodyEndAt < bodyOffset)
        return std::nullopt;
    const QByteArray bodyEndBytes = source.read(bodyEndAt, kEndSize);
    if (bodyEndBytes.size() != kEndSize)
        return std::nullopt;
    const std::optional<EndRecord> bodyEnd = parseEnd(bodyEndBytes.constData());
    if (!bodyEnd || bodyOffset + bodyEnd->streamSize != bodyEndAt)
        return std::nullopt;

    CacheEntryFile entry;
    entry.url = UrlOfCacheKey(source.read(kHeaderSize, keyLength));
    if (entry.url.isEmpty())
        return std::nullopt;
    entry.bodyOffset = bodyOffset;
    entry.bodySize = bodyEnd->streamSize;
    return entry;
}

} // namespace

QString UrlOfCacheKey(const QByteArray &key)
{
    const QByteArray last = key.mid(key.lastIndexOf(' ') + 1);
    static const QRegularExpression marks(QStringLiteral("^([0-9]+/)+"));
    QString url = QString::fromUtf8(last);
    url.remove(marks);
    return url;
}

std::optional<CacheEntryFile> ReadCacheEntryFile(const QString &path)
{
    QFile file(path);
    // Only a few small records are read, far apart: unbuffered, so that each
    // read takes just its bytes.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return std::nullopt;
    FileSource source(file);
    return parse(source);
}

std::optional<CacheEntryFile> ParseCacheEntry(const QByteArray &bytes)
{
    MemorySource source(bytes);
    return parse(source);
}
