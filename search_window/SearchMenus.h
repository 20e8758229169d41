#pragma once

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

// The search window's menus. "加入" is never in the menu bar: it pops up
// from "分析下载" when a row of the list is selected. "清除(&C)" is also the
// list's right-click menu.
struct SearchMenus
{
    void build(QMenuBar *bar, QWidget *window);

    QMenu *addMenu = nullptr;
    QAction *passUnanalysed = nullptr;
    QAction *passFailed = nullptr;
    QAction *passSelected = nullptr;
    QAction *passAll = nullptr;

    QMenu *browse = nullptr;
    QAction *openStartPage = nullptr;
    QAction *openAddress = nullptr;
    QAction *back = nullptr;
    QAction *forward = nullptr;
    QAction *closeWindow = nullptr;

    QMenu *clear = nullptr;
    QAction *clearSelected = nullptr;
    QAction *clearDone = nullptr;
    QAction *clearContaining = nullptr;
    QAction *clearNotContaining = nullptr;
    QAction *clearAll = nullptr;

    QMenu *tools = nullptr;
    QAction *settings = nullptr;
    QAction *openDownloadWindow = nullptr;
    QAction *viewBrowserCache = nullptr;
    QAction *clearBrowserCache = nullptr;

    QMenu *help = nullptr;
    QAction *about = nullptr;
};
