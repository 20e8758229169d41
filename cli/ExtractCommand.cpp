#include "cli/ExtractCommand.h"

#include "cli/PageModelJson.h"

#include "harvester/HarvestExport.h"
#include "harvester/HarvestList.h"
#include "harvester/HtmlPageReader.h"
#include "harvester/PageExtraction.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
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
    bool live = false;
    QString loadLimit; // seconds, with --live
    QStringList files; // or addresses, with --live
};

const QString kLiveReaderName = QStringLiteral("paperdrift-live-reader");

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
        } else if (argument == QLatin1String("--live")) {
            options.live = true;
        } else if (argument == QLatin1String("--url") || argument == QLatin1String("--export")
                   || argument == QLatin1String("--load-limit")) {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                err << "paperdrift-cli extract: " << argument << " needs a value\n";
                return std::nullopt;
            }
            QString &value = argument == QLatin1String("--url")      ? options.pageUrl
                             : argument == QLatin1String("--export") ? options.exportPath
                                                                     : options.loadLimit;
            value = arguments[++i];
        } else {
            err << "paperdrift-cli extract: unknown option \"" << argument << "\"\n";
            return std::nullopt;
        }
    }
    if (options.files.isEmpty())
        return std::nullopt;
    if (options.live && !options.pageUrl.isEmpty()) {
        err << "paperdrift-cli extract: --url names the address of saved pages; with --live each page has its own\n";
        return std::nullopt;
    }
    if (!options.loadLimit.isEmpty()) {
        bool ok = false;
        const double seconds = options.loadLimit.toDouble(&ok);
        if (!options.live || !ok || !(seconds > 0) || seconds > 3600) {
            err << "paperdrift-cli extract: --load-limit needs --live and a number of seconds above 0, up to 3600\n";
            return std::nullopt;
        }
    }
    return options;
}

// The saved pages, each read into the list in the order given; false when
// one could not be read.
bool readSavedPages(const ExtractOptions &options, HarvestList &list, QTextStream &err)
{
    bool allRead = true;
    for (const QString &path : options.files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            err << "paperdrift-cli extract: cannot read " << path << '\n';
            allRead = false;
            continue;
        }
        const QUrl pageUrl =
            options.pageUrl.isEmpty() ? QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()) : QUrl(options.pageUrl);
        ExtractPageEntries(ReadHtmlPage(file.readAll(), pageUrl), QString(), options.tickedOnly, options.freeOnly,
                           list);
    }
    return allRead;
}

// The addresses, loaded and read by paperdrift-live-reader. The helper ends
// each page itself within the load limit, so the run ends too.
bool readLivePages(const ExtractOptions &options, HarvestList &list, QTextStream &err)
{
    const QString program = QCoreApplication::applicationDirPath() + QLatin1Char('/') + kLiveReaderName;
    if (!QFileInfo(program).isExecutable()) {
        err << "paperdrift-cli extract: " << kLiveReaderName << " is missing beside paperdrift-cli\n";
        return false;
    }
    QStringList arguments;
    if (!options.loadLimit.isEmpty())
        arguments << QStringLiteral("--load-limit") << options.loadLimit;
    arguments << options.files;

    QProcess reader;
    reader.setProgram(program);
    reader.setArguments(arguments);
    reader.setStandardInputFile(QProcess::nullDevice());
    err.flush();
    bool ended = false;
    const auto end = [&ended] {
        ended = true;
        QCoreApplication::quit();
    };
    QObject::connect(&reader, &QProcess::finished, end);
    QObject::connect(&reader, &QProcess::errorOccurred, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            end();
    });
    reader.start();
    // The command's own event loop, as the download command runs one; a
    // failure to start may have been reported inside start() already.
    if (!ended)
        QCoreApplication::exec();

    if (reader.error() == QProcess::FailedToStart) {
        err << "paperdrift-cli extract: cannot start " << kLiveReaderName << ": " << reader.errorString() << '\n';
        return false;
    }
    bool allRead = true;
    const QList<QByteArray> lines = reader.readAllStandardOutput().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith(kLiveSkippedTag)) {
            err << "paperdrift-cli extract: " << QString::fromUtf8(line.mid(qstrlen(kLiveSkippedTag))) << '\n';
            allRead = false;
        } else if (line.startsWith(kLivePageTag)) {
            const std::optional<PageModel> page = PageModelFromJsonLine(line.mid(qstrlen(kLivePageTag)));
            if (page)
                ExtractPageEntries(*page, QString(), options.tickedOnly, options.freeOnly, list);
            else
                allRead = false;
        }
    }
    // Its diagnostics matter only when it did not finish its work.
    if (reader.exitStatus() != QProcess::NormalExit || reader.exitCode() > 1) {
        err << QString::fromLocal8Bit(reader.readAllStandardError());
        err << "paperdrift-cli extract: " << kLiveReaderName << " ended abnormally\n";
        allRead = false;
    }
    return allRead;
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
    if (!(options->live ? readLivePages(*options, list, err) : readSavedPages(*options, list, err)))
        exitCode = kExitFailure;

    for (int row = 0; row < list.count(); ++row) {
        const HarvestEntry &entry = list.at(row);
        out << EscapeField(entry.Title) << '\t' << EscapeField(entry.Link) << '\t' << EscapeField(entry.PageUrl)
            << '\n';
    }

    if (!options->exportPath.isEmpty() && !WriteHarvestExport(list, options->exportPath)) {
        err << "paperdrift-cli extract: cannot write " << options->exportPath << '\n';
        exitCode = kExitFailure;
    }
    return exitCode;
}
