#include "capture/CCatalogPictureImage.h"

#include <QImageReader>
#include <QPainter>
#include <QString>

#include <algorithm>

bool CCatalogPictureImage::IsAcceptableSize(const QSize& size) {
    if (size.width() <= 0 || size.height() <= 0)
        return false;
    if (size.width() > kMaxSide || size.height() > kMaxSide)
        return false;
    return qint64(size.width()) * size.height() <= kMaxPixels;
}

QSize CCatalogPictureImage::DecodeSizeFor(const QSize& size, const QSize& hint) {
    if (hint.isEmpty() || size.isEmpty() || (size.width() <= hint.width() && size.height() <= hint.height()))
        return size;
    // Rounded rather than truncated, so 1800 x 1200 in 100 x 75 is 100 x 67, not 100 x 66.
    const qint64 w = size.width(), h = size.height();
    if (w * hint.height() >= h * hint.width())
        return QSize(hint.width(), static_cast<int>(std::max<qint64>(1, (h * hint.width() + w / 2) / w)));
    return QSize(static_cast<int>(std::max<qint64>(1, (w * hint.height() + h / 2) / h)), hint.height());
}

bool CCatalogPictureImage::Load(const std::string& path) {
    size_ = QSize();
    image_ = QImage();

    QImageReader reader(QString::fromStdString(path));
    reader.setAutoTransform(true);
    reader.setDecideFormatFromContent(true);
    const QSize stored = reader.size();
    if (!IsAcceptableSize(stored))
        return false;

    // The orientation is applied after decoding, so a reduced size is asked for in stored orientation.
    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const QSize upright = turned ? stored.transposed() : stored;
    const QSize hint = turned ? DecodeHint().transposed() : DecodeHint();
    const QSize decodeSize = DecodeSizeFor(stored, hint);
    if (decodeSize != stored && reader.supportsOption(QImageIOHandler::ScaledSize))
        reader.setScaledSize(decodeSize);

    QImage image = reader.read();
    if (image.isNull() || image.width() == 0 || image.height() == 0)
        return false;
    size_ = upright;
    image_ = std::move(image);
    return true;
}

void CCatalogPictureImage::Draw(QPainter& painter, const QRect& target) const {
    if (image_.isNull() || target.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (image_.size() == target.size())
        painter.drawImage(target.topLeft(), image_);
    else
        painter.drawImage(target,
                          image_.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    painter.restore();
}
