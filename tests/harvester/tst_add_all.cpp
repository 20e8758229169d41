// "加入全部到列表" over the test site's three result pages in a real browser
// page: the live pane, the live reader, the clicks on "next" and the waits.
#include "harvester/HarvestList.h"
#include "harvester/HtmlPageReader.h"
#include "harvester/PageExtraction.h"
#include "harvester/Paging.h"
#include "harvester/SaveFolderAsker.h"
#include "harvester/WebBrowserPane.h"
#include "platform/Clock.h"
#include "common/SessionSettings.h"
#include "tests/support/FixtureSite.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QWebEnginePage>
#include <QTimer>
#include <QtTest>

namespace {

class NoDialog final : public SaveFolderAsker
{
public:
    void askSaveFolder(QObject *context, std::function<void(bool)> answered) override
    {
        ++shown;
        QTimer::singleShot(0, context, [answered = std::move(answered)] { answered(true); });
    }
    int shown = 0;
};

// Each row of the list as one line, so that a difference shows where it is.
QStringList describe(const HarvestList &list)
{
    QStringList lines;
    for (int row = 0; row < list.count(); ++row) {
        const HarvestEntry &entry = list.at(row);
        lines << QStringLiteral("%1 | %2 | %3").arg(entry.Title, entry.Link, entry.PageUrl);
    }
    return lines;
}

// What reading the given result pages one after the other gives, from their
// saved markup.
QStringList expectedRows(const FixtureSite &site, const QList<int> &pages)
{
    HarvestList list;
    for (int page : pages) {
        const QUrl url(site.url(QStringLiteral("/results?page=%1").arg(page)));
        ExtractPageEntries(ReadHtmlPage(FixtureSite::resultPage(page), url), QString(), false, false, list);
    }
    return describe(list);
}

QList<int> requestedPages(const FixtureSite &site)
{
    QList<int> pages;
    for (const FixtureSite::Request &request : site.requestsTo("/results"))
        pages << request.query.queryItemValue(QStringLiteral("page")).toInt();
    return pages;
}

// The search window's part in the run: the browser page, its pane, the list
// and the command.
struct Window
{
    explicit Window(const Clock &clock) : pane(&page), paging(pane, list, settings, asker, clock) {}

    bool open(const QString &url)
    {
        QSignalSpy completed(&pane, &BrowserPane::documentCompleted);
        pane.navigate(url);
        return completed.wait(20000) && !pane.isBusy();
    }

    QWebEnginePage page;
    WebBrowserPane pane;
    HarvestList list;
    SessionSettings settings;
    NoDialog asker;
    Paging paging;
};

} // namespace

class TestAddAll : public QObject
{
    Q_OBJECT

private slots:
    void addAll_data();
    void addAll();
    void nextPageNeverLoads();
};

// clang-format off
void TestAddAll::addAll_data()
{
    QTest::addColumn<int>("stopAfterPages"); // the second click comes once this many pages were read; 0: never
    QTest::addColumn<QList<int>>("pages");   // the pages whose entries the list holds

    QTest::newRow("every entry once; the loop ends on the page without next") << 0 << QList<int>{1, 2, 3};
    QTest::newRow("a stop request ends the run after the page being read") << 2 << QList<int>{1, 2};
}
// clang-format on

void TestAddAll::addAll()
{
    QFETCH(int, stopAfterPages);
    QFETCH(QList<int>, pages);

    FixtureSite site;
    QVERIFY(site.start());
    SystemClock clock;
    Window window(clock);
    QVERIFY(window.open(site.url(QStringLiteral("/results?page=1"))));

    QSignalSpy running(&window.paging, &Paging::addAllRunningChanged);
    QSignalSpy finished(&window.paging, &Paging::addCommandFinished);
    int pagesRead = 0;
    connect(&window.paging, &Paging::pageRead, this, [&] {
        if (++pagesRead == stopAfterPages)
            window.paging.addAll(); // "停止加入全部"
    });

    window.paging.addAll();
    QVERIFY(finished.wait(60000));

    QCOMPARE(describe(window.list), expectedRows(site, pages));
    // Each page was opened once: the last one is read again where it stands.
    QCOMPARE(requestedPages(site), pages);
    QCOMPARE(pagesRead, pages.size() + 1);
    QCOMPARE(running.size(), 2);
    QVERIFY(!running.last().first().toBool());
    QVERIFY(!window.paging.addAllRunning());
    QCOMPARE(window.asker.shown, 0); // AskSaveFolder is 0: the passes ask instead
}

void TestAddAll::nextPageNeverLoads()
{
    FixtureSite site;
    QVERIFY(site.start());
    site.holdResultPage(2);
    ManualClock clock;
    Window window(clock);
    QVERIFY(window.open(site.url(QStringLiteral("/results?page=1"))));

    // Time passes only once page 2 has been asked for, and then more than the limit.
    double heldAt = -1;
    connect(&site, &FixtureSite::requestReceived, this, [&](const QByteArray &path) {
        if (path == "/results" && requestedPages(site).last() == 2) {
            heldAt = clock.seconds();
            clock.advance(Paging::kLoadLimitSeconds + 1);
        }
    });
    QSignalSpy finished(&window.paging, &Paging::addCommandFinished);

    window.paging.addAll();
    QVERIFY(finished.wait(60000));

    QVERIFY(heldAt >= 0);
    QVERIFY(window.pane.isBusy()); // page 2 is still loading
    QCOMPARE(requestedPages(site), (QList<int>{1, 2}));
    // Page 1's entries, then whatever of page 2 had arrived when the pane was
    // read a last time.
    const QStringList first = expectedRows(site, {1});
    QCOMPARE(describe(window.list).mid(0, first.size()), first);
    QVERIFY(!window.paging.addAllRunning());
}

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QGuiApplication application(argc, argv);
    TestAddAll test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_add_all.moc"
