#include "widgets/LoadedWindows.h"

#include "platform/WindowDirectory.h"

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

namespace {
// Set on a main window that has closed: it stays loaded until it is
// destroyed, but is never brought back up.
constexpr char kClosedProperty[] = "paperdriftClosed";
} // namespace

void ShowWhatRemainsAfterClosing(QWidget *closing, const QString &otherMainWindow)
{
    closing->setProperty(kClosedProperty, true);
    if (!IsWindowLoaded(otherMainWindow)) {
        ShowWindow(kStartupWindowName);
        return;
    }
    QWidget *other = LoadedWindow(otherMainWindow);
    if (other && other->isHidden() && !other->property(kClosedProperty).toBool())
        other->show();
}
