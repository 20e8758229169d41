#pragma once

#include <QString>

// Captions, messages and settings keys of the copy/move dialog.
namespace CopyMoveText {

inline const QString kWindowName = QStringLiteral("Form_Copy_Move");
inline const QString kDesignedCaption = QStringLiteral("复制或者移动文件");
inline const QString kMovingCaption = QStringLiteral("移动文件...");
inline const QString kCopyingCaption = QStringLiteral("复制文件...");
inline const QString kDestinationLabel = QStringLiteral("目的文件夹：");
inline const QString kBrowse = QStringLiteral("浏览");
inline const QString kBrowseTitle = QStringLiteral("请选择要浏览的文件夹:");
inline const QString kSameNameFrame = QStringLiteral("如果同名文件已经存在");
inline const QString kOptionSkip = QStringLiteral("跳过");
inline const QString kOptionOverwrite = QStringLiteral("覆盖");
inline const QString kOptionRename = QStringLiteral("自动重命名");
inline const QString kOptionSizeAndTime = QStringLiteral("文件大小和修改时间均相同：覆盖；否则：自动重命名");
inline const QString kOptionSize = QStringLiteral("文件大小相同：覆盖；否则：自动重命名");
inline const QString kCurrentFile = QStringLiteral("当前文件：");
inline const QString kProgress = QStringLiteral("进度;");
inline const QString kStart = QStringLiteral("开始");
inline const QString kStop = QStringLiteral("停止");
inline const QString kClose = QStringLiteral("关闭");

inline const QString kFolderError = QStringLiteral("创建文件夹出错！");
inline const QString kMoveDone = QStringLiteral("移动文件完成！");
inline const QString kCopyDone = QStringLiteral("复制文件完成！");
// A run in which some files could not be copied (moved) says how many were
// and how many were not: %1 succeeded, %2 failed.
inline const QString kMoveDoneWithFailures = QStringLiteral("移动文件结束：成功%1 个，失败%2 个！");
inline const QString kCopyDoneWithFailures = QStringLiteral("复制文件结束：成功%1 个，失败%2 个！");

} // namespace CopyMoveText
