#include "harvester/HarvestMaintenance.h"

#include "harvester/HarvestExport.h"
#include "harvester/HarvestList.h"
#include "harvester/HarvesterTexts.h"
#include "platform/FileTests.h"
#include "platform/Prompts.h"

#include <QDir>
#include <QFileInfo>

HarvestMaintenance::HarvestMaintenance(HarvestList &list, Prompts &prompts, std::function<bool()> analysisIdle)
    : m_list(list), m_prompts(prompts), m_analysisIdle(std::move(analysisIdle))
{}

bool HarvestMaintenance::refuseWhileAnalysing()
{
    if (m_analysisIdle())
        return false;
    m_prompts.error(HarvesterText::kCannotClearWhileAnalysing);
    return true;
}

ClearOutcome HarvestMaintenance::clearSelected(const QSet<int> &selectedRows)
{
    if (refuseWhileAnalysing())
        return ClearOutcome::Refused;
    if (m_list.isEmpty())
        return ClearOutcome::Stopped;
    m_list.removeRowsIf([&](const HarvestEntry &, int row) { return selectedRows.contains(row); });
    return ClearOutcome::Cleared;
}

ClearOutcome HarvestMaintenance::clearDone()
{
    if (refuseWhileAnalysing())
        return ClearOutcome::Refused;
    if (m_list.isEmpty())
        return ClearOutcome::Stopped;
    m_list.removeRowsIf([](const HarvestEntry &entry, int) { return entry.Status == HarvesterText::kStatusDone; });
    return ClearOutcome::Cleared;
}

ClearOutcome HarvestMaintenance::clearTitlesContaining()
{
    return clearTitles(true);
}

ClearOutcome HarvestMaintenance::clearTitlesNotContaining()
{
    return clearTitles(false);
}

ClearOutcome HarvestMaintenance::clearTitles(bool containing)
{
    if (refuseWhileAnalysing())
        return ClearOutcome::Refused;
    const std::optional<QString> text = m_prompts.input(HarvesterText::kEnterTitleText, QString(), QString());
    if (!text || text->isEmpty())
        return ClearOutcome::Stopped;
    if (m_list.isEmpty())
        return ClearOutcome::Stopped;
    const QString wanted = *text;
    m_list.removeRowsIf([&](const HarvestEntry &entry, int) {
        return entry.Title.contains(wanted, Qt::CaseInsensitive) == containing;
    });
    return ClearOutcome::Cleared;
}

ClearOutcome HarvestMaintenance::clearAll()
{
    if (refuseWhileAnalysing())
        return ClearOutcome::Refused;
    if (!m_prompts.askYesNo(HarvesterText::kConfirmClearAll))
        return ClearOutcome::Stopped;
    m_list.clear();
    return ClearOutcome::Cleared;
}

void HarvestMaintenance::exportList()
{
    if (m_list.isEmpty())
        return;
    QString path = m_prompts.saveFileName(QString(), QString(), HarvesterText::kExportFilter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QLatin1Char('.') + HarvesterText::kExportDefaultExtension;
        if (QFileInfo::exists(path)
            && !m_prompts.askYesNo(HarvesterText::kExportReplaceExisting + QDir::toNativeSeparators(path)))
            return;
    }
    if (!WriteHarvestExport(m_list, path))
        return;
    const qint64 bytes = FileLength(path);
    if (bytes < 0)
        return;
    m_prompts.information(ExportSizeMessage(bytes));
}
