#include "settings/StoredSettings.h"

#include "platform/ProgramFolder.h"
#include "platform/SettingsStore.h"
#include "settings/SettingsKeys.h"

#include <QDir>
#include <cmath>

using namespace SettingsKey;

double SettingTextToNumber(const QString &text, double defaultValue)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return defaultValue;
    return value;
}

QString StoredSettings::text(const QString &section, const QString &key, const QString &defaultValue) const
{
    return m_store.GetSetting(kApplication, section, key, defaultValue);
}

double StoredSettings::number(const QString &section, const QString &key, double defaultValue) const
{
    return SettingTextToNumber(m_store.GetSetting(kApplication, section, key, defaultValue), defaultValue);
}

int StoredSettings::wholeNumber(const QString &section, const QString &key, int defaultValue) const
{
    const double value = number(section, key, defaultValue);
    if (value < -2147483648.0 || value > 2147483647.0)
        return defaultValue;
    return int(std::lround(value));
}

void StoredSettings::save(const QString &section, const QString &key, const QString &value)
{
    m_store.SaveSetting(kApplication, section, key, value);
}

DownloadMethod StoredSettings::downloadMethod() const
{
    return DownloadMethodFromNumber(wholeNumber(kSectionSettings, kDownloadMethod, 2));
}
void StoredSettings::saveDownloadMethod(DownloadMethod method)
{
    save(kSectionSettings, kDownloadMethod, QString::number(DownloadMethodNumber(method)));
}

int StoredSettings::proxyEnabled() const
{
    return wholeNumber(kSectionSettings, kProxyEnabled, 0);
}
void StoredSettings::saveProxyEnabled(int enabled)
{
    save(kSectionSettings, kProxyEnabled, QString::number(enabled));
}

QString StoredSettings::proxyAddress() const
{
    return text(kSectionSettings, kProxyAddress, QString());
}
void StoredSettings::saveProxyAddress(const QString &address)
{
    save(kSectionSettings, kProxyAddress, address);
}

QString StoredSettings::proxyPort() const
{
    return text(kSectionSettings, kProxyPort, QString());
}
void StoredSettings::saveProxyPort(const QString &port)
{
    save(kSectionSettings, kProxyPort, port);
}

double StoredSettings::maxFileSizeMB() const
{
    return number(kSectionSettings, kMaxFileSize, 10);
}
void StoredSettings::saveMaxFileSizeMB(double megabytes)
{
    save(kSectionSettings, kMaxFileSize, NumberToSettingText(megabytes));
}

int StoredSettings::askSaveFolder() const
{
    return wholeNumber(kSectionSettings, kAskSaveFolder, 1);
}
void StoredSettings::saveAskSaveFolder(int ask)
{
    save(kSectionSettings, kAskSaveFolder, QString::number(ask));
}

QString StoredSettings::defaultSaveFolder()
{
    // The drive-letter default "c:\12345" becomes a folder below the root.
    return QDir::toNativeSeparators(QDir::rootPath() + QStringLiteral("12345"));
}

QString StoredSettings::saveFolder() const
{
    return text(kSectionSettings, kSaveFolder, defaultSaveFolder());
}
void StoredSettings::saveSaveFolder(const QString &folder)
{
    save(kSectionSettings, kSaveFolder, folder);
}

QString StoredSettings::lastOpenedFolder() const
{
    return text(kSectionSettings, kLastOpenedFolder, ProgramFolder());
}
void StoredSettings::saveLastOpenedFolder(const QString &folder)
{
    save(kSectionSettings, kLastOpenedFolder, folder);
}

int StoredSettings::threadPosition() const
{
    return wholeNumber(kSectionDownload, kThreads, 2);
}
void StoredSettings::saveThreadPosition(int position)
{
    save(kSectionDownload, kThreads, QString::number(position));
}

SameNamePolicy StoredSettings::duplicateNamePolicy() const
{
    const QString stored = text(kSectionSameName, kDuplicateNamePolicy, SameNameCaption::kRename).trimmed();
    for (const SameNamePolicy policy : {SameNamePolicy::Skip, SameNamePolicy::Overwrite}) {
        if (stored == sameNamePolicyCaption(policy))
            return policy;
    }
    return SameNamePolicy::Rename;
}
void StoredSettings::saveDuplicateNamePolicy(SameNamePolicy policy)
{
    save(kSectionSameName, kDuplicateNamePolicy, sameNamePolicyCaption(policy));
}

QString StoredSettings::layoutResolution(const QString &window) const
{
    return text(window, kLayoutResolution, QStringLiteral("000"));
}
void StoredSettings::saveLayoutResolution(const QString &window, const QString &resolution)
{
    save(window, kLayoutResolution, resolution);
}
int StoredSettings::layoutTop(const QString &window) const
{
    return wholeNumber(window, kLayoutTop, 100);
}
int StoredSettings::layoutLeft(const QString &window) const
{
    return wholeNumber(window, kLayoutLeft, 100);
}
int StoredSettings::layoutWidth(const QString &window) const
{
    return wholeNumber(window, kLayoutWidth, 15000);
}
int StoredSettings::layoutHeight(const QString &window) const
{
    return wholeNumber(window, kLayoutHeight, 10000);
}
void StoredSettings::saveLayoutGeometry(const QString &window, int top, int left, int width, int height)
{
    save(window, kLayoutTop, QString::number(top));
    save(window, kLayoutLeft, QString::number(left));
    save(window, kLayoutWidth, QString::number(width));
    save(window, kLayoutHeight, QString::number(height));
}

QString StoredSettings::copyMoveDestination() const
{
    return text(kSectionCopyMove, kCopyMoveDestination, ProgramFolder());
}
void StoredSettings::saveCopyMoveDestination(const QString &folder)
{
    save(kSectionCopyMove, kCopyMoveDestination, folder);
}
int StoredSettings::copyMoveOpIndex() const
{
    return wholeNumber(kSectionCopyMove, kCopyMoveOpIndex, 4);
}
void StoredSettings::saveCopyMoveOpIndex(int index)
{
    save(kSectionCopyMove, kCopyMoveOpIndex, QString::number(index));
}
