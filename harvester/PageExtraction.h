#pragma once

#include <QString>

class HarvestList;
struct PageModel;

// Reads the article entries of a result page into the harvest list and
// returns the number of rows the list holds afterwards (the counter beside
// "待下载列表："). An entry is a TABLE of class "articleentry" (the whole
// attribute, any letter case) that holds an INPUT; its title is the text of
// its first "art_title" DIV, its link the target of its first "ref nowrap pdf"
// anchor whose text begins with "pdf", with every "&amp;" turned into "&".
// Entries without a title or a link are left out; with `tickedOnly` so are
// those whose first INPUT is not ticked, with `freeOnly` those whose markup
// does not mention "access_free.gif". Each entry is added with 加入LV1 (the
// page's address, file type "pdf", `savePath` as given, link kind "JS"), so
// a link already in the list adds nothing.
int ExtractPageEntries(const PageModel &page, const QString &savePath, bool tickedOnly, bool freeOnly,
                       HarvestList &list);
