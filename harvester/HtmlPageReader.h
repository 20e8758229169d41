#pragma once

#include "harvester/PageModel.h"

#include <QByteArray>
#include <QUrl>

// Reads a saved result page into the page model, as the browser would show
// it: the texts are the rendered texts (runs of blanks in running text become
// one blank, a line break or a block boundary becomes a line break, script
// and style text is left out, trimmed), anchor targets are resolved against
// the page's address (or its <base>) as the browser resolves them, a query
// written in the page's encoding, a tick box is ticked when its markup
// says so (of several checked radio buttons of one group only the last), and
// a table mentions the free icon when its markup as the parsed document holds
// it (what the parser moved out of the table or dropped does not count)
// holds "access_free.gif" in any letter case.
//
// The page's encoding is taken from a byte-order mark, else from the first
// <meta> of its first 1024 bytes that names one (comments skipped), by the
// encoding standard's labels (gb2312 and GBK read as GB18030, Latin-1 as
// windows-1252); UTF-8 when it names none. Bytes that are no HTML at all
// give a model with the address and no tables.
//
// What it does not follow as the browser does:
// - styles: text hidden or laid out by CSS (display, visibility,
//   white-space, text-transform, generated content) reads as unstyled;
// - a target the browser cannot resolve is given back as written, where
//   the browser sometimes gives what it made of it ("http:///" as "http:",
//   a host holding "<" with it escaped);
// - a radio button's group is its name and its form attribute or enclosing
//   <form>, not the form the parser associates with it;
// - beyond the browser's depth limit (see below) only what extraction
//   reads lands where the browser puts it: DIVs, anchors, inputs and their
//   text stay inside the same tables, while table parts, list items,
//   selects and the like nested deeper are left out (the browser keeps
//   them as empty elements), so the rendered text there differs.
//
// Nesting is capped as in the browser: once kMaxNestingDepth (512) elements
// are open, the browser attaches each further element beside the current one
// instead of inside it, so no document is deeper than that. The parser here
// checks scope over its whole stack of open elements at many tags, so a page
// nested tens of thousands deep would cost it time proportional to its size
// times its depth; the page's markup is first rewritten to the browser's
// limit (CapNestingDepth), which keeps the cost linear in the page's size.
// Pages that never come that deep are read as written (but for </body>,
// see CapNestingDepth, which changes nothing read from them).
PageModel ReadHtmlPage(const QByteArray &html, const QUrl &documentUrl);
