#include "cli/CliCommand.h"

QString CommandSynopsis(const CliCommand &command)
{
    return QStringLiteral("paperdrift-cli %1 %2").arg(QLatin1String(command.name), QLatin1String(command.arguments));
}

void WriteCommandUsage(const CliCommand &command, QTextStream &stream)
{
    stream << "usage: " << CommandSynopsis(command) << '\n';
}
