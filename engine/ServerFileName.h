#pragma once

#include <QByteArray>
#include <QString>

// The file name a reply gives in its "Content-Disposition" header:
// "filename*" (charset'language'percent-encoded, UTF-8 or ISO-8859-1) before
// "filename" (a quoted text or a plain token). Only the last path segment
// counts, so that a name can never lead out of the folder. Empty when the
// header names no file.
QString ContentDispositionFileName(const QByteArray &header);

// A name from the server split into the base name and the type, both cleaned
// as file names are: "paper.PDF" gives {"paper", "PDF"}; a name without a
// plain extension keeps it all as base name and an empty type.
struct ServerName
{
    QString name;
    QString type;
    bool isEmpty() const { return name.isEmpty(); }
};
ServerName SplitServerFileName(const QString &fileName);
