#pragma once

#include <QString>
#include <QStringList>

class FixtureSite;

// A route of the site that serves a PDF of the given size under a paper's
// name, as a publisher's site does.
void AddPaperRoute(FixtureSite &site, const QByteArray &path, qint64 size);

// Fills a browser cache folder the way the program's browser does: a
// persistent WebEngine profile whose disk cache lies in `storageFolder`, and a
// page that loads each address in turn (a page fetches the others, so that a
// PDF is read into the cache rather than shown). Returns the profile's cache
// folder once every address is listed in it, or an empty text when the pages
// did not load, or their entries were not written, in time.
QString MakeBrowserCache(const QString &storageFolder, const QStringList &addresses);
