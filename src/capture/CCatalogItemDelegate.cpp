#include "capture/CCatalogItemDelegate.h"

#include <QPainter>

CCatalogItemDelegate::CCatalogItemDelegate(PictureSource source, QObject* parent)
    : QStyledItemDelegate(parent), source_(std::move(source)) {}

QSize CCatalogItemDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return CellSize();
}

void CCatalogItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    const QRect cell = option.rect;
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const bool hot = index.row() == hotRow_;
    painter->save();
    if (selected || hot) {
        QColor tint = option.palette.color(option.state.testFlag(QStyle::State_Active) ? QPalette::Active
                                                                                       : QPalette::Inactive,
                                           QPalette::Highlight);
        if (!selected)
            tint.setAlpha(90); // hover alone: a lighter shade of the selection colour
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->setPen(Qt::NoPen);
        painter->setBrush(tint);
        painter->drawRoundedRect(QRectF(cell).adjusted(1, 1, -1, -1), 3, 3);
    }
    const QImage picture = source_ ? source_(index.row()) : QImage();
    const QRect thumb(cell.left() + (cell.width() - thumbnail_.width()) / 2,
                      cell.top() + (cell.height() - thumbnail_.height()) / 2, thumbnail_.width(),
                      thumbnail_.height());
    if (!picture.isNull()) {
        if (picture.size() == thumb.size())
            painter->drawImage(thumb.topLeft(), picture);
        else
            painter->drawImage(thumb, picture);
    }
    if (option.state.testFlag(QStyle::State_HasFocus)) {
        QPen dotted(option.palette.color(QPalette::WindowText), 1, Qt::DotLine);
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(dotted);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(cell.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}
