#pragma once

#include "platform/SettingsStore.h"

#include <QTemporaryDir>
#include <memory>

// A settings store in a fresh temporary folder, removed with the object.
class TempSettings
{
public:
    TempSettings();
    SettingsStore &store() { return *m_store; }
    QString filePath() const { return m_dir.filePath(QStringLiteral("Paperdrift.ini")); }
    // A new store over the same file, as the next run of the program sees it.
    void reopen();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<SettingsStore> m_store;
};
