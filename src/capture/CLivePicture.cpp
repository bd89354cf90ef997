#include "capture/CLivePicture.h"

#include "ui/CVidoraSkin.h"

#include <QPainter>

CLivePicture::CLivePicture(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QStringLiteral("Live picture"));
}

void CLivePicture::PresentFrame(const VideoRect& where, const VideoFrame& frame) {
    (void)where;
    if (frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0 || frame.stride < frame.width * 4)
        return;
    // Bytes R, G, B, x: a deep copy, the frame's memory is the display's.
    QImage copy =
        QImage(frame.pixels, frame.width, frame.height, frame.stride, QImage::Format_RGBX8888).copy();
    {
        std::lock_guard<std::mutex> guard(lock_);
        frame_ = std::move(copy);
    }
    ++frames_;
    // One repaint request at a time, however fast the frames come.
    if (!updatePending_.exchange(true)) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                updatePending_ = false;
                update();
                emit frameArrived();
            },
            Qt::QueuedConnection);
    }
}

void CLivePicture::Clear() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        frame_ = QImage();
    }
    frames_ = 0;
    update();
}

QImage CLivePicture::CurrentFrame() const {
    std::lock_guard<std::mutex> guard(lock_);
    return frame_;
}

void CLivePicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QImage frame = CurrentFrame();
    if (!frame.isNull()) {
        painter.drawImage(rect(), frame);
        return;
    }
    painter.fillRect(rect(), QColor(0x1E, 0x21, 0x26));
    const QImage sign = CVidoraSkin::SkinImage(kNoPictureImageId);
    if (!sign.isNull()) {
        QSize size = sign.size().scaled(this->size(), Qt::KeepAspectRatio);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size),
                          sign);
    }
}
