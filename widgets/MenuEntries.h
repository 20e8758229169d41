#pragma once

#include <QAction>
#include <QMenu>
#include <QString>

// Building the windows' menus: every entry and menu carries its name as its
// object name, so that the program and the tests find it by that name.
namespace MenuEntries {

inline QAction *entry(QMenu *menu, const QString &caption, const char *name)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromUtf8(name));
    return action;
}

// A menu of a menu bar or of another menu; its action carries the same name.
template <typename Parent>
QMenu *submenu(Parent *parent, const QString &caption, const char *name)
{
    QMenu *menu = parent->addMenu(caption);
    menu->setObjectName(QString::fromUtf8(name));
    menu->menuAction()->setObjectName(QString::fromUtf8(name));
    return menu;
}

} // namespace MenuEntries
