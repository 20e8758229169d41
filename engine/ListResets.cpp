#include "engine/ListResets.h"

#include "engine/DownloadList.h"
#include "engine/EngineTexts.h"
#include "engine/Naming.h"
#include "platform/FileTests.h"

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
    int reset = 0;
    for (int row = 0; row < list.count(); ++row) {
        if (!matches(list.at(row)))
            continue;
        list.updateItem(row, [alwaysTypeToFind](DownloadItem &item) { ResetForDownloadAgain(item, alwaysTypeToFind); });
        ++reset;
    }
    return reset;
}

} // namespace

void DeleteItemFile(const DownloadItem &item)
{
    const QString path = ItemFilePath(item);
    if (FileExists(path))
        QFile::remove(path);
    // The bytes a failed transfer kept go with the file.
    if (FileExists(PartPath(path)))
        QFile::remove(PartPath(path));
}

void ResetForDownloadAgain(DownloadItem &item, bool alwaysTypeToFind)
{
    DeleteItemFile(item);
    item.State = Waiting;
    if (alwaysTypeToFind || isHtmOrHtml(item))
        item.Type = EngineText::kTypeToFind;
    item.Size.clear();
    item.Downloaded.clear();
    item.Progress.clear();
    // A file under the new type ("name.xxx") goes too.
    DeleteItemFile(item);
}

int ResetFailedItems(DownloadList &list)
{
    return resetRows(list, [](const DownloadItem &item) { return item.State == Failed; }, false);
}

int ResetWebPageItems(DownloadList &list)
{
    return resetRows(
        list,
        [](const DownloadItem &item) { return (isHtmOrHtml(item) || isType(item, "xml")) && hasEnded(item); },
        true);
}

int ResetFailedAndWebPageItems(DownloadList &list)
{
    return resetRows(
        list, [](const DownloadItem &item) { return item.State == Failed || (isHtmOrHtml(item) && hasEnded(item)); },
        false);
}
