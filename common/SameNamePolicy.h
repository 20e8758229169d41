#pragma once

#include <QString>

// Captions of the download window's same-name options.
namespace SameNamePolicy {
inline const QString kSkip = QStringLiteral("跳过");
inline const QString kOverwrite = QStringLiteral("覆盖");
inline const QString kRename = QStringLiteral("重命名");
} // namespace SameNamePolicy
