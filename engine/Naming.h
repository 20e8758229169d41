#pragma once

#include "common/FileNames.h"
#include "common/SameNamePolicy.h"
#include "engine/DownloadItem.h"

#include <QString>

#include <functional>

// The folder a transfer writes into, created as CreateFolderPath does and
// ending with a separator; empty when the folder text is empty or cannot be
// created, or when its walk stopped at the file-system root. The message
// "文件夹名称有误！不能创建文件夹！" has been shown once when it is empty: a
// file is never sent to the root instead.
QString SaveFolderFor(const QString &folder, Prompts &prompts, MessageMode mode);

// The file a transfer's bytes go to until the body is complete: the final
// path with ".part" after it. Its existence also keeps a failed row's bytes.
QString PartPath(const QString &finalPath);

// Puts the complete body in the final place, replacing an older file there in
// one step; false (and the .part file left as it was) when that fails.
bool ReplaceWithPart(const QString &finalPath);

// Whether a file type taken from a reply can stand as an extension: letters
// and digits, with single "." or "-" between them ("pdf", "vnd.rn-realmedia";
// not ".", "..", "a/b" or " ").
bool IsPlainFileType(const QString &type);

// The path itself when no file exists there, else the first free variant
// with a four-digit counter "[0001]".
QString UniqueFilePath(const QString &filePath);

// 确定是需要下载: the scheduler's test before an item starts: false (and the row marked
// "已存在，跳过") when its file exists and the same-name rule is "跳过".
bool isDownloadNeeded(DownloadItem &item, SameNamePolicy policy);

// The name and path a transfer writes to.
struct SavePath
{
    QString name; // new base name for the item's Name
    QString path; // full path to write
};
// 重命名保存路径: the name and path a transfer writes to under the same-name rule.
// A path counts as taken when `taken` says so (by default: a file exists
// there); the engine adds the paths of the transfers that are running.
// The counter stays below kMaxNameCounter: a name whose counter would pass it
// keeps that number as text and is counted again from 1.
using PathTaken = std::function<bool(const QString &path)>;
inline constexpr qint64 kMaxNameCounter = 999999999;
SavePath renamedSavePath(const QString &folder, const QString &name, const QString &type, SameNamePolicy policy,
                         const PathTaken &taken = {});
