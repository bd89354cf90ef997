#include "ui/CTransparentTextButton.h"

#include "ui/CToolTip.h"
#include "ui/ControlsNotify.h"
#include "ui/ControlsStyle.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QPainter>

CTransparentTextButton::CTransparentTextButton(QWidget* parent)
    : QAbstractButton(parent), CTransparentControlBase(this) {
    setAttribute(Qt::WA_Hover, true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setFont(ControlsStyle::ControlFont());
    connect(this, &QAbstractButton::clicked, this, [this] { NotifyCommand(ControlsNotify::BN_CLICKED); });
}

void CTransparentTextButton::SetTextId(uint32_t stringId) {
    setText(CToolTip::ResourceText(stringId));
    updateGeometry();
}

void CTransparentTextButton::SetAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

void CTransparentTextButton::SetLinkColors(const QColor& normal, const QColor& hover) {
    normal_ = normal;
    hover_ = hover;
    update();
}

QSize CTransparentTextButton::sizeHint() const {
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(text()) + 4, metrics.height() + 2);
}

void CTransparentTextButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QFont f = font();
    f.setUnderline(hovered_ && isEnabled());
    painter.setFont(f);
    QColor color = normal_.isValid() ? normal_ : ControlsStyle::Accent().lighter(115);
    if (!isEnabled())
        color = ControlsStyle::DisabledText();
    else if (isDown())
        color = ControlsStyle::AccentPressed();
    else if (hovered_)
        color = hover_.isValid() ? hover_ : ControlsStyle::Accent().lighter(135);
    painter.setPen(color);
    const QRect area = rect().adjusted(2, 0, -2, 0);
    const QString shown = painter.fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
    painter.drawText(area, static_cast<int>(alignment_) | Qt::TextSingleLine, shown);
    if (hasFocus())
        ControlsStyle::PaintFocusRing(painter, rect(), 3);
}

void CTransparentTextButton::keyPressEvent(QKeyEvent* event) {
    // Links answer Return as well as Space.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && isEnabled()) {
        click();
        event->accept();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void CTransparentTextButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CTransparentTextButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}
