#pragma once

#include <QString>

// Texts of the harvest list.
namespace HarvesterText {

inline const QString kHeaderTitle = QStringLiteral("标题");
inline const QString kHeaderType = QStringLiteral("类型");
inline const QString kHeaderStatus = QStringLiteral("分析状态");
inline const QString kHeaderSavePath = QStringLiteral("保存路径");
inline const QString kHeaderLinkKind = QStringLiteral("TYPE");

inline const QString kStatusDone = QStringLiteral("成功");
inline const QString kStatusFailed = QStringLiteral("分析失败");

inline const QString kFileTypePdf = QStringLiteral("pdf");
inline const QString kLinkKindJs = QStringLiteral("JS");

// The export file: one line per row, "TITLE-【TYPE】STATUS", and the message
// after saving it ("保存文件完毕：1,234.5KB").
inline const QString kExportTypeOpen = QStringLiteral("-【");
inline const QString kExportTypeClose = QStringLiteral("】");
inline const QString kExportSaved = QStringLiteral("保存文件完毕：");
inline const QString kExportSizeUnit = QStringLiteral("KB");

} // namespace HarvesterText

// The result pages' markup that extraction relies on.
namespace SiteMarkup {

inline const QString kEntryTableClass = QStringLiteral("articleentry");
inline const QString kTitleDivClass = QStringLiteral("art_title");
inline const QString kPdfAnchorClass = QStringLiteral("ref nowrap pdf");
inline const QString kPdfAnchorTextPrefix = QStringLiteral("pdf");
inline const QString kFreeIconName = QStringLiteral("access_free.gif");
inline const QString kEscapedAmpersand = QStringLiteral("&amp;");

} // namespace SiteMarkup

// Texts of the harvest commands: paging, the analysis passes and clearing.
namespace HarvesterText {

// Progress panel text while a pass runs (the comma is an ASCII one).
inline const QString kAnalysing = QStringLiteral("正在分析,请稍候...");
inline const QString kListEmpty = QStringLiteral("列表没有数据哦！");

inline const QString kCannotClearWhileAnalysing = QStringLiteral("正在分析，不能清除！");
inline const QString kEnterTitleText = QStringLiteral("请输入指定字符：");
inline const QString kConfirmClearAll = QStringLiteral("您确定要清空辛辛苦苦搜索的列表数据吗？");

// The export's save dialog: the filter shows and matches text files; a name
// typed without an extension gets ".txt".
inline const QString kExportFilter = QStringLiteral("*.txt (*.txt)");
inline const QString kExportDefaultExtension = QStringLiteral("txt");
// Asked when the name got ".txt" and a file of that name exists: the save
// dialog only asked about the name as typed. Followed by the file's path.
inline const QString kExportReplaceExisting = QStringLiteral("文件已存在，要替换它吗？\n");

} // namespace HarvesterText
