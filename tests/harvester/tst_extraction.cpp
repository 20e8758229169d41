// Reading saved result pages and extracting their entries into the harvest
// list.
#include "harvester/HarvestList.h"
#include "harvester/HarvesterTexts.h"
#include "harvester/HtmlPageReader.h"
#include "harvester/PageExtraction.h"

#include <QFile>
#include <QStringEncoder>
#include <QtTest>

namespace {

const QUrl kPageUrl(QStringLiteral("http://site.example/action/doSearch?AllField=wing&pageSize=20"));

QByteArray storedPage(int page)
{
    QFile file(QStringLiteral(PAPERDRIFT_PAGES_DIR "/results-%1.html").arg(page));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QUrl storedPageUrl(int page)
{
    return QUrl(QStringLiteral("http://site.example/results?page=%1").arg(page));
}

QByteArray document(const QString &body)
{
    return QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>t</title></head>"
                          "<body>%1</body></html>")
        .arg(body)
        .toUtf8();
}

// An entry table in the site's markup; the parts are given as markup.
QString entry(const QString &tableClass, const QString &inside)
{
    return QStringLiteral("<table class=\"%1\"><tr><td>%2</td></tr></table>").arg(tableClass, inside);
}

const QString kBox = QStringLiteral("<input type=\"checkbox\" name=\"doi\">");
const QString kTickedBox = QStringLiteral("<input type=\"checkbox\" name=\"doi\" checked>");
const QString kTitle = QStringLiteral("<div class=\"art_title\">Wing Loads</div>");
const QString kPdf = QStringLiteral("<a class=\"ref nowrap pdf\" href=\"/doi/pdf/10.2514/1\">PDF</a>");
const QString kFreeIcon = QStringLiteral("<img src=\"/images/access_free.gif\">");

// The list's rows as "title | link".
QStringList rows(const HarvestList &list)
{
    QStringList lines;
    for (int row = 0; row < list.count(); ++row)
        lines << list.at(row).Title + QStringLiteral(" | ") + list.at(row).Link;
    return lines;
}

// The text of the markup's first DIV, read as an entry's title block.
QString textOfFirstDiv(QString markup)
{
    markup.replace(markup.indexOf(QLatin1String("<div")), 4, QStringLiteral("<div class=\"art_title\""));
    const PageModel page =
        ReadHtmlPage(document(QStringLiteral("<table><tr><td>%1</td></tr></table>").arg(markup)), kPageUrl);
    return page.tables.value(0).divs.value(0).text;
}

} // namespace

class TestExtraction : public QObject
{
    Q_OBJECT

private slots:
    void renderedText_data();
    void renderedText();
    void targets_data();
    void targets();
    void unreadablePages_data();
    void unreadablePages();
    void pageEncoding();
    void gbkEuroSign();
    void entryRules_data();
    void entryRules();
    void valuesOfAnEntry();
    void storedPages_data();
    void storedPages();
    void nestedEntries_data();
    void nestedEntries();
    void deepEntries_data();
    void deepEntries();
};

// clang-format off
void TestExtraction::renderedText_data()
{
    QTest::addColumn<QString>("markup");
    QTest::addColumn<QString>("text");

    QTest::newRow("blanks collapse across inline tags")
        << "<div> Thermal <i>Protection</i>\n\t of <b> Re-entry</b>   Vehicles </div>"
        << "Thermal Protection of Re-entry Vehicles";
    QTest::newRow("br gives a line break, blanks around it go")
        << "<div>Boundary Layer Transition <br>\n   in Hypersonic Flow</div>"
        << "Boundary Layer Transition\nin Hypersonic Flow";
    QTest::newRow("block boundaries give one line break")
        << "<div>head<div> inner </div>tail</div>" << "head\ninner\ntail";
    QTest::newRow("paragraphs give a blank line") << "<div>a<p>b</p><p>c</p>d</div>" << "a\n\nb\n\nc\n\nd";
    QTest::newRow("script and style text left out")
        << "<div>a <script>var x = '<b>';</script>b<style>p{}</style> c</div>" << "a b c";
    QTest::newRow("preformatted text kept") << "<div><pre>  x  y\n z</pre></div>" << "x  y\n z";
    QTest::newRow("table cells and rows") << "<div><table><tr><td>a</td><td>b</td></tr><tr><td>c</td></tr></table></div>"
                                          << "a\tb\nc";
    QTest::newRow("entities decoded") << "<div>R&amp;D&nbsp;costs</div>" << QStringLiteral("R&D\u00a0costs");
    QTest::newRow("only blanks") << "<div> \n <span> </span></div>" << "";
}
// clang-format on

void TestExtraction::renderedText()
{
    QFETCH(QString, markup);
    QFETCH(QString, text);
    QCOMPARE(textOfFirstDiv(markup), text);
}

// `href` is the attribute's value as the browser sees it; it goes into the
// markup escaped.
// clang-format off
void TestExtraction::targets_data()
{
    QTest::addColumn<QString>("head");
    QTest::addColumn<QString>("href");
    QTest::addColumn<QString>("target");

    QTest::newRow("path from the root") << "" << "/doi/pdf/10.2514/6.2016-1234"
                                        << "http://site.example/doi/pdf/10.2514/6.2016-1234";
    QTest::newRow("relative to the page's folder") << "" << "pdf/1?x=2" << "http://site.example/action/pdf/1?x=2";
    QTest::newRow("query only") << "" << "?page=2" << "http://site.example/action/doSearch?page=2";
    QTest::newRow("escaped ampersand in the attribute") << "" << "/p?a=1&amp;b=2"
                                                        << "http://site.example/p?a=1&amp;b=2";
    QTest::newRow("blanks around, line break inside") << "" << "  /a\n/b  " << "http://site.example/a/b";
    QTest::newRow("default port and empty path") << "" << "HTTP://Other.Example:80" << "http://other.example/";
    QTest::newRow("blank inside") << "" << "/x y.pdf" << "http://site.example/x%20y.pdf";
    QTest::newRow("base element") << "<base href=\"http://cdn.example/files/\">" << "a.pdf"
                                  << "http://cdn.example/files/a.pdf";
    QTest::newRow("script target") << "" << "javascript:void(0)" << "javascript:void(0)";
}
// clang-format on

void TestExtraction::targets()
{
    QFETCH(QString, head);
    QFETCH(QString, href);
    QFETCH(QString, target);

    const QByteArray html = QStringLiteral("<html><head>%1</head><body><a href=\"%2\">x</a></body></html>")
                                .arg(head, href.toHtmlEscaped())
                                .toUtf8();
    const PageModel page = ReadHtmlPage(html, kPageUrl);
    QCOMPARE(page.anchors.size(), 1);
    QCOMPARE(page.anchors[0].href, target);
}

// Bytes that are no result page give the address and no entries.
// clang-format off
void TestExtraction::unreadablePages_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("tables");

    QTest::newRow("empty page") << QByteArray() << 0;
    QTest::newRow("a PDF") << QByteArray("%PDF-1.4\n1 0 obj <<>> endobj\n\xff\xfe\x00\x01", 32) << 0;
    QTest::newRow("plain text") << QByteArray("no markup at all") << 0;
    QTest::newRow("markup nested deeper than any stack")
        << QByteArray("<table class=\"articleentry\"><tr><td>") + QByteArray("<span>").repeated(200000) << 1;
    // The parser failed an internal check on this one and ended the program.
    QTest::newRow("end of body after misnested foreign content")
        << QByteArray("<math><tbody><mi><select><input><th><tbody><foreignObject><select><tbody></body>") << 0;
}
// clang-format on

void TestExtraction::unreadablePages()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, tables);

    const PageModel page = ReadHtmlPage(bytes, kPageUrl);
    QCOMPARE(page.url, kPageUrl.toString());
    QCOMPARE(page.tables.size(), tables);
    HarvestList list;
    QCOMPARE(ExtractPageEntries(page, QString(), false, false, list), 0);
}

// A page in the site's own encoding is read in that encoding.
void TestExtraction::pageEncoding()
{
    const QString body =
        QStringLiteral("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">"
                       "</head><body>")
        + entry("articleentry", kBox + "<div class=\"art_title\">气动载荷</div>" + kPdf)
        + QStringLiteral("</body></html>");
    QStringEncoder gbk("GBK");
    QVERIFY(gbk.isValid());
    const QByteArray bytes = gbk.encode(body);

    HarvestList list;
    ExtractPageEntries(ReadHtmlPage(bytes, kPageUrl), QString(), false, false, list);
    QCOMPARE(rows(list), QStringList{QStringLiteral("气动载荷 | http://site.example/doi/pdf/10.2514/1")});
}

// In a GBK page a single byte 0x80 is the euro sign, as the browser reads it;
// the same byte as the second byte of a character stays part of it.
void TestExtraction::gbkEuroSign()
{
    QStringEncoder gbk("GBK");
    QVERIFY(gbk.isValid());
    const QByteArray pairEndingIn80("\x81\x80");
    const QString pairText = QStringDecoder("GB18030").decode(pairEndingIn80);
    QVERIFY(!pairText.contains(QChar(0x20AC)) && !pairText.contains(QChar(0xFFFD)));

    const auto titleRow = [&](const QByteArray &titleBytes) {
        const QString page = QStringLiteral("<html><head><meta charset=\"gbk\"></head><body>")
                             + entry("articleentry", kBox + "<div class=\"art_title\">@</div>" + kPdf)
                             + QStringLiteral("</body></html>");
        const qsizetype at = page.indexOf(QLatin1Char('@'));
        const QByteArray bytes = gbk.encode(page.left(at)) + titleBytes + gbk.encode(page.mid(at + 1));
        HarvestList list;
        ExtractPageEntries(ReadHtmlPage(bytes, kPageUrl), QString(), false, false, list);
        return rows(list);
    };
    const QString link = QStringLiteral(" | http://site.example/doi/pdf/10.2514/1");
    QCOMPARE(titleRow(gbk.encode(QStringLiteral("气动")) + '\x80' + gbk.encode(QStringLiteral("载荷"))),
             QStringList{QStringLiteral("气动€载荷") + link});
    QCOMPARE(titleRow("A" + pairEndingIn80
                      + "\x80"
                        "B"),
             QStringList{"A" + pairText + QStringLiteral("€B") + link});
}

// clang-format off
void TestExtraction::entryRules_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("tickedOnly");
    QTest::addColumn<bool>("freeOnly");
    QTest::addColumn<QStringList>("rows");

    const QString link = QStringLiteral("http://site.example/doi/pdf/10.2514/1");
    const QStringList taken{QStringLiteral("Wing Loads | ") + link};

    // The entry table.
    QTest::newRow("plain entry") << entry("articleentry", kBox + kTitle + kPdf) << false << false << taken;
    QTest::newRow("class in other letter case") << entry("ArticleEntry", kBox + kTitle + kPdf) << false << false
                                                << taken;
    QTest::newRow("class with a second class") << entry("articleentry odd", kBox + kTitle + kPdf) << false << false
                                               << QStringList();
    QTest::newRow("class with blanks around") << entry(" articleentry ", kBox + kTitle + kPdf) << false << false
                                              << QStringList();
    QTest::newRow("no class") << QStringLiteral("<table><tr><td>%1</td></tr></table>").arg(kBox + kTitle + kPdf)
                              << false << false << QStringList();
    QTest::newRow("no input") << entry("articleentry", kTitle + kPdf) << false << false << QStringList();
    QTest::newRow("input of another type counts") << entry("articleentry", "<input type=\"hidden\">" + kTitle + kPdf)
                                                  << false << false << taken;

    // The title.
    QTest::newRow("no title block") << entry("articleentry", kBox + "<div class=\"art_meta\">Wing Loads</div>" + kPdf)
                                    << false << false << QStringList();
    QTest::newRow("title class trimmed, any case")
        << entry("articleentry", kBox + "<div class=\" Art_Title \">Wing Loads</div>" + kPdf) << false << false
        << taken;
    QTest::newRow("first title block decides, even when blank")
        << entry("articleentry", kBox + "<div class=\"art_title\"> </div><div class=\"art_title\">Later</div>" + kPdf)
        << false << false << QStringList();
    QTest::newRow("title block inside a title block")
        << entry("articleentry", kBox + "<div class=\"art_title\">Wing <div class=\"art_title\">Loads</div></div>" + kPdf)
        << false << false << QStringList{QStringLiteral("Wing\nLoads | ") + link};
    QTest::newRow("title from nested tags, broken by br")
        << entry("articleentry", kBox + "<div class=\"art_title\"><a href=\"/abs\"><span>Wing</span><br> <i>Loads</i></a></div>" + kPdf)
        << false << false << QStringList{QStringLiteral("Wing\nLoads | ") + link};

    // The link.
    QTest::newRow("no pdf anchor") << entry("articleentry", kBox + kTitle + "<a class=\"ref nowrap\" href=\"/x\">PDF</a>")
                                   << false << false << QStringList();
    QTest::newRow("PDF Plus qualifies")
        << entry("articleentry", kBox + kTitle + "<a class=\"ref nowrap pdf\" href=\"/doi/pdf/10.2514/1\">PDF Plus</a>")
        << false << false << taken;
    QTest::newRow("Full text skipped, the next anchor taken")
        << entry("articleentry", kBox + kTitle + "<a class=\"ref nowrap pdf\" href=\"/full\">Full text</a>"
                 "<a class=\"ref nowrap pdf\" href=\"/doi/pdf/10.2514/1\"> pdf </a>")
        << false << false << taken;
    QTest::newRow("only Full text") << entry("articleentry", kBox + kTitle + "<a class=\"ref nowrap pdf\" href=\"/full\">Full text</a>")
                                    << false << false << QStringList();
    QTest::newRow("anchor class trimmed, any case")
        << entry("articleentry", kBox + kTitle + "<a class=\" REF NOWRAP PDF\" href=\"/doi/pdf/10.2514/1\">PDF</a>")
        << false << false << taken;
    QTest::newRow("escaped ampersands in the target, any case")
        << entry("articleentry", kBox + kTitle + "<a class=\"ref nowrap pdf\" href=\"/p?a=1&amp;amp;b=2&amp;AMP;c=3\">PDF</a>")
        << false << false << QStringList{QStringLiteral("Wing Loads | http://site.example/p?a=1&b=2&c=3")};
    QTest::newRow("ampersand written as an entity")
        << entry("articleentry", kBox + kTitle + "<a class=\"ref nowrap pdf\" href=\"/p?a=1&amp;b=2\">PDF</a>")
        << false << false << QStringList{QStringLiteral("Wing Loads | http://site.example/p?a=1&b=2")};
    QTest::newRow("pdf anchor without target")
        << entry("articleentry", kBox + kTitle + "<a class=\"ref nowrap pdf\">PDF</a>") << false << false
        << QStringList();

    // The filters.
    QTest::newRow("ticked only: unticked box") << entry("articleentry", kBox + kTitle + kPdf) << true << false
                                               << QStringList();
    QTest::newRow("ticked only: ticked box") << entry("articleentry", kTickedBox + kTitle + kPdf) << true << false
                                             << taken;
    QTest::newRow("ticked only: the first input decides")
        << entry("articleentry", kBox + kTickedBox + kTitle + kPdf) << true << false << QStringList();
    QTest::newRow("free only: no icon") << entry("articleentry", kBox + kTitle + kPdf) << false << true
                                        << QStringList();
    QTest::newRow("free only: icon") << entry("articleentry", kBox + kTitle + kPdf + kFreeIcon) << false << true
                                     << taken;
    QTest::newRow("free only: icon name in other letter case")
        << entry("articleentry", kBox + kTitle + kPdf + "<img src=\"/images/Access_Free.GIF\">") << false << true
        << taken;
    QTest::newRow("free only: icon outside the table")
        << entry("articleentry", kBox + kTitle + kPdf) + kFreeIcon << false << true << QStringList();
    QTest::newRow("both filters") << entry("articleentry", kTickedBox + kTitle + kPdf + kFreeIcon) << true << true
                                  << taken;
}
// clang-format on

void TestExtraction::entryRules()
{
    QFETCH(QString, body);
    QFETCH(bool, tickedOnly);
    QFETCH(bool, freeOnly);
    QFETCH(QStringList, rows);

    HarvestList list;
    const PageModel page = ReadHtmlPage(document(body), QUrl(QStringLiteral("http://site.example/results")));
    QCOMPARE(ExtractPageEntries(page, QString(), tickedOnly, freeOnly, list), rows.size());
    QCOMPARE(::rows(list), rows);
}

// Every field of an extracted row.
void TestExtraction::valuesOfAnEntry()
{
    HarvestList list;
    const PageModel page = ReadHtmlPage(document(entry("articleentry", kBox + kTitle + kPdf)), kPageUrl);
    QCOMPARE(ExtractPageEntries(page, QStringLiteral("/home/user/papers/"), false, false, list), 1);

    const HarvestEntry &row = list.at(0);
    QCOMPARE(row.Title, QStringLiteral("Wing Loads"));
    QCOMPARE(row.Link, QStringLiteral("http://site.example/doi/pdf/10.2514/1"));
    QCOMPARE(row.PageUrl, kPageUrl.toString());
    QCOMPARE(row.FileType, HarvesterText::kFileTypePdf);
    QCOMPARE(row.SavePath, QStringLiteral("/home/user/papers/"));
    QCOMPARE(row.LinkKind, HarvesterText::kLinkKindJs);
    QCOMPARE(row.Status, QString());
}

// Entries nested in one another, each inside a cell of the one before: each
// table takes its own first title and PDF link, which come before the tables
// inside it, and a table that holds no title of its own takes the first one
// inside it. As in the browser, nesting stops at 512 open elements (four a
// level here: table, body, row, cell): the 128th table still gets its cell,
// and everything nested deeper lands in that cell, so the 128th table's entry
// is the last one.
// clang-format off
void TestExtraction::nestedEntries_data()
{
    QTest::addColumn<int>("depth");
    QTest::addColumn<int>("entries");

    QTest::newRow("within the depth limit") << 120 << 119;
    QTest::newRow("beyond the depth limit") << 200 << 128;
    QTest::newRow("3,000 levels") << 3000 << 128;
}
// clang-format on

void TestExtraction::nestedEntries()
{
    QFETCH(int, depth);
    QFETCH(int, entries);

    QString page;
    QStringList expected;
    for (int level = 0; level < depth; ++level) {
        const bool ownTitle = level % 2 == 0;
        page += QStringLiteral("<table class=\"articleentry\"><tr><td>") + kBox;
        if (ownTitle)
            page += QStringLiteral("<div class=\"art_title\">t%1</div>").arg(level);
        page += QStringLiteral("<a class=\"ref nowrap pdf\" href=\"/p/%1\">Full text</a>"
                               "<a class=\"ref nowrap pdf\" href=\"/p/%1\">PDF</a>")
                    .arg(level);
        if (level < entries)
            expected << QStringLiteral("t%1 | http://site.example/p/%2").arg(ownTitle ? level : level + 1).arg(level);
    }
    page += QStringLiteral("</td></tr></table>").repeated(depth);

    HarvestList list;
    ExtractPageEntries(ReadHtmlPage(document(page), kPageUrl), QString(), false, false, list);
    QCOMPARE(rows(list), expected);
}

// What lies beyond the depth limit is still read, as the browser attaches it
// to the element at the limit: the entry innermost in deep nesting is found
// in the tables around it.
// clang-format off
void TestExtraction::deepEntries_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("rows");

    const QString wingLoads = QStringLiteral("Wing Loads | http://site.example/doi/pdf/10.2514/1");
    const QString table = QStringLiteral("<table class=\"articleentry\"><tr><td>");
    const QString tableEnd = QStringLiteral("</td></tr></table>");
    QTest::newRow("innermost of 3,000 tables")
        << table.repeated(3000) + kBox + kTitle + kPdf + tableEnd.repeated(3000) << QStringList{wingLoads};
    QTest::newRow("title in 3,000 title blocks")
        << table + kBox + QStringLiteral("<div class=\"art_title\">").repeated(3000) + QStringLiteral("Wing Loads")
               + QStringLiteral("</div>").repeated(3000) + kPdf + tableEnd
        << QStringList{wingLoads};
    // Without end tags: every cell closes the one before it, so the page is
    // only three tables deep and is read as written.
    // The table keeps the title block in scope: its end tags close nothing
    // until the table is closed, though the table lies beyond the limit.
    QTest::newRow("title block closed after a table beyond the limit")
        << table + kBox + QStringLiteral("<div class=\"art_title\">") + QStringLiteral("<div>").repeated(600)
               + QStringLiteral("<table><tr><td>") + QStringLiteral("</div>").repeated(700) + QStringLiteral("Wing Loads")
               + tableEnd + QStringLiteral("</div>").repeated(601) + kPdf + tableEnd
        << QStringList{wingLoads};
    QTest::newRow("3,000 DIVs and anchors left open")
        << table + kBox + QStringLiteral("<div><a href=\"/x\">x").repeated(3000) + kTitle + kPdf
        << QStringList{wingLoads};
}
// clang-format on

void TestExtraction::deepEntries()
{
    QFETCH(QString, body);
    QFETCH(QStringList, rows);

    HarvestList list;
    ExtractPageEntries(ReadHtmlPage(document(body), kPageUrl), QString(), false, false, list);
    QCOMPARE(::rows(list), rows);
}

// The fixture site's three result pages read in turn, as adding all pages
// does, then read again.
// clang-format off
void TestExtraction::storedPages_data()
{
    QTest::addColumn<bool>("tickedOnly");
    QTest::addColumn<bool>("freeOnly");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QList<int>>("pageOfRow");

    const QString site = QStringLiteral("http://site.example");
    const QString loads = "Aerodynamic Loads on Slender Wings | " + site + "/doi/pdf/10.2514/6.2016-1234";
    const QString transition = "Boundary Layer Transition\nin Hypersonic Flow | " + site
                               + "/doi/pdfplus/10.2514/1.J055000?download=true&role=reader";
    const QString flutter = "Wing Flutter Suppression | " + site + "/doi/pdf/10.2514/1.C034000";
    const QString thermal = "Thermal Protection of Re-entry Vehicles | " + site + "/doi/pdf/10.2514/1.A33000?a=1&b=2";
    const QString combustion = "Combustion Instability in Rocket Engines | " + site + "/doi/pdf/10.2514/1.B36000";
    const QString guidance = "Guidance of Small Satellites | " + site + "/doi/pdf/10.2514/1.G0003";
    const QString kinetic = "Kinetic Heating of Nose Cones | " + site + "/doi/pdf/10.2514/1.K0006";

    QTest::newRow("all entries") << false << false
                                 << QStringList{loads, transition, flutter, thermal, combustion, guidance, kinetic}
                                 << QList<int>{1, 1, 1, 1, 2, 2, 3};
    // Page 1 shows the first article unticked, page 2 shows it ticked
    // under another title: that reading is the one that counts.
    const QString loadsAgain = "Aerodynamic Loads on Slender Wings (repeated) | " + site
                               + "/doi/pdf/10.2514/6.2016-1234";
    QTest::newRow("ticked only") << true << false << QStringList{transition, thermal, loadsAgain, guidance}
                                 << QList<int>{1, 1, 2, 2};
    QTest::newRow("free only") << false << true << QStringList{loads, flutter, guidance, kinetic}
                               << QList<int>{1, 1, 2, 3};
    QTest::newRow("ticked and free") << true << true << QStringList{guidance} << QList<int>{2};
}
// clang-format on

void TestExtraction::storedPages()
{
    QFETCH(bool, tickedOnly);
    QFETCH(bool, freeOnly);
    QFETCH(QStringList, rows);
    QFETCH(QList<int>, pageOfRow);

    HarvestList list;
    for (int reading = 1; reading <= 2; ++reading) {
        for (int page = 1; page <= 3; ++page) {
            const QByteArray html = storedPage(page);
            QVERIFY(!html.isEmpty());
            const int counter =
                ExtractPageEntries(ReadHtmlPage(html, storedPageUrl(page)), QString(), tickedOnly, freeOnly, list);
            QCOMPARE(counter, list.count());
        }
        QCOMPARE(::rows(list), rows);
    }
    QList<int> pages;
    for (int row = 0; row < list.count(); ++row)
        pages << (storedPageUrl(1).toString() == list.at(row).PageUrl   ? 1
                  : storedPageUrl(2).toString() == list.at(row).PageUrl ? 2
                                                                        : 3);
    QCOMPARE(pages, pageOfRow);
}

QTEST_GUILESS_MAIN(TestExtraction)
#include "tst_extraction.moc"
