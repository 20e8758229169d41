#pragma once

#include "common/SessionSettings.h"

#include <QString>

class StoredSettings;

// What the download window shows after reading its settings at load.
struct DownloadWindowSettings
{
    QString methodLabel; // "下载方式：" and the method number
    bool threadBoxEnabled = true;
    int threadPosition = 0;                                 // zero-based: 0 is "1" worker, 5 is "6"
    SameNamePolicy selectedPolicy = SameNamePolicy::Rename; // the same-name option to select
};

// The download window's reads at load, in their order: method, thread box,
// same-name option, proxy fields and size limit. Fills the record.
DownloadWindowSettings ReadDownloadWindowSettings(const StoredSettings &stored, SessionSettings &session);

// The download window's writes before the close is confirmed: the same-name
// rule of the selected option and the method. They are written even when the
// user then keeps the window open.
void SaveDownloadWindowSettingsBeforeClose(StoredSettings &stored, SessionSettings &session,
                                           SameNamePolicy selectedPolicy);

// The download window's write after the close is confirmed (the layout is
// written beside it by the layout helpers).
void SaveDownloadWindowThreadPosition(StoredSettings &stored, int threadPosition);

// The values the options dialog confirms.
struct OptionsValues
{
    DownloadMethod downloadMethod = DownloadMethod::Parallel;
    int proxyEnabled = 0;
    QString proxyAddress;
    QString proxyPort;
    int askSaveFolder = 1;
    double maxFileSizeMB = 10;
};

// The options dialog's one-pass write of its six keys, in the table's order,
// keeping the record in step.
void SaveOptions(StoredSettings &stored, SessionSettings &session, const OptionsValues &values);

// The startup window's read: the size limit.
void ReadStartupSettings(const StoredSettings &stored, SessionSettings &session);

// The search window's read: whether to ask for the save folder.
void ReadSearchWindowSettings(const StoredSettings &stored, SessionSettings &session);
