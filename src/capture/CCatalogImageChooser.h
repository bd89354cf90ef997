#pragma once
// Which loader reads a gallery file, by its extension (case is ignored): pictures first, then movies. Any
// other extension has no loader, and the file gets no thumbnail.
#include "capture/ICatalogImage.h"

#include <memory>
#include <string>

class CCatalogImageChooser {
public:
    enum class Kind { None, Picture, Movie };

    static Kind KindOf(const std::string& path);
    // A fresh, unloaded loader for the path's kind; null for other files.
    static std::unique_ptr<ICatalogImage> Create(const std::string& path);
    // A loader that has read the file already; null when there is none or the load failed.
    static std::unique_ptr<ICatalogImage> Open(const std::string& path, const QSize& decodeHint = QSize());
    // Whether the path names a motion clip: its lower-cased form contains "/motion " (the clips are named
    // "Motion <n>.wmv" by the motion capture).
    static bool IsMotionClipPath(const std::string& path);
};
