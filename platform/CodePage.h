#pragma once

#include <QByteArray>
#include <QString>

// The user's multibyte code page: the encoding of text files the program
// writes (folder history, exports) and the unit of byte-limited names. It is
// the system's own encoding: UTF-8 here, GBK on a Chinese Windows system.
QByteArray EncodeToCodePage(const QString &text);
QString DecodeFromCodePage(const QByteArray &bytes);

// Length of the text in code-page bytes.
qsizetype CodePageByteLength(const QString &text);

// The longest start of the text whose encoding is at most maxBytes, cut at a
// character boundary: a character that does not fit whole is dropped.
QString LeftCodePageBytes(const QString &text, qsizetype maxBytes);
