#pragma once
// The items of a gallery list, in list order. The view reads them through the model; the list control adds,
// removes and sorts them. Sorting keeps persistent indexes (selection, current item) on their items.
#include "capture/CCatalogItem.h"

#include <QAbstractListModel>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CCatalogItemModel : public QAbstractListModel {
    Q_OBJECT
public:
    // Compares two items like strcmp: < 0 when a comes first.
    using Compare = std::function<int(const CCatalogItem& a, const CCatalogItem& b)>;

    explicit CCatalogItemModel(QObject* parent = nullptr);
    ~CCatalogItemModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    int Count() const { return static_cast<int>(items_.size()); }
    CCatalogItem* Item(int row) const;
    // Row of a path, compared ignoring case; -1 when absent.
    int Find(const std::string& path) const;

    // Appends items at the end in one step (one reset when the model was empty, so a large fill does not
    // notify item by item).
    void Append(std::vector<std::unique_ptr<CCatalogItem>> items);
    int Append(std::unique_ptr<CCatalogItem> item);
    void Remove(int row);
    void Clear();
    // Stable sort; equal items keep their order.
    void Sort(const Compare& compare);
    // Tells the views an item's picture changed.
    void NotifyChanged(int row);

    // Sum of the bytes held by cached thumbnails.
    qint64 ThumbnailBytes() const;

private:
    std::vector<std::unique_ptr<CCatalogItem>> items_;
};
