#pragma once

#include "common/SameNamePolicy.h"

#include <QSet>

// What the automatic re-download resets once the list has ended (Combo4).
enum class AutoRetryChoice : int {
    FailedItems = 0,  // "出错项"
    WebPageItems = 1, // "文件类型为HTM和HTML项"
    Both = 2,         // "出错项和文件类型为HTM和HTML项": failed items first
};

// The download window's options the engine reads: the window binds its
// controls to this record, the command line fills it from its arguments.
// Everything is read afresh at every tick and by every transfer step, so a
// change takes effect at once. None of it is stored here: the window stores
// the same-name rule as its caption through the settings.
struct EngineOptions
{
    static constexpr int kMinThreads = 1;
    static constexpr int kMaxThreads = 6;
    static constexpr int kMaxIntervalSeconds = 600;

    int threadCount = 1;     // Combo1 "线程数：": parallel workers of method two, 1 to 6
    int intervalSeconds = 0; // Combo2: pause after the end of a transfer before the next start
    bool autoStart = false;  // Check4: start when items are waiting
    bool autoRetry = false;  // Check3: download again automatically
    AutoRetryChoice autoRetryChoice = AutoRetryChoice::FailedItems; // Combo4
    bool errorStop = false;                                         // Check5: stop after 5 failures or web pages
    bool soundOn = false;                                           // Check6 "声音提示"
    bool autoLogin = false;                                         // Check2 "自动登录"
    bool followCurrent = false; // menu自动定位到下载项: scroll the started row into view
    SameNamePolicy sameNamePolicy = SameNamePolicy::Rename; // "同名文件：" Option1 to Option3
    // Rows (by identity) whose file takes the name the reply's
    // Content-Disposition gives, when it gives one (the command line's
    // "--name-from server" for rows without a name of their own).
    QSet<quint64> nameFromServerRows;
};
