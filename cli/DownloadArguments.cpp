#include "cli/DownloadArguments.h"

#include "cli/CommandLine.h"
#include "engine/Naming.h"
#include "harvester/Handover.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QUrl>

#include <optional>

namespace {

constexpr int kMaxThreads = 6;
constexpr int kMaxIntervalSeconds = 600; // the interval box offers 0 to 600

// The options of the command, with the defaults of a fresh download window.
const QList<QCommandLineOption> &downloadOptions()
{
    static const QList<QCommandLineOption> options = {
        {QStringLiteral("list"),
         QStringLiteral("more addresses, one a line: URL, URL<TAB>NAME or URL<TAB>NAME<TAB>REFERER; blank lines and "
                        "lines starting with # are passed over; may be given more than once"),
         QStringLiteral("FILE")},
        {QStringLiteral("dir"), QStringLiteral("folder to store the files in (default: the current folder)"),
         QStringLiteral("DIR")},
        {QStringLiteral("method"), QStringLiteral("1: one transfer at a time; 2: parallel transfers (default 2)"),
         QStringLiteral("1|2")},
        {QStringLiteral("threads"), QStringLiteral("parallel transfers of method 2 (default 3)"),
         QStringLiteral("1-6")},
        {QStringLiteral("interval"),
         QStringLiteral("pause after a transfer ends before the next starts, 0-600 (default 0)"),
         QStringLiteral("SECONDS")},
        {QStringLiteral("same-name"), QStringLiteral("(or 跳过|覆盖|重命名) when the file exists (default rename)"),
         QStringLiteral("skip|overwrite|rename")},
        {QStringLiteral("max-mb"), QStringLiteral("files larger than N megabytes are skipped (default 10)"),
         QStringLiteral("N")},
        {QStringLiteral("proxy"), QStringLiteral("proxy for method 1 (default: none)"), QStringLiteral("HOST:PORT")},
        {QStringLiteral("type"), QStringLiteral("the items' type before the transfer (default pdf)"),
         QStringLiteral("EXT")},
        {QStringLiteral("retry"),
         QStringLiteral("fetch failed items, web pages or both again whenever the list has ended, until they "
                        "succeed or the run is stopped (default: no retry)"),
         QStringLiteral("failed|pages|both")},
        {QStringLiteral("stop-after-errors"), QStringLiteral("stop once five items failed or ended as web pages")},
        {QStringLiteral("state"),
         QStringLiteral("keep the run's list and each item's outcome in FILE; run again with the same FILE, "
                        "finished items are passed over and the others continue from their .part files (the "
                        "addresses may then be left out)"),
         QStringLiteral("FILE")},
        {QStringLiteral("name-from"),
         QStringLiteral("items without a name of their own are named by their link (default; its query and "
                        "fragment left out) or by the server's Content-Disposition when it gives a name"),
         QStringLiteral("link|server")},
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("print this help")},
    };
    return options;
}

// A whole number from `low` to `high`, or nothing.
std::optional<int> wholeNumberIn(const QString &text, int low, int high)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

// The rule named in English or by the window's caption.
std::optional<SameNamePolicy> sameNamePolicyOf(const QString &word)
{
    if (word == QLatin1String("skip"))
        return SameNamePolicy::Skip;
    if (word == QLatin1String("overwrite"))
        return SameNamePolicy::Overwrite;
    if (word == QLatin1String("rename"))
        return SameNamePolicy::Rename;
    return sameNamePolicyFromCaption(word);
}

std::optional<RetryChoice> retryChoiceOf(const QString &word)
{
    if (word == QLatin1String("failed"))
        return RetryChoice::Failed;
    if (word == QLatin1String("pages"))
        return RetryChoice::Pages;
    if (word == QLatin1String("both"))
        return RetryChoice::Both;
    return std::nullopt;
}

// The transfers understand http and https addresses with a host; anything
// else is a mistake on the command line, not an item to fail later.
bool isWebAddress(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() && !url.host().isEmpty()
           && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

QString absoluteFolder(const QString &folder, const QString &currentFolder)
{
    QString path = QDir::toNativeSeparators(QDir::cleanPath(QDir(currentFolder).absoluteFilePath(folder)));
    if (!path.endsWith(QDir::separator()))
        path += QDir::separator();
    return path;
}

// Reads a list file as UTF-8 text; the reason when it cannot be read.
QString readListFile(const QString &path, const QString &currentFolder, QList<DownloadSource> &sources)
{
    QFile file(QDir(currentFolder).absoluteFilePath(path));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read the list file %1: %2").arg(path, file.errorString());
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(file.readAll());
    if (file.error() != QFileDevice::NoError)
        return QStringLiteral("cannot read the list file %1: %2").arg(path, file.errorString());
    if (decoder.hasError())
        return QStringLiteral("the list file %1 is not UTF-8 text").arg(path);
    const QString error = ParseDownloadList(text, sources);
    return error.isEmpty() ? QString() : QStringLiteral("%1: %2").arg(path, error);
}

} // namespace

QString ParseDownloadList(const QString &text, QList<DownloadSource> &sources)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() > 3)
            return QStringLiteral("line %1: more than three fields (URL, name, referring page)").arg(i + 1);
        DownloadSource source;
        source.url = fields[0].trimmed();
        if (fields.size() > 1)
            source.name = fields[1].trimmed();
        if (fields.size() > 2)
            source.referer = fields[2].trimmed();
        if (!isWebAddress(source.url))
            return QStringLiteral("line %1: not an http or https address: %2").arg(i + 1).arg(source.url);
        sources.append(source);
    }
    return QString();
}

QString SourceFileName(const DownloadSource &source)
{
    return SanitizeFileName(source.name.isEmpty() ? OriginalFileBaseName(source.url) : source.name);
}

QString CommandLineFileName(const DownloadSource &source)
{
    if (!source.name.isEmpty())
        return SanitizeFileName(source.name);
    // "…/slow?len=40000&chunk=2000" names "slow": the query and the fragment
    // are no part of the file's name.
    QString link = source.url;
    if (const qsizetype end = link.indexOf(QRegularExpression(QStringLiteral("[?#]"))); end >= 0)
        link.truncate(end);
    return SanitizeFileName(OriginalFileBaseName(link));
}

namespace {

// Checks and applies the value of one valued option; the reason when it is
// wrong.
QString applyOption(const QString &name, const QString &text, const QString &currentFolder, DownloadArguments &parsed,
                    QString &folder)
{
    if (name == QLatin1String("list"))
        return readListFile(text, currentFolder, parsed.sources);
    if (name == QLatin1String("dir")) {
        if (text.isEmpty())
            return QStringLiteral("--dir needs a folder");
        folder = text;
    } else if (name == QLatin1String("method")) {
        const std::optional<int> method = wholeNumberIn(text, 1, 2);
        if (!method)
            return QStringLiteral("--method must be 1 or 2, not \"%1\"").arg(text);
        parsed.method = DownloadMethodFromNumber(*method);
    } else if (name == QLatin1String("threads")) {
        const std::optional<int> threads = wholeNumberIn(text, 1, kMaxThreads);
        if (!threads)
            return QStringLiteral("--threads must be a whole number from 1 to %1, not \"%2\"")
                .arg(kMaxThreads)
                .arg(text);
        parsed.threads = *threads;
    } else if (name == QLatin1String("interval")) {
        const std::optional<int> seconds = wholeNumberIn(text, 0, kMaxIntervalSeconds);
        if (!seconds)
            return QStringLiteral("--interval must be a whole number of seconds from 0 to %1, not \"%2\"")
                .arg(kMaxIntervalSeconds)
                .arg(text);
        parsed.intervalSeconds = *seconds;
    } else if (name == QLatin1String("same-name")) {
        const std::optional<SameNamePolicy> policy = sameNamePolicyOf(text);
        if (!policy)
            return QStringLiteral("--same-name must be skip, overwrite or rename (%1, %2 or %3), not \"%4\"")
                .arg(SameNameCaption::kSkip, SameNameCaption::kOverwrite, SameNameCaption::kRename, text);
        parsed.sameNamePolicy = *policy;
    } else if (name == QLatin1String("max-mb")) {
        bool ok = false;
        const double megabytes = text.toDouble(&ok);
        if (!ok || !(megabytes > 0) || !qIsFinite(megabytes))
            return QStringLiteral("--max-mb must be a positive number of megabytes, not \"%1\"").arg(text);
        parsed.maxFileSizeMB = megabytes;
    } else if (name == QLatin1String("proxy")) {
        const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
        const QString host = colon > 0 ? text.left(colon).trimmed() : QString();
        const QString port = colon > 0 ? text.mid(colon + 1).trimmed() : QString();
        if (host.isEmpty() || !wholeNumberIn(port, 1, 65535))
            return QStringLiteral("--proxy must be HOST:PORT, not \"%1\"").arg(text);
        parsed.proxyAddress = host;
        parsed.proxyPort = port;
    } else if (name == QLatin1String("type")) {
        // The type becomes the file's extension: it must be usable as part
        // of a file name as it is.
        if (!text.isEmpty() && SanitizeFileName(text) != text)
            return QStringLiteral("--type must be a file extension without a dot, not \"%1\"").arg(text);
        parsed.type = text;
    } else if (name == QLatin1String("retry")) {
        const std::optional<RetryChoice> retry = retryChoiceOf(text);
        if (!retry)
            return QStringLiteral("--retry must be failed, pages or both, not \"%1\"").arg(text);
        parsed.retry = *retry;
    } else if (name == QLatin1String("state")) {
        if (text.isEmpty())
            return QStringLiteral("--state needs a value");
        parsed.statePath = QDir::cleanPath(QDir(currentFolder).absoluteFilePath(text));
    } else if (name == QLatin1String("name-from")) {
        if (text.isEmpty())
            return QStringLiteral("--name-from needs a value");
        if (text != QLatin1String("server") && text != QLatin1String("link"))
            return QStringLiteral("--name-from must be link or server, not \"%1\"").arg(text);
        parsed.nameFromServer = text == QLatin1String("server");
    }
    return QString();
}

} // namespace

DownloadArgumentsResult ParseDownloadArguments(const QStringList &arguments, const QString &currentFolder)
{
    DownloadArgumentsResult result;
    DownloadArguments &parsed = result.arguments;
    auto fail = [&result](const QString &error) {
        result.error = error;
        return result;
    };

    QCommandLineParser parser;
    const CommandLineFault fault = ParseCommandLine(parser, downloadOptions(), arguments);
    if (parser.isSet(QStringLiteral("help"))) {
        parsed.help = true;
        return result;
    }
    if (fault.isFault())
        return fail(fault.message());

    // The addresses given as arguments come first, then the rows of the list
    // files in the order the files are named.
    for (const QString &address : parser.positionalArguments()) {
        if (!isWebAddress(address))
            return fail(QStringLiteral("not an http or https address: %1").arg(address));
        parsed.sources.append(DownloadSource{address, QString(), QString()});
    }
    // Every value is checked; the last one of an option given twice counts.
    QString folder = currentFolder;
    for (const QCommandLineOption &option : downloadOptions()) {
        const QString &name = option.names().constLast();
        if (option.valueName().isEmpty())
            continue;
        for (const QString &value : parser.values(name)) {
            if (const QString error = applyOption(name, value, currentFolder, parsed, folder); !error.isEmpty())
                return fail(error);
        }
    }
    parsed.stopAfterErrors = parser.isSet(QStringLiteral("stop-after-errors"));

    // A list file may hold nothing but comments: that is an empty run, not
    // a mistake.
    if (parsed.sources.isEmpty() && !parser.isSet(QStringLiteral("list")) && parsed.statePath.isEmpty())
        return fail(QStringLiteral("no address given: name URLs or a list file with --list"));
    parsed.folder = absoluteFolder(folder, currentFolder);
    return result;
}

QString DownloadUsageText()
{
    return ArgumentHelp(QStringLiteral("URL..."),
                        QStringLiteral("addresses to fetch, stored under the name their link gives"), downloadOptions())
           + OptionsHelp(downloadOptions())
           + QStringLiteral(
               "Progress goes to standard error; at the end standard output gets one line per item:\n"
               "STATE<TAB>PROGRESS<TAB>SIZE<TAB>PATH<TAB>URL. Exit code 0 when every item finished and is not\n"
               "a web page, 1 otherwise, 2 for wrong arguments. Ctrl-C stops the transfers and prints the list.\n"
               "On a terminal the live line shows the run's speed and, when every running item has a length,\n"
               "the time left.\n");
}
