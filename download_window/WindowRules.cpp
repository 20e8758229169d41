#include "download_window/WindowRules.h"

#include "engine/DownloadEngine.h"
#include "settings/LayoutRules.h"

#include <algorithm>

bool CloseNeedsQuestion(const DownloadEngine &engine)
{
    return engine.transfersRunning() || !engine.list().isListFinished() || engine.downloadingOn();
}

ResizeResult DownloadWindowResize(const ResizeInput &input)
{
    ResizeResult result;
    const int left = TwipsToPixels(20);
    const int top = TwipsToPixels(20);
    const int stripWidth = input.windowWidth - TwipsToPixels(300);
    if (stripWidth >= 0 && input.stripHeight >= 0)
        result.strip = QRect(left, top, stripWidth, input.stripHeight);

    const int listTop = top + input.stripHeight;
    const int listHeight = input.windowHeight - listTop - input.statusBarHeight - input.captionHeight
                           - input.menuBarHeight - TwipsToPixels(140);
    if (stripWidth >= 0 && listHeight >= 0)
        result.list = QRect(left, listTop, stripWidth, listHeight);
    return result;
}

std::optional<int> ProgressPercent(const QVariant &value)
{
    if (!value.isValid())
        return std::nullopt;
    return int(std::clamp<qint64>(value.toLongLong(), 0, 100));
}
