#pragma once

#include <QString>

class QWidget;

// IsWindowLoaded: true when a loaded window of the program has that name,
// compared without regard to letter case. A window is loaded from its creation
// until it is destroyed, shown or hidden; the program's windows are destroyed
// when they close. Only top-level windows count, never a control inside one.
bool IsWindowLoaded(const QString &name);

// The rule the two main windows (the search and the download window) follow
// when one of them has accepted its close: the program never goes on without
// a window the user can see. The other main window, when it is loaded but
// hidden (and not itself closing), comes up; when it is not loaded, the
// startup window is shown again.
void ShowWhatRemainsAfterClosing(QWidget *closing, const QString &otherMainWindow);
