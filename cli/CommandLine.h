#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

// Why a command line was refused by its parser, in the terms the user typed.
struct CommandLineFault
{
    enum class Kind { None, UnknownOption, MissingValue, UnexpectedValue, Other };
    Kind kind = Kind::None;
    QString argument; // the option as given ("--fast", "--dir"); the parser's own text for Other

    bool isFault() const { return kind != Kind::None; }
    // "unknown option \"--fast\"", "--dir needs a value", "--live takes no value".
    QString message() const;
};

// Reads `arguments` (without the program's or the command's name) with a
// parser that knows `options`. A word after one dash is a long option
// ("-dir" is "--dir"); "-" alone is an argument; "--" ends the options. When
// the parser refuses the arguments, the fault is the first wrong argument in
// the order given.
CommandLineFault ParseCommandLine(QCommandLineParser &parser, const QList<QCommandLineOption> &options,
                                  const QStringList &arguments);

// The options, one a line: names, value and description, the descriptions
// aligned and wrapped at 100 columns under themselves. An option whose
// description is empty is left out.
QString OptionsHelp(const QList<QCommandLineOption> &options);

// The same for arguments that are no option ("URL...", "FILE..."), aligned
// with the options of `options`.
QString ArgumentHelp(const QString &name, const QString &description, const QList<QCommandLineOption> &options);
