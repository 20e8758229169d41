#include "engine/ListResets.h"

#include "engine/DownloadList.h"
#include "engine/EngineTexts.h"
#include "engine/FolderFiles.h"
#include "engine/Naming.h"
#include "engine/Resume.h"

#include <QFile>

#include <functional>

namespace {

bool isType(const DownloadItem &item, const char *type)
{
    return item.Type.compare(QLatin1String(type), Qt::CaseInsensitive) == 0;
}

bool isHtmOrHtml(const DownloadItem &item)
{
    return isType(item, "htm") || isType(item, "html");
}

bool hasEnded(const DownloadItem &item)
{
    return item.State == Finished || item.State == Failed;
}

int resetRows(DownloadList &list, const std::function<bool(const DownloadItem &)> &matches, bool alwaysTypeToFind)
{
    FolderFiles files;
    int reset = 0;
    for (int row = 0; row < list.count(); ++row) {
        if (!matches(list.at(row)))
            continue;
        list.updateItem(row, [alwaysTypeToFind, &files](DownloadItem &item) {
            ResetForDownloadAgain(item, alwaysTypeToFind, &files);
        });
        ++reset;
    }
    return reset;
}

// Removes the file at the path and the ".part" file a failed transfer kept
// beside it. A removal that finds nothing is one failed system call, cheaper
// than testing first; a folder of that name is never removed.
void removeFileAt(const QString &path)
{
    if (path.isEmpty())
        return;
    QFile::remove(path);
    QFile::remove(PartPath(path));
    ForgetValidator(path);
}

// The reset for download again keeps a .part file that can be continued
// (its reply's validator is kept beside it): the next transfer asks only for
// the rest. Any other .part file goes with the item's file.
void removeFileForAgain(const QString &path, const QString &url)
{
    if (path.isEmpty())
        return;
    if (!ResumePointFor(path, url).isResume()) {
        removeFileAt(path);
        return;
    }
    QFile::remove(path);
}

} // namespace

void DeleteItemFile(const DownloadItem &item)
{
    removeFileAt(ItemFilePath(item));
}

void ResetForDownloadAgain(DownloadItem &item, bool alwaysTypeToFind, FolderFiles *files)
{
    const QString oldPath = ItemFilePath(item);
    if (!files || files->itemFileOrPartExists(item))
        removeFileForAgain(oldPath, item.Url);
    item.State = Waiting;
    if (alwaysTypeToFind || isHtmOrHtml(item))
        item.Type = EngineText::kTypeToFind;
    item.clearCounts();
    // A file under the new type ("name.xxx") goes too; with the type
    // unchanged the path is the one just cleared.
    const QString newPath = ItemFilePath(item);
    if (newPath != oldPath && (!files || files->itemFileOrPartExists(item)))
        removeFileForAgain(newPath, item.Url);
}

int ResetFailedItems(DownloadList &list)
{
    return resetRows(
        list, [](const DownloadItem &item) { return item.State == Failed; }, false);
}

int ResetWebPageItems(DownloadList &list)
{
    return resetRows(
        list, [](const DownloadItem &item) { return (isHtmOrHtml(item) || isType(item, "xml")) && hasEnded(item); },
        true);
}

int ResetFailedAndWebPageItems(DownloadList &list)
{
    return resetRows(
        list, [](const DownloadItem &item) { return item.State == Failed || (isHtmOrHtml(item) && hasEnded(item)); },
        false);
}
