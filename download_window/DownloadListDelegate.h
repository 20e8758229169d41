#pragma once

#include <QIcon>
#include <QStyledItemDelegate>

#include <array>

// Draws the rows of ListView3: the state picture of each row before its
// name, a percentage in "百分比" as a bar behind its text, and rows as high
// as the bands of the striped background.
class DownloadListDelegate final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int kRowHeight = 17;
    static inline const QColor kBarColour{128, 200, 140};

    explicit DownloadListDelegate(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    // Names are not edited in place.
    QWidget *createEditor(QWidget *, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        return nullptr;
    }

    // The picture of state 1 to 4 (IL_LV3); a null icon for any other index.
    QIcon statePicture(int state) const;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    std::array<QIcon, 4> m_pictures;
};
