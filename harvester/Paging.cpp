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
    : QObject(parent), m_pane(pane), m_list(list), m_settings(settings), m_asker(asker), m_clock(clock)
{
    m_waitTimer.setInterval(kWaitCheckMs);
    connect(&m_waitTimer, &QTimer::timeout, this, &Paging::checkWait);
    // Every completed document, page or frame, clears PageLoading.
    connect(&m_pane, &BrowserPane::documentCompleted, this, [this] {
        m_pageLoading = false;
        if (m_step == Step::WaitingForLoad)
            checkWait();
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
        m_asker.showSaveFolderDialog();
    const quint64 call = ++m_thisPageCall;
    m_awaitingThisPage = true;
    m_thisPageDeadline = m_clock.seconds() + kLoadLimitSeconds;
    m_waitTimer.start();
    m_pane.snapshot(this, [this, call](const PageModel &page) {
        if (!m_awaitingThisPage || call != m_thisPageCall)
            return;
        m_awaitingThisPage = false;
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
        m_asker.showSaveFolderDialog();
    requestRead(Step::FirstRead);
}

void Paging::requestStop()
{
    m_stopAddAll = true;
    if (m_step == Step::Idle)
        return;
    if (m_awaitingPane) {
        abandonPaneCall();
        finishAddAll();
        return;
    }
    if (m_step == Step::WaitingForLoad || m_step == Step::Settling)
        checkWait();
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
    m_awaitingPane = true;
    m_callDeadline = m_clock.seconds() + kLoadLimitSeconds;
    m_waitTimer.start();
    return ++m_call;
}

// True when `call` is the one the run waits for; it then no longer waits.
bool Paging::endPaneCall(quint64 call)
{
    if (!m_awaitingPane || call != m_call)
        return false;
    m_awaitingPane = false;
    return true;
}

void Paging::abandonPaneCall()
{
    m_awaitingPane = false;
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
    case Step::LastRead:
        finishAddAll();
        break;
    default:
        break;
    }
}

// 下一页: clicks the "next" link; the page it opens is waited for in checkWait.
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
    m_step = Step::WaitingForLoad;
    m_waitTimer.start();
    // Let pending events run once before the first look.
    QTimer::singleShot(0, this, &Paging::checkWait);
}

void Paging::checkWait()
{
    const double now = m_clock.seconds();
    if (m_awaitingThisPage && now > m_thisPageDeadline) {
        m_awaitingThisPage = false;
        ++m_thisPageCall;
        emit addCommandFinished(); // nothing was read
    }
    if (m_awaitingPane) {
        if (now > m_callDeadline)
            paneCallTimedOut();
    } else if (m_step == Step::WaitingForLoad) {
        if (m_pane.isBusy() || m_pageLoading) {
            if (now - m_clickedAt > kLoadLimitSeconds) {
                nextPageDone(false);
                return;
            }
            if (!m_stopAddAll)
                return;
        }
        m_step = Step::Settling;
        m_settleFrom = now;
    }
    if (m_step == Step::Settling && !m_awaitingPane) {
        if (m_stopAddAll || now - m_settleFrom >= kSettleSeconds)
            nextPageDone(true);
    }
    stopWaitTimerWhenIdle();
}

// The timer runs while anything is waited for: an answer of the pane, a page
// loading or settling.
void Paging::stopWaitTimerWhenIdle()
{
    const bool waiting = m_awaitingPane || m_awaitingThisPage || m_step == Step::WaitingForLoad
                         || m_step == Step::Settling;
    if (!waiting)
        m_waitTimer.stop();
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
    stopWaitTimerWhenIdle();
    emit addAllRunningChanged(false);
    emit addCommandFinished();
}
