#include "ui/CTransparentSliderCtrl.h"

#include "ui/ControlsNotify.h"
#include "ui/ControlsStyle.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kThumbDiameter = 16;
constexpr int kChannelThickness = 4;
constexpr int kWheelNotch = 120;
} // namespace

CTransparentSliderCtrl::CTransparentSliderCtrl(QWidget* parent)
    : QAbstractSlider(parent), CTransparentControlBase(this) {
    Init();
}

CTransparentSliderCtrl::CTransparentSliderCtrl(Qt::Orientation orientation, QWidget* parent)
    : QAbstractSlider(parent), CTransparentControlBase(this) {
    setOrientation(orientation);
    Init();
}

void CTransparentSliderCtrl::Init() {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover, true);
    setRange(0, 100);
    setPageStep(10);
}

void CTransparentSliderCtrl::SetChannelImage(const QImage& image) {
    channelImage_ = image;
    update();
}

void CTransparentSliderCtrl::SetThumbImages(const QImage& normal, const QImage& hover,
                                            const QImage& disabled) {
    thumbNormal_ = normal;
    thumbHover_ = hover;
    thumbDisabled_ = disabled;
    updateGeometry();
    update();
}

int CTransparentSliderCtrl::ThumbLength() const {
    if (!thumbNormal_.isNull()) {
        const QSize size = thumbNormal_.deviceIndependentSize().toSize();
        return orientation() == Qt::Horizontal ? size.width() : size.height();
    }
    return kThumbDiameter;
}

QRect CTransparentSliderCtrl::ChannelRect() const {
    const int half = ThumbLength() / 2;
    if (orientation() == Qt::Horizontal) {
        const int y = (height() - kChannelThickness) / 2;
        return QRect(half, y, std::max(0, width() - 2 * half), kChannelThickness);
    }
    const int x = (width() - kChannelThickness) / 2;
    return QRect(x, half, kChannelThickness, std::max(0, height() - 2 * half));
}

int CTransparentSliderCtrl::PixelOf(int position) const {
    const QRect channel = ChannelRect();
    const bool horizontal = orientation() == Qt::Horizontal;
    const int start = horizontal ? channel.left() : channel.top();
    const int length = horizontal ? channel.width() : channel.height();
    const qint64 span = qint64(maximum()) - minimum();
    if (span <= 0 || length <= 0)
        return start;
    return start + static_cast<int>((qint64(position) - minimum()) * length / span);
}

QRect CTransparentSliderCtrl::ThumbRect() const {
    QSize size(kThumbDiameter, kThumbDiameter);
    if (!thumbNormal_.isNull())
        size = thumbNormal_.deviceIndependentSize().toSize();
    const int centre = PixelOf(value());
    if (orientation() == Qt::Horizontal)
        return QRect(centre - size.width() / 2, (height() - size.height()) / 2, size.width(), size.height());
    return QRect((width() - size.width()) / 2, centre - size.height() / 2, size.width(), size.height());
}

int CTransparentSliderCtrl::PositionFromPoint(const QPoint& point) const {
    const QRect channel = ChannelRect();
    const bool horizontal = orientation() == Qt::Horizontal;
    const int start = horizontal ? channel.left() : channel.top();
    const int length = horizontal ? channel.width() : channel.height();
    const qint64 span = qint64(maximum()) - minimum();
    if (span <= 0 || length <= 0)
        return minimum();
    const int along = std::clamp((horizontal ? point.x() : point.y()) - start, 0, length);
    const double exact = double(along) * double(span) / double(length);
    return static_cast<int>(std::clamp<qint64>(minimum() + std::llround(exact), minimum(), maximum()));
}

QSize CTransparentSliderCtrl::sizeHint() const {
    const int thickness = std::max(ThumbLength(), kThumbDiameter) + 8;
    return orientation() == Qt::Horizontal ? QSize(140, thickness) : QSize(thickness, 140);
}

bool CTransparentSliderCtrl::MoveTo(int position, uint16_t code) {
    const int before = value();
    setValue(position); // clamps into the range
    if (value() == before)
        return false;
    Announce(code);
    return true;
}

void CTransparentSliderCtrl::Announce(uint16_t code) {
    if (code != ControlsNotify::SB_ENDSCROLL)
        gestureAnnounced_ = true;
    emit scrolled(code, value());
    NotifyScroll(orientation(), code, value());
}

void CTransparentSliderCtrl::EndGesture() {
    if (!gestureAnnounced_)
        return;
    gestureAnnounced_ = false;
    Announce(ControlsNotify::SB_ENDSCROLL);
}

void CTransparentSliderCtrl::keyPressEvent(QKeyEvent* event) {
    using namespace ControlsNotify;
    const int line = singleStep();
    const int page = pageStep();
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        MoveTo(value() - line, SB_LINEUP);
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        MoveTo(value() + line, SB_LINEDOWN);
        break;
    case Qt::Key_PageUp:
        MoveTo(value() - page, SB_PAGEUP);
        break;
    case Qt::Key_PageDown:
        MoveTo(value() + page, SB_PAGEDOWN);
        break;
    case Qt::Key_Home:
        MoveTo(minimum(), SB_TOP);
        break;
    case Qt::Key_End:
        MoveTo(maximum(), SB_BOTTOM);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void CTransparentSliderCtrl::keyReleaseEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        if (!event->isAutoRepeat())
            EndGesture();
        event->accept();
        return;
    default:
        QWidget::keyReleaseEvent(event);
    }
}

void CTransparentSliderCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || maximum() == minimum()) {
        event->ignore();
        return;
    }
    const QPoint point = event->position().toPoint();
    dragging_ = true;
    dragOffset_ = 0;
    // A press beside the thumb brings the thumb to the press; the drag continues from there. A press on the
    // thumb keeps the grip where the thumb was taken, so the thumb does not jump.
    if (ThumbRect().contains(point))
        dragOffset_ = (orientation() == Qt::Horizontal ? point.x() : point.y()) - PixelOf(value());
    else
        MoveTo(PositionFromPoint(point), ControlsNotify::SB_THUMBTRACK);
    update();
    event->accept();
}

void CTransparentSliderCtrl::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (dragging_) {
        const QPoint grip =
            orientation() == Qt::Horizontal ? point - QPoint(dragOffset_, 0) : point - QPoint(0, dragOffset_);
        MoveTo(PositionFromPoint(grip), ControlsNotify::SB_THUMBTRACK);
    }
    const bool hot = ThumbRect().contains(point);
    if (hot != thumbHot_) {
        thumbHot_ = hot;
        update();
    }
    event->accept();
}

void CTransparentSliderCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_) {
        event->ignore();
        return;
    }
    dragging_ = false;
    if (gestureAnnounced_)
        Announce(ControlsNotify::SB_THUMBPOSITION);
    EndGesture();
    update();
    event->accept();
}

void CTransparentSliderCtrl::wheelEvent(QWheelEvent* event) {
    int notches = event->angleDelta().y() / kWheelNotch;
    if (notches == 0)
        notches = event->angleDelta().x() / kWheelNotch;
    if (notches == 0) {
        event->ignore();
        return;
    }
    // Turning the wheel away from the user moves the thumb right on a horizontal slider and up on a vertical
    // one.
    const int direction = orientation() == Qt::Horizontal ? 1 : -1;
    const int delta = notches * direction * singleStep();
    MoveTo(value() + delta, delta > 0 ? ControlsNotify::SB_LINEDOWN : ControlsNotify::SB_LINEUP);
    EndGesture();
    event->accept();
}

void CTransparentSliderCtrl::leaveEvent(QEvent* event) {
    if (thumbHot_) {
        thumbHot_ = false;
        update();
    }
    QAbstractSlider::leaveEvent(event);
}

void CTransparentSliderCtrl::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        // A drag cut short by disabling still ends its gesture.
        if (dragging_) {
            dragging_ = false;
            EndGesture();
        }
        thumbHot_ = false;
    }
    QAbstractSlider::changeEvent(event);
}

void CTransparentSliderCtrl::PaintChannel(QPainter& painter) {
    const QRect channel = ChannelRect();
    if (!channelImage_.isNull()) {
        painter.drawImage(QRectF(channel).adjusted(0, -1, 0, 1), channelImage_);
        return;
    }
    const qreal radius = kChannelThickness / 2.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(isEnabled() ? ControlsStyle::Border() : ControlsStyle::Border().darker(130));
    painter.drawRoundedRect(channel, radius, radius);
    // The filled part: from the left end on a horizontal slider, from the bottom end on a vertical one.
    const int thumb = PixelOf(value());
    QRect filled = channel;
    if (orientation() == Qt::Horizontal)
        filled.setRight(thumb);
    else
        filled.setTop(thumb);
    painter.setBrush(isEnabled() ? ControlsStyle::Accent() : ControlsStyle::DisabledText());
    painter.drawRoundedRect(filled, radius, radius);
}

void CTransparentSliderCtrl::PaintThumb(QPainter& painter) {
    const QRect thumb = ThumbRect();
    const QImage& image = !isEnabled() && !thumbDisabled_.isNull()            ? thumbDisabled_
                          : (thumbHot_ || dragging_) && !thumbHover_.isNull() ? thumbHover_
                                                                              : thumbNormal_;
    if (!image.isNull()) {
        painter.drawImage(thumb, image);
        return;
    }
    const QRectF r = QRectF(thumb).adjusted(1, 1, -1, -1);
    const bool hot = isEnabled() && (thumbHot_ || dragging_);
    painter.setPen(QPen(isEnabled() ? (hot ? ControlsStyle::Accent().lighter(120) : ControlsStyle::Accent())
                                    : ControlsStyle::DisabledText(),
                        hot ? 3.0 : 2.0));
    painter.setBrush(isEnabled() ? QColor(Qt::white) : ControlsStyle::Surface());
    painter.drawEllipse(r.adjusted(1, 1, -1, -1));
}

void CTransparentSliderCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    PaintChannel(painter);
    PaintThumb(painter);
    if (hasFocus())
        ControlsStyle::PaintFocusRing(painter, rect(), 4);
}
