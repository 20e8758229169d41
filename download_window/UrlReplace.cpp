#include "download_window/UrlReplace.h"

#include "engine/DownloadList.h"

UrlReplaceResult ReplaceInUrls(DownloadList &list, const QString &from, const QString &to)
{
    UrlReplaceResult result;
    if (from.isEmpty())
        return result;
    DownloadListBulkChange bulk(list);
    for (int row = 0; row < list.count(); ++row) {
        const DownloadItem &item = list.at(row);
        const QString url = QString(item.Url).replace(from, to, Qt::CaseInsensitive);
        const QString referer = QString(item.Referer).replace(from, to, Qt::CaseInsensitive);
        bool changed = false;
        if (url != item.Url) {
            if (list.setUrl(row, url))
                changed = true;
            else
                ++result.refusedRows;
        }
        if (referer != list.at(row).Referer) {
            list.updateItem(row, [&referer](DownloadItem &stored) { stored.Referer = referer; });
            changed = true;
        }
        if (changed)
            ++result.changedRows;
    }
    return result;
}
