#pragma once

#include "common/ClockWait.h"

#include <QObject>

class BrowserPane;
class Clock;
class HarvestList;
class SaveFolderAsker;
struct PageModel;
struct SessionSettings;

// "加入本页到列表" and "加入全部到列表": read the result page shown in the
// browser pane into the harvest list, and, for add all, follow the pages'
// "next" link page after page until there is none or the user stops.
//
// When AskSaveFolder is 1 both commands first ask for the save folder and
// read the page once the dialog has answered, whatever the answer (a
// cancelled dialog leaves the folder it showed).
//
// Add all is a state machine on the event loop: read the page, click "next",
// wait (at most 30 seconds from the click) until the browser is no longer
// busy and a document has completed, wait 2 seconds more for the page to
// settle, read it, and go on. A stop request ends the waits at once and the
// run after the page being read. The last page is read once more at the end,
// which also takes a page that finished loading after the limit; rows already
// present are not added twice.
//
// No wait is without an end: a page read or a "next" click that the browser
// has not answered within the page limit counts as a page that did not load
// (an unanswered click goes to the last reading, an unanswered reading ends
// the run), and its late answer is dropped. A stop request while the browser
// owes an answer ends the run at once, without that answer.
class Paging final : public QObject
{
    Q_OBJECT

public:
    static constexpr double kLoadLimitSeconds = 30.0;
    static constexpr double kSettleSeconds = 2.0;

    Paging(BrowserPane &pane, HarvestList &list, SessionSettings &settings, SaveFolderAsker &asker, const Clock &clock,
           QObject *parent = nullptr);

    // "只提取网页勾选项" (Check1) and "仅提取带…的链接（免费文件）" (Check3),
    // read at every page reading.
    void setTickedOnly(bool tickedOnly) { m_tickedOnly = tickedOnly; }
    void setFreeOnly(bool freeOnly) { m_freeOnly = freeOnly; }

    // PageLoading: set just before the "next" link is clicked, cleared when
    // the pane completes a document.
    bool PageLoading() const { return m_pageLoading; }
    // StopAddAll: asks a running add all to end.
    bool StopAddAll() const { return m_stopAddAll; }
    bool addAllRunning() const { return m_step != Step::Idle; }

    // "加入本页到列表". A reading the browser does not answer within the
    // page limit ends the command without rows.
    void addThisPage();
    // "加入全部到列表"; while a run is in progress ("停止加入全部") it asks the
    // run to stop instead.
    void addAll();
    // Sets StopAddAll (a second click, or the window closing).
    void requestStop();

signals:
    // A page was read; `rows` is the harvest list's row count for the counter.
    void pageRead(int rows);
    // Add all started or ended: the button's caption and colour and the
    // pane's enabled state follow.
    void addAllRunningChanged(bool running);
    // An add command ended: the list's columns are fitted to their contents.
    void addCommandFinished();

private:
    enum class Step { Idle, FirstRead, ClickingNext, WaitingForLoad, Settling, Reading, LastRead };

    QString savePathForAdd() const;
    void readPage(const PageModel &page);
    void readThisPage();
    void requestRead(Step step);
    quint64 beginPaneCall();
    bool endPaneCall(quint64 call);
    void paneCallTimedOut();
    void abandonPaneCall();
    void onPageRead();
    void nextPage(); // 下一页: clicks the page's "next" link
    void onNextClicked(bool clicked);
    void settle();
    void nextPageDone(bool opened);
    void finishAddAll();

    BrowserPane &m_pane;
    HarvestList &m_list;
    SessionSettings &m_settings;
    SaveFolderAsker &m_asker;
    const Clock &m_clock;

    bool m_tickedOnly = false;
    bool m_freeOnly = false;
    bool m_pageLoading = false;
    bool m_stopAddAll = false;

    Step m_step = Step::Idle;
    double m_clickedAt = 0.0;
    // The page opened by "next": loading, then settling.
    ClockWait m_pageWait;

    // The run's one outstanding call into the pane: its number (a late
    // answer to an older one is dropped) and the wait that gives it up.
    quint64 m_call = 0;
    ClockWait m_paneWait;

    // "加入本页到列表"'s reading, apart from a run's.
    quint64 m_thisPageCall = 0;
    ClockWait m_thisPageWait;
};
