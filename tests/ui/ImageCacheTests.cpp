// The image cache: slot limits, loading on first request, retry after a failed load, enabling, clearing,
// preloading, hostile image data and its use as the OEM information's source of built-in graphics.
#include "config/CVidoraOEMInfo.h"
#include "support/CTempEnvironment.h"
#include "ui/CImageCache.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QtEndian>

#include <map>

namespace {

QByteArray EncodePng(int width, int height, QColor color = Qt::green) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

uint32_t Crc32(const QByteArray& data) {
    uint32_t crc = 0xFFFFFFFFu;
    for (char ch : data) {
        crc ^= static_cast<uint8_t>(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray Chunk(const char* type, const QByteArray& payload) {
    QByteArray out(4, '\0');
    qToBigEndian<uint32_t>(static_cast<uint32_t>(payload.size()), out.data());
    QByteArray body = QByteArray(type) + payload;
    out += body;
    QByteArray crc(4, '\0');
    qToBigEndian<uint32_t>(Crc32(body), crc.data());
    return out + crc;
}

// A well-formed PNG header announcing a picture of the given size, with no picture data behind it.
QByteArray PngHeaderClaiming(uint32_t width, uint32_t height) {
    QByteArray ihdr(13, '\0');
    qToBigEndian<uint32_t>(width, ihdr.data());
    qToBigEndian<uint32_t>(height, ihdr.data() + 4);
    ihdr[8] = 8;                                                    // bit depth
    ihdr[9] = 6;                                                    // RGBA
    const QByteArray idat = qCompress(QByteArray(64, '\0')).mid(4); // a little zlib data, far too little
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", ihdr) + Chunk("IDAT", idat) + Chunk("IEND", {});
}

// A cache whose resources are a map of id -> bytes that a test may change between requests.
class ImageCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        cache.SetLoader([this](uint32_t id) {
            auto it = resources.find(id);
            return it != resources.end() ? it->second : QByteArray();
        });
        cache.Enable();
    }

    CImageCache cache;
    std::map<uint32_t, QByteArray> resources;
};

} // namespace

TEST_F(ImageCacheTest, FirstAndLastSlotsLoadAndIdsPastTheTableNeverDo) {
    resources[0] = EncodePng(3, 2);
    resources[1999] = EncodePng(5, 4);
    resources[2000] = EncodePng(6, 6);

    EXPECT_EQ(cache.GetImage(0).size(), QSize(3, 2));
    EXPECT_EQ(cache.GetImage(1999).size(), QSize(5, 4));
    EXPECT_TRUE(cache.GetImage(2000).isNull());
    EXPECT_TRUE(cache.GetImage(UINT32_MAX).isNull());
    EXPECT_FALSE(cache.IsCached(2000));
}

TEST_F(ImageCacheTest, AFailedLoadIsRetriedAtTheNextRequestAndASuccessfulOneIsKept) {
    QImage image(1, 1, QImage::Format_RGB32);
    EXPECT_FALSE(cache.GetImage(12, image));
    EXPECT_EQ(image.size(), QSize(1, 1)) << "a failed request leaves the caller's image alone";
    EXPECT_FALSE(cache.IsCached(12));

    resources[12] = QByteArray("not a picture");
    EXPECT_TRUE(cache.GetImage(12).isNull());

    resources[12] = EncodePng(4, 4);
    EXPECT_EQ(cache.GetImage(12).size(), QSize(4, 4));
    EXPECT_TRUE(cache.IsCached(12));
    // Once loaded the image is kept: a changed resource is not read again.
    resources[12] = EncodePng(9, 9);
    EXPECT_EQ(cache.GetImage(12).size(), QSize(4, 4));
}

// Preloading caches what loads and skips the rest; a disabled cache yields and preloads nothing but keeps
// what it holds.
TEST_F(ImageCacheTest, PreloadCachesWhatLoadsAndADisabledCacheYieldsNothingButKeepsWhatItHolds) {
    resources[5] = EncodePng(2, 3);
    resources[358] = EncodePng(1, 1);
    EXPECT_EQ(cache.Preload({5, 104, 358, 2500}), 2u);
    EXPECT_TRUE(cache.IsCached(5));
    EXPECT_FALSE(cache.IsCached(104));
    EXPECT_TRUE(cache.IsCached(358));
    cache.Disable();
    EXPECT_FALSE(cache.IsEnabled());
    EXPECT_TRUE(cache.GetImage(5).isNull());
    resources[6] = EncodePng(2, 3);
    EXPECT_TRUE(cache.GetImage(6).isNull());
    EXPECT_EQ(cache.Preload({6}), 0u);
    EXPECT_FALSE(cache.IsCached(6));
    resources[5] = EncodePng(7, 7);
    cache.Enable();
    EXPECT_EQ(cache.GetImage(5).size(), QSize(2, 3)) << "the image held before is still the one";
}

TEST_F(ImageCacheTest, ClearFreesEveryImageAndShutdownAlsoDisables) {
    resources[1] = EncodePng(1, 1);
    resources[1999] = EncodePng(1, 1);
    cache.GetImage(1);
    cache.GetImage(1999);
    resources[1] = EncodePng(2, 2);
    cache.Clear();
    EXPECT_FALSE(cache.IsCached(1));
    EXPECT_FALSE(cache.IsCached(1999));
    EXPECT_TRUE(cache.IsEnabled());
    EXPECT_EQ(cache.GetImage(1).size(), QSize(2, 2)) << "read afresh after clearing";

    cache.Shutdown();
    EXPECT_FALSE(cache.IsCached(1));
    EXPECT_FALSE(cache.IsEnabled());
    EXPECT_TRUE(cache.GetImage(1).isNull());
}

TEST(ImageCacheDecode, KeepsAGoodPictureUpToTheSideLimitAndRefusesAbsurdDimensionsAndDamagedOrForeignData) {
    const QImage image = CImageCache::Decode(EncodePng(CImageCache::kMaxSide, 2, Qt::magenta));
    ASSERT_EQ(image.size(), QSize(CImageCache::kMaxSide, 2));
    EXPECT_EQ(image.pixelColor(CImageCache::kMaxSide - 1, 1), QColor(Qt::magenta));
    EXPECT_TRUE(CImageCache::Decode(PngHeaderClaiming(100000, 100000)).isNull());
    EXPECT_TRUE(CImageCache::Decode(PngHeaderClaiming(CImageCache::kMaxSide + 1, 1)).isNull());
    // Each side acceptable, the area not.
    EXPECT_TRUE(CImageCache::Decode(PngHeaderClaiming(8000, 8000)).isNull());
    EXPECT_TRUE(CImageCache::Decode(PngHeaderClaiming(0, 10)).isNull());
    // Damaged and foreign data.
    EXPECT_TRUE(CImageCache::Decode({}).isNull());
    EXPECT_TRUE(CImageCache::Decode(QByteArray(64, '\xff')).isNull());
    QByteArray truncated = EncodePng(40, 40);
    truncated.truncate(truncated.size() / 2);
    EXPECT_TRUE(CImageCache::Decode(truncated).isNull());
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(image.save(&buffer, "JPEG"));
    EXPECT_TRUE(CImageCache::Decode(jpeg).isNull()) << "only PNG and BMP resources are images of the cache";
}

// Bitmaps written by other programs (padded rows, palettes, run-length coding) are images of the cache;
// decompression bombs in other formats are not.
TEST(ImageCacheDecode, ReadsForeignBitmapsAndRefusesForeignBombs) {
    VIDORA_REQUIRE_TEST_MEDIA();
    const std::pair<const char*, bool> samples[] = {
        {"bmp-24bit-127x64.bmp", true},
        {"bmp-32bit-127x64.bmp", true},
        {"bmp-8bit-palette-127x64.bmp", true},
        {"bmp-8bit-rle8-127x64.bmp", true},
        {"jpeg-bomb-65535x65535-186bytes.jpg", false},
        {"gif-malformed-frame-65535x65535-bomb.gif", false},
        {"gif-malformed-empty-loop-stall.gif", false},
    };
    for (const auto& [name, readable] : samples) {
        QFile file(QString::fromStdString(TestMediaDir() + "/" + name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        const QImage image = CImageCache::Decode(file.readAll());
        if (readable) {
            EXPECT_EQ(image.size(), QSize(127, 64)) << name;
        } else {
            EXPECT_TRUE(image.isNull()) << name;
        }
    }
}

// The process-wide cache reads the resource library, and the OEM information takes its built-in graphics
// from it.
TEST(ImageCacheOEM, TheOEMInformationTakesItsBuiltInGraphicsFromTheCache) {
    CTempEnvironment env;
    CImageCache& cache = CImageCache::Instance();
    const bool wasEnabled = cache.IsEnabled();
    InstallImageCacheAsOEMImageSource();

    CVidoraOEMInfo info;
    QImage image;
    cache.Disable();
    EXPECT_FALSE(info.GetGraphic("app_titlename.png", 1000, image));
    cache.Enable();
    ASSERT_TRUE(info.GetGraphic("app_titlename.png", 1000, image));
    EXPECT_GT(image.width(), image.height()) << "the title artwork";
    EXPECT_EQ(image, cache.GetImage(1000));
    EXPECT_TRUE(cache.GetImage(1099).isNull()) << "no resource behind this id";
    EXPECT_FALSE(info.GetGraphic("app_titlename.png", 2000, image));

    COEMInfo::SetImageSource(nullptr);
    if (!wasEnabled)
        cache.Disable();
}
