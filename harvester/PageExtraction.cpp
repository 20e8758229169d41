#include "harvester/PageExtraction.h"

#include "harvester/HarvestList.h"
#include "harvester/HarvesterTexts.h"
#include "harvester/PageModel.h"

namespace {

// The title: the trimmed text of the first "art_title" DIV; empty when that
// DIV is blank, even if a later one is not.
QString entryTitle(const PageTable &table)
{
    for (const PageDiv &div : table.divs) {
        if (div.className.trimmed().toLower() == SiteMarkup::kTitleDivClass)
            return div.text.trimmed();
    }
    return QString();
}

// The link: the target of the first anchor of class "ref nowrap pdf" whose
// text begins with "pdf" ("PDF", "PDF Plus"; not "Full text").
QString entryLink(const PageTable &table)
{
    for (const PageAnchor &anchor : table.anchors) {
        if (anchor.className.trimmed().toLower() == SiteMarkup::kPdfAnchorClass
            && anchor.text.trimmed().toLower().startsWith(SiteMarkup::kPdfAnchorTextPrefix)) {
            QString link = anchor.href.trimmed();
            return link.replace(SiteMarkup::kEscapedAmpersand, QStringLiteral("&"), Qt::CaseInsensitive);
        }
    }
    return QString();
}

} // namespace

int ExtractPageEntries(const PageModel &page, const QString &savePath, bool tickedOnly, bool freeOnly,
                       HarvestList &list)
{
    for (const PageTable &table : page.tables) {
        // Not trimmed: a class attribute with blanks or a second class is no entry.
        if (table.className.toLower() != SiteMarkup::kEntryTableClass)
            continue;
        if (!table.hasInput)
            continue;
        if (tickedOnly && !table.inputTicked)
            continue;
        const QString title = entryTitle(table);
        const QString link = entryLink(table);
        if (freeOnly && !table.mentionsFreeIcon)
            continue;
        if (title.isEmpty() || link.isEmpty())
            continue;
        list.addEntry(title, link, page.url, HarvesterText::kFileTypePdf, savePath, HarvesterText::kLinkKindJs);
    }
    return list.count();
}
