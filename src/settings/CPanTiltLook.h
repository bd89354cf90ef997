#pragma once
// How the pan and tilt pad looks: a background plate and each part in its normal, hover or pressed image,
// from the image cache (resource ids 240 to 255). Every part's image is drawn into that part's rectangle, so
// the images are made at the rectangles' sizes (twice that in pixels, for sharp high-density screens).
// Where an image is missing, the pad draws its own flat look with the toolkit's colours.
#include "settings/CPanTiltRegions.h"

#include <QImage>

#include <array>
#include <cstdint>

class QPainter;

class CPanTiltLook {
public:
    enum class PartLook { Normal, Hover, Pressed };
    static constexpr int kLookCount = 3;
    static constexpr uint32_t kBackgroundImageId = 240;
    // Left, right, up, down and centre follow with three images each: normal, hover, pressed (241 .. 255).
    static constexpr uint32_t kFirstPartImageId = 241;

    static uint32_t ImageId(PanTiltPart part, PartLook look);

    // Takes the images from the image cache (a null image where it has none).
    void Load();
    const QImage& Background() const { return background_; }
    const QImage& Image(PanTiltPart part, PartLook look) const;

    void PaintBackground(QPainter& painter, const QRect& rect) const;
    void PaintPart(QPainter& painter, PanTiltPart part, PartLook look) const;

private:
    static void PaintFallbackPart(QPainter& painter, PanTiltPart part, PartLook look);

    QImage background_;
    std::array<std::array<QImage, kLookCount>, CPanTiltRegions::kPartCount> parts_;
};
