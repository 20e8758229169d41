#pragma once

#include "engine/DownloadItem.h"

#include <QAbstractTableModel>
#include <QHash>
#include <functional>
#include <vector>

// Counts of rows per state, as shown in the status summary.
struct StateCounts
{
    int total = 0;
    int waiting = 0;
    int downloading = 0;
    int finished = 0;
    int failed = 0;
};

// The download list: the whole state of the download engine. Rows are keyed by
// their Url (unique, looked up in O(1)) and carry a stable Id for workers.
class DownloadList final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        NameColumn,
        TypeColumn,
        SizeColumn,
        DownloadedColumn,
        ProgressColumn,
        FolderColumn,
        BColumn,
        ColumnCount
    };

    // Raw values for views, sorting and tests.
    enum Role {
        StateRole = Qt::UserRole + 1, // the row's picture index, 1 to 4
        UrlRole,
        RefererRole,
        IdRole,
        // The number a cell holds: the bytes of the size and downloaded
        // columns, the percentage of the progress column (qint64); no value
        // for an empty cell, a word or another column.
        ValueRole,
    };

    // Designed column widths in twips (15 twips to a pixel).
    static int columnWidthTwips(int column);

    explicit DownloadList(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    int count() const { return int(m_items.size()); }
    bool isEmpty() const { return m_items.empty(); }
    const DownloadItem &at(int row) const { return m_items[size_t(row)]; }

    // Row of the given address or identity; -1 when there is none.
    int rowOfUrl(const QString &url) const;
    int rowOfId(quint64 id) const;
    bool containsUrl(const QString &url) const { return m_rowOfUrl.contains(url); }

    // Appends a row; false (and the list unchanged) when its Url is already
    // in the list. The row gets a fresh Id.
    bool addItem(DownloadItem item);

    // Changes one row through the given function; the Url and Id stay as
    // they are (use setUrl for the address). Views are told once.
    void updateItem(int row, const std::function<void(DownloadItem &)> &change);

    // Gives a row another address; false when another row already has it.
    bool setUrl(int row, const QString &url);

    // Removes every row the predicate accepts, in one pass; returns how many.
    int removeItemsIf(const std::function<bool(const DownloadItem &)> &predicate);
    void clear();

    // Tells views that every row may have changed (after a bulk update).
    void announceAllRowsChanged();

    // While a bulk change is open, updateItem and setUrl tell views nothing;
    // closing the outermost one tells them once about the span of rows that
    // changed. So a walk over 100,000 rows costs views one signal.
    void beginBulkChange();
    void endBulkChange();

    // Sorts the rows by one column, stably (rows with equal keys keep their
    // order, in either direction). The size, downloaded and progress columns
    // sort empty cells first, then numbers by value, then words by their
    // text; the other columns sort by their text without regard to letter
    // case. Selection and the current row follow their rows.
    void sortRows(int column, Qt::SortOrder order);

    // Puts the rows in a new order: order[i] is the present position of the
    // row that goes to position i; a permutation of 0..count()-1, else
    // nothing happens. Views are reset, so no selection is carried over.
    void reorderRows(const std::vector<int> &order);

    // 统计未下载项数目: rows whose Size, Downloaded and Progress are all empty
    // (a size word such as "等待重新下载" counts as something in the row).
    int countNotDownloaded() const;
    // 检测是否下载列表完毕: true when every row is finished or failed.
    bool isListFinished() const;
    // Rows of type htm/html (any case) or failed; a row meeting both counts once.
    int CountErrorsAndPages() const;

    StateCounts countStates() const;
    // The status summary text of RefreshStatusSummary.
    QString statusSummaryText() const;

private:
    void rebuildIndex();
    void rowsChanged(int first, int last);
    void applyOrder(const std::vector<int> &order);

    std::vector<DownloadItem> m_items;
    QHash<QString, int> m_rowOfUrl;
    QHash<quint64, int> m_rowOfId;
    quint64 m_nextId = 1;
    int m_bulkDepth = 0;
    int m_bulkFirst = -1; // span of rows changed in the open bulk change
    int m_bulkLast = -1;
};

// Bulk change of a download list for one scope.
class DownloadListBulkChange
{
public:
    explicit DownloadListBulkChange(DownloadList &list) : m_list(list) { m_list.beginBulkChange(); }
    ~DownloadListBulkChange() { m_list.endBulkChange(); }
    DownloadListBulkChange(const DownloadListBulkChange &) = delete;
    DownloadListBulkChange &operator=(const DownloadListBulkChange &) = delete;

private:
    DownloadList &m_list;
};

// "总数:N 正在下载:D 等待:W 已完成:F 失败:E"
QString StatusSummaryText(const StateCounts &counts);

// The row-count label text: the number of rows followed by "条".
QString RowCountText(int rows);
