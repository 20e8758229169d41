#include "startup/StartupArguments.h"

#include "cli/CommandLine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QList<QCommandLineOption> &startupOptions()
{
    static const QList<QCommandLineOption> options = {
        {QStringLiteral("dir"), QStringLiteral("folder the rows are stored in (default: the current folder)"),
         QStringLiteral("FOLDER")},
        {QStringLiteral("list"),
         QStringLiteral("more addresses, one \"URL[<TAB>NAME[<TAB>REFERER]]\" a line; may be given more than once"),
         QStringLiteral("FILE")},
        {QStringLiteral("version"), QStringLiteral("print the program's version")},
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("print this help")},
    };
    return options;
}

} // namespace

StartupArguments ParseStartupArguments(const QStringList &arguments, const QString &currentFolder)
{
    StartupArguments parsed;
    QCommandLineParser parser;
    const CommandLineFault fault = ParseCommandLine(parser, startupOptions(), arguments);
    parsed.help = parser.isSet(QStringLiteral("help"));
    parsed.version = parser.isSet(QStringLiteral("version"));
    parsed.folder = QDir::cleanPath(QDir(currentFolder).absoluteFilePath(parser.value(QStringLiteral("dir"))));
    if (!parsed.folder.endsWith(QLatin1Char('/')))
        parsed.folder += QLatin1Char('/');
    if (fault.kind == CommandLineFault::Kind::UnknownOption) {
        parsed.error = QStringLiteral("unknown option ") + fault.argument;
        return parsed;
    }
    if (fault.isFault()) {
        parsed.error = fault.message();
        return parsed;
    }
    // The addresses given as arguments first, then the rows of the list
    // files in the order the files are named.
    for (const QString &address : parser.positionalArguments())
        parsed.sources.append({address, QString(), QString()});
    for (const QString &path : parser.values(QStringLiteral("list"))) {
        QFile file(QDir(currentFolder).absoluteFilePath(path));
        if (!file.open(QIODevice::ReadOnly)) {
            parsed.error = QStringLiteral("cannot read the list file ") + path;
            return parsed;
        }
        const QString reason = ParseDownloadList(QString::fromUtf8(file.readAll()), parsed.sources);
        if (!reason.isEmpty()) {
            parsed.error = path + QStringLiteral(": ") + reason;
            return parsed;
        }
    }
    return parsed;
}

QString StartupUsage()
{
    return QStringLiteral("usage: paperdrift [--dir FOLDER] [--list FILE] [URL...]\n") + OptionsHelp(startupOptions())
           + QStringLiteral(
               "Opens the startup window; its button \"资料检索下载\" opens the search window on the literature\n"
               "site's start page (PAPERDRIFT_START_PAGE, when set, names another). Addresses given here (or in\n"
               "FILE, one \"URL[<TAB>NAME[<TAB>REFERER]]\" a line) are put on the download list as waiting rows\n"
               "stored under FOLDER (default: the current folder), and the search and download windows come up\n"
               "at once; downloading starts with \"开始下载\". After start the program asks its update server\n"
               "(PAPERDRIFT_UPDATE_BASE, when set, names another; empty: no check) whether a newer version exists.\n");
}

QString NoDisplayMessage()
{
    return QStringLiteral(
        "paperdrift: there is no display to open its windows on (neither DISPLAY nor WAYLAND_DISPLAY is set); "
        "use the command-line tool instead: paperdrift-cli, or ./run-paperdrift.sh cli download --dir papers URL...\n");
}

bool DisplayAvailable()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
           || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}
