#pragma once

#include <QProcess>
#include <QStringList>

// One run of paperdrift-cli and what it gave.
struct CliRun
{
    int exitCode = -1;
    QProcess::ExitStatus exitStatus = QProcess::CrashExit;
    QStringList lines; // standard output, one entry per line
    QString errors;    // standard error
};

// Runs paperdrift-cli in `folder`. The program runs without the superuser's
// right to read or write any file, so that a file without permission is out
// of its reach as of a user's.
CliRun RunCli(const QStringList &arguments, const QString &folder);

// The same set-up for a run that the caller starts and waits for itself (to
// keep its own event loop turning, or to signal the program meanwhile).
void PrepareCli(QProcess &process, const QStringList &arguments, const QString &folder);

// What a finished process gave.
CliRun CollectCliRun(QProcess &process);
