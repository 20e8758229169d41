#include "cli/CliCommand.h"

QString CommandSynopsis(const CliCommand &command)
{
    return QStringLiteral("paperdrift-cli %1 %2").arg(QLatin1String(command.name), QLatin1String(command.arguments));
}

void WriteCommandUsage(const CliCommand &command, QTextStream &stream)
{
    stream << "usage: " << CommandSynopsis(command) << '\n';
}

QString EscapeField(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\': escaped += QLatin1String("\\\\"); break;
        case '\n': escaped += QLatin1String("\\n"); break;
        case '\r': escaped += QLatin1String("\\r"); break;
        case '\t': escaped += QLatin1String("\\t"); break;
        default: escaped += c;
        }
    }
    return escaped;
}
