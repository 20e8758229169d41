#include "platform/Registry.h"

#include "platform/SettingsStore.h"

#include <QFileInfo>
#include <QSettings>
#include <QUrl>

namespace {

struct RootName
{
    const char *name;
    RootKey key;
};

constexpr RootName kRoots[] = {
    {"HKEY_CLASSES_ROOT", RootKey::ClassesRoot},
    {"HKEY_CURRENT_USER", RootKey::CurrentUser},
    {"HKEY_LOCAL_MACHINE", RootKey::LocalMachine},
    {"HKEY_USERS", RootKey::Users},
    {"HKEY_PERFORMANCE_DATA", RootKey::PerformanceData},
    {"HKEY_CURRENT_CONFIG", RootKey::CurrentConfig},
    {"HKEY_DYN_DATA", RootKey::DynData},
};

QString rootName(RootKey root)
{
    for (const RootName &entry : kRoots) {
        if (entry.key == root)
            return QString::fromLatin1(entry.name);
    }
    return QString();
}

// Key paths and value names may hold any character, "/" and "\" included:
// each is stored percent-encoded. Key paths compare without case, as the
// registry's do.
QString storedKey(RootKey root, const QString &subKey, const QString &valueName)
{
    const QString key = rootName(root) + QLatin1Char('\\') + subKey.toUpper();
    return QString::fromLatin1(QUrl::toPercentEncoding(key)) + QLatin1Char('/')
           + QString::fromLatin1(QUrl::toPercentEncoding(valueName.toUpper()));
}

const QString kDwordPrefix = QStringLiteral("dword:");
const QString kTextPrefix = QStringLiteral("sz:");

} // namespace

RootKey RootKeyFromName(const QString &name)
{
    for (const RootName &entry : kRoots) {
        if (name == QLatin1String(entry.name))
            return entry.key;
    }
    return RootKey::None;
}

std::optional<RegistryPath> SplitRegistryPath(const QString &fullPath)
{
    if (!fullPath.startsWith(QLatin1String("HKEY_")) || fullPath.endsWith(QLatin1Char('\\')))
        return std::nullopt;
    RegistryPath path;
    const qsizetype slash = fullPath.indexOf(QLatin1Char('\\'));
    path.rootName = slash < 0 ? fullPath : fullPath.left(slash);
    path.subKey = slash < 0 ? QString() : fullPath.mid(slash + 1);
    path.root = RootKeyFromName(path.rootName);
    return path;
}

Registry::Registry() : Registry(defaultFilePath()) {}

Registry::Registry(const QString &iniFilePath)
    : m_settings(std::make_unique<QSettings>(iniFilePath, QSettings::IniFormat))
{}

Registry::~Registry() = default;

QString Registry::defaultFilePath()
{
    return QFileInfo(SettingsStore::defaultFilePath()).absolutePath() + QStringLiteral("/Registry.ini");
}

QString Registry::filePath() const
{
    return m_settings->fileName();
}

std::optional<QString> Registry::rawValue(RootKey root, const QString &subKey, const QString &valueName) const
{
    if (root == RootKey::None)
        return std::nullopt;
    const QVariant value = m_settings->value(storedKey(root, subKey, valueName));
    if (!value.isValid())
        return std::nullopt;
    return value.toString();
}

std::optional<quint32> Registry::readDword(const QString &fullKeyPath, const QString &valueName) const
{
    const auto path = SplitRegistryPath(fullKeyPath);
    if (!path)
        return std::nullopt;
    const auto raw = rawValue(path->root, path->subKey, valueName);
    if (!raw || !raw->startsWith(kDwordPrefix))
        return std::nullopt;
    bool ok = false;
    const quint32 value = raw->mid(kDwordPrefix.size()).toUInt(&ok);
    return ok ? std::optional<quint32>(value) : std::nullopt;
}

bool Registry::write(const QString &fullKeyPath, const QString &valueName, const QString &stored)
{
    const auto path = SplitRegistryPath(fullKeyPath);
    if (!path || path->root == RootKey::None)
        return false;
    m_settings->setValue(storedKey(path->root, path->subKey, valueName), stored);
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

bool Registry::writeDword(const QString &fullKeyPath, const QString &valueName, quint32 value)
{
    return write(fullKeyPath, valueName, kDwordPrefix + QString::number(value));
}

bool Registry::writeText(const QString &fullKeyPath, const QString &valueName, const QString &text)
{
    return write(fullKeyPath, valueName, kTextPrefix + text);
}

void Registry::deleteValue(RootKey root, const QString &subKey, const QString &valueName)
{
    if (root == RootKey::None)
        return;
    m_settings->remove(storedKey(root, subKey, valueName));
    m_settings->sync();
}

std::optional<QString> Registry::keyValue(RootKey root, const QString &subKey, const QString &valueName) const
{
    const auto raw = rawValue(root, subKey, valueName);
    if (!raw)
        return std::nullopt;
    if (raw->startsWith(kTextPrefix))
        return raw->mid(kTextPrefix.size());
    if (raw->startsWith(kDwordPrefix))
        return raw->mid(kDwordPrefix.size());
    return QString();
}
