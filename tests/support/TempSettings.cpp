#include "tests/support/TempSettings.h"

TempSettings::TempSettings() : m_store(std::make_unique<SettingsStore>(filePath())) {}

void TempSettings::reopen()
{
    m_store = std::make_unique<SettingsStore>(filePath());
}
