#pragma once
// The picture the gallery shows for an item: white, the image fitted in keeping its proportions and
// centred (a small image keeps its own size rather than being blown up), and a one-pixel grey frame.
#include <QImage>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <string>

class ICatalogImage;

class CCatalogThumbnail {
public:
    static constexpr uint32_t kFrameColour = 0x868686;

    // Where an image of `image` size goes in a thumbnail of `thumbnail` size.
    static QRect FitRect(const QSize& image, const QSize& thumbnail);
    // A thumbnail of a loaded image.
    static QImage Build(const ICatalogImage& image, const QSize& thumbnail);
    // A thumbnail of a picture already at (or near) its shown size, such as an animation frame; a null
    // picture gives the empty white frame.
    static QImage Compose(const QImage& picture, const QSize& shownSize, const QSize& thumbnail);
    // A thumbnail of a file; null when no loader reads it.
    static QImage FromFile(const std::string& path, const QSize& thumbnail);
    // The white frame drawn for an item whose file gives no picture.
    static QImage Empty(const QSize& thumbnail);
};
