#include "settings/FolderHistory.h"

#include "platform/CodePage.h"
#include "platform/FileTests.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompts.h"
#include "settings/SettingsTexts.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSet>

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

QString withSeparator(const QString &path)
{
    const QChar separator = QDir::separator();
    return path.endsWith(separator) ? path : path + separator;
}

// A byte-order mark is not part of a folder. The decoder drops one at the
// start of the file only; a file that was put together from two (or edited
// by a program that writes a mark at each save) holds more at line starts.
// Kept, the mark would make the line a different entry and be written back.
bool isBlankOrMark(QChar c)
{
    return c.isSpace() || c == QChar(QChar::ByteOrderMark);
}

QString trimmedLine(const QString &line)
{
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && isBlankOrMark(line.at(begin)))
        ++begin;
    while (end > begin && isBlankOrMark(line.at(end - 1)))
        --end;
    return line.sliced(begin, end - begin);
}

} // namespace

QString FolderHistoryFilePath()
{
    return QDir::toNativeSeparators(ProgramFolder() + QDir::separator() + SettingsText::kHistoryFileName);
}

QStringList ParseFolderHistory(const QByteArray &fileBytes)
{
    QString text = DecodeFromCodePage(fileBytes);
    // Lines end with CR LF; a lone CR or LF ends a line as well.
    text.replace(kLineEnd, QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    QStringList folders;
    QSet<QString> shown; // case-folded entries already in the list
    int counted = 0;
    for (const QString &rawLine : text.split(QLatin1Char('\n'))) {
        const QString line = trimmedLine(rawLine);
        if (line.isEmpty())
            continue;
        if (++counted > kFolderHistoryMaxLines)
            break;
        const QString folded = line.toCaseFolded();
        if (shown.contains(folded))
            continue;
        shown.insert(folded);
        folders.append(line);
    }
    return folders;
}

std::optional<QStringList> ReadFolderHistory(const QString &path)
{
    if (!FileExists(path))
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringList(); // present but unreadable: an empty history
    return ParseFolderHistory(file.readAll());
}

QByteArray FolderHistoryBytes(const QStringList &folders)
{
    if (folders.isEmpty())
        return EncodeToCodePage(kLineEnd);
    QString text;
    for (const QString &folder : folders)
        text += folder + kLineEnd;
    return EncodeToCodePage(text);
}

bool WriteFolderHistory(const QString &path, const QStringList &folders)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(FolderHistoryBytes(folders));
    return file.commit();
}

QString BrowseStartFolder(const QString &startText)
{
    const QChar separator = QDir::separator();
    const QString root = QDir::toNativeSeparators(QDir::rootPath());
    QString folder = startText.trimmed().isEmpty() ? root : startText;

    // Cut after the last separator that is not the last character.
    const qsizetype cut = folder.lastIndexOf(separator, folder.size() - 2);
    if (folder.size() >= 2 && cut >= 0)
        folder = folder.left(cut + 1);

    if (!FolderExists(folder))
        folder = root;
    return folder;
}

QString BrowseForFolder(Prompts &prompts, const QString &startText, const QString &title)
{
    const QString chosen = prompts.browseForFolder(title, BrowseStartFolder(startText));
    return withSeparator(chosen.isEmpty() ? startText : QDir::toNativeSeparators(chosen));
}
