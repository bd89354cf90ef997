#include "privacy/CShadePreview.h"

#include <QPainter>

CShadePreview::CShadePreview(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CShadePreview::SetPicture(const QImage& picture) {
    picture_ = picture;
    Rescale();
    update();
}

void CShadePreview::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Rescale();
}

void CShadePreview::Rescale() {
    // Scaled once per picture and size, not at every paint.
    const QSize room = size() - QSize(2, 2);
    scaled_ = picture_.isNull() || room.isEmpty()
                  ? QImage()
                  : picture_.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

void CShadePreview::paintEvent(QPaintEvent*) {
    if (scaled_.isNull())
        return;
    QPainter painter(this);
    const QRect target(QPoint((width() - scaled_.width()) / 2, (height() - scaled_.height()) / 2),
                       scaled_.size());
    painter.drawImage(target.topLeft(), scaled_);
    painter.setPen(QColor(0x86, 0x86, 0x86));
    painter.drawRect(target.adjusted(-1, -1, 0, 0));
}
