// paperdrift-cli: the download engine and the harvester without windows. The
// first argument names the command; the rest belong to it and its own parser.
#include "cli/CliCommand.h"
#include "cli/CommandLine.h"
#include "cli/DownloadCommand.h"
#include "cli/ExtractCommand.h"
#include "cli/SniffCommand.h"
#include "platform/MemoryTuning.h"

#include <QCoreApplication>

#include <array>

namespace {

constexpr std::array kCommands = {
    kSniffCommand,
    kExtractCommand,
    kDownloadCommand,
};

// The options of the program itself, before any command word.
const QList<QCommandLineOption> &programOptions()
{
    static const QList<QCommandLineOption> options = {
        {{QStringLiteral("h"), QStringLiteral("help")}, QString()},
        {{QStringLiteral("version")}, QString()},
    };
    return options;
}

void writeUsage(QTextStream &stream)
{
    stream << "usage:\n";
    for (const CliCommand &command : kCommands) {
        stream << "  " << CommandSynopsis(command) << '\n';
        stream << "      " << command.summary << '\n';
    }
    stream << "  paperdrift-cli --version\n";
    stream << "      print the program's version\n";
    stream << "paperdrift-cli COMMAND --help lists the options of a command.\n";
}

} // namespace

int main(int argc, char *argv[])
{
    KeepTransferBuffersInProcess();
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Paperdrift"));

    QTextStream out(stdout);
    QTextStream err(stderr);

    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    // Options up to the command word are the program's; from it on, every
    // argument is the command's.
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const CommandLineFault fault = ParseCommandLine(parser, programOptions(), arguments);
    if (parser.isSet(QStringLiteral("help"))) {
        writeUsage(out);
        return kExitSuccess;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        out << "paperdrift-cli " << PAPERDRIFT_VERSION << '\n';
        return kExitSuccess;
    }
    if (fault.isFault()) {
        err << "paperdrift-cli: " << fault.message() << '\n';
        writeUsage(err);
        return kExitUsage;
    }
    QStringList commandArguments = parser.positionalArguments();
    if (commandArguments.isEmpty()) {
        writeUsage(err);
        return kExitUsage;
    }
    const QString name = commandArguments.takeFirst();
    if (name == QLatin1String("help")) {
        writeUsage(out);
        return kExitSuccess;
    }
    for (const CliCommand &command : kCommands) {
        if (name == QLatin1String(command.name))
            return command.run(commandArguments, out, err);
    }
    err << "paperdrift-cli: unknown command \"" << name << "\"\n";
    writeUsage(err);
    return kExitUsage;
}
