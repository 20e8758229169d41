#include "settings/LayoutRules.h"

#include "settings/StoredSettings.h"

#include <QtMath>
#include <algorithm>

namespace {

constexpr int kMinimumWidthTwips = 4000;
constexpr int kMinimumHeightTwips = 3000;

} // namespace

int TwipsToPixels(int twips)
{
    return qRound(double(twips) / kTwipsPerPixel);
}

int PixelsToTwips(int pixels)
{
    return pixels * kTwipsPerPixel;
}

QString ScreenSizeTextFor(const QSize &screenPixels)
{
    return QString::number(screenPixels.width()) + QLatin1Char('*') + QString::number(screenPixels.height());
}

WindowPlacement PlacementFromStore(const StoredSettings &stored, const QString &windowName,
                                   const QString &screenSizeText)
{
    WindowPlacement placement;
    if (stored.layoutResolution(windowName) != screenSizeText) {
        placement.maximised = true;
        return placement;
    }
    const int top = std::max(stored.layoutTop(windowName), 0);
    const int left = std::max(stored.layoutLeft(windowName), 0);
    const int width = std::max(stored.layoutWidth(windowName), kMinimumWidthTwips);
    const int height = std::max(stored.layoutHeight(windowName), kMinimumHeightTwips);
    placement.geometry = QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
    return placement;
}
