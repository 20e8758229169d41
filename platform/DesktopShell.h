#pragma once

#include "platform/Shell.h"

#include <QStringList>

// The desktop's shell: files and addresses through QDesktopServices, the file
// selected in the file manager over the freedesktop FileManager1 D-Bus
// service, and the plain-text editor named by the desktop's default
// application for text/plain.
class DesktopShell final : public Shell
{
public:
    bool openFile(const QString &path) override;
    bool selectInFileManager(const QString &path) override;
    bool openFolder(const QString &path) override;
    bool openInTextEditor(const QString &path) override;
    bool openUrl(const QString &url) override;
};

// The command line that opens the file in the desktop's default application
// for text/plain (program first), read from the mimeapps.list files and the
// application's desktop entry; empty when the desktop names none.
QStringList DefaultTextEditorCommand(const QString &path);
