#include "download_window/FileCommands.h"

#include "download_window/CommandTexts.h"
#include "engine/DownloadEngine.h"
#include "engine/DownloadList.h"
#include "engine/ListResets.h"
#include "platform/CodePage.h"
#include "platform/FileTests.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"

#include <QSaveFile>

FileCommands::FileCommands(DownloadEngine &engine, Prompts &prompts, Shell &shell, QObject *parent)
    : QObject(parent), m_list(engine.list()), m_prompts(prompts), m_shell(shell)
{}

bool FileCommands::validRow(int row) const
{
    return row >= 0 && row < m_list.count();
}

void FileCommands::OpenFileWithShell(const QString &path)
{
    if (!FileExists(path)) {
        m_prompts.error(CommandText::kFileMissing);
        return;
    }
    m_shell.openFile(path);
}

bool FileCommands::SelectInExplorer(const QString &path)
{
    return FileExists(path) && m_shell.selectInFileManager(path);
}

void FileCommands::openFile(int row)
{
    if (!validRow(row))
        return;
    const QString path = ItemFilePath(m_list.at(row));
    if (FileExists(path))
        OpenFileWithShell(path);
    else
        m_prompts.error(CommandText::kThisFileMissing);
}

void FileCommands::openFolder(int row)
{
    if (!validRow(row))
        return;
    const DownloadItem &item = m_list.at(row);
    if (!FolderExists(item.Folder)) {
        m_prompts.error(CommandText::kFolderMissing);
        return;
    }
    const QString path = ItemFilePath(item);
    if (FileExists(path)) {
        if (!SelectInExplorer(path))
            m_prompts.error(CommandText::kOpenFailed);
        return;
    }
    m_shell.openFolder(item.Folder);
}

void FileCommands::openInEditor(int row)
{
    if (!validRow(row))
        return;
    const QString path = ItemFilePath(m_list.at(row));
    if (!FileExists(path)) {
        m_prompts.error(CommandText::kThisFileMissing);
        return;
    }
    if (FileLength(path) > kEditorLimitBytes) {
        m_prompts.error(CommandText::kTooLargeForEditor);
        return;
    }
    m_shell.openInTextEditor(path);
}

void FileCommands::exportNames(bool unfinishedOnly)
{
    if (m_list.isEmpty())
        return;
    const QString path = m_prompts.saveFileName(QString(), QString(), CommandText::kTextFileFilter);
    if (path.isEmpty())
        return;

    QString text;
    for (int row = 0; row < m_list.count(); ++row) {
        const DownloadItem &item = m_list.at(row);
        if (unfinishedOnly && item.State == Finished)
            continue;
        text += item.Name;
        text += QLatin1String("\r\n");
    }

    // Written whole or not at all: an earlier file of that name survives a
    // failed write.
    QSaveFile file(path);
    const QByteArray bytes = EncodeToCodePage(text);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        m_prompts.error(file.errorString());
}

void FileCommands::doubleClick(int row)
{
    if (!validRow(row))
        return;
    const DownloadItem &item = m_list.at(row);
    switch (item.State) {
    case Finished: OpenFileWithShell(ItemFilePath(item)); break;
    case Failed:
        m_list.updateItem(row, [](DownloadItem &failed) {
            DeleteItemFile(failed);
            failed.State = Waiting;
            failed.clearCounts();
        });
        break;
    case Waiting:
    case Downloading: break;
    }
}

QString FileCommands::clickedRowPath(int row) const
{
    if (!validRow(row))
        return {};
    const QString path = ItemFilePath(m_list.at(row));
    return FileExists(path) ? path : QString();
}
