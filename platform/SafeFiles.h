#pragma once

#include <QFile>
#include <QString>

#include <memory>

// File operations that never act through a symbolic link. A side file the
// program writes beside a document, and anything it deletes from a folder it
// owns, are reached by name; a link planted at that name, or at a folder on
// the way to it, must not send the write or the delete somewhere else.

// A new file written under a side-file name and then put in place of its
// final name. Whatever sits at the side-file name and is not a folder (a
// link, a file left by an earlier run) is removed first, and the file is
// then created exclusively, so a link made in between makes the creation
// fail instead of being followed. The rename into place replaces whatever
// non-folder entry is at the final name (a link there is replaced, never
// followed), so the final name ends as the regular file written. A file
// neither put in place nor kept is removed when the object goes.
class NewFile
{
public:
    NewFile() = default;
    ~NewFile();
    NewFile(const NewFile &) = delete;
    NewFile &operator=(const NewFile &) = delete;

    // Creates the file at the side-file name, open for writing; false when
    // it could not be made.
    bool create(const QString &sideName);
    QFile &file() { return *m_file; }
    // Puts the written file in place of `target` and closes it. Refused when
    // the side-file name no longer names the file written; on failure the
    // side file is removed (when it is still the one written) and `target`
    // is left as it was.
    bool putInPlace(const QString &target);
    // Closes the file and removes it, when its name still names it.
    void discard();

private:
    std::unique_ptr<QFile> m_file;
    QString m_sideName;
};

// Whether something, a dangling link included, has the name.
bool NameTaken(const QString &path);

// The folder operations below act only on what lies inside `root` (never on
// `root` itself) and is reached from it through real folders: a link at any
// step below `root` stops them. `root` itself is taken as given.

// Whether the path is a real folder reached from root that way (`root`
// itself counts).
bool IsRealFolderInside(const QString &root, const QString &path);

// Deletes the regular file at the path. A link, a folder or a special file at
// the path is left alone. True when the file is gone (also when it was
// already gone).
bool RemoveFileInside(const QString &root, const QString &path);

// Removes the folder when it is a real, empty folder. A file's or folder's
// own permissions do not stop its removal on this system (only its parent's
// do), so nothing's permissions are changed.
bool RemoveEmptyFolderInside(const QString &root, const QString &path);

// Removes the folder and everything below it; a link below it is removed as
// a link, its target untouched. True when the folder is gone.
bool RemoveTreeInside(const QString &root, const QString &path);

// Makes the folder (and the missing folders on the way) below root. A link on
// the way makes it fail, except a link at the folder's own name, which is
// removed and replaced by a real folder.
bool MakeFolderInside(const QString &root, const QString &path);
