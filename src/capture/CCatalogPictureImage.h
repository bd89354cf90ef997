#pragma once
// A photo of the gallery (.jpg, .bmp, .gif; the first frame of an animated picture), shown upright when its
// EXIF orientation says it was taken rotated. The header is read first: a picture claiming absurd
// dimensions is refused before anything is decoded, so a crafted file cannot make the list allocate
// gigabytes. With a decode hint, JPEGs are decoded straight at the reduced size.
#include "capture/ICatalogImage.h"

#include <QImage>

class CCatalogPictureImage : public ICatalogImage {
public:
    // Largest width or height, and largest pixel count, decoded at full size.
    static constexpr int kMaxSide = 16384;
    static constexpr qint64 kMaxPixels = qint64(64) * 1024 * 1024;

    bool Load(const std::string& path) override;
    QSize GetSize() const override { return size_; }
    void Draw(QPainter& painter, const QRect& target) const override;

    // The decoded picture (possibly smaller than GetSize() when a decode hint was given).
    const QImage& Image() const { return image_; }

    static bool IsAcceptableSize(const QSize& size);
    // The size to decode at so that the picture, fitted into `hint` keeping its proportions, loses nothing:
    // `size` itself when it already fits or no hint is given.
    static QSize DecodeSizeFor(const QSize& size, const QSize& hint);

private:
    QSize size_;
    QImage image_;
};
