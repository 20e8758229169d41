#pragma once

#include "cli/CliCommand.h"

// paperdrift-cli download: runs the download engine over the given addresses
// with its one-second ticks until the list has ended, then writes one line
// per item to standard output. Exit code 0 when every item finished and none
// is a web page, 1 when one failed, ended as a web page or was left waiting,
// 2 for wrong arguments.
int RunDownloadCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);

inline constexpr CliCommand kDownloadCommand{"download", "[OPTIONS] URL... | --list FILE",
                                             "fetch the addresses into a folder, as the download window does",
                                             RunDownloadCommand};
