#pragma once

#include <QString>

class QWidget;
class StoredSettings;

// ScreenSizeText: the screen size text of the primary screen ("1920*1080");
// empty when the program has no screen.
QString ScreenSizeText();

// SaveWindowLayout: writes the window's layout record in the section named
// after the window: "0*0" alone when it is maximised (the normal position and
// size stored by an earlier close stay), otherwise the screen size text, then
// top, left, width and height in twips.
void SaveWindowLayout(const QWidget *window, StoredSettings &stored);

// RestoreWindowLayout: places the window from its layout record: maximised when
// the stored screen size text differs from the current one, otherwise in its
// normal state at the stored position and size, raised to the lower limits.
// Called before the window is shown.
void RestoreWindowLayout(QWidget *window, const StoredSettings &stored);
