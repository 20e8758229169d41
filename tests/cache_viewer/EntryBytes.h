#pragma once

#include <QByteArray>
#include <QtEndian>

// The bytes of one cache entry file as the browser writes it: header with the
// key, body, the body's end record, response headers, the key's hash, and the
// headers' end record.
inline QByteArray CacheEntryBytes(const QByteArray &key, const QByteArray &body,
                                  const QByteArray &headers = QByteArray("HTTP/1.1 200 OK\0", 16))
{
    auto u32 = [](quint32 v) {
        QByteArray b(4, '\0');
        qToLittleEndian(v, b.data());
        return b;
    };
    auto u64 = [](quint64 v) {
        QByteArray b(8, '\0');
        qToLittleEndian(v, b.data());
        return b;
    };
    auto end = [&](quint32 flags, quint32 size) {
        return u64(0xf4fa6f45970d41d8ULL) + u32(flags) + u32(0) + u32(size) + u32(0);
    };
    QByteArray bytes = u64(0xfcfb6d1ba7725c30ULL) + u32(5) + u32(key.size()) + u32(0) + u32(0);
    bytes += key + body + end(1, body.size()) + headers + QByteArray(32, 'h') + end(3, headers.size());
    return bytes;
}
