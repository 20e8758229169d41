#pragma once

#include <QByteArray>
#include <QString>

// A result page of `entries` article entries in the site's markup, about
// 2 KB an entry: tick box, title with nested tags, authors, an abstract, the
// row of links (abstract, full text, PDF, PDF Plus, references), the free
// icon on every third entry. The same bytes for the same count.
inline QByteArray GeneratedResultPage(int entries)
{
    QByteArray page = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Search results</title>\n"
                      "<style>.art_title{font-weight:bold}</style>\n<script>var pageSize = 2000;</script>\n"
                      "</head><body>\n<div id=\"header\"><a href=\"/\">Home</a> <a href=\"/search\">Search</a></div>\n"
                      "<form name=\"frmSearchResults\">\n";
    page.reserve(qsizetype(entries) * 2100 + 4096);
    const QByteArray abstract =
        "The flow over a slender wing at high angle of attack is dominated by the leading-edge vortices, whose "
        "breakdown limits the usable lift. Wind-tunnel measurements of surface pressure and of the velocity field "
        "are compared with computations of the unsteady Reynolds-averaged equations; the onset of breakdown, its "
        "movement with incidence and the resulting loads are reproduced within the scatter of the experiments. "
        "A simple model of the vortex core explains the trend with sweep angle and gives design guidance for "
        "the planform of highly swept wings. Results for yaw and for deflected flaps are included as well.";
    for (int n = 0; n < entries; ++n) {
        const QByteArray doi = "10.2514/6.2016-" + QByteArray::number(10000 + n);
        page += "<table class=\"articleentry\" border=\"0\" width=\"100%\">\n<tr>\n<td class=\"select\">"
                "<input type=\"checkbox\" name=\"doi\" value=\""
                + doi + "\"" + (n % 4 == 0 ? " checked" : "")
                + "></td>\n"
                  "<td class=\"entry\">\n<div class=\"art_title\"><a href=\"/doi/abs/"
                + doi
                + "\">"
                  "<span class=\"hlFld-Title\">Vortex Breakdown over <i>Slender</i> Wings, Part "
                + QByteArray::number(n + 1)
                + "</span></a></div>\n"
                  "<div class=\"art_authors\"><a class=\"entryAuthor\" href=\"/author/Smith\">J. Smith</a>, "
                  "<a class=\"entryAuthor\" href=\"/author/Jones\">A. Jones</a> and "
                  "<a class=\"entryAuthor\" href=\"/author/Chen\">L. Chen</a></div>\n"
                  "<div class=\"art_meta\"><span class=\"journal\">AIAA Journal</span>, Vol. 54, No. "
                + QByteArray::number(n % 12 + 1) + " (2016), pp. " + QByteArray::number(100 + n) + "&ndash;"
                + QByteArray::number(112 + n)
                + "</div>\n"
                  "<div class=\"art_abstract\">"
                + abstract
                + "</div>\n"
                  "<div class=\"art_keywords\">Keywords: <a href=\"/keyword/Vortex\">Vortex Breakdown</a>, "
                  "<a href=\"/keyword/Delta\">Delta Wings</a>, <a href=\"/keyword/Lift\">Vortex Lift</a>, "
                  "<a href=\"/keyword/RANS\">Unsteady RANS</a></div>\n"
                + (n % 3 == 0 ? "<img src=\"/templates/jsp/images/access_free.gif\" alt=\"Free\">\n" : "")
                + "<div class=\"art_links\">"
                  "<a class=\"ref nowrap\" href=\"/doi/abs/"
                + doi
                + "\">Abstract</a> | "
                  "<a class=\"ref nowrap pdf\" href=\"/doi/full/"
                + doi
                + "\">Full text</a> | "
                  "<a class=\"ref nowrap pdf\" href=\"/doi/pdf/"
                + doi
                + "?role=reader&amp;download=true\">"
                  "<img src=\"/images/pdf.gif\" alt=\"\"> PDF</a> | "
                  "<a class=\"ref nowrap pdfplus\" href=\"/doi/pdfplus/"
                + doi
                + "\">PDF Plus</a> | "
                  "<a class=\"ref nowrap\" href=\"/doi/ref/"
                + doi
                + "\">References</a></div>\n"
                  "</td>\n</tr>\n</table>\n";
    }
    page += "</form>\n<p class=\"paging\"><a href=\"/search?page=2\">next</a></p>\n</body></html>\n";
    return page;
}
