#include "cli/SniffCommand.h"

#include "engine/FileTypeSniffer.h"

int RunSniffCommand(const QStringList &files, QTextStream &out, QTextStream &err)
{
    if (files.isEmpty()) {
        WriteCommandUsage(kSniffCommand, err);
        return kExitUsage;
    }
    for (const QString &path : files)
        out << 打开文件判断文件类型(path) << '\t' << path << '\n';
    return kExitSuccess;
}
