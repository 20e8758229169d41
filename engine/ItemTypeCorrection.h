#pragma once

#include "engine/DownloadItem.h"

#include <optional>

class DownloadList;
class Prompts;

// Recognises the type of the item's stored file and, when it differs from the
// item's Type (letter case aside), renames the file to the recognised type
// under a free name and gives the item the new Type and Name. Returns true
// when it renamed the file; the item is unchanged otherwise (no file, type not
// recognised, type already right, rename failed).
bool CorrectItemType(DownloadItem &item);

// The command that checks and corrects the types of the stored files. While
// downloading is busy it only says that downloading must stop first and
// returns std::nullopt. Otherwise it corrects every row of a non-empty list,
// says how many rows it renamed and returns that count; an empty list shows
// nothing and returns 0.
std::optional<int> CheckAndCorrectFileTypes(DownloadList &list, bool downloadingBusy, Prompts &prompts);
