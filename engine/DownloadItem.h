#pragma once

#include <QString>

// The state of a download row, shown as the row's small picture (index 1 to 4).
enum ItemState : int {
    Waiting = 1,     // 等待: the scheduler picks only these rows
    Downloading = 2, // 正在下载: handed to a transfer that has not ended
    Finished = 3,    // 已完成: stored completely, or skipped by rule
    Failed = 4,      // 失败: error, cancelled, or taken out of the queue
};

// One row of the download list. Every fact about a file lives here.
struct DownloadItem
{
    QString Url;        // row key, unique in the list
    QString Name;       // base name of the stored file, no extension, no folder
    QString Type;       // extension without the dot; empty: no extension
    QString Size;       // total length in bytes, a size word, or empty
    QString Downloaded; // bytes received so far, or empty
    QString Progress;   // "N%", a progress word, or empty
    QString Folder;     // folder the file is stored in
    QString Referer;    // page the link was found on; may be empty
    ItemState State = Waiting;

    // Stable identity given by the list when the row is added. Workers hold
    // this, never a row position, so that no worker can update another row.
    quint64 Id = 0;
};

// Folder, a separator when the folder does not end with one, the name, and
// "." plus the type when there is a type.
QString ItemFilePath(const DownloadItem &item);

// A web page arrived instead of a document: the type is htm or html, in any
// letter case.
bool IsWebPageType(const QString &type);
