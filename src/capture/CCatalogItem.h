#pragma once
// What a gallery keeps about one file: where it is, what the tooltip says about it, and its thumbnail once
// the item has been drawn (dropped again when the gallery trims its cache).
#include <QImage>

#include <cstdint>
#include <string>

struct CCatalogItem {
    std::string path;
    // A tooltip of the item's own; empty when the tooltip is made from the file.
    std::string toolTip;
    // Last change of the file, in milliseconds since 1970-01-01 UTC.
    int64_t lastWriteTime = 0;
    int64_t size = 0;
    bool motionClip = false;
    // The thumbnail at the gallery's thumbnail size; null until the item is first drawn.
    QImage thumbnail;
};
