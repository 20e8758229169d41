#pragma once

#include <QString>

// OsDescription: the operating system's product name, then "[", the
// processor's address width in bits ("32" or "64"; "32" when it cannot be
// told), and "位]".
QString OsDescription();
