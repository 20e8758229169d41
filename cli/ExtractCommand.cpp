#include "cli/ExtractCommand.h"

#include "cli/CommandLine.h"
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

const QList<QCommandLineOption> &extractOptions()
{
    static const QList<QCommandLineOption> options = {
        {QStringLiteral("free-only"), QStringLiteral("take only the entries marked free on the page")},
        {QStringLiteral("ticked-only"), QStringLiteral("take only the entries ticked on the page")},
        {QStringLiteral("url"),
         QStringLiteral("the saved pages' address, which their links are resolved against (default: each file's "
                        "own file:// address)"),
         QStringLiteral("PAGE_URL")},
        {QStringLiteral("export"), QStringLiteral("also write the list's export file (default: none)"),
         QStringLiteral("FILE")},
        {QStringLiteral("live"),
         QStringLiteral("the arguments are addresses, loaded in the embedded browser offscreen and read as the "
                        "search window reads them")},
        {QStringLiteral("load-limit"),
         QStringLiteral("with --live: the wait for each page, above 0 and up to 3600 (default 30)"),
         QStringLiteral("SECONDS")},
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("print this help")},
    };
    return options;
}

// The options and files, or nothing when the arguments are wrong (the
// complaint is written to `err`).
std::optional<ExtractOptions> parseArguments(const QCommandLineParser &parser, const CommandLineFault &fault,
                                             QTextStream &err)
{
    if (fault.isFault()) {
        err << "paperdrift-cli extract: " << fault.message() << '\n';
        return std::nullopt;
    }
    ExtractOptions options;
    options.freeOnly = parser.isSet(QStringLiteral("free-only"));
    options.tickedOnly = parser.isSet(QStringLiteral("ticked-only"));
    options.live = parser.isSet(QStringLiteral("live"));
    options.files = parser.positionalArguments();
    for (const QString name : {QStringLiteral("url"), QStringLiteral("export"), QStringLiteral("load-limit")}) {
        if (!parser.isSet(name))
            continue;
        if (parser.values(name).contains(QString())) {
            err << "paperdrift-cli extract: --" << name << " needs a value\n";
            return std::nullopt;
        }
        QString &value = name == QLatin1String("url")      ? options.pageUrl
                         : name == QLatin1String("export") ? options.exportPath
                                                           : options.loadLimit;
        value = parser.value(name);
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
    QCommandLineParser parser;
    const CommandLineFault fault = ParseCommandLine(parser, extractOptions(), arguments);
    if (parser.isSet(QStringLiteral("help"))) {
        WriteCommandUsage(kExtractCommand, out);
        out << ArgumentHelp(QStringLiteral("FILE.html|URL..."),
                            QStringLiteral("saved result pages, or with --live the addresses of result pages"),
                            extractOptions())
            << OptionsHelp(extractOptions())
            << "One line per entry taken, in list order: title, tab, link, tab, the page's address. Exit code 0;\n"
               "1 when a page could not be read or loaded or the export file could not be written; 2 for wrong\n"
               "arguments.\n";
        return kExitSuccess;
    }
    const std::optional<ExtractOptions> options = parseArguments(parser, fault, err);
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
