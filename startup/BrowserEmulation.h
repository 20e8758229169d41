#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

class Registry;

// The emulation value for a browser version ("IE10", "IE9", "IE8", "IE7"):
// with standardsMode every document in that version's standards mode,
// otherwise by its declared document type; nothing for another version.
std::optional<quint32> BrowserEmulationValue(const QString &version, bool standardsMode);

// BrowserEmulation: stores the version's value for the program's executable
// when it differs from the stored one (a stored value that cannot be read
// counts as 0); for a version without a value, deletes it. Failures are
// ignored: the embedded browser then keeps its default.
void BrowserEmulation(Registry &registry, const QString &executableName, const QString &version, bool standardsMode);

// The name the program's value is kept under: its executable's file name.
QString ExecutableValueName();
