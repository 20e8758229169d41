#pragma once

#include <QString>

// Free bytes with the pattern "###,###" followed by " bytes": groups of three
// digits joined by ",", and 0 rendered as nothing, so a full disk gives
// " bytes". Exact for any size a disk can have.
QString FormatDriveSpace(qint64 bytes);
