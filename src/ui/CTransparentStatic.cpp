#include "ui/CTransparentStatic.h"

#include "ui/CImageCache.h"
#include "ui/CToolTip.h"
#include "ui/ControlsNotify.h"
#include "ui/ControlsStyle.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kImageGap = 6;
}

CTransparentStatic::CTransparentStatic(QWidget* parent) : QWidget(parent), CTransparentControlBase(this) {
    setFont(ControlsStyle::ControlFont());
}

void CTransparentStatic::SetText(const QString& text) {
    if (text_ == text)
        return;
    text_ = text;
    setAccessibleName(text_);
    updateGeometry();
    update();
}

void CTransparentStatic::SetTextId(uint32_t stringId) {
    SetText(CToolTip::ResourceText(stringId));
}

void CTransparentStatic::SetImage(const QImage& image) {
    image_ = image;
    updateGeometry();
    update();
}

void CTransparentStatic::SetImageId(uint32_t resourceId) {
    SetImage(CImageCache::Instance().GetImage(resourceId));
}

void CTransparentStatic::SetAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

void CTransparentStatic::SetWordWrap(bool on) {
    wordWrap_ = on;
    updateGeometry();
    update();
}

void CTransparentStatic::SetTextColor(const QColor& color) {
    color_ = color;
    update();
}

QColor CTransparentStatic::TextColor() const {
    return color_.isValid() ? color_ : ControlsStyle::Text();
}

void CTransparentStatic::SetNotify(bool on) {
    notify_ = on;
    // A plain label leaves its clicks to the window below (the events are ignored and travel up).
    setCursor(on ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

QSize CTransparentStatic::sizeHint() const {
    const QFontMetrics metrics(font());
    QSize size(metrics.horizontalAdvance(text_), metrics.height());
    if (!image_.isNull()) {
        const QSize imageSize = image_.deviceIndependentSize().toSize();
        size.setWidth(size.width() + imageSize.width() + (text_.isEmpty() ? 0 : kImageGap));
        size.setHeight(std::max(size.height(), imageSize.height()));
    }
    return size;
}

void CTransparentStatic::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    QRect area = rect();
    if (!image_.isNull()) {
        QSizeF size = image_.deviceIndependentSize();
        if (size.height() > height() || size.width() > width())
            size.scale(QSizeF(this->size()), Qt::KeepAspectRatio);
        qreal x = 0;
        if (text_.isEmpty()) {
            if (alignment_ & Qt::AlignHCenter)
                x = (width() - size.width()) / 2.0;
            else if (alignment_ & Qt::AlignRight)
                x = width() - size.width();
        }
        const QRectF target(QPointF(x, (height() - size.height()) / 2.0), size);
        if (!isEnabled())
            painter.setOpacity(0.4);
        painter.drawImage(target, image_);
        painter.setOpacity(1.0);
        area.setLeft(static_cast<int>(target.right()) + kImageGap);
    }
    if (text_.isEmpty())
        return;
    painter.setFont(font());
    painter.setPen(isEnabled() ? TextColor() : ControlsStyle::DisabledText());
    if (wordWrap_) {
        painter.drawText(area, static_cast<int>(alignment_) | Qt::TextWordWrap, text_);
    } else {
        const QString shown = painter.fontMetrics().elidedText(text_, Qt::ElideRight, area.width());
        painter.drawText(area, static_cast<int>(alignment_) | Qt::TextSingleLine, shown);
    }
}

void CTransparentStatic::mousePressEvent(QMouseEvent* event) {
    if (notify_ && event->button() == Qt::LeftButton) {
        pressed_ = true;
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void CTransparentStatic::mouseReleaseEvent(QMouseEvent* event) {
    const bool wasPressed = pressed_;
    pressed_ = false;
    if (notify_ && wasPressed && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint())) {
        event->accept();
        emit clicked();
        NotifyCommand(ControlsNotify::STN_CLICKED);
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void CTransparentStatic::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange)
        pressed_ = false;
    QWidget::changeEvent(event);
}
