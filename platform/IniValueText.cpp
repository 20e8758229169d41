#include "platform/IniValueText.h"

#include <QList>

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The number of the hex digits at text[from, from + count), or -1.
int hexNumber(QByteArrayView text, qsizetype from, qsizetype count)
{
    if (from + count > text.size())
        return -1;
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const int digit = hexValue(text[i]);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

// A key or section name as QSettings means it: %XX and %UXXXX give their
// characters, "\" separates levels like "/", other bytes are UTF-8.
QString unescapedKey(QByteArrayView raw)
{
    QString key;
    QByteArray pending; // UTF-8 bytes not yet decoded
    const auto flush = [&] {
        key += QString::fromUtf8(pending);
        pending.clear();
    };
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '%' && i + 1 < raw.size() && raw[i + 1] == 'U' && hexNumber(raw, i + 2, 4) >= 0) {
            flush();
            key += QChar(char16_t(hexNumber(raw, i + 2, 4)));
            i += 5;
        } else if (c == '%' && hexNumber(raw, i + 1, 2) >= 0) {
            flush();
            key += QChar(char16_t(hexNumber(raw, i + 1, 2)));
            i += 2;
        } else if (c == '\\') {
            pending += '/';
        } else {
            pending += c;
        }
    }
    flush();
    return key;
}

// A value as one text: double quotes removed, backslash escapes resolved
// (\n, \r, \t and the like; an escaped character stands for itself), commas
// kept.
QString unescapedValue(QByteArrayView raw)
{
    QByteArray bytes;
    bytes.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '"')
            continue;
        if (c != '\\' || i + 1 >= raw.size()) {
            bytes += c;
            continue;
        }
        const char escaped = raw[++i];
        switch (escaped) {
        case 'n': bytes += '\n'; break;
        case 'r': bytes += '\r'; break;
        case 't': bytes += '\t'; break;
        case 'a': bytes += '\a'; break;
        case 'b': bytes += '\b'; break;
        case 'f': bytes += '\f'; break;
        case 'v': bytes += '\v'; break;
        default: bytes += escaped; break;
        }
    }
    return QString::fromUtf8(bytes);
}

} // namespace

std::optional<QString> ReadIniValueText(const QByteArray &fileBytes, const QString &group, const QString &key)
{
    std::optional<QString> found;
    QString section;
    for (const QByteArray &rawLine : fileBytes.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.front() == '[') {
            const qsizetype end = line.indexOf(']');
            section = unescapedKey(line.mid(1, (end < 0 ? line.size() : end) - 1).trimmed());
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals < 0 || section != group)
            continue;
        if (unescapedKey(line.left(equals).trimmed()) == key)
            found = unescapedValue(line.mid(equals + 1).trimmed());
    }
    return found;
}
