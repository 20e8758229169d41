#pragma once

#include "engine/DownloadItem.h"

#include <QString>

#include <optional>

// The texts of a row's size, downloaded and progress cells, as the list
// shows them, the command-line tool prints them and its state file keeps
// them: a number in plain decimal ("123456"), a percentage with "%" ("37%"),
// or the cell's word. The engine keeps numbers and words; these are made
// only where a row meets the user or a file.

QString SizeWordText(SizeWord word, qint32 seconds = 0);
QString ProgressWordText(ProgressWord word);

QString SizeText(const ItemSize &size);
QString DownloadedText(const std::optional<qint64> &downloaded);
QString ProgressText(const ItemProgress &progress);

// A cell read back from its text (the state file of a command-line run):
// empty for an empty text and for a text that is no cell of the column. A
// timed word reads back as empty: its time has passed by the next read.
ItemSize SizeFromText(const QString &text);
std::optional<qint64> DownloadedFromText(const QString &text);
// "37%" and a bare whole number are percentages.
ItemProgress ProgressFromText(const QString &text);
