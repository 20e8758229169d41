#include "widgets/LoadedWindows.h"

#include <QApplication>
#include <QWidget>

bool IsWindowLoaded(const QString &name)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QWidget *window : windows) {
        if (window->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}
