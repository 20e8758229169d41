#pragma once

#include "platform/Prompts.h"

#include <QString>

// Captions and messages of the options dialog, the save-folder dialog and the
// folder history.
namespace SettingsText {

// The dialogs' window names.
inline const QString kOptionsWindowName = QStringLiteral("fOption");
inline const QString kSaveFolderWindowName = QStringLiteral("fSeleFileSavePath");

// The options dialog.
inline const QString kOptionsCaption = QStringLiteral("设置");
inline const QString kMethodOne = QStringLiteral("下载方式一 (支持HTTP，单线程，代理服务器下载)");
inline const QString kMethodTwo = QStringLiteral("下载方式二 (支持HTTP，多线程下载)");
inline const QString kUseProxy = QStringLiteral("下载使用代理服务器");
inline const QString kProxyAddressLabel = QStringLiteral("地址：");
inline const QString kProxyAddressHint = QStringLiteral("(如：proxy.example.com 或者 192.168.0.1)");
inline const QString kProxyPortLabel = QStringLiteral("端口：");
inline const QString kProxyPortHint = QStringLiteral("(如：3128 或者 80 等等)");
inline const QString kAskSaveFolder = QStringLiteral("提取网页信息时，提示下载保存路径");
// The size box sits in the run of blanks of this caption, after the prefix.
inline const QString kSizeLimitCaption = QStringLiteral("下载文件大小不超过：       MB");
inline const QString kSizeLimitPrefix = QStringLiteral("下载文件大小不超过：");
inline const QString kSizeLimitDesigned = QStringLiteral("10");
inline const QString kOk = QStringLiteral("确定");
inline const QString kClose = QStringLiteral("关闭");

inline const QString kProxyMalformed = QStringLiteral("代理服务器网址或者端口格式不对！");
// Followed by the limit that stays in force and " MB".
inline const QString kSizeRefused = QStringLiteral("下载文件大小必须是大于0的数字，仍使用原来的设置：");
inline const QString kMegabytes = QStringLiteral(" MB");

// The save-folder dialog.
inline const QString kSaveFolderCaption = QStringLiteral("选择下载保存路径");
inline const QString kSaveToFolder = QStringLiteral("保存到文件夹：");
inline const QString kBrowse = QStringLiteral("...");
inline const QString kSaveNameAs = QStringLiteral("保存文件名为：");
inline const QString kOriginalName = QStringLiteral("原文件名");
inline const QString kArticleTitleName = QStringLiteral("文章标题名称");
inline const QString kCancel = QStringLiteral("取消");
inline const QString kFolderSettingWrong = QStringLiteral("文件夹设置错误！");

// The folder browser's title, as both of its callers give it.
inline const QString kBrowseTitle = QStringLiteral("请选择要浏览的文件夹:");

// The folder history file in the program's folder.
inline const QString kHistoryFileName = QStringLiteral("SaveList.dat");

} // namespace SettingsText

// A window's caption: its designed caption, "-" and the program's title.
inline QString WindowCaption(const QString &designed)
{
    return designed + QStringLiteral("-") + kProgramTitle;
}
