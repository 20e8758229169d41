#pragma once

#include <QString>

class Prompts;
class StoredSettings;
struct SessionSettings;

// What OK of the save-folder dialog leaves behind.
struct SaveFolderOutcome
{
    QString boxText;       // the folder created or found, without a trailing separator; empty on failure
    bool accepted = false; // false: "文件夹设置错误！" was shown and the dialog stays open
};

// The save-folder dialog's OK: records the naming choice, creates every
// missing folder of the box's text and, when that worked, makes it the save
// folder (with a trailing separator) in the record and the store. A blank
// text or a folder that cannot be made (also one with a name that cleans to
// nothing, or an empty name between two separators, which would leave only
// the folder above) shows "文件夹设置错误！" and stores nothing.
SaveFolderOutcome ConfirmSaveFolder(const QString &boxText, bool keepOriginalFileName, StoredSettings &stored,
                                    SessionSettings &session, Prompts &prompts);
