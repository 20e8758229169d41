#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The text of one value of an INI settings file, read as a single text.
//
// QSettings reads a value that holds an unquoted comma (as a hand-edited file
// writes a save folder "/home/u/papers, 2016/") as a list of texts, trimmed
// around the commas, and a value starting with "@" as a typed value; either
// way the text the user wrote is lost. This reader finds the key's line and
// returns its value as written: blanks around the value dropped, double
// quotes removed, backslash escapes resolved, commas kept.
//
// `group` is the file's section ("Paperdrift"), `key` the path below it with
// "/" between its levels ("设置/下载文件保存路径"). Keys are compared after
// undoing the escapes QSettings writes (%XX, %UXXXX, "\" for "/"). When a key
// occurs more than once, the last line wins, as in QSettings. No value when
// the key is not in the file.
std::optional<QString> ReadIniValueText(const QByteArray &fileBytes, const QString &group, const QString &key);
