#include "capture/CCatalogThumbnail.h"

#include "capture/CCatalogImageChooser.h"
#include "capture/CCatalogPictureImage.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

QRect CCatalogThumbnail::FitRect(const QSize& image, const QSize& thumbnail) {
    if (image.isEmpty() || thumbnail.isEmpty())
        return {};
    const QSize shown = CCatalogPictureImage::DecodeSizeFor(image, thumbnail);
    return QRect(QPoint((thumbnail.width() - shown.width()) / 2, (thumbnail.height() - shown.height()) / 2),
                 shown);
}

namespace {

QImage WhiteCanvas(const QSize& thumbnail) {
    QImage canvas(thumbnail, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    return canvas;
}

void DrawFrame(QPainter& painter, const QSize& thumbnail) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(QRgb(CCatalogThumbnail::kFrameColour)), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(QPoint(0, 0), thumbnail).adjusted(0, 0, -1, -1));
}

} // namespace

QImage CCatalogThumbnail::Empty(const QSize& thumbnail) {
    if (thumbnail.isEmpty())
        return {};
    QImage canvas = WhiteCanvas(thumbnail);
    QPainter painter(&canvas);
    DrawFrame(painter, thumbnail);
    return canvas;
}

QImage CCatalogThumbnail::Build(const ICatalogImage& image, const QSize& thumbnail) {
    const QRect target = FitRect(image.GetSize(), thumbnail);
    if (target.isEmpty())
        return {};
    QImage canvas = WhiteCanvas(thumbnail);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    image.Draw(painter, target);
    DrawFrame(painter, thumbnail);
    return canvas;
}

QImage CCatalogThumbnail::Compose(const QImage& picture, const QSize& shownSize, const QSize& thumbnail) {
    if (thumbnail.isEmpty())
        return {};
    QImage canvas = WhiteCanvas(thumbnail);
    QPainter painter(&canvas);
    const QRect target = FitRect(shownSize.isEmpty() ? picture.size() : shownSize, thumbnail);
    if (!picture.isNull() && !target.isEmpty()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(target, picture);
    }
    DrawFrame(painter, thumbnail);
    return canvas;
}

QImage CCatalogThumbnail::FromFile(const std::string& path, const QSize& thumbnail) {
    if (thumbnail.isEmpty())
        return {};
    std::unique_ptr<ICatalogImage> image = CCatalogImageChooser::Open(path, thumbnail);
    if (!image)
        return {};
    return Build(*image, thumbnail);
}
