#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

class Prompts;

// The folder history "SaveList.dat": one folder per line, in the code page of
// the system, each line ended by CR LF. The save-folder dialog and the
// copy/move dialog share it.

// Most lines read from the file; blank lines do not count, repeated ones do.
inline constexpr int kFolderHistoryMaxLines = 100;

// The history file in the program's folder.
QString FolderHistoryFilePath();

// The folders the file's text shows: each line trimmed (of blanks and of
// byte-order marks), blank lines skipped,
// reading stops at the 101st non-blank line, and a line equal to an earlier
// shown one (ignoring case) is skipped.
QStringList ParseFolderHistory(const QByteArray &fileBytes);

// The history read from the file; no value when no file exists there, so that
// the caller's list stays as it was.
std::optional<QStringList> ReadFolderHistory(const QString &path);

// The file's text for the list: every entry in order, one per line; an empty
// list gives one empty line.
QByteArray FolderHistoryBytes(const QStringList &folders);

// Replaces the file with the list in one step (a crash leaves the old file or
// the new one, never a part). False when it could not be written.
bool WriteFolderHistory(const QString &path, const QStringList &folders);

// Where the folder browser opens for the given text: the folder above the
// text's last name ("/papers/new/" and "/papers/new" both give "/papers/"),
// the root for a blank text, and the root again when that folder is missing.
QString BrowseStartFolder(const QString &startText);

// The folder browser with the given title, opened at BrowseStartFolder of the
// start text. Returns the chosen folder, or the start text unchanged when the
// user cancelled, with a separator appended when it lacks one.
QString BrowseForFolder(Prompts &prompts, const QString &startText, const QString &title);
