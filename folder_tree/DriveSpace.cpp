#include "folder_tree/DriveSpace.h"

#include "folder_tree/FolderTreeTexts.h"

QString FormatDriveSpace(qint64 bytes)
{
    QString digits = bytes > 0 ? QString::number(bytes) : QString();
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(','));
    return digits + FolderTreeText::kBytesSuffix;
}
