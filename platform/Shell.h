#pragma once

#include <QString>

// What the desktop does with files, folders and addresses: open a file with
// its program, show a file selected in the file manager, open a folder, open
// a file in the plain-text editor, open an address in the web browser. Each
// call returns at once and reports whether the desktop accepted the request.
// Tests install a recorder instead of the real desktop.
class Shell
{
public:
    virtual ~Shell() = default;

    // The file with the program associated with its type.
    virtual bool openFile(const QString &path) = 0;
    // The file's folder in the file manager, with the file selected; the
    // plain folder when the file manager cannot select.
    virtual bool selectInFileManager(const QString &path) = 0;
    virtual bool openFolder(const QString &path) = 0;
    // The desktop's default program for plain text, whatever the file's type.
    virtual bool openInTextEditor(const QString &path) = 0;
    // The default web browser.
    virtual bool openUrl(const QString &url) = 0;
};
