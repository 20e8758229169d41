#pragma once

#include <QSettings>
#include <QString>
#include <memory>

// The per-user settings store: a three-level map application → section → key
// of text values, kept in one INI file per user. An absent key, an absent
// section or an unreadable file reads as the default given at the read site.
// Every value reads back as the text written, and a hand-edited line reads
// as the text it holds (commas, quotes and "@" included).
class SettingsStore
{
public:
    // The store in the user's configuration folder.
    SettingsStore();
    // A store kept in the given file (tests use a temporary file).
    explicit SettingsStore(const QString &iniFilePath);

    QString GetSetting(const QString &application, const QString &section, const QString &key,
                       const QString &defaultValue) const;
    // A number given as default comes back as its decimal text.
    QString GetSetting(const QString &application, const QString &section, const QString &key,
                       double defaultValue) const;

    void SaveSetting(const QString &application, const QString &section, const QString &key, const QString &value);

    QString filePath() const;

    static QString defaultFilePath();

private:
    void keepHandEditedTexts();

    std::unique_ptr<QSettings> m_settings;
};

// Decimal text of a number as the store writes it: no exponent, no trailing
// zeros ("2.5", "10", "0").
QString NumberToSettingText(double value);
