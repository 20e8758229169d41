#pragma once

#include <QString>

// 打开文件判断文件类型: recognises what a stored file really is from its first bytes: a document
// (PDF, CAJ, KDH, ...), an archive, a picture, a sound, a web page (a login or
// error page the server sent instead of a document) or a site index file.
// Returns the type word in lower case ("pdf", "htm", ...) or an empty text
// when the type is not recognised. An absent, unreadable or non-regular file
// (a folder) gives an empty text.
QString detectFileType(const QString &filePath);

// The extension and the base name of the file name in a path, both trimmed.
// A name without ".", or whose text after the last "." has 7 characters or
// more, has no extension and is its own base.
struct FileNameParts
{
    QString extension;
    QString base;
};
FileNameParts SplitFileName(const QString &path);
