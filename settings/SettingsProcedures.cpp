#include "settings/SettingsProcedures.h"

#include "settings/SettingsKeys.h"
#include "settings/StoredSettings.h"

namespace {

constexpr int kLastThreadPosition = 5; // the box holds "1" to "6"

} // namespace

DownloadWindowSettings ReadDownloadWindowSettings(const StoredSettings &stored, SessionSettings &session)
{
    DownloadWindowSettings shown;

    session.DownloadMethod = stored.downloadMethod();
    shown.methodLabel = MethodLabelText(session.DownloadMethod);

    shown.threadPosition = 0;
    if (session.DownloadMethod == DownloadMethod::Single) {
        shown.threadBoxEnabled = false;
    } else {
        shown.threadBoxEnabled = true;
        const int position = stored.threadPosition();
        if (position >= 0 && position <= kLastThreadPosition)
            shown.threadPosition = position;
    }

    // The record holds the rule of the option the window selects; an unknown
    // stored text reads as "重命名" for both.
    shown.selectedPolicy = stored.duplicateNamePolicy();
    session.DuplicateNamePolicy = shown.selectedPolicy;

    session.ProxyAddress = stored.proxyAddress().trimmed();
    session.ProxyPort = stored.proxyPort().trimmed();
    session.ProxyEnabled = qint16(stored.proxyEnabled());
    session.MaxFileSizeMB = stored.maxFileSizeMB();
    return shown;
}

void SaveDownloadWindowSettingsBeforeClose(StoredSettings &stored, SessionSettings &session,
                                           SameNamePolicy selectedPolicy)
{
    session.DuplicateNamePolicy = selectedPolicy;
    stored.saveDuplicateNamePolicy(session.DuplicateNamePolicy);
    stored.saveDownloadMethod(session.DownloadMethod);
}

void SaveDownloadWindowThreadPosition(StoredSettings &stored, int threadPosition)
{
    stored.saveThreadPosition(threadPosition);
}

void SaveOptions(StoredSettings &stored, SessionSettings &session, const OptionsValues &values)
{
    session.DownloadMethod = values.downloadMethod;
    stored.saveDownloadMethod(values.downloadMethod);
    session.ProxyEnabled = qint16(values.proxyEnabled);
    stored.saveProxyEnabled(values.proxyEnabled);
    session.ProxyAddress = values.proxyAddress.trimmed();
    stored.saveProxyAddress(session.ProxyAddress);
    session.ProxyPort = values.proxyPort.trimmed();
    stored.saveProxyPort(session.ProxyPort);
    session.AskSaveFolder = qint16(values.askSaveFolder);
    stored.saveAskSaveFolder(values.askSaveFolder);
    session.MaxFileSizeMB = values.maxFileSizeMB;
    stored.saveMaxFileSizeMB(values.maxFileSizeMB);
}

void ReadStartupSettings(const StoredSettings &stored, SessionSettings &session)
{
    session.MaxFileSizeMB = stored.maxFileSizeMB();
}

void ReadSearchWindowSettings(const StoredSettings &stored, SessionSettings &session)
{
    session.AskSaveFolder = qint16(stored.askSaveFolder());
}
