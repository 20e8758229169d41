#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>
#include <optional>

class QSettings;

// The predefined root keys of the registry (their platform handle values).
enum class RootKey : quint32 {
    None = 0,
    ClassesRoot = 0x80000000u,
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
    Users = 0x80000003u,
    PerformanceData = 0x80000004u,
    CurrentConfig = 0x80000005u,
    DynData = 0x80000006u,
};

// RootKeyFromName: the root key of the same name ("HKEY_LOCAL_MACHINE" and
// the others), compared exactly; RootKey::None for any other name.
RootKey RootKeyFromName(const QString &name);

struct RegistryPath
{
    RootKey root = RootKey::None;
    QString rootName;
    QString subKey; // empty when the path names a root key alone
};

// SplitRegistryPath: a full key path ("HKEY_…\sub\key") split at its first
// "\"; nothing for a path that does not begin with "HKEY_" or ends with "\".
std::optional<RegistryPath> SplitRegistryPath(const QString &fullPath);

// Module_REG: the registry of this platform. Keys and their values live in
// an INI file beside the settings file; each value keeps its type, a text
// (1) or a 32-bit number (4). Tests point it at a temporary file.
class Registry
{
public:
    Registry();
    explicit Registry(const QString &iniFilePath);
    ~Registry();

    // RegReadDword: the 32-bit value; nothing (the "Error" of old) when the
    // key cannot be opened or the value is missing or of another type.
    std::optional<quint32> readDword(const QString &fullKeyPath, const QString &valueName) const;
    // RegWriteDword: creates the key when needed; true when written.
    bool writeDword(const QString &fullKeyPath, const QString &valueName, quint32 value);
    // A text value (type 1); true when written.
    bool writeText(const QString &fullKeyPath, const QString &valueName, const QString &text);
    // DeleteRegistryValue: failures are ignored.
    void deleteValue(RootKey root, const QString &subKey, const QString &valueName);
    // GetKeyValue: the value as text, a number in decimal; nothing when the
    // key or the value is not there. A value of another type gives "".
    std::optional<QString> keyValue(RootKey root, const QString &subKey, const QString &valueName) const;

    QString filePath() const;
    static QString defaultFilePath();

private:
    std::optional<QString> rawValue(RootKey root, const QString &subKey, const QString &valueName) const;
    bool write(const QString &fullKeyPath, const QString &valueName, const QString &stored);

    std::unique_ptr<QSettings> m_settings;
};
