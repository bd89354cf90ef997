#include "capture/CCatalogItemModel.h"

#include <QFileInfo>
#include <QString>

#include <algorithm>
#include <numeric>

CCatalogItemModel::CCatalogItemModel(QObject* parent) : QAbstractListModel(parent) {}

CCatalogItemModel::~CCatalogItemModel() = default;

int CCatalogItemModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

QVariant CCatalogItemModel::data(const QModelIndex& index, int role) const {
    const CCatalogItem* item = Item(index.row());
    if (item == nullptr || index.column() != 0)
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return QFileInfo(QString::fromStdString(item->path)).fileName();
    return {};
}

CCatalogItem* CCatalogItemModel::Item(int row) const {
    if (row < 0 || row >= Count())
        return nullptr;
    return items_[static_cast<size_t>(row)].get();
}

int CCatalogItemModel::Find(const std::string& path) const {
    const QString wanted = QString::fromStdString(path);
    for (int row = 0; row < Count(); ++row)
        if (QString::fromStdString(items_[static_cast<size_t>(row)]->path)
                .compare(wanted, Qt::CaseInsensitive) == 0)
            return row;
    return -1;
}

void CCatalogItemModel::Append(std::vector<std::unique_ptr<CCatalogItem>> items) {
    if (items.empty())
        return;
    if (items_.empty()) {
        beginResetModel();
        items_ = std::move(items);
        endResetModel();
        return;
    }
    beginInsertRows(QModelIndex(), Count(), Count() + static_cast<int>(items.size()) - 1);
    items_.reserve(items_.size() + items.size());
    for (auto& item : items)
        items_.push_back(std::move(item));
    endInsertRows();
}

int CCatalogItemModel::Append(std::unique_ptr<CCatalogItem> item) {
    const int row = Count();
    beginInsertRows(QModelIndex(), row, row);
    items_.push_back(std::move(item));
    endInsertRows();
    return row;
}

void CCatalogItemModel::Remove(int row) {
    if (row < 0 || row >= Count())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    items_.erase(items_.begin() + row);
    endRemoveRows();
}

void CCatalogItemModel::Clear() {
    beginResetModel();
    items_.clear();
    endResetModel();
}

void CCatalogItemModel::Sort(const Compare& compare) {
    if (items_.size() < 2)
        return;
    std::vector<int> order(items_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return compare(*items_[static_cast<size_t>(a)], *items_[static_cast<size_t>(b)]) < 0;
    });
    if (std::is_sorted(order.begin(), order.end()))
        return;

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(order.size());
    std::vector<std::unique_ptr<CCatalogItem>> sorted;
    sorted.reserve(items_.size());
    for (size_t newRow = 0; newRow < order.size(); ++newRow) {
        newRowOf[static_cast<size_t>(order[newRow])] = static_cast<int>(newRow);
        sorted.push_back(std::move(items_[static_cast<size_t>(order[newRow])]));
    }
    items_ = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after.push_back(index.isValid()
                            ? this->index(newRowOf[static_cast<size_t>(index.row())], index.column())
                            : QModelIndex());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CCatalogItemModel::NotifyChanged(int row) {
    if (row < 0 || row >= Count())
        return;
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed, {Qt::DecorationRole});
}

qint64 CCatalogItemModel::ThumbnailBytes() const {
    qint64 bytes = 0;
    for (const auto& item : items_)
        bytes += item->thumbnail.sizeInBytes();
    return bytes;
}
