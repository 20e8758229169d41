// The live reader in a real browser page, against the saved-page reader:
// both must give the same page model for the same markup.
#include "harvester/HtmlPageReader.h"
#include "harvester/LivePageReader.h"
#include "tests/support/FixtureSite.h"

#include <QGuiApplication>
#include <QPointer>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QWebEnginePage>
#include <QtTest>

#include <optional>

namespace {

// The model as lines, so that a difference shows as the first differing line.
QStringList describe(const PageModel &page)
{
    const auto anchor = [](const PageAnchor &a) {
        return QStringLiteral("a class=[%1] text=[%2] href=[%3]").arg(a.className, a.text, a.href);
    };
    QStringList lines{QStringLiteral("url %1").arg(page.url)};
    for (const PageTable &table : page.tables) {
        lines << QStringLiteral("table class=[%1] input=%2 ticked=%3 free=%4")
                     .arg(table.className)
                     .arg(table.hasInput)
                     .arg(table.inputTicked)
                     .arg(table.mentionsFreeIcon);
        for (const PageDiv &div : table.divs)
            lines << QStringLiteral("  div class=[%1] text=[%2]").arg(div.className, div.text);
        for (const PageAnchor &a : table.anchors)
            lines << QStringLiteral("  ") + anchor(a);
    }
    for (const PageAnchor &a : page.anchors)
        lines << anchor(a);
    return lines;
}

QString inTable(const QString &markup)
{
    return QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>"
                          "<table class=\"probe\"><tr><td>%1</td></tr></table></body></html>")
        .arg(markup);
}

} // namespace

class TestLiveReader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fixturePages_data();
    void fixturePages();
    void markup_data();
    void markup();
    void links_data();
    void links();
    void tickStateIsLive();
    void documentWithoutMarkup();
    void answerDroppedWhenCallerOrPageGoes();

private:
    bool load(const QUrl &url);
    bool setHtml(const QString &html, const QUrl &baseUrl);
    bool setContent(const QByteArray &html, const QByteArray &charset, const QUrl &baseUrl);
    std::optional<PageModel> readLive();

    FixtureSite m_site;
    QWebEnginePage m_page;
};

void TestLiveReader::initTestCase()
{
    QVERIFY(m_site.start());
}

bool TestLiveReader::load(const QUrl &url)
{
    QSignalSpy finished(&m_page, &QWebEnginePage::loadFinished);
    m_page.load(url);
    return finished.wait(20000) && finished.last().value(0).toBool();
}

bool TestLiveReader::setHtml(const QString &html, const QUrl &baseUrl)
{
    QSignalSpy finished(&m_page, &QWebEnginePage::loadFinished);
    m_page.setHtml(html, baseUrl);
    return finished.wait(20000) && finished.last().value(0).toBool();
}

bool TestLiveReader::setContent(const QByteArray &html, const QByteArray &charset, const QUrl &baseUrl)
{
    QSignalSpy finished(&m_page, &QWebEnginePage::loadFinished);
    m_page.setContent(html, QStringLiteral("text/html;charset=") + QString::fromLatin1(charset), baseUrl);
    return finished.wait(20000) && finished.last().value(0).toBool();
}

std::optional<PageModel> TestLiveReader::readLive()
{
    std::optional<PageModel> model;
    int answers = 0;
    LivePageReader::read(&m_page, nullptr, [&](const PageModel &page) {
        model = page;
        ++answers;
    });
    if (model)
        return std::nullopt; // the answer must not come before read() returns
    if (!QTest::qWaitFor([&] { return answers > 0; }, 20000))
        return std::nullopt;
    return model;
}

// clang-format off
void TestLiveReader::fixturePages_data()
{
    QTest::addColumn<int>("page");
    for (int page = 1; page <= FixtureSite::kResultPageCount; ++page)
        QTest::addRow("result page %d", page) << page;
}
// clang-format on

void TestLiveReader::fixturePages()
{
    QFETCH(int, page);
    const QUrl url = m_site.url(QStringLiteral("/results?page=%1").arg(page));
    QVERIFY(load(url));

    const std::optional<PageModel> live = readLive();
    QVERIFY(live);
    const PageModel saved = ReadHtmlPage(FixtureSite::resultPage(page), url);
    QVERIFY(!saved.tables.isEmpty());
    QCOMPARE(describe(*live), describe(saved));
}

// clang-format off
void TestLiveReader::markup_data()
{
    QTest::addColumn<QString>("html");

    // Rendered text: blanks, line breaks, blocks, hidden and atomic content.
    QTest::newRow("runs of blanks across inline tags")
        << inTable("<div class=\"t\">  Thermal <i>Protection</i>\n\t of <b> Re-entry</b>   Vehicles </div>");
    QTest::newRow("br inside a title")
        << inTable("<div class=\"art_title\">Boundary Layer Transition<br>\n  in Hypersonic Flow</div>");
    QTest::newRow("br at the end and doubled")
        << inTable("<div>one<br><br>two<br></div><div>three <br> four</div>");
    QTest::newRow("nested blocks and paragraphs")
        << inTable("<div>head<div>inner</div>tail<p>para</p><p>next</p>end</div>");
    QTest::newRow("lists and headings") << inTable("<div><h3>Title</h3><ul><li>one</li><li> two </li></ul></div>");
    QTest::newRow("script, style and noscript left out")
        << inTable("<div>a<script>var x = 1;</script> b<style>.c{}</style> c<noscript>no</noscript></div>");
    QTest::newRow("image between words") << inTable("<div>left <img src=\"/none.gif\" alt=\"alt\"> right</div>");
    QTest::newRow("form controls") << inTable("<div>tick <input type=\"checkbox\"> here <button>Go</button></div>");
    QTest::newRow("preformatted text") << inTable("<div>before<pre>  two  blanks\n  kept</pre>after</div>");
    QTest::newRow("table inside a div")
        << inTable("<div><table><tr><td>a</td><td> b </td></tr><tr><td>c</td><td>d</td></tr></table></div>");
    QTest::newRow("non-breaking space and entities")
        << inTable("<div>a&nbsp;&nbsp;b &amp; c &lt;d&gt;</div>");
    QTest::newRow("comments, word breaks, superscripts, CR LF")
        << inTable("<div>C<sub>2</sub>H<!-- x -->\r\n<sup>+</sup> long<wbr>word\r\n end</div>");
    QTest::newRow("line break between Chinese characters") << inTable("<div>气动\n载荷</div>");

    // Anchors and their targets.
    QTest::newRow("relative, absolute and escaped targets")
        << inTable("<a href=\"/doi/pdf/1\">PDF</a><a href=\"pdf/2?a=1&amp;b=2\">PDF</a>"
                   "<a href=\"?q=1&amp;amp;r=2\">q</a><a href=\"#top\">top</a>"
                   "<a href=\"http://Example.COM:80\">ex</a><a href=\"https://example.com:443/x y\">ey</a>");
    QTest::newRow("targets with blanks and odd schemes")
        << inTable("<a href=\"  /padded \">p</a><a href=\"/a\n/b\">nl</a><a href=\"javascript:void(0)\">js</a>"
                   "<a href=\"mailto:a@example.com\">m</a><a>none</a><a href=\"\">empty</a>"
                   "<a href=\" \">blank</a>");
    QTest::newRow("base element")
        << QStringLiteral("<html><head><base href=\"/base/dir/\"></head><body>"
                          "<a href=\"file.pdf\">f</a><a href=\"../up.pdf\">u</a></body></html>");
    QTest::newRow("base element late in the body")
        << QStringLiteral("<html><body><a href=\"early.pdf\">e</a><base href=\"/late/\"><base href=\"/second/\">"
                          "<a href=\"later.pdf\">l</a></body></html>");
    QTest::newRow("anchor text with nested tags and blocks")
        << inTable("<a class=\" ref nowrap pdf \" href=\"/p\"><img src=\"/i.gif\"> <span>PDF</span> <b>Plus</b></a>"
                   "<a href=\"/d\"><div>block</div>text</a>");
    QTest::newRow("svg anchor is no link") << inTable("<svg><a href=\"/svg\"><text>s</text></a></svg><a href=\"/h\">h</a>");

    // Tables, tick boxes and the free icon.
    QTest::newRow("first input decides, also a hidden one")
        << inTable("<input type=\"hidden\" name=\"h\"><input type=\"checkbox\" checked>");
    QTest::newRow("checked first input") << inTable("<input type=\"checkbox\" checked><input type=\"checkbox\">");
    QTest::newRow("nested tables share their contents")
        << QStringLiteral("<table class=\"articleentry\"><tr><td><div class=\"art_title\">outer</div>"
                          "<table class=\"inner\"><tr><td><input type=\"checkbox\" checked>"
                          "<div>inner</div><a href=\"/in\">in</a><img src=\"/ACCESS_free.gif\"></td></tr></table>"
                          "<a href=\"/out\">out</a></td></tr></table>");
    QTest::newRow("free icon in an attribute, in text, or outside the table")
        << QStringLiteral("<table class=\"a\"><tr><td><img src=\"access_free.gif\"></td></tr></table>"
                          "<table class=\"b\"><tr><td>see access_free.GIF</td></tr></table>"
                          "<table class=\"c\"><tr><td>x</td></tr></table><img src=\"access_free.gif\">");
    QTest::newRow("class attributes as written")
        << QStringLiteral("<table class=\" ArticleEntry \"><tr><td><div class=\"Art_Title  x\">t</div></td></tr></table>"
                          "<table><tr><td>no class</td></tr></table>");
    QTest::newRow("table without end tag") << QStringLiteral("<table class=\"open\"><tr><td><img src=\"access_free.gif\">");
}
// clang-format on

void TestLiveReader::markup()
{
    QFETCH(QString, html);
    const QUrl url = m_site.url(QStringLiteral("/search/results.html?q=wing"));
    QVERIFY(setHtml(html, url));

    const std::optional<PageModel> live = readLive();
    QVERIFY(live);
    QCOMPARE(describe(*live), describe(ReadHtmlPage(html.toUtf8(), url)));
}

// clang-format off
void TestLiveReader::links_data()
{
    QTest::addColumn<QByteArray>("charset");
    QTest::addColumn<QString>("anchors");

    const QByteArray utf8 = "utf-8";
    QTest::newRow("backslashes as slashes") << utf8 << "<a href=\"\\doi\\pdf\\1\">b</a><a href=\"pdf\\2\">r</a>";
    QTest::newRow("backslashes name a host")
        << utf8 << "<a href=\"\\\\Host.Example\\x\">h</a><a href=\"https:\\\\host.example\\y\">s</a>"
                   "<a href=\"http:\\\\host.example:80\\z\">p</a>";
    QTest::newRow("same scheme without slashes")
        << utf8 << "<a href=\"http:/x/y\">a</a><a href=\"http:z\">b</a><a href=\"https:host.example/w\">c</a>";
    QTest::newRow("controls, tabs and line breaks")
        << utf8 << "<a href=\"&#1; &#x1f;/a&#9;b&#10;c&#13;d &#12;\">c</a><a href=\"/e&#x7f;\">d</a>";
    QTest::newRow("invalid escapes and lone percent")
        << utf8 << "<a href=\"/a%zz%4/b%?q=%g#%\">p</a><a href=\"/%7e%7E?%aA#%bB\">c</a>";
    QTest::newRow("characters escaped by part")
        << utf8 << "<a href=\"/a b&quot;&lt;&gt;`{}^|'~!$&amp;()*+,;=:@[]?a b&quot;&lt;&gt;`{}'^|#a b&quot;&lt;&gt;`{}'#\">e</a>";
    QTest::newRow("non-ASCII in a UTF-8 page") << utf8 << "<a href=\"/中?q=中#中\">u</a>";
    QTest::newRow("non-ASCII in a GBK page")
        << QByteArray("gbk") << "<a href=\"/中?q=中&amp;r=é&#x20AC;&#x20000;#中\">g</a>";
    QTest::newRow("non-ASCII in a GB18030 page") << QByteArray("gb18030") << "<a href=\"/中?q=中é\">g</a>";
    QTest::newRow("dot segments, also escaped")
        << utf8 << "<a href=\"./a/../b/./c/..\">d</a><a href=\"/a/%2e/b/%2E%2e/c/.%2E/d\">e</a>"
                   "<a href=\"../../../x\">f</a>";
    QTest::newRow("hosts and ports")
        << utf8 << "<a href=\"HTTP://Host.EXAMPLE:80\">a</a><a href=\"https://host.example:443/p\">b</a>"
                   "<a href=\"http://host.example:/p\">c</a><a href=\"http://ho%73t.example/\">d</a>"
                   "<a href=\"http://0x7f.1/\">e</a><a href=\"http://[0:0::1]:80/\">f</a>"
                   "<a href=\"http://文献.例子/p\">g</a>";
    QTest::newRow("userinfo") << utf8 << "<a href=\"http://a b:c@d@host.example/\">u</a>";
    QTest::newRow("values that name no address")
        << utf8 << "<a href=\"http://host.example:65536/\">a</a><a href=\"http://1.2.3.256/\">d</a>";
    QTest::newRow("escapes of unreserved characters in the path")
        << utf8 << "<a href=\"/%41%2e%2D%5f%7e%3c%3C%2F%25%e4%b8%ad.%2Eb?%41#%41\">d</a>"
                   "<a href=\"https://%41.example/%2e%2E/\">h</a>";
    QTest::newRow("base element with backslashes")
        << utf8 << "<base href=\"\\base\\dir\\\"><a href=\"f.pdf?q=1\">f</a><a href=\"..\\up.pdf\">u</a>";
}
// clang-format on

// Link targets in pages served in their own encoding.
void TestLiveReader::links()
{
    QFETCH(QByteArray, charset);
    QFETCH(QString, anchors);
    const QString html = QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"%1\"></head><body>%2</body></html>")
                             .arg(QString::fromLatin1(charset), anchors);
    QStringEncoder encoder(charset.constData());
    QVERIFY(encoder.isValid());
    const QByteArray bytes = encoder.encode(html);
    const QUrl url = m_site.url(QStringLiteral("/search/results.html?q=wing"));
    QVERIFY(setContent(bytes, charset, url));

    const std::optional<PageModel> live = readLive();
    QVERIFY(live);
    QCOMPARE(describe(*live), describe(ReadHtmlPage(bytes, url)));
}

// The tick state is the box's state now, not the markup's.
void TestLiveReader::tickStateIsLive()
{
    QVERIFY(load(m_site.url(QStringLiteral("/results?page=1"))));
    QSignalSpy ran(this, &QObject::objectNameChanged);
    m_page.runJavaScript(QStringLiteral("var boxes = document.getElementsByName('doi');"
                                        "boxes[0].click(); boxes[1].click(); 1"),
                         [this](const QVariant &) { setObjectName(QStringLiteral("clicked")); });
    QVERIFY(ran.wait(20000));

    const std::optional<PageModel> live = readLive();
    QVERIFY(live);
    QList<bool> ticked;
    for (const PageTable &table : live->tables)
        ticked << table.inputTicked;
    QCOMPARE(ticked, (QList<bool>{true, false, false, true}));
}

// A document without HTML markup gives the address and nothing else.
void TestLiveReader::documentWithoutMarkup()
{
    const QUrl url = m_site.url(QStringLiteral("/typed?type=text/plain&size=64"));
    QVERIFY(load(url));
    const std::optional<PageModel> live = readLive();
    QVERIFY(live);
    QCOMPARE(live->url, url.toString());
    QVERIFY(live->tables.isEmpty());
    QVERIFY(live->anchors.isEmpty());
}

// A caller that went away, or whose page went away, gets no answer; another
// caller still gets its own.
void TestLiveReader::answerDroppedWhenCallerOrPageGoes()
{
    const QUrl url = m_site.url(QStringLiteral("/results?page=2"));
    QVERIFY(load(url));
    auto *gone = new QObject;
    bool goneAnswered = false;
    LivePageReader::read(&m_page, gone, [&](const PageModel &) { goneAnswered = true; });
    delete gone;

    auto *closing = new QWebEnginePage;
    QSignalSpy loaded(closing, &QWebEnginePage::loadFinished);
    closing->load(url);
    QVERIFY(loaded.wait(20000));
    bool closingAnswered = false;
    LivePageReader::read(closing, nullptr, [&](const PageModel &) { closingAnswered = true; });
    delete closing;

    QObject context;
    int tables = -1;
    LivePageReader::read(&m_page, &context, [&](const PageModel &page) { tables = int(page.tables.size()); });
    QVERIFY(QTest::qWaitFor([&] { return tables >= 0; }, 20000));
    QCOMPARE(tables, 5);
    QVERIFY(!goneAnswered);
    QVERIFY(!closingAnswered);
}

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QGuiApplication application(argc, argv);
    TestLiveReader test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_live_reader.moc"
