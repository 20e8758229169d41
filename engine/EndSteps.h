#pragma once

#include <QString>

class SoundPlayer;
struct DownloadItem;
struct EngineOptions;

// What the window shows when a transfer ends: panel 2's text and whether the
// login panel is asked to log in (a web page arrived with automatic login on).
struct EndNotice
{
    QString panel2Text;
    bool loginWanted = false;
};

// The end steps of a transfer, the same for both methods (method one after
// every outcome, a worker after its completion): "完成下载:" and the name for
// panel 2, sound 101 for a web page and then 103 for a failed row when sound
// is on, and the automatic login for a web page. The caller emits the notice.
EndNotice RunEndSteps(const DownloadItem &item, const EngineOptions &options, SoundPlayer &sounds);
