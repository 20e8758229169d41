// paperdrift-cli: the download engine and the harvester without windows. The
// first argument names the command; the rest belong to it.
#include "cli/CliCommand.h"
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

void writeUsage(QTextStream &stream)
{
    stream << "usage:\n";
    for (const CliCommand &command : kCommands) {
        stream << "  " << CommandSynopsis(command) << '\n';
        stream << "      " << command.summary << '\n';
    }
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
    if (arguments.isEmpty()) {
        writeUsage(err);
        return kExitUsage;
    }
    const QString name = arguments.takeFirst();
    if (name == QLatin1String("-h") || name == QLatin1String("--help") || name == QLatin1String("help")) {
        writeUsage(out);
        return kExitSuccess;
    }
    for (const CliCommand &command : kCommands) {
        if (name == QLatin1String(command.name))
            return command.run(arguments, out, err);
    }
    err << "paperdrift-cli: unknown command \"" << name << "\"\n";
    writeUsage(err);
    return kExitUsage;
}
