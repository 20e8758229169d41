#include "widgets/ComboHistory.h"

#include "settings/FolderHistory.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QScreen>
#include <QStyle>
#include <algorithm>

namespace {

constexpr int kDropDownPadding = 7;
constexpr int kEntriesWithScrollBar = 9;

} // namespace

void LoadComboHistory(QComboBox *combo, const QString &path)
{
    const std::optional<QStringList> folders = ReadFolderHistory(path);
    if (!folders)
        return;
    const QString text = combo->currentText();
    combo->clear();
    combo->addItems(*folders);
    if (combo->isEditable())
        combo->setEditText(text);
}

bool SaveComboHistory(const QComboBox *combo, const QString &path)
{
    QStringList folders;
    folders.reserve(combo->count());
    for (int i = 0; i < combo->count(); ++i)
        folders.append(combo->itemText(i));
    return WriteFolderHistory(path, folders);
}

void FitComboDropDownWidth(QComboBox *combo)
{
    QString longest;
    for (int i = 0; i < combo->count(); ++i) {
        const QString entry = combo->itemText(i);
        if (entry.size() > longest.size())
            longest = entry;
    }
    int width = combo->fontMetrics().horizontalAdvance(longest) + kDropDownPadding;
    if (combo->count() >= kEntriesWithScrollBar)
        width += combo->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, combo);
    if (const QScreen *screen = combo->screen()) {
        const int roomToRight = screen->geometry().right() + 1 - combo->mapToGlobal(QPoint(0, 0)).x();
        width = std::min(width, roomToRight);
    }
    // The popup itself is never narrower than the box.
    combo->view()->setMinimumWidth(std::max(width, 0));
}
