// Writes the hostile pages into a folder, for paperdrift-cli extract to read
// under /usr/bin/time: the pages the fuzzer found and the same shapes ten
// times larger.
#include "HostilePages.h"

#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_hostile_pages FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const struct
    {
        const char *name;
        QByteArray bytes;
    } pages[] = {
        {"nested-tables.html", NestedTablesPage(3000, 10000)},
        {"nested-tables-x10.html", NestedTablesPage(30000, 100000)},
        {"nested-divs.html", NestedDivsPage(3000, 10000)},
        {"nested-divs-x10.html", NestedDivsPage(30000, 100000)},
    };
    for (const auto &page : pages) {
        QFile file(folder.filePath(QString::fromLatin1(page.name)));
        if (!file.open(QIODevice::WriteOnly) || file.write(page.bytes) != page.bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
        std::printf("%s %lld bytes\n", page.name, static_cast<long long>(page.bytes.size()));
    }
    return 0;
}
