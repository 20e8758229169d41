// What paperdrift-cli download is given: the input is read as a list file and,
// one argument a line, as the command's arguments. A "--list" among them reads
// the input itself from a file of the fuzz run's own folder, so that no run
// reads a file of the machine.
#include "fuzz/FuzzCheck.h"

#include "cli/DownloadArguments.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QString kListFileName = QStringLiteral("list.txt");

// A cleaned name: one name, no separator, not the folder itself.
void checkName(const QString &name)
{
    FUZZ_CHECK(!name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')));
    FUZZ_CHECK(name != QLatin1String(".") && name != QLatin1String(".."));
}

void checkSources(const QList<DownloadSource> &sources)
{
    for (const DownloadSource &source : sources) {
        FUZZ_CHECK(source.url.startsWith(QLatin1String("http"), Qt::CaseInsensitive));
        checkName(SourceFileName(source));
    }
}

// The lines as arguments, every "--list" pointed at the fuzz run's list file.
QStringList argumentsOf(const QString &text)
{
    QStringList arguments;
    bool listAsked = false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith(QLatin1String("--list"))) {
            listAsked = true;
            if (!lines[i].contains(QLatin1Char('=')))
                ++i; // its value
            continue;
        }
        arguments.append(lines[i]);
    }
    if (listAsked)
        arguments << QStringLiteral("--list") << kListFileName;
    return arguments;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    const QByteArray bytes = FuzzBytes(data, size);
    const QString text = QString::fromUtf8(bytes);

    QList<DownloadSource> listed;
    if (ParseDownloadList(text, listed).isEmpty())
        checkSources(listed);

    QFile listFile(QDir(folder.path()).filePath(kListFileName));
    FUZZ_CHECK(listFile.open(QIODevice::WriteOnly) && listFile.write(bytes) == bytes.size());
    listFile.close();

    const DownloadArgumentsResult result = ParseDownloadArguments(argumentsOf(text), folder.path());
    if (result.error.isEmpty()) {
        const DownloadArguments &arguments = result.arguments;
        FUZZ_CHECK(QDir::isAbsolutePath(arguments.folder) && arguments.folder.endsWith(QDir::separator()));
        FUZZ_CHECK(arguments.method == DownloadMethod::Single || arguments.method == DownloadMethod::Parallel);
        FUZZ_CHECK(arguments.threads >= 1 && arguments.threads <= 6);
        FUZZ_CHECK(arguments.intervalSeconds >= 0 && arguments.intervalSeconds <= 600);
        checkSources(arguments.sources);
    }
    return 0;
}
