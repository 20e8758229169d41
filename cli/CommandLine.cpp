#include "cli/CommandLine.h"

namespace {

constexpr qsizetype kHelpWidth = 100;
constexpr qsizetype kWidestColumn = 26; // where descriptions start at most

const QLatin1String kDoubleDash("--");

QString dashed(const QString &name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// "-h, --help" or "--dir DIR".
QString optionTerm(const QCommandLineOption &option)
{
    QStringList names;
    for (const QString &name : option.names())
        names << dashed(name);
    QString term = names.join(QLatin1String(", "));
    if (!option.valueName().isEmpty())
        term += QLatin1Char(' ') + option.valueName();
    return term;
}

qsizetype descriptionColumn(const QList<QCommandLineOption> &options, qsizetype widest)
{
    for (const QCommandLineOption &option : options) {
        if (!option.description().isEmpty())
            widest = qMax(widest, optionTerm(option).size());
    }
    return qMin(2 + widest + 2, kWidestColumn);
}

// "  TERM  description", the description wrapped at the help's width with
// its further lines starting at `column`.
QString helpEntry(const QString &term, const QString &description, qsizetype column)
{
    QString text = QStringLiteral("  ") + term;
    text += text.size() + 2 <= column ? QString(column - text.size(), QLatin1Char(' ')) : QStringLiteral("  ");
    qsizetype lineStart = 0;
    bool lineHasWord = false;
    for (const QString &word : description.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (lineHasWord && text.size() - lineStart + 1 + word.size() > kHelpWidth) {
            text += QLatin1Char('\n');
            lineStart = text.size();
            text += QString(column, QLatin1Char(' '));
            lineHasWord = false;
        }
        if (lineHasWord)
            text += QLatin1Char(' ');
        text += word;
        lineHasWord = true;
    }
    return text + QLatin1Char('\n');
}

const QCommandLineOption *optionNamed(const QList<QCommandLineOption> &options, const QString &name)
{
    for (const QCommandLineOption &option : options) {
        if (option.names().contains(name))
            return &option;
    }
    return nullptr;
}

// The first argument the parser could not take, walking the arguments as
// the parser does. Called only when the parser has refused them.
CommandLineFault firstFault(const QList<QCommandLineOption> &options, const QStringList &arguments)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == kDoubleDash)
            break;
        if (!argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-"))
            continue;
        const qsizetype dashes = argument.startsWith(kDoubleDash) ? 2 : 1;
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        const QString name = argument.mid(dashes, equals < 0 ? -1 : equals - dashes);
        const QCommandLineOption *option = optionNamed(options, name);
        if (!option)
            return {CommandLineFault::Kind::UnknownOption, argument};
        const QString given = argument.left(equals < 0 ? argument.size() : equals);
        if (option->valueName().isEmpty()) {
            if (equals >= 0)
                return {CommandLineFault::Kind::UnexpectedValue, given};
        } else if (equals < 0) {
            if (i + 1 >= arguments.size())
                return {CommandLineFault::Kind::MissingValue, given};
            ++i; // its value, whatever it looks like
        }
    }
    return {};
}

} // namespace

QString CommandLineFault::message() const
{
    switch (kind) {
    case Kind::None: return QString();
    case Kind::UnknownOption: return QStringLiteral("unknown option \"%1\"").arg(argument);
    case Kind::MissingValue: return QStringLiteral("%1 needs a value").arg(argument);
    case Kind::UnexpectedValue: return QStringLiteral("%1 takes no value").arg(argument);
    case Kind::Other: return argument;
    }
    return argument;
}

CommandLineFault ParseCommandLine(QCommandLineParser &parser, const QList<QCommandLineOption> &options,
                                  const QStringList &arguments)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(options);
    // The parser passes over its first entry, the program's name.
    if (parser.parse(QStringList{QString()} + arguments))
        return {};
    const CommandLineFault fault = firstFault(options, arguments);
    return fault.isFault() ? fault : CommandLineFault{CommandLineFault::Kind::Other, parser.errorText()};
}

QString OptionsHelp(const QList<QCommandLineOption> &options)
{
    const qsizetype column = descriptionColumn(options, 0);
    QString text;
    for (const QCommandLineOption &option : options) {
        if (!option.description().isEmpty())
            text += helpEntry(optionTerm(option), option.description(), column);
    }
    return text;
}

QString ArgumentHelp(const QString &name, const QString &description, const QList<QCommandLineOption> &options)
{
    return helpEntry(name, description, descriptionColumn(options, name.size()));
}
