#pragma once

#include <QString>

// The texts of the startup window, the update check and the About box.

inline const QString kVersionPrefix = QStringLiteral("版本:");
inline const QString kNotice = QStringLiteral("(该软件仅用于爱学习的人们辅助少量下载；请不要恶意下载和大量下载！)");
inline const QString kSearchAndDownload = QStringLiteral("资料检索下载");
inline const QString kQuit = QStringLiteral("退出软件");
inline const QString kCoverPictureName = QStringLiteral("启动画面");

inline const QString kNewVersionPrefix = QStringLiteral("有最新版本：V");
inline const QString kNewVersionMessage = QStringLiteral("软件有最新版本可以下载更新！");
inline const QString kKeepNetworkMessage = QStringLiteral("请保持网络畅通！");

// The registry key under which the embedded browser reads its emulation
// value, one value per program named after its executable file.
inline const QString kBrowserEmulationKey = QStringLiteral(
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Internet Explorer\\MAIN\\FeatureControl\\FEATURE_BROWSER_EMULATION");
inline const QString kBrowserEmulationSubKey =
    QStringLiteral("SOFTWARE\\Microsoft\\Internet Explorer\\MAIN\\FeatureControl\\FEATURE_BROWSER_EMULATION");
