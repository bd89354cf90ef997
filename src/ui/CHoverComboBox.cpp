#include "ui/CHoverComboBox.h"

#include "ui/ControlsNotify.h"
#include "ui/ControlsStyle.h"

#include <QAbstractItemView>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyledItemDelegate>
#include <QWheelEvent>

namespace {

// Rows of the open list: hover and selection in the accent colour, the toolkit's text colours.
class CHoverItemDelegate : public QStyledItemDelegate {
public:
    CHoverItemDelegate(CHoverComboBox* combo) : QStyledItemDelegate(combo), combo_(combo) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        const bool hot = option.state & (QStyle::State_MouseOver | QStyle::State_Selected);
        painter->fillRect(option.rect, ControlsStyle::Surface());
        if (hot && (option.state & QStyle::State_Enabled)) {
            painter->setPen(Qt::NoPen);
            painter->setBrush(ControlsStyle::Accent());
            painter->drawRoundedRect(QRectF(option.rect).adjusted(2, 1, -2, -1), 4, 4);
        }
        const bool enabled = (option.state & QStyle::State_Enabled) && (index.flags() & Qt::ItemIsEnabled);
        painter->setPen(!enabled ? ControlsStyle::DisabledText()
                                 : (hot ? QColor(Qt::white) : ControlsStyle::Text()));
        painter->setFont(combo_->font());
        const QString text = index.data(Qt::DisplayRole).toString();
        const QRect textRect = option.rect.adjusted(8, 0, -8, 0);
        painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                          painter->fontMetrics().elidedText(text, Qt::ElideRight, textRect.width()));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const int rowHeight = combo_->ItemHeight();
        size.setHeight(rowHeight > 0 ? rowHeight : QFontMetrics(combo_->font()).height() + 8);
        return size;
    }

private:
    CHoverComboBox* combo_;
};

} // namespace

CHoverComboBox::CHoverComboBox(QWidget* parent) : QComboBox(parent), CTransparentControlBase(this) {
    setAttribute(Qt::WA_Hover, true);
    setFont(ControlsStyle::ControlFont());
    setItemDelegate(new CHoverItemDelegate(this));
    view()->setStyleSheet(
        QStringLiteral("QAbstractItemView { background: %1; border: 1px solid %2; outline: 0; }")
            .arg(ControlsStyle::Surface().name(), ControlsStyle::Border().name()));
    connect(this, &QComboBox::activated, this, &CHoverComboBox::OnActivated);
}

void CHoverComboBox::SetItemHeight(int pixels) {
    itemHeight_ = std::max(0, pixels);
    // Rows shorter than the font would cut the text; keep them readable.
    if (itemHeight_ > 0)
        itemHeight_ = std::max(itemHeight_, QFontMetrics(font()).height() + 2);
}

int CHoverComboBox::ItemHeight() const {
    return itemHeight_;
}

void CHoverComboBox::showPopup() {
    indexBefore_ = currentIndex();
    QComboBox::showPopup();
}

void CHoverComboBox::keyPressEvent(QKeyEvent* event) {
    indexBefore_ = currentIndex();
    QComboBox::keyPressEvent(event);
}

void CHoverComboBox::wheelEvent(QWheelEvent* event) {
    indexBefore_ = currentIndex();
    QComboBox::wheelEvent(event);
}

void CHoverComboBox::OnActivated(int index) {
    if (index == indexBefore_)
        return;
    indexBefore_ = index;
    emit selectionChanged(index);
    NotifyCommand(ControlsNotify::CBN_SELCHANGE);
}

void CHoverComboBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const bool enabled = isEnabled();
    const bool hot = enabled && (hovered_ || view()->isVisible());
    ControlsStyle::PaintField(painter, rect(), enabled, hot, false, false);
    if (hasFocus())
        ControlsStyle::PaintFocusRing(painter, rect());

    // The arrow: a small chevron at the right.
    const qreal cx = width() - 14.0;
    const qreal cy = height() / 2.0;
    QPainterPath chevron;
    chevron.moveTo(cx - 4, cy - 2);
    chevron.lineTo(cx, cy + 2);
    chevron.lineTo(cx + 4, cy - 2);
    painter.setPen(QPen(enabled ? (hot ? ControlsStyle::Accent() : ControlsStyle::SecondaryText())
                                : ControlsStyle::DisabledText(),
                        1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(chevron);

    painter.setPen(enabled ? ControlsStyle::Text() : ControlsStyle::DisabledText());
    const QRect textRect = rect().adjusted(8, 0, -26, 0);
    painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                     painter.fontMetrics().elidedText(currentText(), Qt::ElideRight, textRect.width()));
}

void CHoverComboBox::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QComboBox::enterEvent(event);
}

void CHoverComboBox::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QComboBox::leaveEvent(event);
}
