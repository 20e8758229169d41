#pragma once

#include "engine/DownloadItem.h"

class DownloadList;
class FolderFiles;

// Deletes the file at the item's path when a file is there, and the
// "<path>.part" file a failed transfer kept.
void DeleteItemFile(const DownloadItem &item);

// The reset for download again, one row: its file goes (under the current
// type; a .part file that can be continued stays for the next transfer), the row waits again with empty size, downloaded and progress, its
// type becomes "xxx" (to be found again) when it was a web page — or always,
// when `alwaysTypeToFind` — and a file under the new type goes too. A walk
// over many rows passes the listing of their folders, so that only files
// that are there cost a removal.
void ResetForDownloadAgain(DownloadItem &item, bool alwaysTypeToFind, FolderFiles *files = nullptr);

// The reset commands of the list; each returns how many rows it reset.
// "出错项": failed rows.
int ResetFailedItems(DownloadList &list);
// "网页类型文件(HTM/HTML/xml)项": rows of type htm, html or xml (any case)
// that are finished or failed; each gets the type "xxx".
int ResetWebPageItems(DownloadList &list);
// "重新下载出错项和网页类型文件项": failed rows, and rows of type htm or html
// (not xml) that are finished or failed.
int ResetFailedAndWebPageItems(DownloadList &list);
