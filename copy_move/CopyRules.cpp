#include "copy_move/CopyRules.h"

#include "common/FileNames.h"
#include "platform/FileTests.h"
#include "platform/SafeFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

constexpr int kMaxExtensionLength = 6;

// Two spellings of one folder (a link, "..") count as the same folder, so a
// move never deletes the file it has just overwritten with itself.
bool sameFolder(const QString &a, const QString &b)
{
    const QString realA = QFileInfo(a).canonicalFilePath();
    const QString realB = QFileInfo(b).canonicalFilePath();
    if (!realA.isEmpty() && realA == realB)
        return true;
    return QDir::cleanPath(a).compare(QDir::cleanPath(b), Qt::CaseInsensitive) == 0;
}

} // namespace

SplitPath SplitFilePath(const QString &path)
{
    const QString trimmed = TrimBlanks(path);
    const qsizetype slash = trimmed.lastIndexOf(QLatin1Char('/'));
    SplitPath split;
    split.folder = trimmed.left(slash + 1);
    const QString name = trimmed.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0 && name.size() - dot - 1 <= kMaxExtensionLength) {
        split.base = TrimBlanks(name.left(dot));
        split.extension = TrimBlanks(name.mid(dot + 1));
    } else {
        split.base = TrimBlanks(name);
    }
    if (split.base.isEmpty()) {
        split.base = name;
        split.extension.clear();
    }
    return split;
}

QString SplitCounterSuffix(const QString &base)
{
    if (!base.endsWith(QLatin1Char(']')))
        return base;
    const qsizetype open = base.lastIndexOf(QLatin1Char('['));
    if (open < 0)
        return base;
    // A whole number: the counters this rule writes, and hand-made ones.
    static const QRegularExpression number(QStringLiteral("^[0-9]+$"));
    const QString inside = TrimBlanks(base.mid(open + 1, base.size() - open - 2));
    if (!number.match(inside).hasMatch())
        return base;
    const QString stripped = base.left(open);
    return stripped.isEmpty() ? base : stripped;
}

QString JoinedName(const QString &base, const QString &extension)
{
    return extension.isEmpty() ? base : base + QLatin1Char('.') + extension;
}

bool CopyFileKeepingTime(const QString &source, const QString &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QDateTime modified = QFileInfo(source).lastModified().toUTC();
    // The copy is made beside the target and takes its place when complete.
    // The side file is always a new file of this copy: a link or a stale file
    // at its name is never written through.
    NewFile out;
    if (!out.create(target + QStringLiteral(".copying")))
        return false;
    QByteArray buffer(256 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 read = in.read(buffer.data(), buffer.size());
        if (read < 0 || (read > 0 && out.file().write(buffer.constData(), read) != read))
            return false;
        if (read == 0)
            break;
    }
    if (!out.file().flush())
        return false;
    // A copy whose time could not be set is still a whole copy.
    out.file().setFileTime(modified, QFileDevice::FileModificationTime);
    return out.putInPlace(target);
}

RenamedCopy CopyWithAutoRename(const QString &sourcePath, const QString &destinationFolder)
{
    RenamedCopy result;
    if (!FileExists(sourcePath))
        return result;
    const SplitPath split = SplitFilePath(sourcePath);
    result.base = SplitCounterSuffix(split.base);
    QString candidate = destinationFolder + JoinedName(result.base, split.extension);
    // Any entry holds its name, a link or a folder too: none is replaced.
    for (qint64 count = 1; NameTaken(candidate); ++count) {
        result.newName =
            JoinedName(result.base + QStringLiteral("[%1]").arg(count, 3, 10, QLatin1Char('0')), split.extension);
        candidate = destinationFolder + result.newName;
    }
    result.target = candidate;
    result.copied = CopyFileKeepingTime(sourcePath, candidate);
    return result;
}

Collision CollisionFromIndex(int index)
{
    return index >= 1 && index <= 5 ? static_cast<Collision>(index) : Collision::None;
}

FileOutcome CopyOneFile(const QString &sourcePath, const QString &destinationFolder, Collision option, bool isMove)
{
    const SplitPath split = SplitFilePath(sourcePath);
    if (sameFolder(split.folder, destinationFolder))
        return FileOutcome::PassedOver;
    const QString target = destinationFolder + JoinedName(split.base, split.extension);

    auto overwrite = [&] { return CopyFileKeepingTime(sourcePath, target); };
    auto rename = [&] { return CopyWithAutoRename(sourcePath, destinationFolder).copied; };

    // A name held by anything (a link, a folder) counts as taken: the option
    // decides, and nothing is replaced unasked.
    FileOutcome outcome = FileOutcome::Failed;
    if (!NameTaken(target)) {
        outcome = CopyFileKeepingTime(sourcePath, target) ? FileOutcome::Copied : FileOutcome::Failed;
    } else {
        const QFileInfo source(sourcePath);
        const QFileInfo existing(target);
        const bool sameSize = source.size() == existing.size();
        const bool sameTime = source.lastModified() == existing.lastModified();
        switch (option) {
        case Collision::None:
        case Collision::Skip: return FileOutcome::LeftAlone;
        case Collision::Overwrite: outcome = overwrite() ? FileOutcome::Overwritten : FileOutcome::Failed; break;
        case Collision::Rename: outcome = rename() ? FileOutcome::Renamed : FileOutcome::Failed; break;
        case Collision::OverwriteSameSizeAndTime:
            if (sameSize && sameTime)
                outcome = overwrite() ? FileOutcome::Overwritten : FileOutcome::Failed;
            else
                outcome = rename() ? FileOutcome::Renamed : FileOutcome::Failed;
            break;
        case Collision::OverwriteSameSize:
            if (sameSize)
                outcome = overwrite() ? FileOutcome::Overwritten : FileOutcome::Failed;
            else
                outcome = rename() ? FileOutcome::Renamed : FileOutcome::Failed;
            break;
        }
    }
    // A move whose source cannot be deleted has not moved the file.
    if (isMove && outcome != FileOutcome::Failed && !QFile::remove(sourcePath))
        outcome = FileOutcome::Failed;
    return outcome;
}

CopyRun::CopyRun(const QStringList &files, const QString &destinationFolder, Collision option, bool isMove)
    : m_files(files), m_destination(destinationFolder), m_option(option), m_isMove(isMove)
{}

QString CopyRun::nextName() const
{
    if (atEnd())
        return QString();
    const SplitPath split = SplitFilePath(m_files.at(m_position));
    return JoinedName(split.base, split.extension);
}

bool CopyRun::step()
{
    if (atEnd())
        return false;
    m_outcomes.append(CopyOneFile(m_files.at(m_position), m_destination, m_option, m_isMove));
    ++m_position;
    return true;
}

int CopyRun::succeeded() const
{
    return int(std::count_if(m_outcomes.cbegin(), m_outcomes.cend(), [](FileOutcome outcome) {
        return outcome == FileOutcome::Copied || outcome == FileOutcome::Overwritten || outcome == FileOutcome::Renamed;
    }));
}

int CopyRun::failed() const
{
    return int(m_outcomes.count(FileOutcome::Failed));
}

QStringList ExistingFiles(const QStringList &files)
{
    QStringList existing;
    for (const QString &file : files) {
        if (FileExists(file))
            existing.append(file);
    }
    return existing;
}
