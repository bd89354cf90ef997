#include "settings/CPanTiltLook.h"

#include "ui/CImageCache.h"
#include "ui/ControlsStyle.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>

namespace {
// The colours of the pad's images, for the look drawn without them.
const QColor kPlateTop(0xF4, 0xF5, 0xF7);
const QColor kPlateBottom(0xDD, 0xE1, 0xE6);
const QColor kPlateRim(0xB8, 0xBE, 0xC7);
const QColor kGlyph(0x40, 0x40, 0x40);
constexpr qreal kPlateRadius = 12.0;

size_t LookIndex(CPanTiltLook::PartLook look) {
    return static_cast<size_t>(look);
}

// A filled triangle pointing towards `part`'s side, centred in `rect`.
QPolygonF Arrow(PanTiltPart part, const QRectF& rect) {
    const QPointF c = rect.center();
    const qreal half = 6.0; // half the base
    const qreal depth = 6.0;
    switch (part) {
    case PanTiltPart::Left:
        return QPolygonF({QPointF(c.x() - depth / 2, c.y()), QPointF(c.x() + depth / 2, c.y() - half),
                          QPointF(c.x() + depth / 2, c.y() + half)});
    case PanTiltPart::Right:
        return QPolygonF({QPointF(c.x() + depth / 2, c.y()), QPointF(c.x() - depth / 2, c.y() - half),
                          QPointF(c.x() - depth / 2, c.y() + half)});
    case PanTiltPart::Up:
        return QPolygonF({QPointF(c.x(), c.y() - depth / 2), QPointF(c.x() - half, c.y() + depth / 2),
                          QPointF(c.x() + half, c.y() + depth / 2)});
    case PanTiltPart::Down:
    case PanTiltPart::Centre:
        break;
    }
    return QPolygonF({QPointF(c.x(), c.y() + depth / 2), QPointF(c.x() - half, c.y() - depth / 2),
                      QPointF(c.x() + half, c.y() - depth / 2)});
}
} // namespace

uint32_t CPanTiltLook::ImageId(PanTiltPart part, PartLook look) {
    return kFirstPartImageId + static_cast<uint32_t>(part) * kLookCount + static_cast<uint32_t>(look);
}

void CPanTiltLook::Load() {
    CImageCache& cache = CImageCache::Instance();
    background_ = cache.GetImage(kBackgroundImageId);
    for (PanTiltPart part : CPanTiltRegions::kParts) {
        for (PartLook look : {PartLook::Normal, PartLook::Hover, PartLook::Pressed})
            parts_[static_cast<size_t>(part)][LookIndex(look)] = cache.GetImage(ImageId(part, look));
    }
}

const QImage& CPanTiltLook::Image(PanTiltPart part, PartLook look) const {
    return parts_[static_cast<size_t>(part)][LookIndex(look)];
}

void CPanTiltLook::PaintBackground(QPainter& painter, const QRect& rect) const {
    if (!background_.isNull()) {
        painter.drawImage(rect, background_);
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient plate(rect.topLeft(), rect.bottomLeft());
    plate.setColorAt(0, kPlateTop);
    plate.setColorAt(1, kPlateBottom);
    painter.setPen(QPen(kPlateRim, 1));
    painter.setBrush(plate);
    painter.drawRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), kPlateRadius, kPlateRadius);
    painter.restore();
}

void CPanTiltLook::PaintPart(QPainter& painter, PanTiltPart part, PartLook look) const {
    const QImage& image = Image(part, look);
    if (!image.isNull()) {
        painter.drawImage(CPanTiltRegions::Rect(part), image);
        return;
    }
    PaintFallbackPart(painter, part, look);
}

void CPanTiltLook::PaintFallbackPart(QPainter& painter, PanTiltPart part, PartLook look) {
    const QRectF rect = QRectF(CPanTiltRegions::Rect(part)).adjusted(1, 1, -1, -1);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    QColor glyph = kGlyph;
    if (look == PartLook::Pressed) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(ControlsStyle::Accent());
        glyph = Qt::white;
    } else if (look == PartLook::Hover) {
        painter.setPen(QPen(kPlateRim, 1));
        painter.setBrush(QColor(Qt::white));
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::NoBrush);
    }
    if (part == PanTiltPart::Centre) {
        // A round button with a ring: the camera goes back to the middle.
        if (look == PartLook::Normal) {
            painter.setPen(QPen(kPlateRim, 1));
            painter.setBrush(kPlateTop);
        }
        painter.drawEllipse(rect);
        painter.setPen(QPen(glyph, 2.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(rect.center(), 5.0, 5.0);
    } else {
        painter.drawRoundedRect(rect, 5, 5);
        painter.setPen(Qt::NoPen);
        painter.setBrush(glyph);
        painter.drawPolygon(Arrow(part, rect));
    }
    painter.restore();
}
