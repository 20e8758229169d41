#pragma once

#include <QString>

// The program's own folder for the files it keeps beside itself (the folder
// history, the sound files). An installed program's folder is not writable, so
// this is the per-user application data folder, created on first use.
QString ProgramFolder();
