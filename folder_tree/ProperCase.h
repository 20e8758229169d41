#pragma once

#include <QString>

// Proper case: the first character and every character after a word
// separator (space, tab, line feed, vertical tab, form feed, carriage return,
// NUL) upper-cased, every other letter lower-cased. "program files (x86)"
// becomes "Program Files (x86)".
QString ProperCase(const QString &text);
