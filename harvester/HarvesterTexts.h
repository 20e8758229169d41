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

} // namespace HarvesterText
