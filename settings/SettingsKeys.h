#pragma once

#include "common/SameNamePolicy.h"

#include <QString>

// Sections and keys of the settings store, and the same-name captions.
namespace SettingsKey {

inline const QString kApplication = QStringLiteral("Paperdrift");

inline const QString kSectionSettings = QStringLiteral("设置");
inline const QString kDownloadMethod = QStringLiteral("下载方式");
inline const QString kProxyEnabled = QStringLiteral("代理服务器有效");
inline const QString kProxyAddress = QStringLiteral("代理服务器网址");
inline const QString kProxyPort = QStringLiteral("代理服务器端口");
inline const QString kMaxFileSize = QStringLiteral("文件最大值");
inline const QString kAskSaveFolder = QStringLiteral("提取网页信息时提示下载保存路径");
inline const QString kSaveFolder = QStringLiteral("下载文件保存路径");
inline const QString kLastOpenedFolder = QStringLiteral("最后一次打开的目录");

inline const QString kSectionDownload = QStringLiteral("下载");
inline const QString kThreads = QStringLiteral("线程");

inline const QString kSectionSameName = QStringLiteral("专利下载");
inline const QString kDuplicateNamePolicy = QStringLiteral("重复文件名设置");

// Window layout keys, in the section named after the window.
inline const QString kLayoutResolution = QStringLiteral("分辨率");
inline const QString kLayoutTop = QStringLiteral("上");
inline const QString kLayoutLeft = QStringLiteral("左");
inline const QString kLayoutWidth = QStringLiteral("宽");
inline const QString kLayoutHeight = QStringLiteral("高");

inline const QString kSectionCopyMove = QStringLiteral("Form_Copy_Move");
inline const QString kCopyMoveDestination = QStringLiteral("目的文件夹");
inline const QString kCopyMoveOpIndex = QStringLiteral("OpIndex");

} // namespace SettingsKey
