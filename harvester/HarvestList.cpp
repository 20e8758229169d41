#include "harvester/HarvestList.h"

#include "harvester/HarvesterTexts.h"

namespace {

constexpr int kColumnWidthsTwips[HarvestList::ColumnCount] = {14111, 2540, 3528, 5292, 2540};

} // namespace

int HarvestList::columnWidthTwips(int column)
{
    if (column < 0 || column >= ColumnCount)
        return 0;
    return kColumnWidthsTwips[column];
}

HarvestList::HarvestList(QObject *parent) : QAbstractTableModel(parent) {}

int HarvestList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

int HarvestList::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HarvestList::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    const HarvestEntry &entry = at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case TitleColumn: return entry.Title;
        case TypeColumn: return entry.FileType;
        case StatusColumn: return entry.Status;
        case SavePathColumn: return entry.SavePath;
        case LinkKindColumn: return entry.LinkKind;
        default: return {};
        }
    case Qt::TextAlignmentRole: return int(Qt::AlignLeft | Qt::AlignVCenter);
    case LinkRole: return entry.Link;
    case PageUrlRole: return entry.PageUrl;
    default: return {};
    }
}

QVariant HarvestList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case TitleColumn: return HarvesterText::kHeaderTitle;
    case TypeColumn: return HarvesterText::kHeaderType;
    case StatusColumn: return HarvesterText::kHeaderStatus;
    case SavePathColumn: return HarvesterText::kHeaderSavePath;
    case LinkKindColumn: return HarvesterText::kHeaderLinkKind;
    default: return {};
    }
}

bool HarvestList::addEntry(const QString &title, const QString &link, const QString &pageUrl, const QString &fileType,
                           const QString &savePath, const QString &linkKind)
{
    if (m_rowOfLink.contains(link))
        return false;
    const int row = count();
    beginInsertRows(QModelIndex(), row, row);
    m_entries.push_back(HarvestEntry{title, link, fileType, QString(), savePath, linkKind, pageUrl});
    m_rowOfLink.insert(link, row);
    endInsertRows();
    return true;
}

void HarvestList::setStatus(int row, const QString &status)
{
    if (row < 0 || row >= count())
        return;
    m_entries[size_t(row)].Status = status;
    emit dataChanged(index(row, StatusColumn), index(row, StatusColumn));
}

int HarvestList::removeRowsIf(const std::function<bool(const HarvestEntry &, int row)> &predicate)
{
    std::vector<HarvestEntry> kept;
    kept.reserve(m_entries.size());
    for (int row = 0; row < count(); ++row) {
        if (!predicate(m_entries[size_t(row)], row))
            kept.push_back(std::move(m_entries[size_t(row)]));
    }
    const int removed = count() - int(kept.size());
    beginResetModel();
    m_entries.swap(kept);
    rebuildIndex();
    endResetModel();
    return removed;
}

void HarvestList::clear()
{
    beginResetModel();
    m_entries.clear();
    m_rowOfLink.clear();
    endResetModel();
}

void HarvestList::rebuildIndex()
{
    m_rowOfLink.clear();
    m_rowOfLink.reserve(count());
    for (int row = 0; row < count(); ++row)
        m_rowOfLink.insert(m_entries[size_t(row)].Link, row);
}
