#include "startup/StartupArguments.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

StartupArguments ParseStartupArguments(const QStringList &arguments, const QString &currentFolder)
{
    StartupArguments parsed;
    QString folder = currentFolder;
    const auto valueAfter = [&](qsizetype &i) -> std::optional<QString> {
        if (i + 1 >= arguments.size()) {
            parsed.error = arguments.at(i) + QStringLiteral(" needs a value");
            return std::nullopt;
        }
        return arguments.at(++i);
    };
    for (qsizetype i = 0; i < arguments.size() && parsed.error.isEmpty(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            parsed.help = true;
        } else if (argument == QLatin1String("--dir")) {
            if (const auto value = valueAfter(i))
                folder = QDir(currentFolder).absoluteFilePath(*value);
        } else if (argument == QLatin1String("--list")) {
            const auto value = valueAfter(i);
            if (!value)
                break;
            QFile file(QDir(currentFolder).absoluteFilePath(*value));
            if (!file.open(QIODevice::ReadOnly)) {
                parsed.error = QStringLiteral("cannot read the list file ") + *value;
                break;
            }
            const QString reason = ParseDownloadList(QString::fromUtf8(file.readAll()), parsed.sources);
            if (!reason.isEmpty())
                parsed.error = *value + QStringLiteral(": ") + reason;
        } else if (argument.startsWith(QLatin1String("--"))) {
            parsed.error = QStringLiteral("unknown option ") + argument;
        } else {
            parsed.sources.append({argument, QString(), QString()});
        }
    }
    parsed.folder = QDir::cleanPath(folder);
    if (!parsed.folder.endsWith(QLatin1Char('/')))
        parsed.folder += QLatin1Char('/');
    return parsed;
}

QString StartupUsage()
{
    return QStringLiteral(
        "usage: paperdrift [--dir FOLDER] [--list FILE] [URL...]\n"
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
