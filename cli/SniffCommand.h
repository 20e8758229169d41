#pragma once

#include "cli/CliCommand.h"

// paperdrift-cli sniff FILE...: one line per argument, the recognised type, a
// tab and the path as given. The type is empty when it is not recognised,
// also for a missing or unreadable file and for a folder. Exit code 0; 2 with
// the usage line when no file is given or an option is wrong. A file whose
// name starts with "-" is named after "--".
int RunSniffCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);

inline constexpr CliCommand kSniffCommand{"sniff", "FILE...", "print the type recognised from each file's first bytes",
                                          RunSniffCommand};
