#include "download_window/DownloadMenus.h"

#include "download_window/WindowTexts.h"
#include "widgets/MenuEntries.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

using namespace WindowText;
using namespace MenuEntries;

void DownloadMenus::build(QMenuBar *bar)
{
    listMenu = bar->addMenu(kMenuList);
    listMenu->setObjectName(QStringLiteral("menu下载"));
    selectAll = entry(listMenu, kSelectAll, "menu全选专利列表");
    selectNone = entry(listMenu, kSelectNone, "menu全不选");
    randomOrder = entry(listMenu, kRandomOrder, "menu随机排序列表");
    fitColumns = entry(listMenu, kFitColumns, "menu自动列宽");
    listMenu->addSeparator();
    downloadAgain = submenu(listMenu, kDownloadAgain, "menu重新下载");
    resetSelected = entry(downloadAgain, kSelectedItems, "menu重新下载选中项");
    resetFailed = entry(downloadAgain, kFailedItems, "menu重新下载出错项");
    resetWebPages = entry(downloadAgain, kWebPageItems, "menu重新下载文件类型为HTM和HTML项");
    resetFailedAndWebPages = entry(downloadAgain, kFailedAndWebPageItems, "menu重新下载出错项和网页项");
    resetSmaller = entry(downloadAgain, kSmallerItems, "menu重新下载文件大小小于指定数字的项");
    listMenu->addSeparator();
    remove = submenu(listMenu, kRemove, "menu清除");
    removeSelected = entry(remove, kSelectedItems, "menu清除选中项");
    removeFailed = entry(remove, kAllFailedItems, "menu清除全部出错项");
    removeFinished = entry(remove, kFinishedItems, "menu清除完成项");
    clearList = entry(listMenu, kClearList, "menu清空");
    deleteFiles = submenu(listMenu, kDeleteFiles, "menu删除文件");
    deleteWebPageFiles = entry(deleteFiles, kWebPageItems, "menu删除网页类型文件项");
    deleteFailedFiles = entry(deleteFiles, kFailedItems, "menu删除出错项");
    listMenu->addSeparator();
    start = entry(listMenu, kStart, "menu下载全部");
    stop = entry(listMenu, kStop, "menu停止下载");
    cancelSelected = entry(listMenu, kCancelSelected, "menu取消下载选中项");
    listMenu->addSeparator();
    openFile = entry(listMenu, kOpenFile, "menu打开下载文件");
    openFolder = entry(listMenu, kOpenFolder, "menu打开文件所在文件夹");
    openInEditor = entry(listMenu, kOpenInEditor, "menu用记事本打开文件");
    listMenu->addSeparator();
    copyName = entry(listMenu, kCopyName, "menu复制名称");
    replaceUrls = entry(listMenu, kReplaceUrls, "menu批量替换网址");
    exportNames = submenu(listMenu, kExportNames, "menu导出名称");
    exportAll = entry(exportNames, kExportAll, "menu导出全部名称");
    exportUnfinished = entry(exportNames, kExportUnfinished, "menu导出未完成项名称");
    listMenu->addSeparator();
    closeWindow = entry(listMenu, kCloseWindow, "menu关闭本下载窗口");

    tools = bar->addMenu(kMenuTools);
    tools->setObjectName(QStringLiteral("menu工具"));
    settings = entry(tools, kSettings, "menu设置");
    followCurrent = entry(tools, kFollowCurrent, "menu自动定位到下载项");
    followCurrent->setCheckable(true);
    tools->addSeparator();
    checkFiles = entry(tools, kCheckFiles, "menu检查文件是否存在");
    correctFileTypes = entry(tools, kCorrectFileTypes, "menu检查并纠正磁盘文件类型");
    tools->addSeparator();
    clearBrowserCache = entry(tools, kClearBrowserCache, "menu清空IE浏览器缓存");
    tellFileType = entry(tools, kTellFileType, "menu打开文件判断类型");

    windowMenu = new QMenu(kMenuWindow, bar);
    windowMenu->setObjectName(QStringLiteral("menu窗口"));
    windowMenu->menuAction()->setObjectName(QStringLiteral("menu窗口"));
    bar->insertMenu(tools->menuAction(), windowMenu);
    showSearchWindow = entry(windowMenu, kShowSearchWindow, "menu资料检索分析窗口");
    help = bar->addMenu(kMenuHelp);
    help->setObjectName(QStringLiteral("menu帮助"));
    about = entry(help, kAbout, "menu关于");
}
