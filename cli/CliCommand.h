#pragma once

#include <QStringList>
#include <QTextStream>

// One command of paperdrift-cli. A command gets the arguments after its name,
// writes its results to `out` and its complaints to `err`, and returns the
// process exit code.
struct CliCommand
{
    const char *name;
    const char *arguments; // shown in the usage line after the name
    const char *summary;   // one line for the usage message
    int (*run)(const QStringList &arguments, QTextStream &out, QTextStream &err);
};

// Exit codes shared by every command.
constexpr int kExitSuccess = 0;
constexpr int kExitUsage = 2;

// "paperdrift-cli NAME ARGUMENTS".
QString CommandSynopsis(const CliCommand &command);

// Writes the usage line of one command.
void WriteCommandUsage(const CliCommand &command, QTextStream &stream);

// A field of a tab-separated output line: backslashes, tabs and line breaks
// escaped as \\, \t, \n and \r.
QString EscapeField(const QString &text);
