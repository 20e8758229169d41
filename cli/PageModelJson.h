#pragma once

#include "harvester/PageModel.h"

#include <QByteArray>
#include <optional>

// What paperdrift-live-reader writes to paperdrift-cli, one line each: a
// page read ("page", a tab, the page model as compact JSON) or a page
// skipped ("skipped", a tab, the report for the user). Its standard error
// holds the browser's own diagnostics, which the user sees only when the
// program fails.
inline constexpr char kLivePageTag[] = "page\t";
inline constexpr char kLiveSkippedTag[] = "skipped\t";

// A page model as one line of compact JSON.
QByteArray PageModelToJsonLine(const PageModel &page);

// The model of one such line; nothing when the line is not one.
std::optional<PageModel> PageModelFromJsonLine(const QByteArray &line);
