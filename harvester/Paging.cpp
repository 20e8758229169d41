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
    m_pane.snapshot(this, [this](const PageModel &page) {
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
    if (m_step == Step::WaitingForLoad || m_step == Step::Settling)
        checkWait();
}

void Paging::requestRead(Step step)
{
    m_step = step;
    m_pane.snapshot(this, [this](const PageModel &page) {
        readPage(page);
        onPageRead();
    });
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
    m_pane.clickNextLink(this, [this](bool clicked) { onNextClicked(clicked); });
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
    if (m_step == Step::WaitingForLoad) {
        if (m_pane.isBusy() || m_pageLoading) {
            if (m_clock.seconds() - m_clickedAt > kLoadLimitSeconds) {
                nextPageDone(false);
                return;
            }
            if (!m_stopAddAll)
                return;
        }
        m_step = Step::Settling;
        m_settleFrom = m_clock.seconds();
    }
    if (m_step == Step::Settling) {
        if (m_stopAddAll || m_clock.seconds() - m_settleFrom >= kSettleSeconds)
            nextPageDone(true);
    }
}

void Paging::nextPageDone(bool opened)
{
    m_waitTimer.stop();
    // The page that opened is read and the run goes on; without a next page
    // (or when it did not load in time) the shown page is read a last time.
    requestRead(opened ? Step::Reading : Step::LastRead);
}

void Paging::finishAddAll()
{
    m_step = Step::Idle;
    emit addAllRunningChanged(false);
    emit addCommandFinished();
}
