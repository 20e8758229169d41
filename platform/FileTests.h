#pragma once

#include <QString>

// File-system tests. A test that fails (no permission, a bad path) counts as
// absent. Hidden and read-only files count as files; folders never do.
bool FileExists(const QString &path);
bool FolderExists(const QString &path);

// Length in bytes of the file at the path; -1 when it is not a readable file.
qint64 FileLength(const QString &path);
