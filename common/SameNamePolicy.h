#pragma once

#include <QMetaType>
#include <QString>

#include <optional>

// The same-name rule (Option1 to Option3 under "同名文件："): what a transfer
// does when the file it is to write exists already.
enum class SameNamePolicy {
    Skip,      // "跳过": the item is not fetched
    Overwrite, // "覆盖": the existing file is replaced
    Rename,    // "重命名": the new file takes a free name with a counter
};
Q_DECLARE_METATYPE(SameNamePolicy)

// The captions of the three options, as the window shows them and the
// settings store keeps them.
namespace SameNameCaption {
inline const QString kSkip = QStringLiteral("跳过");
inline const QString kOverwrite = QStringLiteral("覆盖");
inline const QString kRename = QStringLiteral("重命名");
} // namespace SameNameCaption

inline QString sameNamePolicyCaption(SameNamePolicy policy)
{
    switch (policy) {
    case SameNamePolicy::Skip: return SameNameCaption::kSkip;
    case SameNamePolicy::Overwrite: return SameNameCaption::kOverwrite;
    case SameNamePolicy::Rename: break;
    }
    return SameNameCaption::kRename;
}

// The rule a caption names; nothing for any other text.
inline std::optional<SameNamePolicy> sameNamePolicyFromCaption(const QString &caption)
{
    if (caption == SameNameCaption::kSkip)
        return SameNamePolicy::Skip;
    if (caption == SameNameCaption::kOverwrite)
        return SameNamePolicy::Overwrite;
    if (caption == SameNameCaption::kRename)
        return SameNamePolicy::Rename;
    return std::nullopt;
}
