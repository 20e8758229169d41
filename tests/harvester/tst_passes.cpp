#include "engine/DownloadList.h"
#include "harvester/AnalysisPass.h"
#include "harvester/BrowserPane.h"
#include "harvester/Handover.h"
#include "harvester/HarvestList.h"
#include "harvester/HarvestMaintenance.h"
#include "harvester/Paging.h"
#include "harvester/SaveFolderAsker.h"
#include "platform/Clock.h"
#include "common/SessionSettings.h"
#include "tests/support/PromptRecorder.h"

#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

// The download window: its list, a count of the hand-overs (each asks for the
// list once) and of the times it was brought up. `onHandover` runs at each.
class TestTarget final : public HandoverTarget
{
public:
    DownloadList &downloadList() override
    {
        ++handovers;
        if (onHandover)
            onHandover(handovers);
        return list;
    }
    void showDownloadWindow() override { ++shown; }

    DownloadList list;
    int handovers = 0;
    int shown = 0;
    std::function<void(int)> onHandover;
};

// The save-folder dialog: it shows the stored folder and is confirmed or
// cancelled as the test says, on the next turn of the event loop, as a user
// answers an open dialog.
class TestAsker final : public SaveFolderAsker
{
public:
    explicit TestAsker(SessionSettings &settings) : m_settings(settings) {}
    void askSaveFolder(QObject *context, std::function<void(bool confirmed)> answered) override
    {
        ++shown;
        m_settings.SaveFolder = storedFolder;
        QTimer::singleShot(0, context, [answered = std::move(answered), confirmed = !cancel] { answered(confirmed); });
    }

    QString storedFolder = QStringLiteral("/stored/");
    bool cancel = false;
    int shown = 0;

private:
    SessionSettings &m_settings;
};

// A browser pane over pages built in the test. Clicking "next" starts a
// navigation that completes on the next turn of the event loop, unless the
// page is one that never finishes loading. A silent pane never answers a
// reading or a click, as a browser that hangs.
class TestPane final : public BrowserPane
{
public:
    void navigate(const QString &url) override
    {
        busy = true;
        pending = url;
        if (neverLoads.contains(url))
            return;
        if (frameFirst) {
            // A frame completes at once; the page itself a little later.
            QTimer::singleShot(0, this, [this] { emit documentCompleted(); });
            QTimer::singleShot(300, this, [this] { finishLoading(); });
            return;
        }
        QTimer::singleShot(0, this, [this] { finishLoading(); });
    }
    bool isBusy() const override { return busy; }
    void snapshot(QObject *context, std::function<void(const PageModel &)> done) override
    {
        reads.append(current);
        if (silentReads)
            return;
        PageModel page = pages.value(current);
        page.url = current;
        QTimer::singleShot(0, context, [page, done = std::move(done)] { done(page); });
    }
    void clickNextLink(QObject *context, std::function<void(bool)> done) override
    {
        if (silentClicks)
            return;
        bool found = false;
        for (const PageAnchor &anchor : pages.value(current).anchors) {
            if (IsNextLinkText(anchor.text)) {
                navigate(anchor.href);
                found = true;
                break;
            }
        }
        QTimer::singleShot(0, context, [found, done = std::move(done)] { done(found); });
    }
    void finishLoading()
    {
        current = pending;
        busy = false;
        emit documentCompleted();
    }

    QHash<QString, PageModel> pages;
    QSet<QString> neverLoads;
    bool frameFirst = false;
    bool silentReads = false;
    bool silentClicks = false;
    QString current;
    QString pending;
    bool busy = false;
    QStringList reads;
};

// A result page with one ticked entry per title, entries named after the
// page, and, unless `nextText` is empty, a link with that text to `nextUrl`.
PageModel resultPage(const QString &name, int entries, const QString &nextText = QString(),
                     const QString &nextUrl = QString())
{
    PageModel page;
    for (int n = 1; n <= entries; ++n) {
        PageTable table;
        table.className = QStringLiteral("articleentry");
        table.hasInput = true;
        table.inputTicked = n % 2 == 1;
        table.divs.append({QStringLiteral("art_title"), QStringLiteral("%1 entry %2").arg(name).arg(n)});
        table.anchors.append({QStringLiteral("ref nowrap pdf"), QStringLiteral("PDF"),
                              QStringLiteral("https://arc.example.org/doi/pdf/%1-%2").arg(name).arg(n)});
        page.tables.append(table);
    }
    page.anchors.append({QString(), QStringLiteral("previous"), QStringLiteral("prev")});
    if (!nextText.isEmpty())
        page.anchors.append({QString(), nextText, nextUrl});
    return page;
}

QStringList statuses(const HarvestList &list)
{
    QStringList result;
    for (int row = 0; row < list.count(); ++row)
        result.append(list.at(row).Status);
    return result;
}

struct Entry
{
    QString status;
    QString linkKind;
};

void fill(HarvestList &list, const QList<Entry> &entries)
{
    for (const Entry &entry : entries) {
        const int n = list.count();
        list.addEntry(QStringLiteral("Title %1").arg(n), QStringLiteral("https://x.example.org/%1.pdf").arg(n),
                      QStringLiteral("https://x.example.org/search"), QStringLiteral("pdf"), QString(), entry.linkKind);
        list.setStatus(n, entry.status);
    }
}

// Runs the clock 25 times faster than real time, so that the 2-second and
// 30-second waits pass in a fraction of a second or so.
class FastClock
{
public:
    FastClock()
    {
        QObject::connect(&m_ticker, &QTimer::timeout, [this] { clock.advance(0.25); });
        m_ticker.start(10);
    }
    ManualClock clock;

private:
    QTimer m_ticker;
};

// A pass over a harvest list, with the download window and the save-folder
// dialog it talks to. AskSaveFolder is 1 unless the test says otherwise.
struct PassSetup
{
    explicit PassSetup(const QList<Entry> &entries = {})
    {
        fill(list, entries);
        settings.AskSaveFolder = 1;
        settings.SaveFolder = QStringLiteral("/chosen/"); // the dialog was confirmed earlier in this run
    }

    // Runs a pass to its end.
    bool run(AnalysisPass::Kind kind, AnalysisPass::RowSelection selection = {})
    {
        QSignalSpy finished(&pass, &AnalysisPass::finished);
        pass.start(kind, std::move(selection));
        return !pass.AnalysisIdle() && finished.wait(5000) && pass.AnalysisIdle();
    }

    HarvestList list;
    SessionSettings settings;
    TestTarget target;
    Handover handover{target, settings};
    TestAsker asker{settings};
    AnalysisPass pass{list, settings, handover, asker};
};

// Three result pages, p1, p2 and p3, linked by `nextText`, p1 shown, read by
// add all on a fast clock. AskSaveFolder is 0.
struct PagingSetup
{
    explicit PagingSetup(int entriesPerPage, const QString &nextText = QStringLiteral("next"))
    {
        pane.pages.insert("p1", resultPage("p1", entriesPerPage, nextText, "p2"));
        pane.pages.insert("p2", resultPage("p2", entriesPerPage, nextText, "p3"));
        pane.pages.insert("p3", resultPage("p3", entriesPerPage));
        pane.current = "p1";
    }

    TestPane pane;
    HarvestList list;
    SessionSettings settings;
    TestAsker asker{settings};
    FastClock fast;
    Paging paging{pane, list, settings, asker, fast.clock};
};

} // namespace

Q_DECLARE_METATYPE(AnalysisPass::Kind)
Q_DECLARE_METATYPE(QList<Entry>)

class TestPasses : public QObject
{
    Q_OBJECT

private slots:
    void passRules_data();
    void passRules();
    void passFolderDialog_data();
    void passFolderDialog();
    void passOnEmptyList();
    void stopMidPass();
    void stopBeforeFirstEntry();
    void clearingRefusedDuringPass();
    void rowsAddedDuringPassNotVisited();
    void chooseAnalysis_data();
    void chooseAnalysis();

    void addAll_data();
    void addAll();
    void addAllStopRequests_data();
    void addAllStopRequests();
    void silentPane_data();
    void silentPane();
    void addThisPageSilentPane();
    void addThisPage_data();
    void addThisPage();
};

// ---- analysis passes --------------------------------------------------------

// clang-format off
void TestPasses::passRules_data()
{
    QTest::addColumn<AnalysisPass::Kind>("kind");
    QTest::addColumn<QList<Entry>>("entries");
    QTest::addColumn<QSet<int>>("selected");
    QTest::addColumn<int>("runs");
    QTest::addColumn<int>("handovers");    // over all runs
    QTest::addColumn<QStringList>("items"); // download list names, in order
    QTest::addColumn<QStringList>("after"); // statuses after the last run

    const QString done = QStringLiteral("成功");
    const QString failed = QStringLiteral("分析失败");
    const QList<Entry> mixed = {{"", "JS"}, {done, "JS"}, {failed, "JS"}, {"", "HREF"}, {failed, "HREF"}};

    QTest::newRow("unanalysed: only entries with an empty status, JS only")
        << AnalysisPass::Kind::Unanalysed << mixed << QSet<int>{} << 1 << 1 << QStringList{"Title 0"}
        << QStringList{done, done, failed, "", failed};
    QTest::newRow("unanalysed run twice hands each entry over once")
        << AnalysisPass::Kind::Unanalysed << QList<Entry>{{"", "JS"}, {"", "JS"}} << QSet<int>{} << 2 << 2
        << QStringList{"Title 0", "Title 1"} << QStringList{done, done};
    QTest::newRow("failed: only failed entries; a non-JS one is emptied")
        << AnalysisPass::Kind::Failed << mixed << QSet<int>{} << 1 << 1 << QStringList{"Title 2"}
        << QStringList{"", done, done, "", ""};
    QTest::newRow("selected: only selected rows; a selected non-JS one is emptied")
        << AnalysisPass::Kind::Selected << mixed << QSet<int>{1, 4} << 1 << 1 << QStringList{"Title 1"}
        << QStringList{"", done, failed, "", ""};
    QTest::newRow("selected with nothing selected hands nothing over")
        << AnalysisPass::Kind::Selected << mixed << QSet<int>{} << 1 << 0 << QStringList()
        << QStringList{"", done, failed, "", failed};
    QTest::newRow("all: every JS entry, whatever its status")
        << AnalysisPass::Kind::All << mixed << QSet<int>{} << 1 << 3
        << QStringList{"Title 0", "Title 1", "Title 2"} << QStringList{done, done, done, "", ""};
    QTest::newRow("all run twice hands over twice; the download list keeps one item per link")
        << AnalysisPass::Kind::All << QList<Entry>{{"", "JS"}, {"", "JS"}} << QSet<int>{} << 2 << 4
        << QStringList{"Title 0", "Title 1"} << QStringList{done, done};
}
// clang-format on

void TestPasses::passRules()
{
    QFETCH(AnalysisPass::Kind, kind);
    QFETCH(QList<Entry>, entries);
    QFETCH(QSet<int>, selected);
    QFETCH(int, runs);
    QFETCH(int, handovers);
    QFETCH(QStringList, items);
    QFETCH(QStringList, after);

    PassSetup setup(entries);
    QSignalSpy started(&setup.pass, &AnalysisPass::started);
    for (int run = 1; run <= runs; ++run)
        QVERIFY(setup.run(kind, [&](int row) { return selected.contains(row); }));

    QCOMPARE(started.size(), runs);
    QCOMPARE(started.first().first().toString(), QString("正在分析,请稍候..."));
    QCOMPARE(setup.target.handovers, handovers);
    QCOMPARE(setup.target.shown, runs);
    QStringList names;
    for (int row = 0; row < setup.target.list.count(); ++row)
        names.append(setup.target.list.at(row).Name);
    QCOMPARE(names, items);
    QCOMPARE(statuses(setup.list), after);
    QCOMPARE(setup.asker.shown, 0);
}

// clang-format off
void TestPasses::passFolderDialog_data()
{
    QTest::addColumn<int>("askSaveFolder");
    QTest::addColumn<QString>("savePath");    // the entries' own folder
    QTest::addColumn<QString>("saveFolder");  // the save folder when the pass starts
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<int>("dialogs");
    QTest::addColumn<int>("handovers");
    QTest::addColumn<QString>("folder");

    QTest::newRow("asked when reading: no dialog, the entries' own folder")
        << 1 << "/when/read/" << "" << true << 0 << 2 << "/when/read/";
    QTest::newRow("not asked when reading: dialog, its folder") << 0 << "" << "" << false << 1 << 2 << "/stored/";
    QTest::newRow("dialog cancelled: nothing handed over") << 0 << "" << "" << true << 1 << 0 << "";
    QTest::newRow("asked when reading, folder chosen earlier: no dialog, that folder")
        << 1 << "" << "/chosen/" << true << 0 << 2 << "/chosen/";
    QTest::newRow("asked when reading, no folder ever chosen: the pass asks first")
        << 1 << "" << "" << false << 1 << 2 << "/stored/";
    QTest::newRow("asked when reading, no folder ever chosen, dialog cancelled: nothing handed over")
        << 1 << "" << "" << true << 1 << 0 << "";
}
// clang-format on

void TestPasses::passFolderDialog()
{
    QFETCH(int, askSaveFolder);
    QFETCH(QString, savePath);
    QFETCH(QString, saveFolder);
    QFETCH(bool, cancel);
    QFETCH(int, dialogs);
    QFETCH(int, handovers);
    QFETCH(QString, folder);

    PassSetup setup;
    for (int n = 0; n < 2; ++n)
        setup.list.addEntry(QStringLiteral("T%1").arg(n), QStringLiteral("L%1").arg(n), QStringLiteral("P"),
                            QStringLiteral("pdf"), savePath, QStringLiteral("JS"));
    setup.settings.AskSaveFolder = qint16(askSaveFolder);
    setup.settings.SaveFolder = saveFolder;
    setup.asker.cancel = cancel;
    if (cancel)
        setup.asker.storedFolder.clear(); // never confirmed in this run

    QVERIFY(setup.run(AnalysisPass::Kind::All));

    QCOMPARE(setup.asker.shown, dialogs);
    QCOMPARE(setup.target.handovers, handovers);
    QCOMPARE(setup.target.shown, 1); // the download window comes up in every case
    if (handovers > 0)
        QCOMPARE(setup.target.list.at(0).Folder, folder);
    else
        QCOMPARE(statuses(setup.list), QStringList({"", ""}));
    for (int row = 0; row < setup.target.list.count(); ++row)
        QVERIFY(!setup.target.list.at(row).Folder.isEmpty());
}

void TestPasses::passOnEmptyList()
{
    PassSetup setup;
    setup.settings.AskSaveFolder = 0;
    QVERIFY(setup.run(AnalysisPass::Kind::Unanalysed));
    QCOMPARE(setup.asker.shown, 0);
    QCOMPARE(setup.target.shown, 1);
}

void TestPasses::stopMidPass()
{
    PassSetup setup({{"", "JS"}, {"", "JS"}, {"分析失败", "JS"}, {"分析失败", "JS"}});
    setup.target.onHandover = [&](int n) {
        if (n == 2)
            setup.pass.stop(); // the stop button, pressed while the second entry is handed over
    };

    QVERIFY(setup.run(AnalysisPass::Kind::All));
    QCOMPARE(setup.target.handovers, 2);
    QCOMPARE(statuses(setup.list), QStringList({"成功", "成功", "分析失败", "分析失败"}));
    QCOMPARE(setup.target.shown, 1);
}

void TestPasses::stopBeforeFirstEntry()
{
    PassSetup setup({{"", "JS"}, {"", "JS"}});
    QSignalSpy finished(&setup.pass, &AnalysisPass::finished);
    setup.pass.start(AnalysisPass::Kind::All);
    setup.pass.stop(); // pressed while the progress panel comes up
    QVERIFY(finished.wait(5000));
    QCOMPARE(setup.target.handovers, 0);
    QCOMPARE(statuses(setup.list), QStringList({"", ""}));
    QCOMPARE(setup.target.shown, 1);
}

void TestPasses::clearingRefusedDuringPass()
{
    PassSetup setup({{"", "JS"}, {"", "JS"}, {"", "JS"}});
    PromptRecorder prompts;
    HarvestMaintenance maintenance(setup.list, prompts, [&] { return setup.pass.AnalysisIdle(); });
    ClearOutcome during = ClearOutcome::Cleared;
    setup.target.onHandover = [&](int n) {
        if (n == 1)
            QTimer::singleShot(0, [&] { during = maintenance.clearAll(); });
    };

    QVERIFY(setup.run(AnalysisPass::Kind::All));
    QCOMPARE(during, ClearOutcome::Refused);
    QCOMPARE(prompts.messageTexts(), QStringList({"正在分析，不能清除！"}));
    QCOMPARE(statuses(setup.list), QStringList({"成功", "成功", "成功"}));
    QCOMPARE(maintenance.clearAll(), ClearOutcome::Cleared); // allowed once the pass has ended
}

void TestPasses::rowsAddedDuringPassNotVisited()
{
    PassSetup setup({{"", "JS"}, {"", "JS"}});
    setup.target.onHandover = [&](int n) {
        if (n == 1)
            fill(setup.list, {{"", "JS"}}); // a page read while the pass runs
    };

    QVERIFY(setup.run(AnalysisPass::Kind::All));
    QCOMPARE(setup.target.handovers, 2);
    QCOMPARE(statuses(setup.list), QStringList({"成功", "成功", ""}));
}

// clang-format off
void TestPasses::chooseAnalysis_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("anySelected");
    QTest::addColumn<AnalysisChoice>("choice");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("empty list: the message and nothing else")
        << 0 << false << AnalysisChoice::ListEmpty << QStringList{"列表没有数据哦！"};
    QTest::newRow("nothing selected: analyse all") << 2 << false << AnalysisChoice::AnalyseAll << QStringList();
    QTest::newRow("a row selected: the menu") << 2 << true << AnalysisChoice::ChooseFromMenu << QStringList();
}
// clang-format on

void TestPasses::chooseAnalysis()
{
    QFETCH(int, rows);
    QFETCH(bool, anySelected);
    QFETCH(AnalysisChoice, choice);
    QFETCH(QStringList, messages);

    HarvestList list;
    for (int n = 0; n < rows; ++n)
        fill(list, {{"", "JS"}});
    PromptRecorder prompts;
    QCOMPARE(ChooseAnalysis(list, anySelected, prompts), choice);
    QCOMPARE(prompts.messageTexts(), messages);
    for (const PromptRecorder::Record &record : prompts.records)
        QCOMPARE(record.icon, PromptIcon::Information);
}

// ---- paging -----------------------------------------------------------------

// clang-format off
void TestPasses::addAll_data()
{
    QTest::addColumn<QString>("nextText");   // text of the "next" links
    QTest::addColumn<QString>("neverLoads"); // a page that never finishes loading
    QTest::addColumn<bool>("frameFirst");    // a frame completes before the page
    QTest::addColumn<QStringList>("reads");  // pages read, in order
    QTest::addColumn<int>("rows");

    QTest::newRow("three pages: each read, the last twice")
        << "next" << "" << false << QStringList{"p1", "p2", "p3", "p3"} << 6;
    QTest::newRow("next written in capitals with blanks around it")
        << "  NeXT " << "" << false << QStringList{"p1", "p2", "p3", "p3"} << 6;
    QTest::newRow("a link reading 'next page' is no next link")
        << "next page" << "" << false << QStringList{"p1", "p1"} << 2;
    QTest::newRow("second page never loads: the wait ends after 30 seconds")
        << "next" << "p2" << false << QStringList{"p1", "p1"} << 2;
    QTest::newRow("a frame completing first does not end the wait while the page is busy")
        << "next" << "" << true << QStringList{"p1", "p2", "p3", "p3"} << 6;
}
// clang-format on

void TestPasses::addAll()
{
    QFETCH(QString, nextText);
    QFETCH(QString, neverLoads);
    QFETCH(bool, frameFirst);
    QFETCH(QStringList, reads);
    QFETCH(int, rows);

    PagingSetup setup(2, nextText);
    TestPane &pane = setup.pane;
    Paging &paging = setup.paging;
    HarvestList &list = setup.list;
    ManualClock &clock = setup.fast.clock;
    if (!neverLoads.isEmpty())
        pane.neverLoads.insert(neverLoads);
    pane.frameFirst = frameFirst;
    QSignalSpy running(&paging, &Paging::addAllRunningChanged);
    QSignalSpy pageRead(&paging, &Paging::pageRead);
    QSignalSpy finished(&paging, &Paging::addCommandFinished);

    const double startedAt = clock.seconds();
    paging.addAll();
    QVERIFY(paging.addAllRunning());
    QVERIFY(finished.wait(20000));

    QCOMPARE(pane.reads, reads);
    QCOMPARE(list.count(), rows);
    QCOMPARE(pageRead.size(), reads.size());
    QCOMPARE(pageRead.last().first().toInt(), rows);
    QCOMPARE(running.size(), 2);
    QCOMPARE(running.at(0).first().toBool(), true);
    QCOMPARE(running.at(1).first().toBool(), false);
    QCOMPARE(finished.size(), 1);
    QVERIFY(!paging.addAllRunning());
    QCOMPARE(setup.asker.shown, 0);
    const double waited = clock.seconds() - startedAt;
    if (!neverLoads.isEmpty())
        QVERIFY2(waited > Paging::kLoadLimitSeconds, qPrintable(QString::number(waited)));
    else if (reads.size() > 2) // a 2-second settling wait after each page that opened
        QVERIFY2(waited >= 2 * Paging::kSettleSeconds, qPrintable(QString::number(waited)));
}

// clang-format off
void TestPasses::addAllStopRequests_data()
{
    QTest::addColumn<int>("stopAfterReads"); // stop clicked once this many pages were read; -1: later
    QTest::addColumn<bool>("secondLoads");   // whether page 2 ever finishes loading
    QTest::addColumn<QStringList>("reads");

    QTest::newRow("stop after page 2 is read: page 3 is never opened")
        << 2 << true << QStringList{"p1", "p2", "p2"};
    QTest::newRow("stop after page 1: the next link is still followed once")
        << 1 << true << QStringList{"p1", "p2", "p2"};
    QTest::newRow("stop while waiting for a page that never loads ends the wait at once")
        << -1 << false << QStringList{"p1", "p1", "p1"};
}
// clang-format on

void TestPasses::addAllStopRequests()
{
    QFETCH(int, stopAfterReads);
    QFETCH(bool, secondLoads);
    QFETCH(QStringList, reads);

    PagingSetup setup(1);
    TestPane &pane = setup.pane;
    Paging &paging = setup.paging;
    if (!secondLoads)
        pane.neverLoads.insert("p2");
    QSignalSpy finished(&paging, &Paging::addCommandFinished);
    QSignalSpy running(&paging, &Paging::addAllRunningChanged);
    connect(&paging, &Paging::pageRead, this, [&] {
        if (pane.reads.size() == stopAfterReads)
            paging.addAll(); // the second click on "停止加入全部"
    });
    if (stopAfterReads < 0) { // the stop comes while the next page is loading
        connect(&paging, &Paging::pageRead, this, [&] {
            if (pane.reads.size() == 1)
                QTimer::singleShot(200, &paging, [&] { paging.requestStop(); });
        });
    }

    paging.addAll();
    QVERIFY(finished.wait(5000));

    QCOMPARE(pane.reads, reads);
    QVERIFY(paging.StopAddAll());
    QCOMPARE(running.size(), 2);
    QVERIFY(!paging.addAllRunning());
}

// clang-format off
void TestPasses::silentPane_data()
{
    QTest::addColumn<bool>("silentReads");  // the pane never answers a reading
    QTest::addColumn<bool>("silentClicks"); // the pane never answers a "next" click
    QTest::addColumn<bool>("stop");         // the stop command comes while an answer is owed
    QTest::addColumn<QStringList>("reads");
    QTest::addColumn<int>("rows");

    QTest::newRow("reading never answered: the run ends after the page limit")
        << true << false << false << QStringList{"p1"} << 0;
    QTest::newRow("click never answered: the shown page is read a last time")
        << false << true << false << QStringList{"p1", "p1"} << 2;
    QTest::newRow("stop while a reading is owed ends the run at once")
        << true << false << true << QStringList{"p1"} << 0;
    QTest::newRow("stop while a click is owed ends the run at once")
        << false << true << true << QStringList{"p1"} << 2;
}
// clang-format on

void TestPasses::silentPane()
{
    QFETCH(bool, silentReads);
    QFETCH(bool, silentClicks);
    QFETCH(bool, stop);
    QFETCH(QStringList, reads);
    QFETCH(int, rows);

    PagingSetup setup(2);
    TestPane &pane = setup.pane;
    Paging &paging = setup.paging;
    ManualClock &clock = setup.fast.clock;
    pane.silentReads = silentReads;
    QSignalSpy running(&paging, &Paging::addAllRunningChanged);
    QSignalSpy finished(&paging, &Paging::addCommandFinished);
    // The clicks go silent once the first page has been read.
    const QMetaObject::Connection goSilent =
        connect(&paging, &Paging::pageRead, this, [&] { pane.silentClicks = silentClicks; });
    double stoppedAt = -1;
    if (stop) {
        QTimer::singleShot(200, &paging, [&] {
            stoppedAt = clock.seconds();
            paging.addAll(); // "停止加入全部"
        });
    }

    const double startedAt = clock.seconds();
    paging.addAll();
    QVERIFY(finished.wait(20000));

    const double endedAt = clock.seconds();
    QCOMPARE(pane.reads, reads);
    QCOMPARE(setup.list.count(), rows);
    QCOMPARE(running.size(), 2);
    QVERIFY(!paging.addAllRunning());
    if (stop)
        QCOMPARE(endedAt, stoppedAt); // at once: no tick of the clock in between
    else
        QVERIFY2(endedAt - startedAt > Paging::kLoadLimitSeconds, qPrintable(QString::number(endedAt - startedAt)));

    // The next run starts afresh.
    disconnect(goSilent);
    pane.silentReads = false;
    pane.silentClicks = false;
    paging.addAll();
    QVERIFY(finished.wait(20000));
    QCOMPARE(finished.size(), 2);
    QCOMPARE(setup.list.count(), 6);
}

void TestPasses::addThisPageSilentPane()
{
    PagingSetup setup(2);
    setup.pane.silentReads = true;
    QSignalSpy finished(&setup.paging, &Paging::addCommandFinished);
    const double startedAt = setup.fast.clock.seconds();
    setup.paging.addThisPage();
    QVERIFY(finished.wait(20000));
    QVERIFY(setup.fast.clock.seconds() - startedAt > Paging::kLoadLimitSeconds);
    QCOMPARE(setup.list.count(), 0);
}

// clang-format off
void TestPasses::addThisPage_data()
{
    QTest::addColumn<int>("askSaveFolder");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<bool>("tickedOnly");
    QTest::addColumn<int>("dialogs");
    QTest::addColumn<QString>("savePath");
    QTest::addColumn<int>("rows");

    QTest::newRow("asked: the dialog's folder") << 1 << false << false << 1 << "/stored/" << 3;
    QTest::newRow("asked and cancelled: still read, with the stored folder")
        << 1 << true << false << 1 << "/stored/" << 3;
    QTest::newRow("not asked: no dialog, empty save path") << 0 << false << false << 0 << "" << 3;
    QTest::newRow("only ticked entries") << 0 << false << true << 0 << "" << 2;
}
// clang-format on

void TestPasses::addThisPage()
{
    QFETCH(int, askSaveFolder);
    QFETCH(bool, cancel);
    QFETCH(bool, tickedOnly);
    QFETCH(int, dialogs);
    QFETCH(QString, savePath);
    QFETCH(int, rows);

    TestPane pane;
    pane.pages.insert("p1", resultPage("p1", 3, "next", "p2"));
    pane.current = "p1";
    HarvestList list;
    SessionSettings settings;
    settings.AskSaveFolder = qint16(askSaveFolder);
    settings.SaveFolder = QStringLiteral("/before/");
    TestAsker asker(settings);
    asker.cancel = cancel;
    ManualClock clock;
    Paging paging(pane, list, settings, asker, clock);
    paging.setTickedOnly(tickedOnly);
    QSignalSpy finished(&paging, &Paging::addCommandFinished);
    QSignalSpy pageRead(&paging, &Paging::pageRead);

    paging.addThisPage();
    QVERIFY(finished.wait(5000));

    QCOMPARE(asker.shown, dialogs);
    QCOMPARE(list.count(), rows);
    QCOMPARE(list.at(0).SavePath, savePath);
    QCOMPARE(list.at(0).PageUrl, QString("p1"));
    QCOMPARE(pageRead.size(), 1);
    QCOMPARE(pane.reads, QStringList{"p1"}); // the next link is not followed
}

QTEST_GUILESS_MAIN(TestPasses)
#include "tst_passes.moc"
