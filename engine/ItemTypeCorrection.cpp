#include "engine/ItemTypeCorrection.h"

#include "engine/DownloadList.h"
#include "engine/EngineTexts.h"
#include "engine/FileTypeSniffer.h"
#include "engine/Naming.h"
#include "platform/FileTests.h"
#include "platform/Prompts.h"

#include <QFile>
#include <QFileInfo>

bool CorrectItemType(DownloadItem &item)
{
    const QString oldPath = ItemFilePath(item);
    if (!FileExists(oldPath))
        return false;

    const QString type = detectFileType(oldPath);
    if (type.isEmpty() || type.compare(item.Type, Qt::CaseInsensitive) == 0)
        return false;

    DownloadItem renamed = item;
    renamed.Type = type;
    const QString newPath = UniqueFilePath(ItemFilePath(renamed));
    if (!QFile::rename(oldPath, newPath) || !FileExists(newPath))
        return false;

    // The new name is the free name found for the file without its "." and
    // type. Taken as it stands (not trimmed), so that the item still points at
    // its file when the name begins or ends with a blank.
    item.Type = type;
    item.Name = QFileInfo(newPath).fileName().chopped(type.size() + 1);
    return true;
}

std::optional<int> CheckAndCorrectFileTypes(DownloadList &list, bool downloadingBusy, Prompts &prompts)
{
    if (downloadingBusy) {
        prompts.message(EngineText::kStopDownloadingFirst, QString(), PromptIcon::Information, PromptButtons::Ok);
        return std::nullopt;
    }
    if (list.isEmpty())
        return 0;

    int corrected = 0;
    for (int row = 0; row < list.count(); ++row) {
        DownloadItem item = list.at(row);
        if (!CorrectItemType(item))
            continue;
        ++corrected;
        list.updateItem(row, [&item](DownloadItem &stored) {
            stored.Type = item.Type;
            stored.Name = item.Name;
        });
    }
    prompts.message(EngineText::kTypesCorrectedPrefix + QString::number(corrected) + EngineText::kTypesCorrectedSuffix,
                    QString(), PromptIcon::Information, PromptButtons::Ok);
    return corrected;
}
