#pragma once

#include <QByteArray>
#include <QString>

// The words the engine writes into the download list and its status texts.
namespace EngineText {

// The names of the four states, as the status summary shows them.
inline const QString kStateWaiting = QStringLiteral("等待");
inline const QString kStateDownloading = QStringLiteral("正在下载");
inline const QString kStateFinished = QStringLiteral("已完成");
inline const QString kStateFailed = QStringLiteral("失败");

// Progress column words other than "N%".
inline const QString kLargeFileSkipped = QStringLiteral("大文件，跳过");
inline const QString kExistsSkipped = QStringLiteral("已存在，跳过");
inline const QString kCannotReplace = QStringLiteral("无法替换");
inline const QString kCancelled = QStringLiteral("下载取消");
inline const QString kDoesNotExist = QStringLiteral("不存在");

// Size column words.
inline const QString kSizeUnknown = QStringLiteral("未知");
inline const QString kWaitingAgain = QStringLiteral("等待重新下载");

// A row waiting before its next try: "等待重试 N 秒", counting down.
inline const QString kWaitingToRetryPrefix = QStringLiteral("等待重试 ");
inline const QString kWaitingToRetrySuffix = QStringLiteral(" 秒");

// The time the running transfers still need, after their speed: "1.2 MB/s，剩余 0:42".
inline const QString kTimeLeftSeparator = QStringLiteral("，");
inline const QString kTimeLeftPrefix = QStringLiteral("剩余 ");

// What every request names itself as.
inline const QByteArray kUserAgent = QByteArrayLiteral("Paperdrift/" PAPERDRIFT_VERSION);

// Type placeholder set by the re-download commands: the type is to be found again.
inline const QString kTypeToFind = QStringLiteral("xxx");

// Status bar texts.
inline const QString kDownloadingPrefix = QStringLiteral("正在下载:");
inline const QString kFinishedPrefix = QStringLiteral("完成下载:");
inline const QString kRowCountSuffix = QStringLiteral("条");

// List headers and tool tip.
inline const QString kHeaderName = QStringLiteral("名称");
inline const QString kHeaderType = QStringLiteral("类型");
inline const QString kHeaderSize = QStringLiteral("文件大小");
inline const QString kHeaderDownloaded = QStringLiteral("已下载数");
inline const QString kHeaderProgress = QStringLiteral("百分比");
inline const QString kHeaderFolder = QStringLiteral("保存路径");
inline const QString kHeaderB = QStringLiteral("B");
inline const QString kListToolTip = QStringLiteral("双击鼠标：下载当前项或者打开文件");

// A proxy is switched on but its address and port do not read as host and
// port: the row fails instead of connecting directly.
inline const QString kProxyUnusable = QStringLiteral("代理服务器地址或端口有误，无法下载！");

// The type recognised for a web page (a login or error page) stored instead of a document.
inline const QString kWebPageType = QStringLiteral("htm");

// Messages of the command that checks and corrects the types of the stored files.
inline const QString kStopDownloadingFirst = QStringLiteral("停止下载以后，才能执行此操作！");
inline const QString kTypesCorrectedPrefix = QStringLiteral("纠正文件类型：");
inline const QString kTypesCorrectedSuffix = QStringLiteral("个.");

// The parallel worker's error texts.
inline const QString kTimedOut = QStringLiteral("超时");
inline const QString kCannotDownload = QStringLiteral("无法下载");

// Scheduler texts.
inline const QString kStopBeforeSetting = QStringLiteral("停止下载后方可设置！");
} // namespace EngineText

// The state texts of the HTTP transfer control, shown in panel 3 of the
// status bar: one per state number 0 to 12. State 11 is followed by the
// control's error number, ":" and its error text; any other number shows
// only the error number, ":" and the error text.
namespace EngineText {
inline const QString kTransferStateTexts[13] = {
    QStringLiteral("0 无状态可报告。"),
    QStringLiteral("1 正在查询所指定的主机的 IP 地址..."),
    QStringLiteral("2 已成功地找到所指定的主机的 IP 地址。"),
    QStringLiteral("3 正在与主机连接..."),
    QStringLiteral("4 已与主机连接成功。"),
    QStringLiteral("5 正在向主机发送请求..."),
    QStringLiteral("6 发送请求已成功。"),
    QStringLiteral("7 正在接收主机的响应..."),
    QStringLiteral("8 已成功地接收到主机的响应。"),
    QStringLiteral("9 正在解除与主机的连接..."),
    QStringLiteral("10 已成功地与主机解除了连接。"),
    QStringLiteral("11 与主机通讯时出现了错误:"),
    QStringLiteral("12 该请求已经完成，并且所有数据均已接收到。"),
};
} // namespace EngineText
