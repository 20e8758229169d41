#pragma once

#include "cli/DownloadArguments.h"

#include <QList>
#include <QString>
#include <QStringList>

// The command line of paperdrift: addresses to put on the download list at
// start, as the search window's hand-over would put them there.
//   paperdrift [--dir FOLDER] [--list FILE] [URL...]
//   paperdrift --version | --help
struct StartupArguments
{
    QList<DownloadSource> sources;
    QString folder; // absolute, ends with a separator
    bool help = false;
    bool version = false;
    QString error; // empty when the arguments are good
};

StartupArguments ParseStartupArguments(const QStringList &arguments, const QString &currentFolder);

// The usage text of --help.
QString StartupUsage();

// The sentence printed when there is no display to open the window on.
QString NoDisplayMessage();

// A display is there: DISPLAY or WAYLAND_DISPLAY is set, or QT_QPA_PLATFORM
// names a platform of its own (offscreen, for example).
bool DisplayAvailable();
