#pragma once

#include <QString>

// The texts of the About box.

inline const QString kAboutWindowName = QStringLiteral("frmAbout");
inline const QString kAboutCaptionOpen = QStringLiteral("关于『");
inline const QString kAboutCaptionClose = QStringLiteral("』 ");
inline const QString kAboutVersionPrefix = QStringLiteral("版本 ");
inline const QString kAboutOk = QStringLiteral("确定");
inline const QString kAboutSysInfo = QStringLiteral("系统信息(&S)...");
inline const QString kSysInfoUnavailable = QStringLiteral("此时系统信息不可用");

// Where the system-information program is registered.
inline const QString kSysInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
inline const QString kSysInfoValue = QStringLiteral("PATH");
inline const QString kSysInfoLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
inline const QString kSysInfoLocationValue = QStringLiteral("MSINFO");
inline const QString kSysInfoProgram = QStringLiteral("MSINFO32.EXE");
