// The gallery's loaders, thumbnails and animations on real files made by other software, the background
// thumbnail loader with a builder the test holds back, and the tooltip texts.
#include "capture/CAnimatedImage.h"
#include "capture/CCatalogImageChooser.h"
#include "capture/CCatalogPictureImage.h"
#include "capture/CCatalogThumbnail.h"
#include "capture/CCatalogToolTipText.h"
#include "capture/CThumbnailLoader.h"
#include "support/CFakeClock.h"
#include "support/CTempEnvironment.h"
#include "support/EventPump.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QThread>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>
#include <set>

namespace {

const QSize kThumb(100, 75);
const QRgb kGrey = 0xFF868686;
const QRgb kWhite = 0xFFFFFFFF;

const auto Media = [](const char* name) { return TestMediaDir() + "/" + name; };

TEST(CatalogThumbnail, FitKeepsProportionsCentresAndNeverEnlarges) {
    // The last but one: a sliver stays one pixel high.
    const std::pair<QSize, QRect> rows[] = {{{200, 150}, {0, 0, 100, 75}},   {{1800, 1200}, {0, 4, 100, 67}},
                                            {{1200, 1800}, {25, 0, 50, 75}}, {{50, 20}, {25, 27, 50, 20}},
                                            {{5000, 1}, {0, 37, 100, 1}},    {{0, 10}, {}}};
    for (const auto& [image, expected] : rows)
        EXPECT_EQ(CCatalogThumbnail::FitRect(image, kThumb), expected)
            << image.width() << "x" << image.height();
}

void ExpectFramed(const QImage& thumb, const std::string& what) {
    ASSERT_EQ(thumb.size(), kThumb) << what;
    for (QPoint p :
         {QPoint(0, 0), QPoint(99, 0), QPoint(0, 74), QPoint(99, 74), QPoint(50, 0), QPoint(0, 37)})
        EXPECT_EQ(thumb.pixel(p), kGrey) << what << " at " << p.x() << "," << p.y();
}

TEST(CatalogPictureImage, RefusesAbsurdSizesBeforeDecoding) {
    // 16000 x 16000 is too many pixels.
    const std::pair<QSize, bool> rows[] = {{{4000, 3000}, true},    {{16384, 100}, true},
                                           {{16385, 100}, false},   {{16000, 16000}, false},
                                           {{65535, 65535}, false}, {{0, 10}, false}};
    for (const auto& [size, acceptable] : rows)
        EXPECT_EQ(CCatalogPictureImage::IsAcceptableSize(size), acceptable)
            << size.width() << "x" << size.height();
}

// Real files with the size each one is shown at (portrait EXIF photos upright, a truncated JPEG with what
// arrived, a movie whose sound cannot be decoded with its picture); an empty size: the file must not load.
const std::pair<const char*, QSize> kMedia[] = {
    {"jpeg-baseline-420-227x149-ijg.jpg", {227, 149}},
    {"jpeg-progressive-444-512x512.jpg", {512, 512}},
    {"jpeg-exif-orientation6-1200x1800.jpg", {1800, 1200}},
    {"jpeg-exif-orientation8-1800x1200.jpg", {1200, 1800}},
    {"jpeg-cmyk-adobe-256x256.jpg", {256, 256}},
    {"jpeg-grayscale-512x512.jpg", {512, 512}},
    {"jpeg-arithmetic-sof9-227x149.jpg", {227, 149}},
    {"jpeg-truncated-progressive-100x100-noeoi.jpg", {100, 100}},
    {"jpeg-12bit-sof1-149x227.jpg", {}},
    {"jpeg-bomb-65535x65535-186bytes.jpg", {}},
    {"gif-anim-31frames-100ms-320x240.gif", {320, 240}},
    {"gif-anim-259frames-zero-delay-1000x175.gif", {1000, 175}},
    {"gif-anim-2frames-10ms-then-100s-delay.gif", {100, 50}},
    {"gif-single-frame-128x128.gif", {128, 128}},
    {"gif-malformed-frame-65535x65535-bomb.gif", {}},
    {"gif-malformed-empty-loop-stall.gif", {}},
    {"bmp-24bit-127x64.bmp", {127, 64}},
    {"bmp-8bit-palette-127x64.bmp", {127, 64}},
    {"bmp-32bit-127x64.bmp", {127, 64}},
    {"bmp-8bit-rle8-127x64.bmp", {127, 64}},
    {"wmv3-wma2-320x240-moviemaker21.wmv", {320, 240}},
    {"wmv1-wma2-160x120-wmfsdk7.wmv", {160, 120}},
    {"vc1adv-wmapro-512x288-wmfsdk12.wmv", {512, 288}},
    {"wmv2-wmavoice-160x112-wmfsdk9.wmv", {160, 112}},
    {"wmv2-wma2-640x356-ffmpeg-lavf56.asf", {640, 356}},
    {"broken-headeronly-wvp2-wma-photostory3.wmv", {}},
};

TEST(CatalogThumbnail, EveryMediaFileGivesAFramedThumbnailOrNone) {
    VIDORA_REQUIRE_TEST_MEDIA();
    const QImage empty = CCatalogThumbnail::Empty(kThumb);
    ExpectFramed(empty, "empty");
    EXPECT_EQ(empty.pixel(50, 37), kWhite);
    for (const auto& [name, size] : kMedia) {
        std::unique_ptr<ICatalogImage> image = CCatalogImageChooser::Open(Media(name), kThumb);
        EXPECT_EQ(image ? image->GetSize() : QSize(), size) << name;
        const QImage thumb = image ? CCatalogThumbnail::Build(*image, kThumb) : QImage();
        if (size.isEmpty()) {
            EXPECT_TRUE(thumb.isNull()) << name;
            continue;
        }
        ExpectFramed(thumb, name);
        // The picture is there: a good part of the area it was fitted into is not the white background.
        const QRect area = CCatalogThumbnail::FitRect(size, kThumb).adjusted(1, 1, -1, -1);
        int coloured = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                coloured += thumb.pixel(x, y) != kWhite ? 1 : 0;
        EXPECT_GT(coloured, area.width() * area.height() / 10) << name;
    }
    // A landscape-shown portrait photo leaves white bands above and below, not at the sides.
    const QImage turned = CCatalogThumbnail::FromFile(Media("jpeg-exif-orientation6-1200x1800.jpg"), kThumb);
    EXPECT_EQ(turned.pixel(50, 2), kWhite);
    EXPECT_NE(turned.pixel(2, 37), kWhite);
    for (const char* none : {"MANIFEST.md", "no such picture.jpg", "no such movie.wmv"})
        EXPECT_TRUE(CCatalogThumbnail::FromFile(Media(none), kThumb).isNull()) << none;
}

// A negative delay counts as 0 and one above a second as 30 ms; frames change after more than their delay.
TEST(CatalogAnimatedImage, FramesChangeAfterTheirDelayAndWrap) {
    for (const auto& [given, used] : {std::pair{-5, 0}, {0, 0}, {1000, 1000}, {1001, 30}, {20000, 30}})
        EXPECT_EQ(CAnimatedImage::NormalizeDelay(given), used) << given;
    VIDORA_REQUIRE_TEST_MEDIA();
    CFakeClock clock;
    CAnimatedImage image(clock);
    ASSERT_TRUE(image.Load(Media("gif-anim-2frames-10ms-then-100s-delay.gif"), kThumb));
    ASSERT_EQ(image.FrameCount(), 2);
    EXPECT_EQ(image.CurrentImage().size(), QSize(100, 50));
    for (const auto& [after, frame] : {std::pair{image.FrameDelay(0), 0}, {1, 1}, {30, 1}, {1, 0}}) {
        clock.Advance(static_cast<uint32_t>(after));
        image.Advance();
        EXPECT_EQ(image.CurrentFrame(), frame) << clock.GetTickCount();
    }
}

TEST(CatalogAnimatedImage, StillAndBrokenPicturesDoNotAnimate) {
    VIDORA_REQUIRE_TEST_MEDIA();
    CFakeClock clock;
    for (const char* still : {"gif-single-frame-128x128.gif", "jpeg-baseline-420-227x149-ijg.jpg"}) {
        CAnimatedImage image(clock);
        EXPECT_TRUE(image.Load(Media(still), kThumb)) << still;
        clock.Advance(5000);
        EXPECT_FALSE(image.IsAnimated() || image.Advance()) << still;
    }
    for (const char* broken :
         {"gif-malformed-frame-65535x65535-bomb.gif", "gif-malformed-empty-loop-stall.gif"}) {
        CAnimatedImage image(clock);
        EXPECT_FALSE(image.Load(Media(broken), kThumb) || image.IsAnimated()) << broken;
    }
}

// Builds that wait until the test lets them go, recording what was started and on which thread.
struct Held {
    std::mutex mutex;
    std::condition_variable cv;
    int permits = 0;
    std::vector<std::string> started;
    bool offTheCallersThread = true;
    ~Held() {
        Release(1000);
        CThumbnailLoader::WaitForWorkers(15000);
    }
    CThumbnailLoader::Builder Builder() {
        return [this](const std::string& path, const QSize& size) {
            std::unique_lock<std::mutex> lock(mutex);
            started.push_back(path);
            offTheCallersThread &= QThread::currentThread() != QCoreApplication::instance()->thread();
            cv.wait_for(lock, std::chrono::seconds(10), [&] { return permits > 0; });
            --permits;
            QImage image(size, QImage::Format_RGB32);
            image.fill(Qt::green);
            return image;
        };
    }
    void Release(int count) {
        const std::lock_guard<std::mutex> lock(mutex);
        permits += count;
        cv.notify_all();
    }
    std::vector<std::string> Started() {
        const std::lock_guard<std::mutex> lock(mutex);
        return started;
    }
};

using Delivered = std::vector<std::pair<std::string, bool>>; // path, whether a picture came

CThumbnailLoader::ResultHandler Into(Delivered& delivered) {
    return [&delivered](const std::string& path, const QSize& size, const QImage& image) {
        EXPECT_EQ(size, kThumb);
        delivered.emplace_back(path, !image.isNull());
    };
}

TEST(ThumbnailLoader, CancelledAndNoLongerWantedRequestsAreDroppedOrIgnored) {
    Held held;
    Delivered delivered;
    std::set<std::string> shown = {"a", "b", "c", "d", "e"};
    CThumbnailLoader loader(held.Builder());
    loader.SetResultHandler(Into(delivered));
    loader.SetWantedCheck([&](const std::string& path) { return shown.count(path) != 0; });
    for (const char* path : {"a", "b", "c", "d", "e"})
        loader.Request(path, kThumb);
    ASSERT_TRUE(PumpUntil([&] { return held.Started().size() == 2; }));
    loader.Cancel("a"); // running: its result is thrown away, and its place goes to "e"
    loader.Cancel("c"); // queued: dropped
    shown.erase("d");   // scrolled away before its turn
    held.Release(10);
    ASSERT_TRUE(PumpUntil([&] { return loader.PendingCount() == 0; }));
    ASSERT_TRUE(CThumbnailLoader::WaitForWorkers(10000));
    DrainEvents();
    std::vector<std::string> started = held.Started();
    std::sort(started.begin(), started.end());
    EXPECT_EQ(started, (std::vector<std::string>{"a", "b", "e"}));
    std::sort(delivered.begin(), delivered.end());
    EXPECT_EQ(delivered, (Delivered{{"b", true}, {"e", true}}));
    EXPECT_TRUE(held.offTheCallersThread);
    // The queue keeps the newest requests only; cancelling everything drops it and running builds' results.
    delivered.clear();
    loader.SetWantedCheck({});
    for (int i = 0; i < 2 + CThumbnailLoader::kMaxQueued + 10; ++i)
        loader.Request(std::to_string(i), kThumb);
    EXPECT_EQ(loader.PendingCount(), 2 + CThumbnailLoader::kMaxQueued);
    EXPECT_TRUE(loader.IsPending("0") && !loader.IsPending("11") && loader.IsPending("12"));
    loader.CancelAll();
    EXPECT_EQ(loader.PendingCount(), 0);
    held.Release(10);
    ASSERT_TRUE(CThumbnailLoader::WaitForWorkers(10000));
    DrainEvents();
    EXPECT_TRUE(delivered.empty());
}

TEST(ThumbnailLoader, ALoaderDestroyedWhileBuildingIsNeverCalledBack) {
    Held held;
    auto delivered = std::make_shared<bool>(false);
    auto loader = std::make_unique<CThumbnailLoader>(held.Builder());
    loader->SetResultHandler(
        [delivered](const std::string&, const QSize&, const QImage&) { *delivered = true; });
    loader->Request("a", kThumb);
    ASSERT_TRUE(PumpUntil([&] { return held.Started().size() == 1; }));
    loader.reset();
    held.Release(1);
    ASSERT_TRUE(CThumbnailLoader::WaitForWorkers(10000));
    DrainEvents();
    EXPECT_FALSE(*delivered);
}

// The tooltip: sizes truncated to two decimals in the largest unit (at least 1 KB, whole from 100 on), the
// local date, the kind of capture.
TEST(CatalogToolTipText, FourLinesWithTheSizeTruncatedAndTheLocalDate) {
    using T = CCatalogToolTipText;
    constexpr int64_t KiB = 1024, MiB = 1024 * KiB, GiB = 1024 * MiB;
    for (const auto& [size, text] : {std::pair{int64_t(0), "1 kb"},
                                     {2 * KiB - 1, "1.99 kb"},
                                     {KiB + 512, "1.50 kb"},
                                     {100 * KiB + 900, "100 kb"},
                                     {GiB - 1, "1023.99 mb"}})
        EXPECT_EQ(T::SizeText(size, "kb", "mb", "gb"), text) << size;
    const char* old = std::getenv("TZ");
    const std::string saved = old != nullptr ? old : "";
    auto zone = [](const char* name) { setenv("TZ", name, 1), tzset(); };
    auto utc = [](int year, int month, int day, int hour) {
        return QDateTime(QDate(year, month, day), QTime(hour, 30), QTimeZone::utc()).toMSecsSinceEpoch();
    };
    zone("Asia/Tokyo");
    EXPECT_EQ(T::DateText(utc(2026, 12, 7, 23)), "12/8/2026");
    zone("America/New_York");
    EXPECT_EQ(T::DateText(utc(2026, 12, 7, 23)), "12/7/2026");
    EXPECT_EQ(T::DateText(utc(2000, 1, 1, 3)), "12/31/1999");
    EXPECT_EQ(T::Build("/home/u/Videos/Motion 4.wmv", utc(2026, 3, 9, 10), 3 * MiB + MiB / 3),
              "Motion 4.wmv\nType: Motion clip\nDate taken: 3/9/2026\nSize: 3.33 MB");
    EXPECT_EQ(T::Build("/home/u/Videos/my.clip.asf", utc(2026, 1, 1, 8), GiB + GiB / 4),
              "my.clip.asf\nType: Video\nDate taken: 1/1/2026\nSize: 1.25 GB");
    old != nullptr ? setenv("TZ", saved.c_str(), 1) : unsetenv("TZ");
    tzset();
}

} // namespace
