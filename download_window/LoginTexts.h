#pragma once

#include <QString>

// Captions, messages and control names of the login panel.
namespace LoginText {

inline const QString kPanelName = QStringLiteral("PicWebBK");

inline const QString kAddressLabel = QStringLiteral("网址：");
inline const QString kBrowse = QStringLiteral("浏览");
inline const QString kAccountLogin = QStringLiteral("帐号登录：");
inline const QString kPasswordLabel = QStringLiteral("密码：");
inline const QString kIpLogin = QStringLiteral("IP登录");
inline const QString kAutoLogin = QStringLiteral("自动登录");
inline const QString kAutoLoginConditionLabel = QStringLiteral("自动登录条件：");
inline const QString kAutoLoginCondition = QStringLiteral("下载到网页文件(htm/html/asp)文件");
inline const QString kAutoRefresh = QStringLiteral("自动刷新(每分钟)");
inline const QString kTestLogin = QStringLiteral("测试登录");
inline const QString kCloseHide = QStringLiteral("关闭(隐藏)");

inline const QString kAddressMissing = QStringLiteral("必须先设置登录网址！");
inline const QString kAccountMissing = QStringLiteral("帐号登录,必须先设置登录帐号和登录密码！");

inline const QString kBlankPage = QStringLiteral("about:blank");

} // namespace LoginText
