#pragma once

#include <QString>

// Tells the system which bytes of a file will be read soon, so that it can
// fetch them from the disk while other files are being read: many small
// reads of files not yet in memory then overlap instead of waiting in turn.
// Only a hint; nothing happens when the file cannot be opened.
void ExpectReads(const QString &path, qint64 headBytes, qint64 tailBytes);
