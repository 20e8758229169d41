#pragma once

class QAction;
class QMenu;
class QMenuBar;

// The menu tree of the download window. The first menu, "列表操作(&D)", is
// also the list's right-click menu. Every entry carries its object name.
struct DownloadMenus
{
    QMenu *listMenu = nullptr; // "列表操作(&D)", object name menu下载
    QAction *selectAll = nullptr;
    QAction *selectNone = nullptr;
    QAction *randomOrder = nullptr;
    QAction *fitColumns = nullptr;
    QMenu *downloadAgain = nullptr;
    QAction *resetSelected = nullptr;
    QAction *resetFailed = nullptr;
    QAction *resetWebPages = nullptr;
    QAction *resetFailedAndWebPages = nullptr;
    QAction *resetSmaller = nullptr;
    QMenu *remove = nullptr;
    QAction *removeSelected = nullptr;
    QAction *removeFailed = nullptr;
    QAction *removeFinished = nullptr;
    QAction *clearList = nullptr;
    QMenu *deleteFiles = nullptr;
    QAction *deleteWebPageFiles = nullptr;
    QAction *deleteFailedFiles = nullptr;
    QAction *start = nullptr;
    QAction *stop = nullptr;
    QAction *cancelSelected = nullptr;
    QAction *openFile = nullptr;
    QAction *openFolder = nullptr;
    QAction *openInEditor = nullptr;
    QAction *copyName = nullptr;
    QAction *replaceUrls = nullptr;
    QMenu *exportNames = nullptr;
    QAction *exportAll = nullptr;
    QAction *exportUnfinished = nullptr;
    QAction *closeWindow = nullptr;

    QMenu *tools = nullptr; // "工具(&T)"
    QAction *settings = nullptr;
    QAction *followCurrent = nullptr; // checkable, off at load
    QAction *checkFiles = nullptr;
    QAction *correctFileTypes = nullptr;
    QAction *clearBrowserCache = nullptr;
    QAction *tellFileType = nullptr;

    QMenu *windowMenu = nullptr; // "窗口(&W)", before "工具(&T)"
    QAction *showSearchWindow = nullptr;
    QMenu *help = nullptr; // "帮助(&H)"
    QAction *about = nullptr;

    // Builds the menus on the window's menu bar.
    void build(QMenuBar *bar);
};
