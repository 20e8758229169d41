#include "platform/SettingsStore.h"

#include "platform/IniValueText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString groupedKey(const QString &application, const QString &section, const QString &key)
{
    return application + QLatin1Char('/') + section + QLatin1Char('/') + key;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The text of a key ("application/section/key") as its line in the file
// writes it; a key of no group is in the file's [General] section.
std::optional<QString> lineText(const QByteArray &bytes, const QString &groupedKey)
{
    const qsizetype slash = groupedKey.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return ReadIniValueText(bytes, QStringLiteral("General"), groupedKey);
    return ReadIniValueText(bytes, groupedKey.left(slash), groupedKey.mid(slash + 1));
}

} // namespace

SettingsStore::SettingsStore() : SettingsStore(defaultFilePath()) {}

SettingsStore::SettingsStore(const QString &iniFilePath)
    : m_settings(std::make_unique<QSettings>(iniFilePath, QSettings::IniFormat))
{}

QString SettingsStore::defaultFilePath()
{
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Paperdrift");
    return folder + QStringLiteral("/Paperdrift.ini");
}

QString SettingsStore::GetSetting(const QString &application, const QString &section, const QString &key,
                                  const QString &defaultValue) const
{
    const QVariant value = m_settings->value(groupedKey(application, section, key));
    if (!value.isValid())
        return defaultValue;
    if (value.typeId() == QMetaType::QString)
        return value.toString();
    // Every value this store writes reads back as one text. A list or a typed
    // value comes from a hand-edited line (an unquoted comma in a folder, a
    // leading "@"): its text is taken from the file as written.
    return lineText(fileBytes(m_settings->fileName()), groupedKey(application, section, key))
        .value_or(value.toString());
}

QString SettingsStore::GetSetting(const QString &application, const QString &section, const QString &key,
                                  double defaultValue) const
{
    return GetSetting(application, section, key, NumberToSettingText(defaultValue));
}

void SettingsStore::SaveSetting(const QString &application, const QString &section, const QString &key,
                                const QString &value)
{
    const QString folder = QFileInfo(m_settings->fileName()).absolutePath();
    QDir().mkpath(folder);
    keepHandEditedTexts();
    m_settings->setValue(groupedKey(application, section, key), value);
    m_settings->sync();
}

void SettingsStore::keepHandEditedTexts()
{
    // Saving rewrites the whole file: a hand-edited value that QSettings holds
    // as a list or a typed value would come back in its form ("/a,b/" as
    // "/a, b/"). It is put back as the text it reads as, so it is written as
    // that text.
    QByteArray bytes;
    for (const QString &key : m_settings->allKeys()) {
        if (m_settings->value(key).typeId() == QMetaType::QString)
            continue;
        if (bytes.isNull())
            bytes = fileBytes(m_settings->fileName());
        if (const std::optional<QString> text = lineText(bytes, key))
            m_settings->setValue(key, *text);
    }
}

QString SettingsStore::filePath() const
{
    return m_settings->fileName();
}

QString NumberToSettingText(double value)
{
    return QString::number(value, 'g', 15);
}
