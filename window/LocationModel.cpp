#include "window/LocationModel.h"

#include "core/ReportPane.h"

namespace quiddity {

namespace {

constexpr int kColumnCount = 3;
constexpr int kSizeColumn = 2;

QString ToQString(const std::string& bytes) {
    const std::string utf8 = ToUtf8(bytes);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

int CLocationModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_items.size());
}

int CLocationModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant CLocationModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter | (index.column() == kSizeColumn ? Qt::AlignRight : Qt::AlignLeft));
    if (role != Qt::DisplayRole) return {};
    const CListItem& item = Item(index.row());
    switch (index.column()) {
        case 0: return ToQString(item.name);
        case 1: return ToQString(item.type);
        case kSizeColumn: return ToQString(item.size);
        default: return {};
    }
}

QVariant CLocationModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter | (section == kSizeColumn ? Qt::AlignRight : Qt::AlignLeft));
    if (role != Qt::DisplayRole) return {};
    switch (section) {
        case 0: return QStringLiteral("Filename");
        case 1: return QStringLiteral("Type");
        case kSizeColumn: return QStringLiteral("Size");
        default: return {};
    }
}

void CLocationModel::SetItems(std::vector<CListItem> items) {
    beginResetModel();
    m_items = std::move(items);
    endResetModel();
}

void CLocationModel::Insert(int row, CListItem item) {
    beginInsertRows({}, row, row);
    m_items.insert(m_items.begin() + row, std::move(item));
    endInsertRows();
}

void CLocationModel::Sort(int sortMode, bool descending) {
    beginResetModel();
    SortItems(m_items, sortMode, descending);
    endResetModel();
}

int CLocationModel::FindName(std::string_view name) const {
    for (std::size_t row = 0; row < m_items.size(); ++row)
        if (m_items[row].name == name) return static_cast<int>(row);
    return -1;
}

}  // namespace quiddity
