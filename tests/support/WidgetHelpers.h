#pragma once

#include <QApplication>
#include <QWidget>

// How many top-level windows of the program are shown: a browser that opened
// a window of its own, or a window that failed to close, changes the count.
inline int visibleTopLevelWidgets()
{
    int count = 0;
    for (const QWidget *widget : QApplication::topLevelWidgets())
        count += widget->isVisible() ? 1 : 0;
    return count;
}
