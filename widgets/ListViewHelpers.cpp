#include "widgets/ListViewHelpers.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QTableView>
#include <QTreeView>

namespace {

const QString kBackgroundName = QStringLiteral("stripedListBackground");

// Paints the bands on the view's viewport before the view paints its rows.
class StripedBackground final : public QObject
{
    Q_OBJECT

public:
    StripedBackground(QAbstractItemView *view, int bandHeight) : QObject(view), m_view(view), m_bandHeight(bandHeight)
    {
        setObjectName(kBackgroundName);
        view->viewport()->installEventFilter(this);
    }

    void setBandHeight(int bandHeight) { m_bandHeight = bandHeight; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched == m_view->viewport())
            paintBands(static_cast<QPaintEvent *>(event)->rect());
        return false; // the view paints its rows on top
    }

private:
    // Top of the first row in viewport coordinates (negative once scrolled
    // past it); 0 for an empty list.
    int firstRowTop() const
    {
        const QAbstractItemModel *model = m_view->model();
        if (!model)
            return 0;
        const QModelIndex root = m_view->rootIndex();
        if (model->rowCount(root) == 0)
            return 0;
        for (int column = 0; column < model->columnCount(root); ++column) {
            const QRect rect = m_view->visualRect(model->index(0, column, root));
            if (rect.isValid())
                return rect.top();
        }
        return 0;
    }

    static int floorDiv(int value, int divisor)
    {
        const int quotient = value / divisor;
        return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
    }

    void paintBands(const QRect &area)
    {
        QWidget *viewport = m_view->viewport();
        const int origin = firstRowTop();
        QPainter painter(viewport);
        for (int band = floorDiv(area.top() - origin, m_bandHeight);; ++band) {
            const int top = origin + band * m_bandHeight;
            if (top > area.bottom())
                break;
            const QColor &colour = (band % 2 == 0) ? kStripeGreen : kStripeWhite;
            painter.fillRect(QRect(area.left(), top, area.width(), m_bandHeight), colour);
        }
    }

    QAbstractItemView *m_view;
    int m_bandHeight;
};

} // namespace

void AutoSizeColumns(QAbstractItemView *view)
{
    if (auto *tree = qobject_cast<QTreeView *>(view)) {
        for (int column = 0; column < tree->header()->count(); ++column)
            tree->resizeColumnToContents(column);
    } else if (auto *table = qobject_cast<QTableView *>(view)) {
        for (int column = 0; column < table->horizontalHeader()->count(); ++column)
            table->resizeColumnToContents(column);
    }
}

void PaintStripedListBackground(QAbstractItemView *view, int rowHeight)
{
    if (!view)
        return;
    const int bandHeight = rowHeight > 0 ? rowHeight : view->fontMetrics().height() + 1;
    view->setAlternatingRowColors(false);
    if (auto *background = view->findChild<StripedBackground *>(kBackgroundName, Qt::FindDirectChildrenOnly))
        background->setBandHeight(bandHeight);
    else
        new StripedBackground(view, bandHeight);
    view->viewport()->update();
}

#include "ListViewHelpers.moc"
