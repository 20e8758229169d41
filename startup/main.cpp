// paperdrift, the desktop program. It starts with the startup window, whose
// close ends the program. Addresses given on the command line go on the
// download list: the search window and the download window then come up at
// once.
#include "browser/SharedCookies.h"
#include "download_window/DownloadWindow.h"
#include "search_window/SearchWindow.h"
#include "engine/DownloadEngine.h"
#include "common/SessionSettings.h"
#include "platform/Clock.h"
#include "platform/Console.h"
#include "platform/DesktopShell.h"
#include "platform/MemoryTuning.h"
#include "platform/Registry.h"
#include "platform/SettingsStore.h"
#include "platform/SoundPlayerQt.h"
#include "platform/WidgetPrompts.h"
#include "platform/WindowDirectory.h"
#include "settings/StoredSettings.h"
#include "startup/StartupArguments.h"
#include "startup/StartupWindow.h"
#include "updates/UpdateCheck.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QNetworkAccessManager>
#include <QPointer>
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
        engine.list().addItem(NewDownloadItem({source.url, SourceFileName(source), QStringLiteral("pdf"),
                                               QDir::toNativeSeparators(arguments.folder), source.referer}));
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
    if (startup.version) {
        std::printf("paperdrift %s\n", VersionText(RunningVersion()).toLocal8Bit().constData());
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
    SystemClock clock;
    WidgetPrompts prompts;
    SoundPlayerQt sounds;
    QNetworkAccessManager network;
    DesktopShell shell;
    // The program's own browser profile keeps its pages in a disk cache, so
    // the cache viewer finds the articles the browser fetched; its cookies
    // are the downloads' cookies too, so a login in the browser applies to
    // the downloads.
    QWebEngineProfile browserProfile(QStringLiteral("Paperdrift"));
    browserProfile.setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    QWebEngineProfile *profile = &browserProfile;
    SharedCookies::attach(profile, network);

    Registry registry;
    auto *cover = new StartupWindow(
        {{session, stored, prompts, sounds, clock, network, shell, profile}, registry, UpdateBaseAddress(), [] {
             QCoreApplication::exit(0);
         }});
    prompts.setParentWindow(cover);
    cover->show();
    if (!startup.sources.isEmpty()) {
        cover->openSearchWindow();
        if (auto *window = qobject_cast<SearchWindow *>(LoadedWindow(kSearchWindowName))) {
            window->openDownloadWindow();
            addSources(window->downloadWindow()->engine(), startup);
        }
    }
    const int status = application.exec();
    // The windows go with the program, without their closing steps.
    QList<QPointer<QWidget>> windows;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (!widget->parentWidget())
            windows.append(widget);
    }
    for (const QPointer<QWidget> &window : windows)
        delete window.data();
    return status;
}
