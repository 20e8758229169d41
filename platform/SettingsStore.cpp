#include "platform/SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString groupedKey(const QString &application, const QString &section, const QString &key)
{
    return application + QLatin1Char('/') + section + QLatin1Char('/') + key;
}

} // namespace

SettingsStore::SettingsStore() : SettingsStore(defaultFilePath()) {}

SettingsStore::SettingsStore(const QString &iniFilePath)
    : m_settings(std::make_unique<QSettings>(iniFilePath, QSettings::IniFormat))
{
}

QString SettingsStore::defaultFilePath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                           + QStringLiteral("/Paperdrift");
    return folder + QStringLiteral("/Paperdrift.ini");
}

QString SettingsStore::GetSetting(const QString &application, const QString &section,
                                  const QString &key, const QString &defaultValue) const
{
    const QVariant value = m_settings->value(groupedKey(application, section, key));
    if (!value.isValid())
        return defaultValue;
    return value.toString();
}

QString SettingsStore::GetSetting(const QString &application, const QString &section,
                                  const QString &key, double defaultValue) const
{
    return GetSetting(application, section, key, NumberToSettingText(defaultValue));
}

void SettingsStore::SaveSetting(const QString &application, const QString &section,
                                const QString &key, const QString &value)
{
    const QString folder = QFileInfo(m_settings->fileName()).absolutePath();
    QDir().mkpath(folder);
    m_settings->setValue(groupedKey(application, section, key), value);
    m_settings->sync();
}

QString SettingsStore::filePath() const
{
    return m_settings->fileName();
}

QString NumberToSettingText(double value)
{
    return QString::number(value, 'g', 15);
}
