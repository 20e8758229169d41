#include "harvester/AnalysisPass.h"

#include "harvester/Handover.h"
#include "harvester/HarvestList.h"
#include "harvester/HarvesterTexts.h"
#include "harvester/SaveFolderAsker.h"
#include "platform/Prompts.h"
#include "common/SessionSettings.h"

#include <QTimer>

AnalysisChoice ChooseAnalysis(const HarvestList &list, bool anyRowSelected, Prompts &prompts)
{
    if (list.isEmpty()) {
        prompts.information(HarvesterText::kListEmpty);
        return AnalysisChoice::ListEmpty;
    }
    return anyRowSelected ? AnalysisChoice::ChooseFromMenu : AnalysisChoice::AnalyseAll;
}

AnalysisPass::AnalysisPass(HarvestList &list, SessionSettings &settings, Handover &handover, SaveFolderAsker &asker,
                           QObject *parent)
    : QObject(parent), m_list(list), m_settings(settings), m_handover(handover), m_asker(asker)
{}

void AnalysisPass::start(Kind kind, RowSelection selection)
{
    if (m_running)
        return;
    m_running = true;
    m_kind = kind;
    m_selection = std::move(selection);
    m_idle = false;
    emit started(HarvesterText::kAnalysing);
    // Let the panel show before the dialog or the first entry.
    QTimer::singleShot(0, this, &AnalysisPass::begin);
}

void AnalysisPass::begin()
{
    // The stop button may have been pressed before the first entry.
    if (m_idle || m_list.isEmpty()) {
        finish();
        return;
    }
    // Exactly one moment asks for the folder: the add commands when
    // AskSaveFolder is 1, otherwise the start of a pass. Entries read before
    // the folder was ever chosen in this run carry no folder, and the save
    // folder is still empty: then the pass asks too rather than hand them
    // over into no folder.
    if (m_settings.AskSaveFolder == 1 && !needsFolder()) {
        visitAll();
        return;
    }
    m_asker.askSaveFolder(this, [this](bool confirmed) {
        if (!confirmed || needsFolder())
            finish();
        else
            visitAll();
    });
}

void AnalysisPass::visitAll()
{
    // Rows added while the pass runs lie beyond this count and are not visited.
    m_rowsAtStart = m_list.count();
    visitFrom(0);
}

// True when the save folder is empty and an entry relies on it.
bool AnalysisPass::needsFolder() const
{
    if (!m_settings.SaveFolder.trimmed().isEmpty())
        return false;
    for (int row = 0; row < m_list.count(); ++row) {
        if (m_list.at(row).SavePath.trimmed().isEmpty())
            return true;
    }
    return false;
}

// Applies the pass's rule to the entry at `row`; answers whether a check (a
// chance for the user to stop the pass) follows it.
bool AnalysisPass::handsOver(int row, bool &checkAfter)
{
    const HarvestEntry entry = m_list.at(row);
    checkAfter = true;
    switch (m_kind) {
    case Kind::Unanalysed:
        if (!entry.Status.isEmpty()) {
            checkAfter = false;
            return false;
        }
        break;
    case Kind::Failed:
        if (entry.Status != HarvesterText::kStatusFailed) {
            checkAfter = false;
            return false;
        }
        m_list.setStatus(row, QString());
        break;
    case Kind::Selected:
        if (!m_selection || !m_selection(row))
            return false;
        m_list.setStatus(row, QString());
        break;
    case Kind::All: m_list.setStatus(row, QString()); break;
    }
    return entry.LinkKind == HarvesterText::kLinkKindJs;
}

void AnalysisPass::visitFrom(int row)
{
    for (; row < m_rowsAtStart && row < m_list.count(); ++row) {
        bool checkAfter = true;
        if (handsOver(row, checkAfter)) {
            const HarvestEntry &entry = m_list.at(row);
            // Marked done whatever the download list did with it (a link
            // already there is not added twice); an entry refused for want
            // of a folder keeps its status.
            if (m_handover.addToDownloadList(entry.Link, entry.Title, entry.FileType, entry.SavePath, entry.PageUrl))
                m_list.setStatus(row, HarvesterText::kStatusDone);
        }
        if (checkAfter) {
            QTimer::singleShot(0, this, [this, next = row + 1] {
                if (m_idle)
                    finish();
                else
                    visitFrom(next);
            });
            return;
        }
    }
    finish();
}

void AnalysisPass::finish()
{
    m_idle = true;
    m_running = false;
    m_selection = {};
    m_handover.showDownloadWindow();
    emit finished();
}
