#pragma once

#include "common/SameNamePolicy.h"
#include "engine/DownloadItem.h"

#include <QString>

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
QString CreateFolderPath(const QString &folderPath, Prompts &prompts, MessageMode mode = MessageMode::Modal);

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
SavePath renamedSavePath(const QString &folder, const QString &name, const QString &type, SameNamePolicy policy);
