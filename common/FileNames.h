#pragma once

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

// A base name for an item whose name cleans to nothing: the last non-empty
// segment of the address's path, cleaned, else its host; never empty for an
// address with a host.
QString FallbackFileName(const QString &url);

// How a message about a folder is shown: waiting for the user (a user's own
// command) or left on screen (the engine's ticks and transfers, which must
// never wait inside a network or timer handler).
enum class MessageMode { Modal, NonBlocking };

// "文件夹名称有误！不能创建文件夹！" through the prompts, in the given mode.
void ShowFolderNameWrong(Prompts &prompts, MessageMode mode);

// CreateFolderPath: creates the folder path level by level; returns the path
// created or found, without a trailing separator, or an empty text when making
// it failed. A folder name that cleans to nothing (or a network path without a
// server) shows "文件夹名称有误！不能创建文件夹！" through the prompts.
// `messageShown`, when given, tells whether that message was shown.
QString CreateFolderPath(const QString &folderPath, Prompts &prompts, MessageMode mode = MessageMode::Modal,
                         bool *messageShown = nullptr);
