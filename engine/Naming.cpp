#include "engine/Naming.h"

#include "engine/EngineTexts.h"
#include "platform/CodePage.h"
#include "platform/FileTests.h"
#include "platform/Prompts.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

// Longest cleaned name in bytes. On Windows the names are counted in the
// user's code page as the program always did; here the code page is UTF-8,
// the file system's own encoding, and the limit leaves room for a counter
// such as "[0001]" and an extension within the 255-byte name limit.
#ifdef Q_OS_WIN
constexpr qsizetype kNameByteLimit = 250;
#else
constexpr qsizetype kNameByteLimit = 240;
#endif

// Bases longer than this are shortened when a free name is looked for after
// the type of a stored file has been corrected.
constexpr qsizetype kUniqueBaseLimit = 100;

bool isReservedInName(QChar c)
{
    switch (c.unicode()) {
    case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
        return true;
    default:
        return false;
    }
}

bool isLineBreakOrNul(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n') || c.unicode() == 0;
}

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

void showFolderNameWrong(Prompts &prompts, MessageMode mode)
{
    if (mode == MessageMode::NonBlocking)
        prompts.notify(EngineText::kFolderNameWrong, QString(), PromptIcon::Error);
    else
        prompts.error(EngineText::kFolderNameWrong);
}

} // namespace

QString SanitizeFileName(const QString &text)
{
    QString name;
    name.reserve(text.size());
    for (QChar c : text) {
        if (!isReservedInName(c) && !isLineBreakOrNul(c))
            name.append(c);
    }

    qsizetype first = 0;
    while (first < name.size() && name.at(first) == QLatin1Char('.'))
        ++first;
    qsizetype last = name.size();
    while (last > first && name.at(last - 1) == QLatin1Char('.'))
        --last;
    name = name.mid(first, last - first);

    name = TrimBlanks(LeftCodePageBytes(name, kNameByteLimit));

    // A blank outside the dots keeps them (" .a. " gives ".a."), but a name of
    // nothing but dots and blanks is no name: "." and ".." are the folder
    // itself and its parent, and "..." would be taken apart into ".." by the
    // free-name search, so any of them in a path would leave the save folder.
    if (TrimBlanks(QString(name).remove(QLatin1Char('.'))).isEmpty())
        return QString();
    return name;
}

QString CreateFolderPath(const QString &folderPath, Prompts &prompts, MessageMode mode, bool *messageShown)
{
    if (messageShown)
        *messageShown = false;
    const auto showFolderNameWrong = [messageShown](Prompts &prompts, MessageMode mode) {
        ::showFolderNameWrong(prompts, mode);
        if (messageShown)
            *messageShown = true;
    };
    const QChar separator = QDir::separator();
    const QString networkPrefix(2, separator);
    const QString path = QDir::toNativeSeparators(folderPath);
    const QStringList parts = path.split(separator);

    // The path built so far starts with the drive (here: nothing before the
    // root's separator) or with the server of a network path; neither is cleaned.
    QString built;
    qsizetype next = 1;
    const bool network = path.startsWith(networkPrefix);
    if (network) {
        if (parts.size() < 3 || parts.at(2).isEmpty()) {
            showFolderNameWrong(prompts, mode);
            return QString();
        }
        built = networkPrefix + parts.at(2);
        next = 3;
    } else {
        built = parts.at(0);
    }

    for (; next < parts.size(); ++next) {
        const QString &part = parts.at(next);
        if (part.isEmpty()) // two separators in a row, or the trailing one
            break;
        const QString folderName = SanitizeFileName(part);
        if (folderName.isEmpty()) {
            showFolderNameWrong(prompts, mode);
            break;
        }
        built += separator + folderName;
        if (!FolderExists(built))
            QDir().mkdir(built); // a failure shows in the final test below
    }

    // An absolute path whose walk stopped at its first folder leaves only the
    // root, which is named by its separator.
    if (built.isEmpty() && !network && path.startsWith(separator))
        built = separator;
    return FolderExists(built) ? built : QString();
}

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
            showFolderNameWrong(prompts, mode);
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

QString FallbackFileName(const QString &url)
{
    const QUrl address(url.trimmed());
    const QStringList segments = address.path(QUrl::FullyDecoded).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (auto segment = segments.crbegin(); segment != segments.crend(); ++segment) {
        const QString name = SanitizeFileName(*segment);
        if (!name.isEmpty())
            return name;
    }
    return SanitizeFileName(address.host());
}

bool IsPlainFileType(const QString &type)
{
    if (type.isEmpty())
        return false;
    bool afterJoin = true; // at the start, or just after "." or "-"
    for (QChar c : type) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
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

    const auto counted = [&stem](qint64 n) {
        return stem + QStringLiteral("[%1]").arg(n, 3, 10, QLatin1Char('0'));
    };
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

QString TrimBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}
