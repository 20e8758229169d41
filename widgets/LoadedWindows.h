#pragma once

#include <QString>

// IsWindowLoaded: true when a loaded window of the program has that name,
// compared without regard to letter case. A window is loaded from its creation
// until it is destroyed, shown or hidden; the program's windows are destroyed
// when they close. Only top-level windows count, never a control inside one.
bool IsWindowLoaded(const QString &name);
