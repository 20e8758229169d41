#include "platform/CodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>

QByteArray EncodeToCodePage(const QString &text)
{
    QStringEncoder encoder(QStringConverter::System);
    return encoder.encode(text);
}

QString DecodeFromCodePage(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringConverter::System);
    return decoder.decode(bytes);
}

qsizetype CodePageByteLength(const QString &text)
{
    return EncodeToCodePage(text).size();
}

QString LeftCodePageBytes(const QString &text, qsizetype maxBytes)
{
    if (maxBytes <= 0)
        return QString();
    if (CodePageByteLength(text) <= maxBytes)
        return text;

    QStringEncoder encoder(QStringConverter::System);
    qsizetype used = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        // A surrogate pair is one character and is kept or dropped whole.
        const qsizetype width =
            (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
        const qsizetype bytes = QByteArray(encoder.encode(QStringView(text).mid(i, width))).size();
        if (used + bytes > maxBytes)
            break;
        used += bytes;
        i += width;
    }
    return text.left(i);
}
