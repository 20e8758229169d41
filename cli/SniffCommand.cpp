#include "cli/SniffCommand.h"

#include "cli/CommandLine.h"
#include "engine/FileTypeSniffer.h"

namespace {

const QList<QCommandLineOption> &sniffOptions()
{
    static const QList<QCommandLineOption> options = {
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("print this help")},
    };
    return options;
}

} // namespace

int RunSniffCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    const CommandLineFault fault = ParseCommandLine(parser, sniffOptions(), arguments);
    if (parser.isSet(QStringLiteral("help"))) {
        WriteCommandUsage(kSniffCommand, out);
        out << ArgumentHelp(QStringLiteral("FILE..."),
                            QStringLiteral("files to look at; a name starting with - goes after --"), sniffOptions())
            << OptionsHelp(sniffOptions());
        return kExitSuccess;
    }
    if (fault.isFault())
        err << "paperdrift-cli sniff: " << fault.message() << '\n';
    const QStringList files = parser.positionalArguments();
    if (fault.isFault() || files.isEmpty()) {
        WriteCommandUsage(kSniffCommand, err);
        return kExitUsage;
    }
    for (const QString &path : files)
        out << detectFileType(path) << '\t' << path << '\n';
    return kExitSuccess;
}
