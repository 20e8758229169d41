#pragma once

#include <QRect>
#include <QString>
#include <QVariant>

#include <optional>

class DownloadEngine;

// The rules of the download window that need no window: when closing asks
// first, where the strip, the list and the login panel go on a resize, and
// which progress cells are drawn as a bar.

// The window is busy: the transfer control still executes, more than one
// worker is loaded, a row is neither finished nor failed, or downloading is
// switched on. Closing a busy window asks first.
bool CloseNeedsQuestion(const DownloadEngine &engine);

// The sizes a resize works from, in pixels. The window height is its client
// height (the title bar is outside it, so the caption height is 0 here);
// positions are in the client area below the menu bar.
struct ResizeInput
{
    int windowWidth = 0;
    int windowHeight = 0;
    int stripHeight = 0;
    int statusBarHeight = 0;
    int captionHeight = 0;
    int menuBarHeight = 0;
};

// Where the parts go; a step that would give a negative size is left out
// (nothing), and the parts it leaves out keep their place.
struct ResizeResult
{
    std::optional<QRect> strip;
    std::optional<QRect> list; // the login panel takes the same rectangle
};

// Strip: left 20, top 20, window width − 300 twips wide. List: below the
// strip, as wide, down to the window height less the status bar, caption,
// menu bar and 140 twips.
ResizeResult DownloadWindowResize(const ResizeInput &input);

// The whole percentage a progress cell holds, as the list's value role gives
// it (37 for "37%"), limited to 0 to 100; nothing for a progress word or an
// empty cell.
std::optional<int> ProgressPercent(const QVariant &value);
