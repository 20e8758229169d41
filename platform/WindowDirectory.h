#pragma once

#include <QString>
#include <functional>

class QWidget;

// The names the windows look one another up by.
inline const QString kStartupWindowName = QStringLiteral("fCover");
inline const QString kSearchWindowName = QStringLiteral("fWebSearch");
inline const QString kDownloadWindowName = QStringLiteral("fFileDownload");

// The program's windows by their names, as its windows find one another.
// Whether one is loaded is IsWindowLoaded's answer (widgets/LoadedWindows.h).

// The loaded top-level window of this name (compared without regard to
// letter case); null when none is loaded.
QWidget *LoadedWindow(const QString &name);
// How to load a window of this name when it is asked for and not loaded.
void SetWindowLoader(const QString &name, std::function<QWidget *()> loader);
// Shows the named window (not modal), loading it first when needed, and
// brings it to the front; null when it is neither loaded nor loadable.
QWidget *ShowWindow(const QString &name);
