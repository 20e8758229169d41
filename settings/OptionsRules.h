#pragma once

#include "settings/SettingsProcedures.h"

#include <QString>
#include <optional>

struct SessionSettings;
class StoredSettings;

// What the options dialog's controls hold.
struct OptionsForm
{
    bool methodOne = false;   // Option1
    bool methodTwo = false;   // Option2
    bool proxyTicked = false; // Check1
    QString proxyAddress;     // Text6
    QString proxyPort;        // Text8
    bool askTicked = false;   // Check2
    QString sizeText;         // Text1
};

// True once the download window has read its settings in this run: it always
// sets a method, and the record starts with none.
bool DownloadWindowSettingsLoaded(const SessionSettings &session);

// The dialog's controls at opening, from the record. The method and proxy
// fields come from the store instead while the download window has not loaded
// them, so that OK on an unchanged dialog keeps the stored values.
OptionsForm OpeningOptionsForm(const SessionSettings &session, const StoredSettings &stored);

// The method the dialog keeps when neither option is chosen: the one it
// showed at opening (the record's, or the store's while the record is empty).
DownloadMethod OpeningDownloadMethod(const SessionSettings &session, const StoredSettings &stored);

// What OK does with the controls.
struct OptionsConfirmation
{
    OptionsValues values;        // the six values to store, trimmed
    bool proxyMalformed = false; // proxy on with an empty address or a port that is no number
    bool sizeRefused = false;    // the size box held no number above 0: the kept limit is stored again
};

// keptMethod is the method when neither option is chosen; keptSizeMB the
// limit that stays when the size box holds no number above 0 (a limit of 0
// or below would refuse every file).
OptionsConfirmation ConfirmOptionsForm(const OptionsForm &form, DownloadMethod keptMethod, double keptSizeMB);

// A number typed into a box (blanks around it allowed); no value otherwise.
std::optional<double> NumberInBox(const QString &text);
