#pragma once

#include <QObject>
#include <functional>

// The save-folder dialog as the harvest commands ask it. The search window
// opens the dialog window-modal and returns at once; the command goes on
// when the user answers. `answered` runs once, while `context` lives: true
// after "确定", when the dialog has written SaveFolder and
// KeepOriginalFileName to the session settings by its own rules; false after
// "取消", Escape or the close box.
class SaveFolderAsker
{
public:
    virtual ~SaveFolderAsker() = default;
    virtual void askSaveFolder(QObject *context, std::function<void(bool confirmed)> answered) = 0;
};
