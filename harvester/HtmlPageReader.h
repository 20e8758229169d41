#pragma once

#include "harvester/PageModel.h"

#include <QByteArray>
#include <QUrl>

// Reads a saved result page into the page model, as the browser would show
// it: the texts are the rendered texts (runs of blanks in running text become
// one blank, a line break or a block boundary becomes a line break, script
// and style text is left out, trimmed), anchor targets are resolved against
// the page's address (or its <base>), a tick box is ticked when its markup
// says so, and a table mentions the free icon when the markup between its
// start and end tags holds "access_free.gif" in any letter case.
//
// The page's encoding is taken from a byte-order mark or its <meta> charset,
// UTF-8 when it names none. Bytes that are no HTML at all give a model with
// the address and no tables.
PageModel ReadHtmlPage(const QByteArray &html, const QUrl &documentUrl);
