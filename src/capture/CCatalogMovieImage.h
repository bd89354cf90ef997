#pragma once
// A movie of the gallery (.wmv, .asf): its first video frame, with a badge over it when the movie is a
// motion clip (its path names a "Motion <n>" file).
#include "capture/ICatalogImage.h"

#include <QImage>

class CCatalogMovieImage : public ICatalogImage {
public:
    bool Load(const std::string& path) override;
    QSize GetSize() const override { return frame_.isNull() ? QSize() : frame_.size(); }
    void Draw(QPainter& painter, const QRect& target) const override;

    bool IsMotionClip() const { return motionClip_; }
    const QImage& Frame() const { return frame_; }

    // The badge drawn in the corner of a motion clip's picture, sized for a target rectangle.
    static QRect BadgeRect(const QRect& target);
    static void DrawMotionBadge(QPainter& painter, const QRect& badge);

private:
    QImage frame_;
    bool motionClip_ = false;
};
