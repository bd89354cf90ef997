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
    connect(this, &QAbstractButton::clicked, this, [this] {
        visited_ = true;
        update();
        NotifyCommand(ControlsNotify::BN_CLICKED);
    });
}

void CTransparentTextButton::SetTextId(uint32_t stringId) {
    setText(CToolTip::ResourceText(stringId));
    updateGeometry();
}

void CTransparentTextButton::SetAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

void CTransparentTextButton::SetLinkColors(const QColor& normal, const QColor& visited, const QColor& pressed,
                                           const QColor& hover) {
    normal_ = normal;
    visitedColor_ = visited;
    pressed_ = pressed;
    hover_ = hover;
    update();
}

QSize CTransparentTextButton::sizeHint() const {
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(text()) + 4, metrics.height() + 2);
}

QColor CTransparentTextButton::TextColor() const {
    if (!isEnabled())
        return ControlsStyle::DisabledText();
    if (isDown())
        return pressed_.isValid() ? pressed_ : ControlsStyle::AccentPressed();
    if (hovered_)
        return hover_.isValid() ? hover_ : ControlsStyle::Accent().lighter(135);
    const QColor normal = normal_.isValid() ? normal_ : ControlsStyle::Accent().lighter(115);
    if (visited_)
        return visitedColor_.isValid() ? visitedColor_ : normal;
    return normal;
}

void CTransparentTextButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QFont f = font();
    f.setUnderline(hovered_ && isEnabled());
    painter.setFont(f);
    painter.setPen(TextColor());
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
