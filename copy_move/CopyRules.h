#pragma once

#include <QString>
#include <QStringList>

// The rules of copying and moving files into one folder, without a window.

// SplitFilePath: a path taken apart. The folder keeps its trailing separator;
// an extension longer than six characters counts as none.
struct SplitPath
{
    QString folder;
    QString base;
    QString extension;
};
SplitPath SplitFilePath(const QString &path);

// SplitCounterSuffix: the base without a trailing counter "[n]" (n a whole
// number, blanks around it allowed); any other base, and a base that would
// come out empty, stays as it is.
QString SplitCounterSuffix(const QString &base);

// The name of a split path: base, and "." and the extension when there is one.
QString JoinedName(const QString &base, const QString &extension);

// 复制相同文件自动重命名: copies the source into the folder (ending with a
// separator) under its name without counter suffix, or under the first free
// "base[001].ext", "base[002].ext", ... True when the copy is there.
struct RenamedCopy
{
    bool copied = false;
    QString base;    // the base used
    QString newName; // the name, when a counter was needed
    QString target;  // the path copied to
};
RenamedCopy CopyWithAutoRename(const QString &sourcePath, const QString &destinationFolder);

// Copies a file the way the platform's copy does: contents and modification
// time. An existing target is replaced only once the new copy is complete, so
// a failed copy never loses the file that was there.
bool CopyFileKeepingTime(const QString &source, const QString &target);

// The collision options, by their index 1 to 5; any other index selects none,
// which leaves an existing file alone.
enum class Collision {
    None = 0,
    Skip = 1,
    Overwrite = 2,
    Rename = 3,
    OverwriteSameSizeAndTime = 4,
    OverwriteSameSize = 5
};
Collision CollisionFromIndex(int index);

// What happened to one file of a run.
enum class FileOutcome { PassedOver, Copied, Overwritten, Renamed, LeftAlone, Failed };

// One file of a run: copied (or moved) into the destination folder under the
// collision option. A file already in that folder is passed over.
FileOutcome CopyOneFile(const QString &sourcePath, const QString &destinationFolder, Collision option, bool isMove);

// A run over the list, one file per step, so that the caller can let events
// run between files and stop the run. The list is the one the run started
// with; the progress bar's maximum is one more than its count.
class CopyRun
{
public:
    CopyRun(const QStringList &files, const QString &destinationFolder, Collision option, bool isMove);

    int progressMaximum() const { return m_files.size() + 1; }
    int position() const { return m_position; } // 1-based position of the file last handled
    bool atEnd() const { return m_position >= m_files.size(); }
    // The name the next step handles, for the current-file label.
    QString nextName() const;
    // Handles the next file; false when the run had already ended.
    bool step();
    const QList<FileOutcome> &outcomes() const { return m_outcomes; }
    // Of the files handled so far: how many are now in the destination
    // folder (copied, overwritten or renamed; moved in move mode), and how
    // many are not because copying (or deleting a moved file's source) failed.
    int succeeded() const;
    int failed() const;

private:
    QStringList m_files;
    QString m_destination;
    Collision m_option;
    bool m_isMove;
    int m_position = 0;
    QList<FileOutcome> m_outcomes;
};

// The files of the list that still exist, in order.
QStringList ExistingFiles(const QStringList &files);
