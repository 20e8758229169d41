#include "startup/BrowserEmulation.h"

#include "platform/Registry.h"
#include "startup/StartupTexts.h"

#include <QCoreApplication>
#include <QFileInfo>

std::optional<quint32> BrowserEmulationValue(const QString &version, bool standardsMode)
{
    struct Row
    {
        const char *version;
        quint32 standards;
        quint32 declared;
    };
    static constexpr Row kRows[] = {
        {"IE10", 10001, 10000}, {"IE9", 9999, 9000}, {"IE8", 8888, 8000}, {"IE7", 7000, 7000}};
    for (const Row &row : kRows) {
        if (version == QLatin1String(row.version))
            return standardsMode ? row.standards : row.declared;
    }
    return std::nullopt;
}

void BrowserEmulation(Registry &registry, const QString &executableName, const QString &version, bool standardsMode)
{
    const auto wanted = BrowserEmulationValue(version, standardsMode);
    if (!wanted) {
        registry.deleteValue(RootKey::LocalMachine, kBrowserEmulationSubKey, executableName);
        return;
    }
    const quint32 current = registry.readDword(kBrowserEmulationKey, executableName).value_or(0);
    if (current != *wanted)
        registry.writeDword(kBrowserEmulationKey, executableName, *wanted);
}

QString ExecutableValueName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}
