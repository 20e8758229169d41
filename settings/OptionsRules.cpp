#include "settings/OptionsRules.h"

#include "common/SessionSettings.h"
#include "platform/SettingsStore.h"
#include "settings/StoredSettings.h"

#include <cmath>

bool DownloadWindowSettingsLoaded(const SessionSettings &session)
{
    return session.DownloadMethod != DownloadMethod::NotRead;
}

DownloadMethod OpeningDownloadMethod(const SessionSettings &session, const StoredSettings &stored)
{
    return DownloadWindowSettingsLoaded(session) ? session.DownloadMethod : stored.downloadMethod();
}

OptionsForm OpeningOptionsForm(const SessionSettings &session, const StoredSettings &stored)
{
    const bool loaded = DownloadWindowSettingsLoaded(session);
    const DownloadMethod method = OpeningDownloadMethod(session, stored);
    const int proxyEnabled = loaded ? session.ProxyEnabled : stored.proxyEnabled();

    OptionsForm form;
    form.proxyTicked = proxyEnabled == 1;
    form.proxyAddress = loaded ? session.ProxyAddress : stored.proxyAddress().trimmed();
    form.proxyPort = loaded ? session.ProxyPort : stored.proxyPort().trimmed();
    form.methodOne = method == DownloadMethod::Single;
    form.methodTwo = method == DownloadMethod::Parallel;
    form.askTicked = session.AskSaveFolder == 1;
    form.sizeText = NumberToSettingText(session.MaxFileSizeMB);
    return form;
}

std::optional<double> NumberInBox(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

OptionsConfirmation ConfirmOptionsForm(const OptionsForm &form, DownloadMethod keptMethod, double keptSizeMB)
{
    OptionsConfirmation result;
    OptionsValues &values = result.values;
    values.downloadMethod = form.methodOne   ? DownloadMethod::Single
                            : form.methodTwo ? DownloadMethod::Parallel
                                             : keptMethod;
    values.proxyEnabled = form.proxyTicked ? 1 : 0;
    values.proxyAddress = form.proxyAddress.trimmed();
    values.proxyPort = form.proxyPort.trimmed();
    result.proxyMalformed =
        values.proxyEnabled == 1 && (values.proxyAddress.isEmpty() || !NumberInBox(values.proxyPort));
    values.askSaveFolder = form.askTicked ? 1 : 0;

    const std::optional<double> size = NumberInBox(form.sizeText);
    result.sizeRefused = !size || *size <= 0;
    values.maxFileSizeMB = result.sizeRefused ? keptSizeMB : *size;
    return result;
}
