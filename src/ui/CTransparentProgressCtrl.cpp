#include "ui/CTransparentProgressCtrl.h"

#include "ui/ControlsStyle.h"

#include <QPainter>

#include <algorithm>

CTransparentProgressCtrl::CTransparentProgressCtrl(QWidget* parent)
    : QWidget(parent), CTransparentControlBase(this) {
    setAccessibleName(QStringLiteral("progress"));
}

void CTransparentProgressCtrl::SetRange(int minimum, int maximum) {
    if (maximum < minimum)
        std::swap(minimum, maximum);
    minimum_ = minimum;
    maximum_ = maximum;
    SetPos(position_);
    update();
}

int CTransparentProgressCtrl::SetPos(int position) {
    const int previous = position_;
    position_ = std::clamp(position, minimum_, maximum_);
    if (position_ != previous) {
        update();
        emit positionChanged(position_);
    }
    return previous;
}

int CTransparentProgressCtrl::StepIt() {
    const int previous = position_;
    const qint64 next = qint64(position_) + step_;
    if (next > maximum_)
        SetPos(minimum_);
    else if (next < minimum_)
        SetPos(maximum_);
    else
        SetPos(static_cast<int>(next));
    return previous;
}

void CTransparentProgressCtrl::SetOrientation(Qt::Orientation orientation) {
    orientation_ = orientation;
    updateGeometry();
    update();
}

void CTransparentProgressCtrl::SetBarColor(const QColor& color) {
    barColor_ = color;
    update();
}

QRect CTransparentProgressCtrl::BarRect() const {
    const qint64 span = qint64(maximum_) - minimum_;
    if (span <= 0)
        return {};
    const QRect trough = rect();
    if (orientation_ == Qt::Horizontal) {
        const int filled = static_cast<int>((qint64(position_) - minimum_) * trough.width() / span);
        return QRect(trough.left(), trough.top(), filled, trough.height());
    }
    // A vertical bar grows from the bottom, like a level meter.
    const int filled = static_cast<int>((qint64(position_) - minimum_) * trough.height() / span);
    return QRect(trough.left(), trough.bottom() - filled + 1, trough.width(), filled);
}

QSize CTransparentProgressCtrl::sizeHint() const {
    return orientation_ == Qt::Horizontal ? QSize(140, 8) : QSize(8, 140);
}

void CTransparentProgressCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const qreal radius = std::min(width(), height()) / 2.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(isEnabled() ? ControlsStyle::Surface() : ControlsStyle::Surface().darker(115));
    painter.drawRoundedRect(QRectF(rect()), radius, radius);
    const QRect bar = BarRect();
    if (bar.isEmpty())
        return;
    QColor color = barColor_.isValid() ? barColor_ : ControlsStyle::Accent();
    if (!isEnabled())
        color = ControlsStyle::DisabledText();
    painter.setBrush(color);
    painter.drawRoundedRect(QRectF(bar), radius, radius);
}
