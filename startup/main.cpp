// paperdrift, the desktop program. Until the startup window exists it opens
// the search window first; the program ends when its last window closes.
// Addresses given on the command line go on the download list, whose window
// then comes up beside it.
#include "browser/SharedCookies.h"
#include "download_window/DownloadWindow.h"
#include "search_window/SearchWindow.h"
#include "engine/DownloadEngine.h"
#include "common/SessionSettings.h"
#include "platform/Clock.h"
#include "platform/Console.h"
#include "platform/DesktopShell.h"
#include "platform/MemoryTuning.h"
#include "platform/SettingsStore.h"
#include "platform/SoundPlayerQt.h"
#include "platform/WidgetPrompts.h"
#include "settings/SettingsProcedures.h"
#include "settings/StoredSettings.h"
#include "startup/StartupArguments.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QNetworkAccessManager>
#include <QWebEngineProfile>

#include <cstdio>

namespace {

// The browser engine's sandbox refuses the administrator; everybody else
// keeps it.
void setBrowserEnvironment()
{
    if (RunsAsAdministrator() && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

void addSources(DownloadEngine &engine, const StartupArguments &arguments)
{
    for (const DownloadSource &source : arguments.sources) {
        DownloadItem item;
        item.Url = source.url;
        item.Name = SourceFileName(source);
        item.Type = QStringLiteral("pdf");
        item.Folder = QDir::toNativeSeparators(arguments.folder);
        item.Referer = source.referer;
        engine.list().addItem(std::move(item));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const StartupArguments startup = ParseStartupArguments(arguments, QDir::currentPath());
    if (startup.help) {
        std::fputs(StartupUsage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (!startup.error.isEmpty()) {
        std::fprintf(stderr, "paperdrift: %s\n", startup.error.toLocal8Bit().constData());
        return 2;
    }
    if (!DisplayAvailable()) {
        std::fputs(NoDisplayMessage().toLocal8Bit().constData(), stderr);
        return 3;
    }

    KeepTransferBuffersInProcess();
    setBrowserEnvironment();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QApplication::setApplicationName(kProgramTitle);
    Q_INIT_RESOURCE(resources);
    // The program's icon, which every window takes.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon.png")));

    SettingsStore store;
    StoredSettings stored(store);
    SessionSettings session;
    ReadStartupSettings(stored, session);
    SystemClock clock;
    WidgetPrompts prompts;
    SoundPlayerQt sounds;
    QNetworkAccessManager network;
    DesktopShell shell;
    // One cookie store: a login in the browser applies to the downloads.
    QWebEngineProfile *profile = QWebEngineProfile::defaultProfile();
    SharedCookies::attach(profile, network);

    auto *window = new SearchWindow({session, stored, prompts, sounds, clock, network, shell, profile});
    prompts.setParentWindow(window);
    window->show();
    if (!startup.sources.isEmpty()) {
        window->openDownloadWindow();
        addSources(window->downloadWindow()->engine(), startup);
    }
    return application.exec();
}
