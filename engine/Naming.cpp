#include "engine/Naming.h"

#include "engine/EngineTexts.h"
#include "platform/FileTests.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

// Bases longer than this are shortened when a free name is looked for after
// the type of a stored file has been corrected.
constexpr qsizetype kUniqueBaseLimit = 100;

// A bracketed counter: decimal digits, with blanks allowed around them.
bool isCounterText(const QString &text, qint64 *value = nullptr)
{
    const QString digits = TrimBlanks(text);
    if (digits.isEmpty())
        return false;
    for (QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    bool ok = false;
    const qint64 number = digits.toLongLong(&ok);
    if (!ok) // too many digits to be a counter
        return false;
    if (value)
        *value = number;
    return true;
}

// Position of the last separator of the path, or -1. On Windows both "\" and
// "/" separate folders.
qsizetype lastSeparator(const QString &path)
{
    return std::max(path.lastIndexOf(QDir::separator()), path.lastIndexOf(QLatin1Char('/')));
}

QString withType(const QString &name, const QString &type)
{
    return type.isEmpty() ? name : name + QLatin1Char('.') + type;
}

// The first `count` characters, never ending inside a surrogate pair.
QString leftCharacters(const QString &text, qsizetype count)
{
    if (text.size() <= count)
        return text;
    if (count > 0 && text.at(count - 1).isHighSurrogate())
        --count;
    return text.left(count);
}

} // namespace

QString UniqueFilePath(const QString &filePath)
{
    if (!FileExists(filePath))
        return filePath;
    const qsizetype cut = lastSeparator(filePath);
    if (cut < 0)
        return filePath;

    const QString folder = filePath.left(cut + 1);
    const QString fileName = filePath.mid(cut + 1);
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    QString base = dot < 0 ? fileName : fileName.left(dot);
    const QString extension = dot < 0 ? QString() : fileName.mid(dot + 1);

    base = leftCharacters(base, kUniqueBaseLimit);

    // Only a counter at the very end is taken off: "x[0003]" becomes "x".
    // A name that is nothing but a counter keeps it, or the new path would
    // name the folder itself (or a hidden ".pdf").
    if (base.endsWith(QLatin1Char(']'))) {
        const qsizetype open = base.lastIndexOf(QLatin1Char('['), base.size() - 2);
        if (open > 0 && isCounterText(base.mid(open + 1, base.size() - open - 2)))
            base.truncate(open);
    }

    QString candidate = folder + withType(base, extension);
    for (qint64 n = 1; FileExists(candidate); ++n)
        candidate = folder + withType(base + QStringLiteral("[%1]").arg(n, 4, 10, QLatin1Char('0')), extension);
    return candidate;
}

QString SaveFolderFor(const QString &folder, Prompts &prompts, MessageMode mode)
{
    const QString requested = TrimBlanks(folder);
    QString created;
    bool shown = false;
    if (!requested.isEmpty())
        created = CreateFolderPath(requested, prompts, mode, &shown);
    // A walk stopped by a faulty first name leaves the root: it never stands
    // in for the folder asked for.
    const bool rootInstead = !created.isEmpty() && QDir(created).isRoot() && !QDir(requested).isRoot();
    if (created.isEmpty() || rootInstead) {
        if (!shown)
            ShowFolderNameWrong(prompts, mode);
        return QString();
    }
    return created.endsWith(QDir::separator()) ? created : created + QDir::separator();
}

QString PartPath(const QString &finalPath)
{
    return finalPath + QStringLiteral(".part");
}

bool ReplaceWithPart(const QString &finalPath)
{
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(PartPath(finalPath).toStdU16String()),
                            std::filesystem::path(finalPath.toStdU16String()), error);
    return !error;
}

bool IsPlainFileType(const QString &type)
{
    if (type.isEmpty())
        return false;
    bool afterJoin = true; // at the start, or just after "." or "-"
    for (QChar c : type) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
                           || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
                           || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
        if (plain) {
            afterJoin = false;
        } else if ((c == QLatin1Char('.') || c == QLatin1Char('-')) && !afterJoin) {
            afterJoin = true;
        } else {
            return false;
        }
    }
    return !afterJoin;
}

bool isDownloadNeeded(DownloadItem &item, SameNamePolicy policy)
{
    const QString path = ItemFilePath(item);
    if (policy != SameNamePolicy::Skip || !FileExists(path))
        return true;

    item.State = Finished;
    item.setExistingFile(std::max<qint64>(FileLength(path), 0), ProgressWord::ExistsSkipped);
    return false;
}

SavePath renamedSavePath(const QString &folder, const QString &name, const QString &type, SameNamePolicy policy,
                         const PathTaken &taken)
{
    QString base = folder;
    if (!base.endsWith(QDir::separator()))
        base += QDir::separator();
    const auto isTaken = [&taken](const QString &path) { return taken ? taken(path) : FileExists(path); };

    const QString path = base + withType(name, type);
    if (policy == SameNamePolicy::Overwrite || !isTaken(path))
        return {name, path};

    // A counter may stand anywhere: "A[2] final" continues from 2 as "A".
    QString stem = name;
    qint64 counter = 0;
    const qsizetype open = stem.lastIndexOf(QLatin1Char('['));
    const qsizetype close = stem.lastIndexOf(QLatin1Char(']'));
    if (open >= 0 && close > open && isCounterText(stem.mid(open + 1, close - open - 1), &counter)
        && counter < kMaxNameCounter)
        stem.truncate(open);
    else
        counter = 0;

    // Other brackets would be read as a counter next time.
    stem.replace(QLatin1Char('['), QStringLiteral("『"));
    stem.replace(QLatin1Char(']'), QStringLiteral("』"));

    const auto counted = [&stem](qint64 n) { return stem + QStringLiteral("[%1]").arg(n, 3, 10, QLatin1Char('0')); };
    // A name that was nothing but a counter is counted from 1: an empty
    // name would name the folder itself.
    if (stem.isEmpty() && counter == 0)
        counter = 1;
    QString newName = counter == 0 ? stem : counted(counter);
    while (isTaken(base + withType(newName, type))) {
        if (counter + 1 >= kMaxNameCounter) {
            // Past the bound the name reached is kept as text and counted
            // again from 1: the counter never overflows.
            stem = newName;
            stem.replace(QLatin1Char('['), QStringLiteral("『"));
            stem.replace(QLatin1Char(']'), QStringLiteral("』"));
            counter = 0;
        }
        newName = counted(++counter);
    }
    return {newName, base + withType(newName, type)};
}
