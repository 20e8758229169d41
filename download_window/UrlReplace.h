#pragma once

#include <QString>

class DownloadList;

struct UrlReplaceResult
{
    int changedRows = 0; // rows whose address or referring page changed
    int refusedRows = 0; // rows that kept their address: another row already had the new one
};

// Replaces every occurrence of `from` by `to` in the address, then in the
// referring page, of every row in list order, letters compared without
// regard to case; rows in every state. A row whose new address another row
// already has keeps its address (its referring page is still replaced), so
// the addresses stay unique. An empty `from` changes nothing.
UrlReplaceResult ReplaceInUrls(DownloadList &list, const QString &from, const QString &to);
