#pragma once

#include <QString>

// Captions, menu entries and messages of the download window.
namespace WindowText {

inline const QString kWindowName = QStringLiteral("fFileDownload");
inline const QString kCaption = QStringLiteral("文件下载");

// The command strip.
inline const QString kStart = QStringLiteral("开始下载");
inline const QString kStop = QStringLiteral("停止下载");
inline const QString kSwitch = QStringLiteral("切换");
inline const QString kSwitchTip = QStringLiteral("更改下载方式");
inline const QString kThreadCount = QStringLiteral("线程数：");
// Combo2 sits in the run of blanks of this caption, after the prefix.
inline const QString kInterval = QStringLiteral("两个文件下载间隔：        秒");
inline const QString kIntervalPrefix = QStringLiteral("两个文件下载间隔：");
inline const QString kAutoStart = QStringLiteral("当有待下载项时，自动启动下载");
inline const QString kErrorStop = QStringLiteral("有5个以上下载出错或者网页文件，就停止下载");
inline const QString kAutoRetry = QStringLiteral("自动重新下载：");
inline const QString kRetryFailed = QStringLiteral("出错项");
inline const QString kRetryPages = QStringLiteral("文件类型为HTM和HTML项");
inline const QString kRetryBoth = QStringLiteral("出错项和文件类型为HTM和HTML项");
inline const QString kSound = QStringLiteral("声音提示");
inline const QString kSameName = QStringLiteral("同名文件：");
inline const QString kWebLogin = QStringLiteral("网页登录");
inline const QString kListLabel = QStringLiteral("下载列表：");
inline const QString kIndicator = QStringLiteral("正在下载");

// Menu captions.
inline const QString kMenuList = QStringLiteral("列表操作(&D)");
inline const QString kSelectAll = QStringLiteral("全选");
inline const QString kSelectNone = QStringLiteral("全不选");
inline const QString kRandomOrder = QStringLiteral("随机排序列表(打乱)");
inline const QString kFitColumns = QStringLiteral("自动调整列宽");
inline const QString kDownloadAgain = QStringLiteral("重新下载");
inline const QString kSelectedItems = QStringLiteral("选中项");
inline const QString kFailedItems = QStringLiteral("出错项");
inline const QString kWebPageItems = QStringLiteral("网页类型文件(HTM/HTML/xml)项");
inline const QString kFailedAndWebPageItems = QStringLiteral("重新下载出错项和网页类型文件项");
inline const QString kSmallerItems = QStringLiteral("文件大小小于指定数字的项");
inline const QString kRemove = QStringLiteral("清除");
inline const QString kAllFailedItems = QStringLiteral("全部出错项");
inline const QString kFinishedItems = QStringLiteral("完成项");
inline const QString kClearList = QStringLiteral("清空");
inline const QString kDeleteFiles = QStringLiteral("删除文件");
inline const QString kCancelSelected = QStringLiteral("取消下载选中项");
inline const QString kOpenFile = QStringLiteral("打开下载文件");
inline const QString kOpenFolder = QStringLiteral("打开所在文件夹");
inline const QString kOpenInEditor = QStringLiteral("用记事本打开文件");
inline const QString kCopyName = QStringLiteral("复制名称");
inline const QString kReplaceUrls = QStringLiteral("批量替换网址");
inline const QString kExportNames = QStringLiteral("导出名称");
inline const QString kExportAll = QStringLiteral("全部");
inline const QString kExportUnfinished = QStringLiteral("未完成项");
inline const QString kCloseWindow = QStringLiteral("关闭本下载窗口");
inline const QString kMenuTools = QStringLiteral("工具(&T)");
inline const QString kSettings = QStringLiteral("设置");
inline const QString kFollowCurrent = QStringLiteral("自动定位到下载项");
inline const QString kCheckFiles = QStringLiteral("检查文件是否存在");
inline const QString kCorrectFileTypes = QStringLiteral("检查并纠正磁盘文件类型");
inline const QString kClearBrowserCache = QStringLiteral("清空IE浏览器缓存");
inline const QString kTellFileType = QStringLiteral("打开文件判断类型");
inline const QString kMenuWindow = QStringLiteral("窗口(&W)");
inline const QString kShowSearchWindow = QStringLiteral("资料检索分析窗口");
inline const QString kMenuHelp = QStringLiteral("帮助(&H)");
inline const QString kAbout = QStringLiteral("关于");

// Messages.
inline const QString kCloseQuestion = QStringLiteral("正在下载文件或者下载没有完成，要强制关闭窗口吗？");

} // namespace WindowText
