#pragma once
// Draws one gallery item: its picture (given by the list, which builds thumbnails on first use) centred in
// the item's cell, a tint behind it when the item is selected or under the cursor, and the focus rectangle
// of the current item while the list has the focus.
#include <QImage>
#include <QSize>
#include <QStyledItemDelegate>

#include <functional>

class CCatalogItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // The picture to draw for a row (a thumbnail of the list's thumbnail size).
    using PictureSource = std::function<QImage(int row)>;
    // Space around the thumbnail inside an item's cell, each side.
    static constexpr int kMargin = 4;

    CCatalogItemDelegate(PictureSource source, QObject* parent = nullptr);

    void SetThumbnailSize(const QSize& size) { thumbnail_ = size; }
    void SetHotRow(int row) { hotRow_ = row; }
    // The cell of an item: the thumbnail with the margin on every side.
    QSize CellSize() const { return thumbnail_ + QSize(2 * kMargin, 2 * kMargin); }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    PictureSource source_;
    QSize thumbnail_{100, 75};
    int hotRow_ = -1;
};
