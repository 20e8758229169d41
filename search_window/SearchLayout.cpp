#include "search_window/SearchLayout.h"

#include <algorithm>

namespace {

constexpr int kBarLeft = 20;
constexpr int kWidthAllowance = 300;
constexpr int kLowestBarMargin = 1200;

} // namespace

SearchLayout LayOutSearchWindow(const SearchLayoutInput &input)
{
    SearchLayout layout;
    layout.windowWidth = std::max(input.windowWidth, kSearchMinWidthTwips);
    layout.windowHeight = std::max(input.windowHeight, kSearchMinHeightTwips);

    int barTop = input.barTop;
    if (barTop > layout.windowHeight - kLowestBarMargin || barTop < input.upperPaneTop)
        barTop = layout.windowHeight * 4 / 5;

    const int width = layout.windowWidth - kWidthAllowance;
    layout.bar = QRect(kBarLeft, barTop, width, input.barHeight);
    layout.upperPane = QRect(kBarLeft, input.upperPaneTop, width, std::max(barTop - input.upperPaneTop, 0));
    // The window's height holds the menu bar but no caption or frame: the
    // lower pane ends at the status bar.
    const int lowerTop = barTop + input.barHeight;
    const int lowerHeight =
        layout.windowHeight - input.statusBarHeight - barTop - input.barHeight - input.menuBarHeight;
    layout.lowerPane = QRect(kBarLeft, lowerTop, width, std::max(lowerHeight, 0));
    return layout;
}
