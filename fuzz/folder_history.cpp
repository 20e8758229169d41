// The folder history file SaveList.dat, edited by hand or put together from
// others: what it shows, and that a save of what it shows reads back the same.
#include "fuzz/FuzzCheck.h"

#include "settings/FolderHistory.h"

#include <QSet>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList shown = ParseFolderHistory(FuzzBytes(data, size));
    FUZZ_CHECK(shown.size() <= kFolderHistoryMaxLines);

    QSet<QString> folded;
    for (const QString &folder : shown) {
        FUZZ_CHECK(!folder.isEmpty());
        // Trimmed of blanks and byte-order marks, which are no part of a folder.
        FUZZ_CHECK(folder == folder.trimmed());
        FUZZ_CHECK(!folder.startsWith(QChar(QChar::ByteOrderMark)) && !folder.endsWith(QChar(QChar::ByteOrderMark)));
        FUZZ_CHECK(!folder.contains(QLatin1Char('\n')) && !folder.contains(QLatin1Char('\r')));
        FUZZ_CHECK(!folded.contains(folder.toCaseFolded()));
        folded.insert(folder.toCaseFolded());
    }

    // The next save writes what was shown; the next opening shows it again.
    FUZZ_CHECK(ParseFolderHistory(FolderHistoryBytes(shown)) == shown);
    return 0;
}
