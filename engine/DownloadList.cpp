#include "engine/DownloadList.h"

#include "engine/EngineTexts.h"
#include "engine/RowTexts.h"

#include <algorithm>

namespace {

constexpr int kColumnWidthsTwips[DownloadList::ColumnCount] = {6000, 800, 1100, 1100, 800, 6000, 1440};

} // namespace

int DownloadList::columnWidthTwips(int column)
{
    if (column < 0 || column >= ColumnCount)
        return 0;
    return kColumnWidthsTwips[column];
}

DownloadList::DownloadList(QObject *parent) : QAbstractTableModel(parent) {}

int DownloadList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

int DownloadList::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DownloadList::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    const DownloadItem &item = at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case NameColumn: return item.Name;
        case TypeColumn: return item.Type;
        case SizeColumn: return SizeText(item.Size);
        case DownloadedColumn: return DownloadedText(item.Downloaded);
        case ProgressColumn: return ProgressText(item.Progress);
        case FolderColumn: return item.Folder;
        default: return QString();
        }
    case Qt::TextAlignmentRole:
        switch (index.column()) {
        case SizeColumn:
        case DownloadedColumn:
        case ProgressColumn: return int(Qt::AlignRight | Qt::AlignVCenter);
        default: return int(Qt::AlignLeft | Qt::AlignVCenter);
        }
    case StateRole: return int(item.State);
    case UrlRole: return item.Url;
    case RefererRole: return item.Referer;
    case IdRole: return item.Id;
    case ValueRole:
        switch (index.column()) {
        case SizeColumn: return item.Size.hasBytes() ? QVariant(item.Size.bytes) : QVariant();
        case DownloadedColumn: return item.Downloaded ? QVariant(*item.Downloaded) : QVariant();
        case ProgressColumn: return item.Progress.hasPercent() ? QVariant(item.Progress.percent) : QVariant();
        default: return {};
        }
    default: return {};
    }
}

QVariant DownloadList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::TextAlignmentRole) {
        const bool right = section == SizeColumn || section == DownloadedColumn || section == ProgressColumn;
        return int((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole)
        return {};
    switch (section) {
    case NameColumn: return EngineText::kHeaderName;
    case TypeColumn: return EngineText::kHeaderType;
    case SizeColumn: return EngineText::kHeaderSize;
    case DownloadedColumn: return EngineText::kHeaderDownloaded;
    case ProgressColumn: return EngineText::kHeaderProgress;
    case FolderColumn: return EngineText::kHeaderFolder;
    case BColumn: return EngineText::kHeaderB;
    default: return {};
    }
}

int DownloadList::rowOfUrl(const QString &url) const
{
    return m_rowOfUrl.value(url, -1);
}

int DownloadList::rowOfId(quint64 id) const
{
    return m_rowOfId.value(id, -1);
}

bool DownloadList::addItem(DownloadItem item)
{
    if (m_rowOfUrl.contains(item.Url))
        return false;
    const int row = count();
    item.Id = m_nextId++;
    beginInsertRows(QModelIndex(), row, row);
    m_rowOfUrl.insert(item.Url, row);
    m_rowOfId.insert(item.Id, row);
    m_items.push_back(std::move(item));
    endInsertRows();
    return true;
}

void DownloadList::updateItem(int row, const std::function<void(DownloadItem &)> &change)
{
    if (row < 0 || row >= count())
        return;
    DownloadItem &item = m_items[size_t(row)];
    const QString url = item.Url;
    const quint64 id = item.Id;
    change(item);
    item.Url = url;
    item.Id = id;
    rowsChanged(row, row);
}

bool DownloadList::setUrl(int row, const QString &url)
{
    if (row < 0 || row >= count())
        return false;
    DownloadItem &item = m_items[size_t(row)];
    if (item.Url == url)
        return true;
    if (m_rowOfUrl.contains(url))
        return false;
    m_rowOfUrl.remove(item.Url);
    item.Url = url;
    m_rowOfUrl.insert(url, row);
    rowsChanged(row, row);
    return true;
}

int DownloadList::removeItemsIf(const std::function<bool(const DownloadItem &)> &predicate)
{
    std::vector<DownloadItem> kept;
    kept.reserve(m_items.size());
    for (DownloadItem &item : m_items) {
        if (!predicate(item))
            kept.push_back(std::move(item));
    }
    const int removed = count() - int(kept.size());
    // The moved-from rows must not be seen by views: reset around the swap.
    beginResetModel();
    m_items.swap(kept);
    rebuildIndex();
    endResetModel();
    return removed;
}

void DownloadList::clear()
{
    beginResetModel();
    m_items.clear();
    m_rowOfUrl.clear();
    m_rowOfId.clear();
    endResetModel();
}

void DownloadList::announceAllRowsChanged()
{
    if (!m_items.empty())
        emit dataChanged(index(0, 0), index(count() - 1, ColumnCount - 1));
}

void DownloadList::rowsChanged(int first, int last)
{
    if (m_bulkDepth == 0) {
        emit dataChanged(index(first, 0), index(last, ColumnCount - 1));
        return;
    }
    m_bulkFirst = m_bulkFirst < 0 ? first : std::min(m_bulkFirst, first);
    m_bulkLast = std::max(m_bulkLast, last);
}

void DownloadList::beginBulkChange()
{
    ++m_bulkDepth;
}

void DownloadList::endBulkChange()
{
    if (m_bulkDepth == 0 || --m_bulkDepth > 0)
        return;
    // Rows may have gone while the change was open.
    const int last = std::min(m_bulkLast, count() - 1);
    if (m_bulkFirst >= 0 && m_bulkFirst <= last)
        emit dataChanged(index(m_bulkFirst, 0), index(last, ColumnCount - 1));
    m_bulkFirst = m_bulkLast = -1;
}

namespace {

// The key a row sorts by in one column: its group (an empty cell, a number,
// a word), then the number, then the text.
struct SortKey
{
    int group = 0;
    qint64 number = 0;
    QString text;

    bool operator<(const SortKey &other) const
    {
        if (group != other.group)
            return group < other.group;
        if (number != other.number)
            return number < other.number;
        return text < other.text;
    }
};

enum SortGroup { EmptyCell, NumberCell, WordCell };

SortKey textKey(const QString &text)
{
    return {EmptyCell, 0, text.toCaseFolded()};
}

SortKey sortKey(const DownloadItem &item, int column)
{
    switch (column) {
    case DownloadList::NameColumn: return textKey(item.Name);
    case DownloadList::TypeColumn: return textKey(item.Type);
    case DownloadList::FolderColumn: return textKey(item.Folder);
    case DownloadList::SizeColumn:
        if (item.Size.word != SizeWord::None)
            return {WordCell, 0, SizeText(item.Size).toCaseFolded()};
        return item.Size.hasBytes() ? SortKey{NumberCell, item.Size.bytes, {}} : SortKey();
    case DownloadList::DownloadedColumn: return item.Downloaded ? SortKey{NumberCell, *item.Downloaded, {}} : SortKey();
    case DownloadList::ProgressColumn:
        if (item.Progress.word != ProgressWord::None)
            return {WordCell, 0, ProgressText(item.Progress).toCaseFolded()};
        return item.Progress.hasPercent() ? SortKey{NumberCell, item.Progress.percent, {}} : SortKey();
    default: return SortKey();
    }
}

} // namespace

void DownloadList::sortRows(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount || m_items.size() < 2)
        return;

    std::vector<SortKey> keys;
    keys.reserve(m_items.size());
    for (const DownloadItem &item : m_items)
        keys.push_back(sortKey(item, column));

    std::vector<int> sorted(m_items.size());
    for (size_t i = 0; i < sorted.size(); ++i)
        sorted[i] = int(i);
    if (order == Qt::AscendingOrder)
        std::stable_sort(sorted.begin(), sorted.end(),
                         [&keys](int a, int b) { return keys[size_t(a)] < keys[size_t(b)]; });
    else
        std::stable_sort(sorted.begin(), sorted.end(),
                         [&keys](int a, int b) { return keys[size_t(b)] < keys[size_t(a)]; });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(sorted.size());
    for (size_t i = 0; i < sorted.size(); ++i)
        newRowOf[size_t(sorted[i])] = int(i);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &old : before)
        after.append(index(newRowOf[size_t(old.row())], old.column()));
    applyOrder(sorted);
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void DownloadList::reorderRows(const std::vector<int> &order)
{
    if (order.size() != m_items.size())
        return;
    std::vector<bool> seen(order.size(), false);
    for (int row : order) {
        if (row < 0 || row >= count() || seen[size_t(row)])
            return;
        seen[size_t(row)] = true;
    }
    beginResetModel();
    applyOrder(order);
    endResetModel();
}

void DownloadList::applyOrder(const std::vector<int> &order)
{
    std::vector<DownloadItem> moved;
    moved.reserve(m_items.size());
    for (int row : order)
        moved.push_back(std::move(m_items[size_t(row)]));
    m_items.swap(moved);
    rebuildIndex();
}

void DownloadList::rebuildIndex()
{
    m_rowOfUrl.clear();
    m_rowOfId.clear();
    m_rowOfUrl.reserve(count());
    m_rowOfId.reserve(count());
    for (int row = 0; row < count(); ++row) {
        m_rowOfUrl.insert(m_items[size_t(row)].Url, row);
        m_rowOfId.insert(m_items[size_t(row)].Id, row);
    }
}

int DownloadList::countNotDownloaded() const
{
    int notStarted = 0;
    for (const DownloadItem &item : m_items) {
        if (item.hasNoCounts())
            ++notStarted;
    }
    return notStarted;
}

bool DownloadList::isListFinished() const
{
    for (const DownloadItem &item : m_items) {
        if (item.State != Finished && item.State != Failed)
            return false;
    }
    return true;
}

int DownloadList::CountErrorsAndPages() const
{
    int counted = 0;
    for (const DownloadItem &item : m_items) {
        if (item.State == Failed || IsWebPageType(item.Type))
            ++counted;
    }
    return counted;
}

StateCounts DownloadList::countStates() const
{
    StateCounts counts;
    counts.total = count();
    for (const DownloadItem &item : m_items) {
        switch (item.State) {
        case Waiting: ++counts.waiting; break;
        case Downloading: ++counts.downloading; break;
        case Finished: ++counts.finished; break;
        case Failed: ++counts.failed; break;
        }
    }
    return counts;
}

QString DownloadList::statusSummaryText() const
{
    return StatusSummaryText(countStates());
}

QString StatusSummaryText(const StateCounts &counts)
{
    using namespace EngineText;
    return QStringLiteral("总数:") + QString::number(counts.total) + QLatin1Char(' ') + kStateDownloading
           + QLatin1Char(':') + QString::number(counts.downloading) + QLatin1Char(' ') + kStateWaiting
           + QLatin1Char(':') + QString::number(counts.waiting) + QLatin1Char(' ') + kStateFinished + QLatin1Char(':')
           + QString::number(counts.finished) + QLatin1Char(' ') + kStateFailed + QLatin1Char(':')
           + QString::number(counts.failed);
}

QString RowCountText(int rows)
{
    return QString::number(rows) + EngineText::kRowCountSuffix;
}
