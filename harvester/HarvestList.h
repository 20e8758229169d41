#pragma once

#include "harvester/HarvestEntry.h"

#include <QAbstractTableModel>
#include <QHash>
#include <functional>
#include <vector>

// The harvest list: article entries in the order they were read, keyed by
// their Link (unique, looked up in O(1)). Links differing only in letter case
// are different keys, as the site's addresses are case-sensitive.
class HarvestList final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { TitleColumn, TypeColumn, StatusColumn, SavePathColumn, LinkKindColumn, ColumnCount };
    enum Role { LinkRole = Qt::UserRole + 1, PageUrlRole };

    // Designed column widths in twips (15 twips to a pixel).
    static int columnWidthTwips(int column);

    explicit HarvestList(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    int count() const { return int(m_entries.size()); }
    bool isEmpty() const { return m_entries.empty(); }
    const HarvestEntry &at(int row) const { return m_entries[size_t(row)]; }
    int rowOfLink(const QString &link) const { return m_rowOfLink.value(link, -1); }
    bool containsLink(const QString &link) const { return m_rowOfLink.contains(link); }

    // 加入LV1: appends an entry with an empty status; false (and the list
    // unchanged) when its link is already in the list.
    bool addEntry(const QString &title, const QString &link, const QString &pageUrl, const QString &fileType,
                  const QString &savePath, const QString &linkKind);

    void setStatus(int row, const QString &status);

    // Removes every row the predicate accepts (given the row and its
    // position), in one pass; returns how many.
    int removeRowsIf(const std::function<bool(const HarvestEntry &, int row)> &predicate);
    void clear();

private:
    void rebuildIndex();

    std::vector<HarvestEntry> m_entries;
    QHash<QString, int> m_rowOfLink;
};
