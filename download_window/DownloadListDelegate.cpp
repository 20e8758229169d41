#include "download_window/DownloadListDelegate.h"

#include "download_window/StatePictures.h"
#include "download_window/WindowRules.h"
#include "engine/DownloadList.h"

#include <QApplication>
#include <QPainter>

DownloadListDelegate::DownloadListDelegate(QObject *parent) : QStyledItemDelegate(parent)
{
    for (int state = 1; state <= 4; ++state)
        m_pictures[size_t(state - 1)] = QIcon(StatePicture(state));
}

QIcon DownloadListDelegate::statePicture(int state) const
{
    return state >= 1 && state <= 4 ? m_pictures[size_t(state - 1)] : QIcon();
}

void DownloadListDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() != DownloadList::NameColumn)
        return;
    const QIcon picture = statePicture(index.data(DownloadList::StateRole).toInt());
    if (picture.isNull())
        return;
    option->icon = picture;
    option->features |= QStyleOptionViewItem::HasDecoration;
    option->decorationSize = QSize(16, 16);
}

QSize DownloadListDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(kRowHeight);
    return size;
}

void DownloadListDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const std::optional<int> percent = index.column() == DownloadList::ProgressColumn
                                           ? ProgressPercent(index.data(DownloadList::ValueRole))
                                           : std::nullopt;
    if (!percent) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }

    // Background and selection first, then the bar, then the cell's own
    // text over it.
    QStyleOptionViewItem cell(option);
    initStyleOption(&cell, index);
    const QString text = cell.text;
    cell.text.clear();
    QStyle *style = cell.widget ? cell.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);

    const QRect track = cell.rect.adjusted(2, 2, -2, -2);
    if (*percent > 0 && track.width() > 0) {
        QRect bar = track;
        bar.setWidth(track.width() * *percent / 100);
        painter->fillRect(bar, kBarColour);
    }
    painter->save();
    const bool selected = cell.state & QStyle::State_Selected;
    painter->setPen(cell.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(cell.font);
    painter->drawText(cell.rect.adjusted(3, 0, -3, 0), int(cell.displayAlignment), text);
    painter->restore();
}
