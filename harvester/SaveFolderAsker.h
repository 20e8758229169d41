#pragma once

// The save-folder dialog as the harvest commands use it. The search window
// implements it by showing the dialog modally; afterwards the commands read
// the outcome from the session settings (SaveFolder, KeepOriginalFileName and
// SaveFolderDialogCancelled), which the dialog writes by its own rules.
class SaveFolderAsker
{
public:
    virtual ~SaveFolderAsker() = default;
    virtual void showSaveFolderDialog() = 0;
};
