#pragma once

#include <QString>

class QComboBox;

// LoadComboHistory: fills the box's list from the folder history file; the
// box's text stays as it was. A missing file leaves the list unchanged.
void LoadComboHistory(QComboBox *combo, const QString &path);

// SaveComboHistory: writes the box's list, in list order, to the folder history
// file.
bool SaveComboHistory(const QComboBox *combo, const QString &path);

// FitComboDropDownWidth: widens the box's drop-down list to its longest entry
// (the first of equally long ones) plus 7 pixels, and a scroll bar more when
// the list holds 9 or more entries, but not past the right edge of the screen.
// The drop-down list is never narrower than the box.
void FitComboDropDownWidth(QComboBox *combo);
