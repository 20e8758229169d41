// Names and types that come from replies and titles: an article title or a
// link's last part cleaned into a file name, a reply's content type mapped
// to a file type, and the free and renamed paths found for them in a folder
// that already holds a file of that name. The input is the name, a line
// break, and the content type.
#include "fuzz/FuzzCheck.h"

#include "engine/ContentType.h"
#include "engine/Naming.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

bool inFolder(const QString &path, const QString &folder)
{
    return QFileInfo(path).absolutePath() == folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir temporary;
    static const QString folder = QFileInfo(temporary.path()).canonicalFilePath();

    const QString input = QString::fromUtf8(FuzzBytes(data, size));
    const qsizetype lineEnd = input.indexOf(QLatin1Char('\n'));
    const QString title = input.left(lineEnd);
    const QString contentType = lineEnd < 0 ? QString() : input.mid(lineEnd + 1);

    const QString name = SanitizeFileName(title);
    FUZZ_CHECK(name.toUtf8().size() <= 240);
    for (const char reserved : {'\\', '/', ':', '*', '?', '"', '<', '>', '|', '\r', '\n', '\0'})
        FUZZ_CHECK(!name.contains(QLatin1Char(reserved)));
    FUZZ_CHECK(name != QLatin1String(".") && name != QLatin1String(".."));
    FUZZ_CHECK(!name.startsWith(QLatin1Char(' ')) && !name.endsWith(QLatin1Char(' ')));

    const QString mapped = ContentTypeToFileType(contentType);
    HostOfUrl(contentType);
    // Only a type word may become part of a path; anything else keeps its "/".
    const QString type = mapped.contains(QLatin1Char('/')) ? QStringLiteral("pdf") : SanitizeFileName(mapped);
    if (name.isEmpty())
        return 0;

    // A file of that name is in the folder: the free variant and the renamed
    // path stay in the folder and name no existing file.
    const QString taken =
        folder + QLatin1Char('/') + name + (type.isEmpty() ? QString() : QString(QLatin1Char('.') + type));
    QFile file(taken);
    if (!file.open(QIODevice::WriteOnly))
        return 0; // a name the file system refuses (too long with its type)
    file.close();

    const QString unique = UniqueFilePath(taken);
    FUZZ_CHECK(unique != taken && inFolder(unique, folder) && !QFileInfo::exists(unique));

    const SavePath renamed = renamedSavePath(folder, name, type, SameNamePolicy::Rename);
    FUZZ_CHECK(inFolder(renamed.path, folder) && !QFileInfo::exists(renamed.path));
    FUZZ_CHECK(renamedSavePath(folder, name, type, SameNamePolicy::Overwrite).path == taken);

    QFile::remove(taken);
    return 0;
}
