#pragma once
// A picture or movie file as the gallery list sees it: loaded once from a path, then asked for its size and
// drawn into a rectangle (the thumbnail builder and the printing code both draw through this).
#include <QRect>
#include <QSize>

#include <string>

class QPainter;

class ICatalogImage {
public:
    virtual ~ICatalogImage() = default;

    // Reads the file; false when it cannot be read or decoded, or has no width or height.
    virtual bool Load(const std::string& path) = 0;
    // The size of the loaded image as it is shown (an EXIF-rotated photo reports its upright size); empty
    // before a successful load.
    virtual QSize GetSize() const = 0;
    // Stretches the loaded image into `target`; draws nothing before a successful load.
    virtual void Draw(QPainter& painter, const QRect& target) const = 0;

    // A hint given before Load: the image will only ever be drawn at most this large, so a loader may decode
    // at a reduced size. An empty size (the default) asks for the full picture.
    void SetDecodeHint(const QSize& maxSize) { decodeHint_ = maxSize; }
    QSize DecodeHint() const { return decodeHint_; }

private:
    QSize decodeHint_;
};
