// The rows of the location list, for a table view that asks only for the
// rows it shows: a folder may hold 100,000 files.
#pragma once

#include <QAbstractTableModel>

#include <vector>

#include "window/Locations.h"

namespace quiddity {

class CLocationModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void SetItems(std::vector<CListItem> items);
    // Inserts before row (0 to the row count).
    void Insert(int row, CListItem item);
    // Sorts in place; the view's selection is the caller's to restore.
    void Sort(int sortMode, bool descending);

    const CListItem& Item(int row) const { return m_items[static_cast<std::size_t>(row)]; }
    const std::vector<CListItem>& Items() const { return m_items; }
    // The first row whose Name is exactly name, or -1.
    int FindName(std::string_view name) const;

private:
    std::vector<CListItem> m_items;
};

}  // namespace quiddity
