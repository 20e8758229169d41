#pragma once

#include <QString>

// One article entry read from a result page: a row of the harvest list.
struct HarvestEntry
{
    QString Title;    // article title as read from the page, trimmed
    QString Link;     // URL of the article's PDF link; the row key
    QString FileType; // "pdf" for extracted entries
    QString Status;   // empty, "成功" once handed over, or "分析失败"
    QString SavePath; // folder meant for the file, or empty: chosen at hand-over
    QString LinkKind; // "JS" for extracted entries; only these are handed over
    QString PageUrl;  // result page the entry was read from
};
