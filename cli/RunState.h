#pragma once

#include "engine/DownloadItem.h"

#include <QList>
#include <QSet>
#include <QString>

class DownloadList;

// The state file of a command-line run (--state FILE): the run's list and
// how each row ended, so that a run stopped in any way (Ctrl-C, a killed
// process, a power cut) can be run again and finish what is missing.
//
// The file is JSON, written whole and atomically (a new file renamed over
// the old one) whenever rows start or end: a stop loses at most the rows in
// flight, whose bytes wait in their .part files. Read back, a finished row
// whose file is still there stays finished and is passed over; every other
// row waits again and continues from its .part file.
struct RunStateRow
{
    DownloadItem item;           // url, name, type, folder, referring page, state and counts
    bool nameFromServer = false; // the row takes the reply's Content-Disposition name
};

// Reads the file: the rows in their order, finished rows whose file is gone
// and unfinished ones set to wait again. An absent file is an empty list;
// `error` says why a file that is there cannot be read.
QList<RunStateRow> ReadRunState(const QString &path, QString *error);

// Writes the list atomically; false (and the old file left whole) when it
// could not be written.
bool WriteRunState(const QString &path, const DownloadList &list, const QSet<quint64> &nameFromServerRows);
