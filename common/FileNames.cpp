#include "common/FileNames.h"

#include "common/CommonTexts.h"
#include "platform/CodePage.h"
#include "platform/FileTests.h"
#include "platform/Prompts.h"

#include <QDir>
#include <QStringList>
#include <QUrl>

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

bool isReservedInName(QChar c)
{
    switch (c.unicode()) {
    case '\\':
    case '/':
    case ':':
    case '*':
    case '?':
    case '"':
    case '<':
    case '>':
    case '|': return true;
    default: return false;
    }
}

bool isLineBreakOrNul(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n') || c.unicode() == 0;
}

} // namespace

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

void ShowFolderNameWrong(Prompts &prompts, MessageMode mode)
{
    if (mode == MessageMode::NonBlocking)
        prompts.notify(CommonText::kFolderNameWrong, QString(), PromptIcon::Error);
    else
        prompts.error(CommonText::kFolderNameWrong);
}

QString CreateFolderPath(const QString &folderPath, Prompts &prompts, MessageMode mode, bool *messageShown)
{
    if (messageShown)
        *messageShown = false;
    const auto showFolderNameWrong = [messageShown](Prompts &prompts, MessageMode mode) {
        ShowFolderNameWrong(prompts, mode);
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
