#pragma once

#include <QByteArray>

// Pages shaped to cost a careless reader more than their size: the same
// bytes for the same arguments.

// `depth` tables, each inside a cell of the one before, with `links` links
// spread evenly over the levels: every link lies inside every table that
// encloses its level.
inline QByteArray NestedTablesPage(int depth, int links)
{
    QByteArray page = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>";
    const int perLevel = depth > 0 ? links / depth : 0;
    for (int level = 0; level < depth; ++level) {
        page += "<table class=\"articleentry\"><tr><td>";
        for (int n = 0; n < perLevel; ++n)
            page += "<a href=\"/l/" + QByteArray::number(level) + "\">x</a>";
    }
    for (int level = 0; level < depth; ++level)
        page += "</td></tr></table>";
    return page + "</body></html>";
}

// `depth` nested DIVs of the title's class around one table row of `cells`
// cells: every DIV's rendered text is the whole row.
inline QByteArray NestedDivsPage(int depth, int cells)
{
    QByteArray page = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>"
                      "<table class=\"articleentry\"><tr><td><input type=\"checkbox\">";
    page += QByteArray("<div class=\"art_title\">").repeated(depth);
    page += "<table><tr>";
    for (int n = 0; n < cells; ++n)
        page += "<td>c</td>";
    page += "</tr></table>";
    page += QByteArray("</div>").repeated(depth);
    return page + "</td></tr></table></body></html>";
}
