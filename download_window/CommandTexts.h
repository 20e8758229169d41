#pragma once

#include "engine/EngineTexts.h"

#include <QString>

// Messages, prompts and captions of the download list's commands, the open
// and export commands and the batch URL-replace dialog.
namespace CommandText {

// List commands.
inline const QString &kListBusy = EngineText::kStopDownloadingFirst; // "停止下载以后，才能执行此操作！"
inline const QString kShuffled = QStringLiteral("随机排序完成！");
inline const QString kAskNumber = QStringLiteral("请输入数字：");
inline const QString kAskClearList = QStringLiteral("您确定要清空列表的所有信息吗？");
inline const QString kStopBeforeSorting = QStringLiteral("停止下载后方可排序！");

// The two commands of the tools menu that recognise file types.
inline const QString kFileTypeIs = QStringLiteral("文件类型为：");
inline const QString kCannotTellType = QStringLiteral("目前还无法判断。");
inline const QString kAnyFileFilter = QStringLiteral("*.* (*)");

// Open and export.
inline const QString kFileMissing = QStringLiteral("文件不存在！");
inline const QString kThisFileMissing = QStringLiteral("该文件不存在！");
inline const QString kFolderMissing = QStringLiteral("文件夹不存在！");
inline const QString kOpenFailed = QStringLiteral("打开失败！");
inline const QString kTooLargeForEditor = QStringLiteral("该文件太大，超过了2M，不便于用记事本打开！");
inline const QString kTextFileFilter = QStringLiteral("*.txt (*.txt)");

// The batch URL-replace dialog.
inline const QString kUrlReplaceCaption = QStringLiteral("网址批量替换");
inline const QString kFindLabel = QStringLiteral("所有网址中的字符串：");
inline const QString kReplaceLabel = QStringLiteral("将被全部替换为字符串：");
inline const QString kReplaceButton = QStringLiteral("替换");
inline const QString kCancelButton = QStringLiteral("取消");
inline const QString kEnterString = QStringLiteral("请输入字符串！");
inline const QString kUrlsReplaced = QStringLiteral("全部网址替换完成！");

// Rows left unchanged because their new address is already another row's:
// the prefix, the number of rows, the suffix.
inline const QString kDuplicateUrlsPrefix = QStringLiteral("有");
inline const QString kDuplicateUrlsSuffix = QStringLiteral("项的新网址与列表中其他项相同，这些项的网址未替换。");

} // namespace CommandText
