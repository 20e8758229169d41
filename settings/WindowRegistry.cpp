#include "settings/WindowRegistry.h"

#include <QList>
#include <QPointer>
#include <QWidget>

namespace {

// Destroyed windows leave null pointers behind, which lookups skip and
// registration sweeps away.
QList<QPointer<QWidget>> &loadedWindows()
{
    static QList<QPointer<QWidget>> windows;
    return windows;
}

} // namespace

void RegisterLoadedWindow(QWidget *window)
{
    QList<QPointer<QWidget>> &windows = loadedWindows();
    windows.removeIf([](const QPointer<QWidget> &entry) { return entry.isNull(); });
    if (window && !windows.contains(window))
        windows.append(window);
}

void UnregisterLoadedWindow(QWidget *window)
{
    loadedWindows().removeIf(
        [window](const QPointer<QWidget> &entry) { return entry.isNull() || entry == window; });
}

QWidget *FindLoadedWindow(const QString &name)
{
    for (const QPointer<QWidget> &window : std::as_const(loadedWindows())) {
        if (window && window->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return window;
    }
    return nullptr;
}

bool IsWindowLoaded(const QString &name)
{
    return FindLoadedWindow(name) != nullptr;
}
