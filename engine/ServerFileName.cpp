#include "engine/ServerFileName.h"

#include "engine/Naming.h"

#include <QStringDecoder>
#include <QUrl>

namespace {

// The parameters of the header, in order: name (lower case) and raw value,
// quotes and backslash escapes of a quoted value undone.
QList<QPair<QByteArray, QByteArray>> parameters(const QByteArray &header)
{
    QList<QPair<QByteArray, QByteArray>> found;
    qsizetype at = header.indexOf(';');
    while (at >= 0 && at < header.size()) {
        ++at; // past ';'
        while (at < header.size() && (header[at] == ' ' || header[at] == '\t'))
            ++at;
        const qsizetype equals = header.indexOf('=', at);
        if (equals < 0)
            break;
        const QByteArray name = header.mid(at, equals - at).trimmed().toLower();
        qsizetype next = equals + 1;
        while (next < header.size() && (header[next] == ' ' || header[next] == '\t'))
            ++next;
        QByteArray value;
        if (next < header.size() && header[next] == '"') {
            ++next;
            while (next < header.size() && header[next] != '"') {
                if (header[next] == '\\' && next + 1 < header.size())
                    ++next;
                value += header[next++];
            }
            at = header.indexOf(';', next);
        } else {
            const qsizetype end = header.indexOf(';', next);
            value = header.mid(next, end < 0 ? -1 : end - next).trimmed();
            at = end;
        }
        found.append({name, value});
    }
    return found;
}

// "UTF-8''%e6%96%87.pdf": the charset, an optional language, the encoded text.
QString decodeExtended(const QByteArray &value)
{
    const qsizetype first = value.indexOf('\'');
    const qsizetype second = first < 0 ? -1 : value.indexOf('\'', first + 1);
    if (second < 0)
        return QString();
    const QByteArray charset = value.left(first).trimmed().toLower();
    const QByteArray bytes = QByteArray::fromPercentEncoding(value.mid(second + 1));
    if (charset == "utf-8") {
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString text = decoder.decode(bytes);
        return decoder.hasError() ? QString() : text;
    }
    if (charset == "iso-8859-1")
        return QString::fromLatin1(bytes);
    return QString();
}

QString lastSegment(const QString &name)
{
    QString text = name;
    text.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return text.section(QLatin1Char('/'), -1);
}

} // namespace

QString ContentDispositionFileName(const QByteArray &header)
{
    QString plain;
    QString extended;
    for (const auto &[name, value] : parameters(header)) {
        if (name == "filename*" && extended.isEmpty())
            extended = decodeExtended(value);
        else if (name == "filename" && plain.isEmpty())
            plain = QString::fromUtf8(value);
    }
    return lastSegment(!extended.isEmpty() ? extended : plain).trimmed();
}

ServerName SplitServerFileName(const QString &fileName)
{
    ServerName split;
    const QString cleaned = SanitizeFileName(fileName);
    const qsizetype dot = cleaned.lastIndexOf(QLatin1Char('.'));
    if (dot > 0 && IsPlainFileType(cleaned.mid(dot + 1))) {
        split.name = SanitizeFileName(cleaned.left(dot));
        split.type = cleaned.mid(dot + 1);
    } else {
        split.name = cleaned;
    }
    return split;
}
