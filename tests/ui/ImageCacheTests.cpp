// The image cache: slot limits, loading on first request, retry after a failed load, and hostile image data.
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

QByteArray BigEndian(uint32_t value) {
    QByteArray out(4, '\0');
    qToBigEndian<uint32_t>(value, out.data());
    return out;
}

QByteArray Chunk(const char* type, const QByteArray& payload) {
    const QByteArray body = QByteArray(type) + payload;
    return BigEndian(static_cast<uint32_t>(payload.size())) + body + BigEndian(Crc32(body));
}

// A well-formed PNG header announcing a picture of the given size, with no picture data behind it.
QByteArray PngHeaderClaiming(uint32_t width, uint32_t height) {
    const QByteArray ihdr =
        BigEndian(width) + BigEndian(height) + QByteArray("\x08\x06\0\0\0", 5); // 8-bit RGBA
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

TEST_F(ImageCacheTest, SlotsLoadOnRequestFailuresAreRetriedAndSuccessesKept) {
    resources[0] = EncodePng(3, 2);
    resources[1999] = EncodePng(5, 4);
    resources[2000] = EncodePng(6, 6);
    EXPECT_EQ(cache.GetImage(0).size(), QSize(3, 2));
    EXPECT_EQ(cache.GetImage(1999).size(), QSize(5, 4));
    EXPECT_TRUE(cache.GetImage(2000).isNull());
    EXPECT_TRUE(cache.GetImage(UINT32_MAX).isNull());
    QImage image(1, 1, QImage::Format_RGB32);
    EXPECT_FALSE(cache.GetImage(12, image));
    EXPECT_EQ(image.size(), QSize(1, 1)) << "a failed request leaves the caller's image alone";
    resources[12] = QByteArray("not a picture");
    EXPECT_TRUE(cache.GetImage(12).isNull());
    resources[12] = EncodePng(4, 4);
    EXPECT_EQ(cache.GetImage(12).size(), QSize(4, 4));
    resources[12] = EncodePng(9, 9);
    EXPECT_EQ(cache.GetImage(12).size(), QSize(4, 4)) << "a changed resource is not read again";
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
