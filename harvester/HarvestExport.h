#pragma once

#include <QByteArray>
#include <QString>

class HarvestList;

// The harvest list's export file: one line per row in list order, the title,
// "-【", the file type, "】" and the status, each line ended by CR LF, in the
// user's code page. Nothing else is written. A line break inside a title is
// written as one blank, so that every row stays one line.
QByteArray HarvestExportBytes(const HarvestList &list);

// Writes the export file at `path`, replacing an existing file. The file is
// written whole or not at all: a failure leaves an existing file unchanged.
// False when the file could not be written.
bool WriteHarvestExport(const HarvestList &list, const QString &path);

// The message after saving: "保存文件完毕：" and the size in kilobytes (bytes
// divided by 1024) with thousands grouped and one decimal, then "KB":
// 1536 bytes give "保存文件完毕：1.5KB", 2,097,152 give "保存文件完毕：2,048.0KB".
QString ExportSizeMessage(qint64 bytes);
