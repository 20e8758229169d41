#include "platform/WindowDirectory.h"

#include <QApplication>
#include <QHash>
#include <QWidget>

namespace {

QHash<QString, std::function<QWidget *()>> &loaders()
{
    static QHash<QString, std::function<QWidget *()>> table;
    return table;
}

} // namespace

QWidget *LoadedWindow(const QString &name)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->parentWidget() == nullptr && widget->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return widget;
    }
    return nullptr;
}

void SetWindowLoader(const QString &name, std::function<QWidget *()> loader)
{
    loaders().insert(name.toLower(), std::move(loader));
}

QWidget *ShowWindow(const QString &name)
{
    QWidget *window = LoadedWindow(name);
    if (!window) {
        const auto loader = loaders().constFind(name.toLower());
        if (loader == loaders().constEnd() || !loader.value())
            return nullptr;
        window = loader.value()();
        if (!window)
            return nullptr;
    }
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    window->activateWindow();
    return window;
}
