#include "harvester/Paging.h"

#include "harvester/BrowserPane.h"
#include "harvester/HarvestList.h"
#include "harvester/PageExtraction.h"
#include "harvester/PageModel.h"
#include "harvester/SaveFolderAsker.h"
#include "platform/Clock.h"
#include "common/SessionSettings.h"

Paging::Paging(BrowserPane &pane, HarvestList &list, SessionSettings &settings, SaveFolderAsker &asker,
               const Clock &clock, QObject *parent)
    : QObject(parent),
      m_pane(pane),
      m_list(list),
      m_settings(settings),
      m_asker(asker),
      m_clock(clock),
      m_pageWait(clock),
      m_paneWait(clock),
      m_thisPageWait(clock)
{
    // Every completed document, page or frame, clears PageLoading.
    connect(&m_pane, &BrowserPane::documentCompleted, this, [this] {
        m_pageLoading = false;
        if (m_step == Step::WaitingForLoad)
            m_pageWait.recheck();
    });
}

// When AskSaveFolder is 1 the entries carry the chosen folder; otherwise they
// get theirs when handed over, and the analysis pass asks instead.
QString Paging::savePathForAdd() const
{
    return m_settings.AskSaveFolder == 1 ? m_settings.SaveFolder : QString();
}

void Paging::readPage(const PageModel &page)
{
    const int rows = ExtractPageEntries(page, savePathForAdd(), m_tickedOnly, m_freeOnly, m_list);
    emit pageRead(rows);
}

void Paging::addThisPage()
{
    // A cancelled dialog still reads the page, with the folder it showed.
    if (m_settings.AskSaveFolder == 1)
        m_asker.askSaveFolder(this, [this](bool) { readThisPage(); });
    else
        readThisPage();
}

void Paging::readThisPage()
{
    const quint64 call = ++m_thisPageCall;
    m_thisPageWait.start(m_clock.seconds(), kLoadLimitSeconds, {}, [this](ClockWait::End) {
        ++m_thisPageCall;
        emit addCommandFinished(); // nothing was read
    });
    m_pane.snapshot(this, [this, call](const PageModel &page) {
        if (!m_thisPageWait.isWaiting() || call != m_thisPageCall)
            return;
        m_thisPageWait.cancel();
        readPage(page);
        emit addCommandFinished();
    });
}

void Paging::addAll()
{
    if (m_step != Step::Idle) {
        requestStop();
        return;
    }
    m_stopAddAll = false;
    m_step = Step::FirstRead;
    emit addAllRunningChanged(true);
    if (m_settings.AskSaveFolder == 1)
        m_asker.askSaveFolder(this, [this](bool) { requestRead(Step::FirstRead); });
    else
        requestRead(Step::FirstRead);
}

void Paging::requestStop()
{
    m_stopAddAll = true;
    if (m_step == Step::Idle)
        return;
    if (m_paneWait.isWaiting()) {
        abandonPaneCall();
        finishAddAll();
        return;
    }
    if (m_step == Step::WaitingForLoad || m_step == Step::Settling)
        m_pageWait.recheck();
}

void Paging::requestRead(Step step)
{
    m_step = step;
    const quint64 call = beginPaneCall();
    m_pane.snapshot(this, [this, call](const PageModel &page) {
        if (!endPaneCall(call))
            return;
        readPage(page);
        onPageRead();
    });
}

quint64 Paging::beginPaneCall()
{
    m_paneWait.start(m_clock.seconds(), kLoadLimitSeconds, {}, [this](ClockWait::End) { paneCallTimedOut(); });
    return ++m_call;
}

// True when `call` is the one the run waits for; it then no longer waits.
bool Paging::endPaneCall(quint64 call)
{
    if (!m_paneWait.isWaiting() || call != m_call)
        return false;
    m_paneWait.cancel();
    return true;
}

void Paging::abandonPaneCall()
{
    m_paneWait.cancel();
    ++m_call; // its answer, should it still come, is dropped
    m_pageLoading = false;
}

void Paging::paneCallTimedOut()
{
    const bool clicking = m_step == Step::ClickingNext;
    abandonPaneCall();
    if (clicking)
        nextPageDone(false); // as a next page that did not load: the shown page is read a last time
    else
        finishAddAll(); // a reading that never came: another would wait in vain
}

void Paging::onPageRead()
{
    switch (m_step) {
    case Step::FirstRead:
        // Let pending events run, then look for the next page.
        QTimer::singleShot(0, this, &Paging::nextPage);
        break;
    case Step::Reading:
        QTimer::singleShot(0, this, [this] {
            if (m_stopAddAll)
                requestRead(Step::LastRead);
            else
                nextPage();
        });
        break;
    case Step::LastRead: finishAddAll(); break;
    default: break;
    }
}

// 下一页: clicks the "next" link; the page it opens is waited for in onNextClicked.
void Paging::nextPage()
{
    m_step = Step::ClickingNext;
    m_clickedAt = m_clock.seconds();
    // Set before the click, so that a document completing at any moment
    // after it is seen.
    m_pageLoading = true;
    const quint64 call = beginPaneCall();
    m_pane.clickNextLink(this, [this, call](bool clicked) {
        if (endPaneCall(call))
            onNextClicked(clicked);
    });
}

void Paging::onNextClicked(bool clicked)
{
    if (m_step != Step::ClickingNext)
        return;
    if (!clicked) {
        m_pageLoading = false;
        nextPageDone(false);
        return;
    }
    // The page has loaded when the browser is no longer busy and a document
    // has completed since the click; a stop request ends the wait at once.
    // The first look comes after the pending events have run.
    m_step = Step::WaitingForLoad;
    m_pageWait.start(
        m_clickedAt, kLoadLimitSeconds, [this] { return (!m_pane.isBusy() && !m_pageLoading) || m_stopAddAll; },
        [this](ClockWait::End end) {
            if (end == ClockWait::End::TimedOut)
                nextPageDone(false);
            else
                settle();
        });
}

// The page that opened is given a moment more, unless a stop was asked for.
void Paging::settle()
{
    m_step = Step::Settling;
    m_pageWait.start(
        m_clock.seconds(), kSettleSeconds, [this] { return m_stopAddAll; },
        [this](ClockWait::End) { nextPageDone(true); });
}

void Paging::nextPageDone(bool opened)
{
    // The page that opened is read and the run goes on; without a next page
    // (or when it did not load in time) the shown page is read a last time.
    requestRead(opened ? Step::Reading : Step::LastRead);
}

void Paging::finishAddAll()
{
    m_step = Step::Idle;
    m_pageWait.cancel();
    emit addAllRunningChanged(false);
    emit addCommandFinished();
}
