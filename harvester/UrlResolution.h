#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

// The absolute address a link's target names, resolved against the page's
// base address the way the browser resolves an <a href>: blanks around the
// value and tabs and line breaks inside it are dropped, a backslash counts as
// a slash in web addresses, dot segments are removed, the host is written in
// lower case (international names in their ASCII form), a default port is
// left out, and characters outside an address's own are percent-encoded:
// those of the query in the page's encoding, all others as UTF-8. Escapes
// already written stay as they are, also invalid ones.
//
// base is an absolute address as the browser writes it; encoding is the
// page's encoding name ("UTF-8", "GBK", ...). Gives nothing when the value
// names no address the browser would accept.
std::optional<QString> ResolveUrl(QStringView value, QStringView base, QByteArrayView encoding);
