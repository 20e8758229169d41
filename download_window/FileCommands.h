#pragma once

#include <QObject>
#include <QString>

class DownloadEngine;
class DownloadList;
class Prompts;
class Shell;

// The download list's commands on a row's file: open it, show it in its
// folder, open it in the plain-text editor, the double click, the click that
// shows its path, and the export of the rows' names to a text file. `row` is
// the current row (0-based); -1 when there is none, and then nothing happens.
class FileCommands final : public QObject
{
    Q_OBJECT

public:
    FileCommands(DownloadEngine &engine, Prompts &prompts, Shell &shell, QObject *parent = nullptr);

    // Files above this size are not opened in the plain-text editor.
    static constexpr qint64 kEditorLimitBytes = 2048 * 1024;

    // menu打开下载文件
    void openFile(int row);
    // menu打开文件所在文件夹: the folder with the file selected, or the bare
    // folder when the file is missing.
    void openFolder(int row);
    // menu用记事本打开文件: refused for a file over 2048 KiB.
    void openInEditor(int row);
    // menu导出全部名称 / menu导出未完成项名称: every row's name (or those of
    // the rows not finished), one a line, into a text file the user names,
    // written whole or not at all.
    void exportNames(bool unfinishedOnly);
    // Double click: a finished row's file opens; a failed row waits again
    // (its file deleted, its type kept); other rows are left alone.
    void doubleClick(int row);
    // The row's file path when a file is there, else an empty text.
    QString clickedRowPath(int row) const;

private:
    // OpenFileWithShell: opens the file with its program; says "文件不存在！"
    // when it is missing.
    void OpenFileWithShell(const QString &path);
    // SelectInExplorer: shows the file selected in its folder; false when
    // the file is missing or the desktop refused.
    bool SelectInExplorer(const QString &path);
    bool validRow(int row) const;

    DownloadList &m_list;
    Prompts &m_prompts;
    Shell &m_shell;
};
