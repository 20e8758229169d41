#pragma once

#include <QString>

class QWidget;

// The program's loaded windows. A window registers itself when it is created
// and counts as loaded until it is destroyed or unregistered; a window that
// stays alive after it closes unregisters when it closes. Names are the
// windows' object names, compared without regard to letter case.
void RegisterLoadedWindow(QWidget *window);
void UnregisterLoadedWindow(QWidget *window);

// True when a loaded window of the program has that name.
bool IsWindowLoaded(const QString &name);

// The first loaded window of that name, or null.
QWidget *FindLoadedWindow(const QString &name);
