#include "widgets/WindowLayout.h"

#include "settings/LayoutRules.h"
#include "settings/StoredSettings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

QString ScreenSizeText()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QString();
    return ScreenSizeTextFor(screen->size());
}

void SaveWindowLayout(const QWidget *window, StoredSettings &stored)
{
    const QString name = window->objectName();
    if (window->isMaximized()) {
        stored.saveLayoutResolution(name, kMaximisedResolution);
        return;
    }
    stored.saveLayoutResolution(name, ScreenSizeText());
    // Position of the frame and size of the window, as move() and resize() take them.
    stored.saveLayoutGeometry(name, PixelsToTwips(window->y()), PixelsToTwips(window->x()),
                              PixelsToTwips(window->width()), PixelsToTwips(window->height()));
}

void RestoreWindowLayout(QWidget *window, const StoredSettings &stored)
{
    const WindowPlacement placement = PlacementFromStore(stored, window->objectName(), ScreenSizeText());
    const Qt::WindowStates state = window->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (placement.maximised) {
        window->setWindowState(state | Qt::WindowMaximized);
        return;
    }
    // Normal state first, so that leaving a maximised state cannot bring back
    // an older geometry over the stored one.
    window->setWindowState(state);
    window->move(placement.geometry.topLeft());
    window->resize(placement.geometry.size());
}
