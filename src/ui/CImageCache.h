#pragma once
// The process-wide image cache: 2000 slots indexed by resource id (0..1999). A slot is filled from the
// resource library's PNG resources the first time its image is asked for and then kept until the cache is
// cleared (at exit). A request while the cache is disabled, or for an id of 2000 or more, yields a null
// image; a load that fails yields a null image and leaves the slot empty, so the next request tries again.
//
// Resource data is not trusted: the image header is read first and a picture with absurd dimensions is
// refused before anything is decoded, so a hostile PNG cannot make the program allocate gigabytes.
#include <QByteArray>
#include <QImage>

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

class CImageCache {
public:
    static constexpr uint32_t kSlotCount = 2000;
    // Largest width or height accepted, and the largest pixel count (width x height) accepted.
    static constexpr int kMaxSide = 8192;
    static constexpr qint64 kMaxPixels = qint64(24) * 1024 * 1024;

    // Gives the encoded bytes of a resource id; an empty array means "not found".
    using Loader = std::function<QByteArray(uint32_t id)>;

    CImageCache();
    CImageCache(const CImageCache&) = delete;
    CImageCache& operator=(const CImageCache&) = delete;

    static CImageCache& Instance();

    // The image of a resource id, loading it on first request; a null image when there is none.
    QImage GetImage(uint32_t id);
    bool GetImage(uint32_t id, QImage& image);
    // True when the slot holds an image (never loads).
    bool IsCached(uint32_t id) const;
    // Loads every id that is not cached yet; returns how many of `ids` are cached afterwards. An id that
    // fails is simply left empty.
    size_t Preload(const std::vector<uint32_t>& ids);

    // Frees every image; the enabled state is kept.
    void Clear();
    void Enable();
    void Disable();
    bool IsEnabled() const;
    // What the application does at exit: free every image and disable the cache.
    void Shutdown();

    // Replaces where the bytes come from (tests); a null loader restores the resource library.
    void SetLoader(Loader loader);

    // Decodes PNG or BMP bytes after checking the header's dimensions; null on any failure.
    static QImage Decode(const QByteArray& data);
    // Whether a picture of this size may be decoded at all.
    static bool IsAcceptableSize(const QSize& size);

private:
    QByteArray Load(uint32_t id) const;

    mutable std::mutex lock_;
    std::array<QImage, kSlotCount> slots_;
    bool enabled_ = false;
    Loader loader_;
};

// Makes the OEM information's built-in graphics come from the process-wide image cache. Called once at start.
void InstallImageCacheAsOEMImageSource();
