#include "capture/CCatalogMovieImage.h"

#include "capture/CCatalogImageChooser.h"
#include "capture/CMovieFrameReader.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

bool CCatalogMovieImage::Load(const std::string& path) {
    motionClip_ = CCatalogImageChooser::IsMotionClipPath(path);
    frame_ = CMovieFrameReader::ReadFirstFrame(path);
    return !frame_.isNull() && frame_.width() > 0 && frame_.height() > 0;
}

void CCatalogMovieImage::Draw(QPainter& painter, const QRect& target) const {
    if (frame_.isNull() || target.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(target, frame_.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    if (motionClip_)
        DrawMotionBadge(painter, BadgeRect(target));
    painter.restore();
}

QRect CCatalogMovieImage::BadgeRect(const QRect& target) {
    // A square in the lower left corner, a third of the shorter side (never below 10 pixels when the
    // picture has room for it), two pixels in from the edges.
    const int side = std::min(std::max(10, std::min(target.width(), target.height()) / 3),
                              std::min(target.width(), target.height()));
    const int inset = side + 4 <= std::min(target.width(), target.height()) ? 2 : 0;
    return QRect(target.left() + inset, target.bottom() - inset - side + 1, side, side);
}

void CCatalogMovieImage::DrawMotionBadge(QPainter& painter, const QRect& badge) {
    if (badge.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    // A dark rounded plate with a white figure in stride and three motion lines behind it.
    const QRectF plate = QRectF(badge).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(QColor(255, 255, 255, 220), 1.0));
    painter.setBrush(QColor(200, 40, 30, 230));
    painter.drawRoundedRect(plate, plate.width() / 5, plate.height() / 5);

    const qreal s = plate.width();
    const QPointF o = plate.topLeft();
    auto at = [&](qreal x, qreal y) { return o + QPointF(x * s, y * s); };
    QPen figure(Qt::white, std::max<qreal>(1.0, s / 10), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(figure);
    painter.setBrush(Qt::white);
    painter.drawEllipse(at(0.62, 0.22), s * 0.07, s * 0.07);
    painter.setBrush(Qt::NoBrush);
    QPainterPath body;
    body.moveTo(at(0.58, 0.34));
    body.lineTo(at(0.52, 0.58)); // torso
    body.lineTo(at(0.66, 0.70));
    body.lineTo(at(0.64, 0.86)); // front leg
    body.moveTo(at(0.52, 0.58));
    body.lineTo(at(0.42, 0.72));
    body.lineTo(at(0.32, 0.80)); // back leg
    body.moveTo(at(0.42, 0.44));
    body.lineTo(at(0.57, 0.40));
    body.lineTo(at(0.72, 0.50)); // arms
    painter.drawPath(body);
    QPen lines(QColor(255, 255, 255, 190), std::max<qreal>(1.0, s / 14), Qt::SolidLine, Qt::RoundCap);
    painter.setPen(lines);
    for (qreal y : {0.38, 0.50, 0.62})
        painter.drawLine(at(0.14, y), at(0.32, y));
    painter.restore();
}
