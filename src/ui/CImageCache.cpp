#include "ui/CImageCache.h"

#include "config/COEMInfo.h"
#include "platform/CResourceLibrary.h"

#include <QBuffer>
#include <QImageReader>

CImageCache::CImageCache() = default;

CImageCache& CImageCache::Instance() {
    static CImageCache cache;
    return cache;
}

QByteArray CImageCache::Load(uint32_t id) const {
    if (loader_)
        return loader_(id);
    return CResourceLibrary::Instance().GetData(ResourceType::Png, id);
}

bool CImageCache::IsAcceptableSize(const QSize& size) {
    return size.isValid() && size.width() > 0 && size.height() > 0 && size.width() <= kMaxSide &&
           size.height() <= kMaxSide && qint64(size.width()) * size.height() <= kMaxPixels;
}

QImage CImageCache::Decode(const QByteArray& data) {
    if (data.isEmpty())
        return {};
    QByteArray bytes = data; // QBuffer wants a non-const array; this is a shallow copy
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format().toLower();
    if (format != "png" && format != "bmp")
        return {};
    // The header alone tells the size; refuse before the decoder allocates anything.
    if (!IsAcceptableSize(reader.size()))
        return {};
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return {};
    return image;
}

QImage CImageCache::GetImage(uint32_t id) {
    QImage image;
    GetImage(id, image);
    return image;
}

bool CImageCache::GetImage(uint32_t id, QImage& image) {
    std::lock_guard guard(lock_);
    if (!enabled_ || id >= kSlotCount)
        return false;
    QImage& slot = slots_[id];
    if (slot.isNull())
        slot = Decode(Load(id));
    if (slot.isNull())
        return false;
    image = slot;
    return true;
}

bool CImageCache::IsCached(uint32_t id) const {
    std::lock_guard guard(lock_);
    return id < kSlotCount && !slots_[id].isNull();
}

size_t CImageCache::Preload(const std::vector<uint32_t>& ids) {
    size_t cached = 0;
    QImage unused;
    for (uint32_t id : ids) {
        if (GetImage(id, unused))
            ++cached;
    }
    return cached;
}

void CImageCache::Clear() {
    std::lock_guard guard(lock_);
    for (QImage& slot : slots_)
        slot = QImage();
}

void CImageCache::Enable() {
    std::lock_guard guard(lock_);
    enabled_ = true;
}

void CImageCache::Disable() {
    std::lock_guard guard(lock_);
    enabled_ = false;
}

bool CImageCache::IsEnabled() const {
    std::lock_guard guard(lock_);
    return enabled_;
}

void CImageCache::Shutdown() {
    Clear();
    Disable();
}

void CImageCache::SetLoader(Loader loader) {
    std::lock_guard guard(lock_);
    loader_ = std::move(loader);
}

void InstallImageCacheAsOEMImageSource() {
    COEMInfo::SetImageSource([](uint32_t resourceId, QImage& image) {
        return CImageCache::Instance().GetImage(resourceId, image);
    });
}
