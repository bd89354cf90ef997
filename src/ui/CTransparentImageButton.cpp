#include "ui/CTransparentImageButton.h"

#include "ui/CImageCache.h"
#include "ui/ControlsNotify.h"
#include "ui/ControlsStyle.h"

#include <QEnterEvent>
#include <QPainter>

CTransparentImageButton::CTransparentImageButton(QWidget* parent)
    : QAbstractButton(parent), CTransparentControlBase(this) {
    setAttribute(Qt::WA_Hover, true);
    setFocusPolicy(Qt::TabFocus);
    setFont(ControlsStyle::ControlFont());
    connect(this, &QAbstractButton::clicked, this, [this] { NotifyCommand(ControlsNotify::BN_CLICKED); });
}

void CTransparentImageButton::SetImageIds(uint32_t normal, uint32_t hover, uint32_t pressed,
                                          uint32_t disabled) {
    const uint32_t ids[] = {normal, hover, pressed, disabled};
    for (size_t i = 0; i < 4; ++i)
        images_[i] = ids[i] == kNoImage ? QImage() : CImageCache::Instance().GetImage(ids[i]);
    updateGeometry();
    update();
}

void CTransparentImageButton::SetImage(State state, const QImage& image) {
    images_[Index(state)] = image;
    updateGeometry();
    update();
}

bool CTransparentImageButton::HasImages() const {
    for (const QImage& image : images_) {
        if (!image.isNull())
            return true;
    }
    return false;
}

void CTransparentImageButton::SetPressedLook(bool pressed) {
    if (pressedLook_ == pressed)
        return;
    pressedLook_ = pressed;
    update();
}

void CTransparentImageButton::SetAccent(bool accent) {
    accent_ = accent;
    update();
}

CTransparentImageButton::State CTransparentImageButton::CurrentState() const {
    if (!isEnabled())
        return State::Disabled;
    if (isDown() || pressedLook_)
        return State::Pressed;
    if (hovered_)
        return State::Hover;
    return State::Normal;
}

QImage CTransparentImageButton::Resolve(const std::array<QImage, 4>& images, State state) {
    const QImage& own = images[Index(state)];
    if (!own.isNull())
        return own;
    switch (state) {
    case State::Pressed:
        return Resolve(images, State::Hover);
    case State::Hover:
    case State::Disabled:
        return images[Index(State::Normal)];
    case State::Normal:
        break;
    }
    return {};
}

QImage CTransparentImageButton::ImageFor(State state) const {
    return Resolve(images_, state);
}

void CTransparentImageButton::SizeToImage() {
    const QImage& normal = images_[Index(State::Normal)];
    if (!normal.isNull())
        resize(normal.deviceIndependentSize().toSize());
}

QSize CTransparentImageButton::sizeHint() const {
    const QImage& normal = images_[Index(State::Normal)];
    if (!normal.isNull())
        return normal.deviceIndependentSize().toSize();
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(text()) + 24, metrics.height() + 12);
}

void CTransparentImageButton::PaintFallback(QPainter& painter, State state) {
    const bool accent = accent_ || (state == State::Pressed && (pressedLook_ || isChecked()));
    ControlsStyle::PaintField(painter, rect(), state != State::Disabled, state == State::Hover,
                              state == State::Pressed, accent);
}

void CTransparentImageButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    const State state = CurrentState();
    QImage image = ImageFor(state);
    if (image.isNull()) {
        PaintFallback(painter, state);
    } else {
        // A missing disabled image is stood in for by a faded normal one.
        if (state == State::Disabled && images_[Index(State::Disabled)].isNull())
            painter.setOpacity(0.4);
        QSizeF size = image.deviceIndependentSize();
        if (size.width() > width() || size.height() > height())
            size.scale(QSizeF(this->size()), Qt::KeepAspectRatio);
        const QRectF target(QPointF((width() - size.width()) / 2.0, (height() - size.height()) / 2.0), size);
        painter.drawImage(target, image);
        painter.setOpacity(1.0);
    }
    if (!text().isEmpty()) {
        painter.setFont(font());
        painter.setPen(state == State::Disabled ? ControlsStyle::DisabledText() : ControlsStyle::Text());
        painter.drawText(rect().adjusted(4, 0, -4, 0), Qt::AlignCenter | Qt::TextShowMnemonic, text());
    }
    if (hasFocus() && focusPolicy() != Qt::NoFocus)
        ControlsStyle::PaintFocusRing(painter, rect());
}

void CTransparentImageButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CTransparentImageButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void CTransparentImageButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        hovered_ = false;
    QAbstractButton::changeEvent(event);
}
