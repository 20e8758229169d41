#pragma once

// The services the program's windows are built on, as the window suites set
// them up: a real settings file, a fresh browser profile sharing its cookies
// with the transfers, and recorded prompts, sounds and shell. A suite's rig
// deletes its windows before the profile their pages live in.
#include "browser/SharedCookies.h"
#include "common/SessionSettings.h"
#include "download_window/DownloadWindow.h"
#include "platform/Clock.h"
#include "settings/StoredSettings.h"
#include "tests/support/PromptRecorder.h"
#include "tests/support/ShellRecorder.h"
#include "tests/support/SoundRecorder.h"
#include "tests/support/TempSettings.h"

#include <QNetworkAccessManager>
#include <QWebEngineProfile>

#include <memory>

struct WindowServicesRig
{
    TempSettings temp;
    StoredSettings stored{temp.store()};
    SessionSettings session;
    PromptRecorder prompts;
    SoundRecorder sounds;
    SystemClock clock;
    QNetworkAccessManager network;
    ShellRecorder shell;
    std::unique_ptr<QWebEngineProfile> profile = std::make_unique<QWebEngineProfile>();

    // One cookie store, as in the program: a login in a browser applies to
    // the transfers.
    WindowServicesRig() { SharedCookies::attach(profile.get(), network); }

    DownloadWindowServices services()
    {
        return {session, stored, prompts, sounds, clock, network, shell, profile.get()};
    }
};
