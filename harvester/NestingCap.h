#pragma once

#include <QByteArray>

// The depth of open elements at which the browser stops nesting: an element
// it builds while more elements than this are open is attached beside the
// current element, to the current element's parent, instead of inside it.
inline constexpr int kMaxNestingDepth = 512;

// Rewrites a page (UTF-8 markup) so that the parser never holds more than
// about kMaxNestingDepth open elements, in one pass over the bytes. A page
// that never comes that deep is given back as written, except that its
// </body> end tags are left out: after some misnested foreign content the
// parser fails an internal check on one and ends the program, and all the
// tag does in the browser is to send later comments to the root element,
// which nothing read from the page depends on.
//
// The pass follows the parser's stack of open elements with a small model:
// tags, comments, raw text (script, style, textarea, title, ...), void
// elements, the end tags the parser closes implicitly (a new cell closes the
// open one, a block closes an open paragraph, ...), the table rows and
// bodies the parser adds, and foreign content. Beyond the depth:
// - an element that carries content (a DIV, an anchor, a span, a script,
//   ...) is kept but closed before the next element starts, so that, as in
//   the browser, the elements that follow sit beside it in the element at
//   the limit and its own text stays inside it;
// - an element whose structure the parser would rebuild (table parts, list
//   items, forms, selects, buttons, foreign roots) is left out, start and
//   end tag, and what it held goes to the element at the limit;
// - void elements and text are kept.
// A table open at the limit still gets its row and cell, so that what
// follows lands in a cell rather than being moved out of the table.
//
// Not followed: the formatting elements (<b>, <font>, ...) the parser opens
// again at each text after a block closed them. A page of thousands of
// distinct ones, closed and reopened in turn, still nests the parser's tree
// beyond the limit and costs it more than linear time, as it costs the
// browser, which builds them all the same.
QByteArray CapNestingDepth(const QByteArray &html);
