#pragma once

#include <QString>

// Captions, menu entries and messages of the search window.
namespace SearchText {

inline const QString kWindowName = QStringLiteral("fWebSearch");
inline const QString kCaption = QStringLiteral("AIAA数据检索分析");

// The lower pane.
inline const QString kFreeOnlyBefore = QStringLiteral("仅提取带");
inline const QString kFreeOnlyAfter = QStringLiteral("的链接（免费文件）");
inline const QString kSilent = QStringLiteral("禁止浏览器弹出脚本提示");
inline const QString kTickedOnly = QStringLiteral("只提取网页勾选项");
inline const QString kExport = QStringLiteral("导出数据...");
inline const QString kListLabel = QStringLiteral("待下载列表：");
inline const QString kAddThisPage = QStringLiteral("加入本页到列表");
inline const QString kAddAll = QStringLiteral("加入全部到列表");
inline const QString kStopAddAll = QStringLiteral("停止加入全部");
inline const QString kAnalyse = QStringLiteral("分析下载");
inline const QString kProgressAtDesign = QStringLiteral("正在分析，请稍候...");
inline const QString kStop = QStringLiteral("停止");

// Menus.
inline const QString kMenuAdd = QStringLiteral("加入");
inline const QString kPassUnanalysed = QStringLiteral("分析未分析项");
inline const QString kPassFailed = QStringLiteral("分析失败项");
inline const QString kPassSelected = QStringLiteral("分析选中项");
inline const QString kPassAll = QStringLiteral("分析全部");
inline const QString kMenuBrowse = QStringLiteral("浏览(&B)");
inline const QString kOpenStartPage = QStringLiteral("打开AIAA首页");
inline const QString kOpenAddress = QStringLiteral("打开指定网址...");
inline const QString kBack = QStringLiteral("后退");
inline const QString kForward = QStringLiteral("前进");
inline const QString kCloseWindow = QStringLiteral("关闭本窗口");
inline const QString kMenuClear = QStringLiteral("清除(&C)");
inline const QString kClearSelected = QStringLiteral("清除选中项");
inline const QString kClearDone = QStringLiteral("清除分析成功项");
inline const QString kClearContaining = QStringLiteral("清除标题含指定字符项");
inline const QString kClearNotContaining = QStringLiteral("清除标题不含指定字符项");
inline const QString kClearAll = QStringLiteral("清空全部");
inline const QString kMenuTools = QStringLiteral("工具(&T)");
inline const QString kSettings = QStringLiteral("设置");
inline const QString kOpenDownloadWindow = QStringLiteral("打开下载窗口");
inline const QString kViewBrowserCache = QStringLiteral("查看IE浏览器缓存");
inline const QString kClearBrowserCache = QStringLiteral("清空IE浏览器缓存");
inline const QString kMenuHelp = QStringLiteral("帮助(&H)");
inline const QString kAbout = QStringLiteral("关于(&A)");

// "打开指定网址...".
inline const QString kEnterAddress = QStringLiteral("请输入需要打开的网址：");
inline const QString kEnterAddressTitle = QStringLiteral("请输入...");

// Navigated to while the window loads, before the start page.
inline const QString kBlankPage = QStringLiteral("about:blank");

} // namespace SearchText
