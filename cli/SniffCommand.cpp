#include "cli/SniffCommand.h"

#include "engine/FileTypeSniffer.h"

int RunSniffCommand(const QStringList &files, QTextStream &out, QTextStream &err)
{
    if (files.isEmpty()) {
        WriteCommandUsage(kSniffCommand, err);
        return kExitUsage;
    }
    for (const QString &path : files)
        out << detectFileType(path) << '\t' << path << '\n';
    return kExitSuccess;
}
