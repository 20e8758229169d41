#pragma once

#include <QRect>

// Where the search window puts its panes, in twips (15 twips to a pixel).
//
// The window's height is its inner height: the menu bar, the panes and the
// status bar. The panes are placed in the area between the menu bar and the
// status bar, whose top is 0.
struct SearchLayoutInput
{
    int windowWidth = 0;
    int windowHeight = 0;
    int menuBarHeight = 0;
    int statusBarHeight = 0;
    int barTop = 0; // the splitter's top, in the pane area
    int barHeight = 0;
    int upperPaneTop = 0;
};

struct SearchLayout
{
    // The window's size after the lower limits; differs from the input when
    // the window must spring back.
    int windowWidth = 0;
    int windowHeight = 0;
    QRect bar;
    QRect upperPane;
    QRect lowerPane;
};

inline constexpr int kSearchMinWidthTwips = 9000;
inline constexpr int kSearchMinHeightTwips = 5000;

// The layout of a window that is not minimised: the size raised to
// 9000 × 5000; the splitter put at four fifths of the height when it lies
// below the height less 1200 or above the upper pane's top; the splitter at
// left 20 as wide as the window less 300; the upper pane above it and the
// lower pane below it, both as wide as the splitter, the lower one down to
// the status bar.
SearchLayout LayOutSearchWindow(const SearchLayoutInput &input);
