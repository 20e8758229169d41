#pragma once

#include <QRect>
#include <QSize>
#include <QString>

class StoredSettings;

// Window layout arithmetic. The store keeps positions and sizes in twips, 15
// to a pixel.
inline constexpr int kTwipsPerPixel = 15;

int TwipsToPixels(int twips);
int PixelsToTwips(int pixels);

// The screen size text compared with the stored "分辨率": the screen's width
// and height in pixels joined by "*", for example "1920*1080".
QString ScreenSizeTextFor(const QSize &screenPixels);

// The resolution stored for a window closed maximised.
inline const QString kMaximisedResolution = QStringLiteral("0*0");

// Where a window opens.
struct WindowPlacement
{
    bool maximised = false;
    QRect geometry; // pixels; meaningful when not maximised
};

// The window's stored layout against the current screen size text: maximised
// when the stored resolution differs (a first run, a window left maximised, a
// changed screen); otherwise the stored position and size, with a negative top
// or left raised to 0, a width below 4000 twips raised to 4000 and a height
// below 3000 twips raised to 3000.
WindowPlacement PlacementFromStore(const StoredSettings &stored, const QString &windowName,
                                   const QString &screenSizeText);
