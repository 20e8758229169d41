#pragma once

#include "common/SameNamePolicy.h"
#include "engine/DownloadItem.h"

#include <QString>

#include <functional>

class Prompts;

// Removes blanks (spaces only, not tabs or line breaks) at both ends, as
// names and counters are trimmed.
QString TrimBlanks(const QString &text);

// The text cleaned for use as one file or folder name (may be empty): no
// reserved characters, line breaks or NUL, no dots at either end, at most
// 240 UTF-8 bytes (250 code-page bytes on Windows) cut at a character
// boundary, no blanks at either end. "." and ".." clean to nothing.
QString SanitizeFileName(const QString &text);

// How a message of the naming rules is shown: waiting for the user (a user's
// own command) or left on screen (the engine's ticks and transfers, which must
// never wait inside a network or timer handler).
enum class MessageMode { Modal, NonBlocking };

// CreateFolderPath: creates the folder path level by level; returns the path
// created or found, without a trailing separator, or an empty text when making
// it failed. A folder name that cleans to nothing (or a network path without a
// server) shows "文件夹名称有误！不能创建文件夹！" through the prompts.
// `messageShown`, when given, tells whether that message was shown.
QString CreateFolderPath(const QString &folderPath, Prompts &prompts, MessageMode mode = MessageMode::Modal,
                         bool *messageShown = nullptr);

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

// A base name for an item whose name cleans to nothing: the last non-empty
// segment of the address's path, cleaned, else its host; never empty for an
// address with a host.
QString FallbackFileName(const QString &url);

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
