#include "cli/ExtractCommand.h"

#include "harvester/HarvestExport.h"
#include "harvester/HarvestList.h"
#include "harvester/HtmlPageReader.h"
#include "harvester/PageExtraction.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <optional>

namespace {

constexpr int kExitFailure = 1;

struct ExtractOptions
{
    bool freeOnly = false;
    bool tickedOnly = false;
    QString pageUrl;
    QString exportPath;
    QStringList files;
};

// The options and files, or nothing when the arguments are wrong (the
// complaint is written to `err`).
std::optional<ExtractOptions> parseArguments(const QStringList &arguments, QTextStream &err)
{
    ExtractOptions options;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (optionsEnded || !argument.startsWith(QLatin1String("--"))) {
            options.files.append(argument);
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--free-only")) {
            options.freeOnly = true;
        } else if (argument == QLatin1String("--ticked-only")) {
            options.tickedOnly = true;
        } else if (argument == QLatin1String("--url") || argument == QLatin1String("--export")) {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                err << "paperdrift-cli extract: " << argument << " needs a value\n";
                return std::nullopt;
            }
            (argument == QLatin1String("--url") ? options.pageUrl : options.exportPath) = arguments[++i];
        } else {
            err << "paperdrift-cli extract: unknown option \"" << argument << "\"\n";
            return std::nullopt;
        }
    }
    if (options.files.isEmpty())
        return std::nullopt;
    return options;
}

} // namespace

int RunExtractCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const std::optional<ExtractOptions> options = parseArguments(arguments, err);
    if (!options) {
        WriteCommandUsage(kExtractCommand, err);
        return kExitUsage;
    }

    int exitCode = kExitSuccess;
    HarvestList list;
    for (const QString &path : options->files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            err << "paperdrift-cli extract: cannot read " << path << '\n';
            exitCode = kExitFailure;
            continue;
        }
        const QUrl pageUrl = options->pageUrl.isEmpty() ? QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath())
                                                        : QUrl(options->pageUrl);
        ExtractPageEntries(ReadHtmlPage(file.readAll(), pageUrl), QString(), options->tickedOnly,
                           options->freeOnly, list);
    }

    for (int row = 0; row < list.count(); ++row) {
        const HarvestEntry &entry = list.at(row);
        out << EscapeField(entry.Title) << '\t' << EscapeField(entry.Link) << '\t' << EscapeField(entry.PageUrl) << '\n';
    }

    if (!options->exportPath.isEmpty() && !WriteHarvestExport(list, options->exportPath)) {
        err << "paperdrift-cli extract: cannot write " << options->exportPath << '\n';
        exitCode = kExitFailure;
    }
    return exitCode;
}
