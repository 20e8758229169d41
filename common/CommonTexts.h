#pragma once

#include <QString>

// Texts of the records and helpers that several subsystems share.
namespace CommonText {

// A folder of a path cannot be named or created.
inline const QString kFolderNameWrong = QStringLiteral("文件夹名称有误！不能创建文件夹！");

// The download method's label: the options dialog's Label1, and the download
// window's Label7 before the method's number.
inline const QString kMethodLabel = QStringLiteral("下载方式：");

} // namespace CommonText
