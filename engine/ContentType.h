#pragma once

#include <QString>

// The file type a response's content type stands for: a type word ("pdf",
// "html", "tif", ...), an empty text (application/octet-stream: the content
// type says nothing), or the content type unchanged when it is not one the
// program knows (so it still holds a "/" and leaves the item's type alone).
// A text without exactly one "/" is returned unchanged: the bare word pdf
// gives pdf.
QString ContentTypeToFileType(const QString &contentType);

// Scheme and host of an address: "http://host/a/b.pdf" gives "http://host",
// an address without a "/" after its "://" is returned whole. Without "://",
// the text before the first "/" when that "/" comes after the third
// character, else the whole address. Sent as the referring page of an item
// that has none.
QString HostOfUrl(const QString &url);
