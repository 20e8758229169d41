#include "search_window/SearchMenus.h"

#include "search_window/SearchTexts.h"
#include "widgets/MenuEntries.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

using namespace SearchText;
using namespace MenuEntries;

void SearchMenus::build(QMenuBar *bar, QWidget *window)
{
    // Owned by the window, shown only as a pop-up.
    addMenu = new QMenu(kMenuAdd, window);
    addMenu->setObjectName(QStringLiteral("menu加入"));
    passUnanalysed = entry(addMenu, kPassUnanalysed, "menu分析未分析项");
    passFailed = entry(addMenu, kPassFailed, "menu分析失败项");
    passSelected = entry(addMenu, kPassSelected, "menu分析选中项");
    passAll = entry(addMenu, kPassAll, "menu分析全部");

    browse = submenu(bar, kMenuBrowse, "menu浏览");
    openStartPage = entry(browse, kOpenStartPage, "menu打开AIAA首页");
    openAddress = entry(browse, kOpenAddress, "menu打开指定网址");
    browse->addSeparator();
    back = entry(browse, kBack, "menu后退");
    forward = entry(browse, kForward, "menu前进");
    browse->addSeparator();
    closeWindow = entry(browse, kCloseWindow, "menu关闭本窗口");

    clear = submenu(bar, kMenuClear, "menu清除");
    clearSelected = entry(clear, kClearSelected, "menu清除选中项");
    clearDone = entry(clear, kClearDone, "menu清除分析成功项");
    clearContaining = entry(clear, kClearContaining, "menu清除标题含指定字符项");
    clearNotContaining = entry(clear, kClearNotContaining, "menu清除标题不含指定字符项");
    clearAll = entry(clear, kClearAll, "menu清空全部");

    tools = submenu(bar, kMenuTools, "menu工具");
    settings = entry(tools, kSettings, "menu设置");
    openDownloadWindow = entry(tools, kOpenDownloadWindow, "menu打开下载窗口");
    tools->addSeparator();
    viewBrowserCache = entry(tools, kViewBrowserCache, "menu查看IE浏览器缓存");
    clearBrowserCache = entry(tools, kClearBrowserCache, "menu清空IE浏览器缓存");

    help = submenu(bar, kMenuHelp, "menu帮助");
    about = entry(help, kAbout, "menu关于");
}
