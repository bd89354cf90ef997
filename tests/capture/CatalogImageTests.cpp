// The gallery's loaders, thumbnails and animations on real files made by other software: every picture and
// movie either gives an upright thumbnail of the right size or none, and nothing hostile gets decoded. The
// background thumbnail loader with a builder the test holds back.
#include "capture/CAnimatedImage.h"
#include "capture/CCatalogImageChooser.h"
#include "capture/CCatalogMovieImage.h"
#include "capture/CCatalogPictureImage.h"
#include "capture/CCatalogThumbnail.h"
#include "capture/CThumbnailLoader.h"
#include "support/CFakeClock.h"
#include "support/CTempEnvironment.h"
#include "support/EventPump.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>

namespace {

const QSize kThumb(100, 75);
const QRgb kGrey = 0xFF868686;
const QRgb kWhite = 0xFFFFFFFF;

std::string Media(const char* name) {
    return TestMediaDir() + "/" + name;
}

TEST(CatalogImageChooser, LoaderByExtensionIgnoringCase) {
    using K = CCatalogImageChooser::Kind;
    const std::pair<const char*, K> rows[] = {
        {"/a/Picture 1.jpg", K::Picture}, {"/a/P.JPG", K::Picture},   {"/a/p.bmp", K::Picture},
        {"/a/p.GiF", K::Picture},         {"/a/v.wmv", K::Movie},     {"/a/v.ASF", K::Movie},
        {"/a/p.jpeg", K::None},           {"/a/p.png", K::None},      {"/a/jpg", K::None},
        {"/a/v.wmv.txt", K::None},        {"/a.jpg/readme", K::None},
    };
    for (const auto& [path, kind] : rows) {
        EXPECT_EQ(CCatalogImageChooser::KindOf(path), kind) << path;
        EXPECT_EQ(CCatalogImageChooser::Create(path) != nullptr, kind != K::None) << path;
    }
    EXPECT_TRUE(CCatalogImageChooser::IsMotionClipPath("/v/MOTION 2.wmv"));
    EXPECT_FALSE(CCatalogImageChooser::IsMotionClipPath("/v/Motion2.wmv"));
    EXPECT_FALSE(CCatalogImageChooser::IsMotionClipPath("Motion 2.wmv")) << "the name must follow a folder";
}

TEST(CatalogThumbnail, FitKeepsProportionsCentresAndNeverEnlarges) {
    struct Row {
        QSize image;
        QRect expected;
    };
    const Row rows[] = {
        {{200, 150}, {0, 0, 100, 75}},
        {{1800, 1200}, {0, 4, 100, 67}},
        {{1200, 1800}, {25, 0, 50, 75}},
        {{50, 20}, {25, 27, 50, 20}},
        {{100, 75}, {0, 0, 100, 75}},
        {{5000, 1}, {0, 37, 100, 1}}, // a sliver stays one pixel high
        {{0, 10}, {}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(CCatalogThumbnail::FitRect(r.image, kThumb), r.expected)
            << r.image.width() << "x" << r.image.height();
}

void ExpectFramed(const QImage& thumb, const std::string& what) {
    ASSERT_EQ(thumb.size(), kThumb) << what;
    for (QPoint p :
         {QPoint(0, 0), QPoint(99, 0), QPoint(0, 74), QPoint(99, 74), QPoint(50, 0), QPoint(0, 37)})
        EXPECT_EQ(thumb.pixel(p), kGrey) << what << " at " << p.x() << "," << p.y();
}

TEST(CatalogThumbnail, PicturesAreFittedOnWhiteInAGreyFrame) {
    const QImage empty = CCatalogThumbnail::Empty(kThumb);
    ExpectFramed(empty, "empty");
    EXPECT_EQ(empty.pixel(50, 37), kWhite);

    QImage red(40, 20, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QImage small = CCatalogThumbnail::Compose(red, red.size(), kThumb);
    ExpectFramed(small, "small");
    EXPECT_EQ(small.pixel(30, 28), qRgb(255, 0, 0));
    EXPECT_EQ(small.pixel(29, 37), kWhite) << "a small picture is not blown up";

    QImage wide(400, 100, QImage::Format_RGB32);
    wide.fill(Qt::blue);
    const QImage fitted = CCatalogThumbnail::Compose(wide, wide.size(), kThumb);
    for (const auto& [y, colour] :
         {std::pair{24, kWhite}, {25, qRgb(0, 0, 255)}, {49, qRgb(0, 0, 255)}, {50, kWhite}})
        EXPECT_EQ(fitted.pixel(50, y), colour) << y;
    EXPECT_EQ(fitted.pixel(1, 37), qRgb(0, 0, 255)) << "full width";
}

TEST(CatalogPictureImage, RefusesAbsurdSizesBeforeDecoding) {
    const std::pair<QSize, bool> rows[] = {
        {{4000, 3000}, true},    {{16384, 100}, true},    {{16385, 100}, false},
        {{65535, 65535}, false}, {{16000, 16000}, false}, // too many pixels
        {{0, 10}, false},        {{-1, -1}, false},
    };
    for (const auto& [size, acceptable] : rows)
        EXPECT_EQ(CCatalogPictureImage::IsAcceptableSize(size), acceptable)
            << size.width() << "x" << size.height();
}

struct MediaCase {
    const char* name;
    QSize size; // empty: the file must not load
};

const MediaCase kPictures[] = {
    {"jpeg-baseline-420-227x149-ijg.jpg", {227, 149}},
    {"jpeg-progressive-444-512x512.jpg", {512, 512}},
    {"jpeg-exif-orientation6-1200x1800.jpg", {1800, 1200}}, // shown upright
    {"jpeg-exif-orientation8-1800x1200.jpg", {1200, 1800}},
    {"jpeg-cmyk-adobe-256x256.jpg", {256, 256}},
    {"jpeg-grayscale-512x512.jpg", {512, 512}},
    {"jpeg-arithmetic-sof9-227x149.jpg", {227, 149}},
    {"jpeg-truncated-progressive-100x100-noeoi.jpg", {100, 100}}, // what arrived is shown
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
};

const MediaCase kMovies[] = {
    {"wmv3-wma2-320x240-moviemaker21.wmv", {320, 240}},
    {"wmv1-wma2-160x120-wmfsdk7.wmv", {160, 120}},
    {"vc1adv-wmapro-512x288-wmfsdk12.wmv", {512, 288}},
    {"wmv2-wmavoice-160x112-wmfsdk9.wmv", {160, 112}}, // its sound cannot be decoded; the picture can
    {"wmv2-wma2-640x356-ffmpeg-lavf56.asf", {640, 356}},
    {"broken-headeronly-wvp2-wma-photostory3.wmv", {}},
};

TEST(CatalogPictureImage, AHintDecodesSmallAndStillUpright) {
    VIDORA_REQUIRE_TEST_MEDIA();
    const std::tuple<const char*, QSize, QSize> rows[] = {
        {"jpeg-exif-orientation6-1200x1800.jpg", kThumb, {100, 67}},
        {"jpeg-exif-orientation8-1800x1200.jpg", kThumb, {50, 75}},
        {"bmp-24bit-127x64.bmp", {1000, 1000}, {127, 64}}, // never enlarged
    };
    for (const auto& [name, hint, decoded] : rows) {
        CCatalogPictureImage image;
        image.SetDecodeHint(hint);
        ASSERT_TRUE(image.Load(Media(name))) << name;
        EXPECT_EQ(image.Image().size(), decoded) << name;
    }
}

TEST(CatalogMovieImage, MotionClipsWearABadge) {
    VIDORA_REQUIRE_TEST_MEDIA();
    CTempEnvironment env;
    const std::string clip = env.Path("Motion 1.wmv");
    const std::string plain = env.Path("Motion1.wmv");
    for (const std::string& link : {clip, plain})
        ASSERT_TRUE(QFile::link(QString::fromStdString(Media("wmv3-wma2-320x240-moviemaker21.wmv")),
                                QString::fromStdString(link)));
    CCatalogMovieImage motion, movie;
    ASSERT_TRUE(motion.Load(clip) && movie.Load(plain));
    EXPECT_TRUE(motion.IsMotionClip() && !movie.IsMotionClip());
    const QImage withBadge = CCatalogThumbnail::Build(motion, kThumb);
    const QImage without = CCatalogThumbnail::Build(movie, kThumb);
    const QRect badge = CCatalogMovieImage::BadgeRect(CCatalogThumbnail::FitRect(motion.GetSize(), kThumb));
    ASSERT_FALSE(badge.isEmpty());
    EXPECT_NE(withBadge.copy(badge), without.copy(badge));
    EXPECT_EQ(withBadge.copy(badge.right() + 2, 0, 100 - badge.right() - 2, 75),
              without.copy(badge.right() + 2, 0, 100 - badge.right() - 2, 75))
        << "the badge covers only its corner";
}

TEST(CatalogThumbnail, EveryMediaFileGivesAFramedThumbnailOrNone) {
    VIDORA_REQUIRE_TEST_MEDIA();
    std::vector<MediaCase> all(std::begin(kPictures), std::end(kPictures));
    all.insert(all.end(), std::begin(kMovies), std::end(kMovies));
    for (const MediaCase& c : all) {
        // Pictures are upright, movies give their first frame; hostile files are refused.
        std::unique_ptr<ICatalogImage> image = CCatalogImageChooser::Open(Media(c.name), kThumb);
        EXPECT_EQ(image ? image->GetSize() : QSize(), c.size) << c.name;
        const QImage thumb = image ? CCatalogThumbnail::Build(*image, kThumb) : QImage();
        if (c.size.isEmpty()) {
            EXPECT_TRUE(thumb.isNull()) << c.name;
            continue;
        }
        ExpectFramed(thumb, c.name);
        // The picture is there: a good part of the area it was fitted into is not the white background.
        const QRect area = CCatalogThumbnail::FitRect(c.size, kThumb).adjusted(1, 1, -1, -1);
        int coloured = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                coloured += thumb.pixel(x, y) != kWhite ? 1 : 0;
        EXPECT_GT(coloured, area.width() * area.height() / 10) << c.name;
    }
    // A landscape-shown portrait photo leaves white bands above and below, not at the sides.
    const QImage turned = CCatalogThumbnail::FromFile(Media("jpeg-exif-orientation6-1200x1800.jpg"), kThumb);
    EXPECT_EQ(turned.pixel(50, 2), kWhite);
    EXPECT_NE(turned.pixel(2, 37), kWhite);
    for (const char* none : {"MANIFEST.md", "no such picture.jpg", "no such movie.wmv"})
        EXPECT_TRUE(CCatalogThumbnail::FromFile(Media(none), kThumb).isNull()) << none;
}

TEST(CatalogAnimatedImage, DelayRules) {
    const std::pair<int, int> rows[] = {{-5, 0},      {0, 0},     {30, 30},   {100, 100},
                                        {1000, 1000}, {1001, 30}, {20000, 30}};
    for (const auto& [given, used] : rows)
        EXPECT_EQ(CAnimatedImage::NormalizeDelay(given), used) << given;
}

TEST(CatalogAnimatedImage, FramesChangeAfterTheirDelayAndWrap) {
    VIDORA_REQUIRE_TEST_MEDIA();
    CFakeClock clock;
    clock.SetTickCount(5000);
    CAnimatedImage image(clock);
    ASSERT_TRUE(image.Load(Media("gif-anim-2frames-10ms-then-100s-delay.gif"), kThumb));
    ASSERT_TRUE(image.IsAnimated());
    EXPECT_EQ(image.FrameCount(), 2);
    EXPECT_EQ(image.CurrentFrame(), 0);
    EXPECT_EQ(image.LastChangeTick(), 5000u);
    EXPECT_EQ(image.CurrentImage().size(), QSize(100, 50));
    const int first = image.FrameDelay(0);
    ASSERT_GE(first, 0);
    EXPECT_EQ(image.FrameDelay(1), -1) << "not decoded yet";

    clock.Advance(static_cast<uint32_t>(first));
    EXPECT_FALSE(image.Advance()) << "only after more than the delay";
    clock.Advance(1);
    ASSERT_TRUE(image.Advance());
    EXPECT_EQ(image.CurrentFrame(), 1);
    EXPECT_EQ(image.FrameDelay(1), 30) << "a 100 s pause plays at 30 ms";
    clock.Advance(30);
    EXPECT_FALSE(image.Advance());
    clock.Advance(1);
    ASSERT_TRUE(image.Advance());
    EXPECT_EQ(image.CurrentFrame(), 0) << "wraps";
    EXPECT_EQ(image.LastChangeTick(), clock.GetTickCount());
}

TEST(CatalogAnimatedImage, ALongAnimationCyclesThroughEveryFrame) {
    VIDORA_REQUIRE_TEST_MEDIA();
    CFakeClock clock;
    CAnimatedImage image(clock);
    ASSERT_TRUE(image.Load(Media("gif-anim-31frames-100ms-320x240.gif"), kThumb));
    ASSERT_EQ(image.FrameCount(), 31);
    EXPECT_EQ(image.CurrentImage().size(), kThumb) << "frames are kept at the size they are shown";
    for (int step = 1; step <= 31; ++step) {
        EXPECT_EQ(image.FrameDelay(image.CurrentFrame()), 100);
        clock.Advance(101);
        ASSERT_TRUE(image.Advance()) << step;
        EXPECT_EQ(image.CurrentFrame(), step % 31) << "every frame in turn, then back to the first";
    }
}

TEST(CatalogAnimatedImage, StillAndBrokenPicturesDoNotAnimate) {
    VIDORA_REQUIRE_TEST_MEDIA();
    CFakeClock clock;
    for (const char* still : {"gif-single-frame-128x128.gif", "jpeg-baseline-420-227x149-ijg.jpg"}) {
        CAnimatedImage image(clock);
        EXPECT_TRUE(image.Load(Media(still), kThumb)) << still;
        EXPECT_FALSE(image.IsAnimated()) << still;
        clock.Advance(5000);
        EXPECT_FALSE(image.Advance()) << still;
        EXPECT_EQ(image.CurrentFrame(), 0);
    }
    for (const char* broken :
         {"gif-malformed-frame-65535x65535-bomb.gif", "gif-malformed-empty-loop-stall.gif"}) {
        CAnimatedImage image(clock);
        EXPECT_FALSE(image.Load(Media(broken), kThumb)) << broken;
        EXPECT_FALSE(image.IsAnimated());
        EXPECT_TRUE(image.CurrentImage().isNull());
    }
}

// A builder that holds every build until the test lets it go, one at a time, and records what it started.
class HeldBuilder {
public:
    ~HeldBuilder() {
        Release(1000);
        CThumbnailLoader::WaitForWorkers(15000);
    }
    CThumbnailLoader::Builder Builder() const {
        return [s = state_](const std::string& path, const QSize& size) {
            std::unique_lock<std::mutex> lock(s->mutex);
            s->started.push_back(path);
            s->offTheCallersThread &= QThread::currentThread() != QCoreApplication::instance()->thread();
            s->cv.wait_for(lock, std::chrono::seconds(10), [&] { return s->permits > 0; });
            --s->permits;
            QImage image(size, QImage::Format_RGB32);
            image.fill(Qt::green);
            return path == "bad" ? QImage() : image;
        };
    }
    void Release(int count) {
        const std::lock_guard<std::mutex> lock(state_->mutex);
        state_->permits += count;
        state_->cv.notify_all();
    }
    std::vector<std::string> Started() const {
        const std::lock_guard<std::mutex> lock(state_->mutex);
        return state_->started;
    }
    bool OffTheCallersThread() const { return state_->offTheCallersThread; }

private:
    struct State {
        std::mutex mutex;
        std::condition_variable cv;
        int permits = 0;
        std::vector<std::string> started;
        bool offTheCallersThread = true;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

struct Results {
    std::vector<std::pair<std::string, bool>> delivered; // path, whether a picture came
    CThumbnailLoader::ResultHandler Handler() {
        return [this](const std::string& path, const QSize& size, const QImage& image) {
            EXPECT_EQ(size, kThumb);
            delivered.emplace_back(path, !image.isNull());
        };
    }
};

TEST(ThumbnailLoader, BuildsOnWorkersTwoAtATimeNewestFirstAndDeliversOnItsThread) {
    HeldBuilder held;
    Results results;
    CThumbnailLoader loader(held.Builder());
    loader.SetResultHandler(results.Handler());
    for (const char* path : {"a", "b", "c", "bad", "a", "c"})
        loader.Request(path, kThumb);
    // Nothing waited for the held builds: they run elsewhere, and "c", asked again, moved to the front.
    EXPECT_EQ(loader.PendingCount(), 4);
    ASSERT_TRUE(PumpUntil([&] { return held.Started().size() == 2; }));
    EXPECT_TRUE(results.delivered.empty());
    EXPECT_TRUE(loader.IsPending("a") && loader.IsPending("bad"));

    held.Release(1);
    ASSERT_TRUE(PumpUntil([&] { return held.Started().size() == 3; }));
    EXPECT_EQ(held.Started()[2], "c");
    held.Release(3);
    ASSERT_TRUE(PumpUntil([&] { return loader.PendingCount() == 0; }));
    std::sort(results.delivered.begin(), results.delivered.end());
    EXPECT_EQ(results.delivered, (std::vector<std::pair<std::string, bool>>{
                                     {"a", true}, {"b", true}, {"bad", false}, {"c", true}}));
    EXPECT_TRUE(held.OffTheCallersThread());
}

TEST(ThumbnailLoader, CancelledAndNoLongerWantedRequestsAreDroppedOrIgnored) {
    HeldBuilder held;
    Results results;
    std::set<std::string> shown = {"a", "b", "c", "d", "e"};
    CThumbnailLoader loader(held.Builder());
    loader.SetResultHandler(results.Handler());
    loader.SetWantedCheck([&](const std::string& path) { return shown.count(path) != 0; });
    for (const char* path : {"a", "b", "c", "d", "e"})
        loader.Request(path, kThumb);
    ASSERT_TRUE(PumpUntil([&] { return held.Started().size() == 2; }));
    loader.Cancel("a"); // running: its result is thrown away, and its place goes to "e"
    loader.Cancel("c"); // queued: dropped
    shown.erase("d");   // scrolled away before its turn
    EXPECT_FALSE(loader.IsPending("a"));
    held.Release(10);
    ASSERT_TRUE(PumpUntil([&] { return loader.PendingCount() == 0; }));
    ASSERT_TRUE(CThumbnailLoader::WaitForWorkers(10000));
    DrainEvents();
    std::vector<std::string> started = held.Started();
    std::sort(started.begin(), started.end());
    EXPECT_EQ(started, (std::vector<std::string>{"a", "b", "e"}));
    std::sort(results.delivered.begin(), results.delivered.end());
    EXPECT_EQ(results.delivered, (std::vector<std::pair<std::string, bool>>{{"b", true}, {"e", true}}));

    // The queue keeps the newest requests only; cancelling everything drops it and the running builds'
    // results.
    results.delivered.clear();
    loader.SetWantedCheck({});
    const int asked = 2 + CThumbnailLoader::kMaxQueued + 10;
    for (int i = 0; i < asked; ++i)
        loader.Request(std::to_string(i), kThumb);
    EXPECT_EQ(loader.PendingCount(), 2 + CThumbnailLoader::kMaxQueued);
    EXPECT_TRUE(loader.IsPending("0") && !loader.IsPending("11") && loader.IsPending("12"));
    loader.CancelAll();
    EXPECT_EQ(loader.PendingCount(), 0);
    held.Release(10);
    ASSERT_TRUE(CThumbnailLoader::WaitForWorkers(10000));
    DrainEvents();
    EXPECT_TRUE(results.delivered.empty());
}

TEST(ThumbnailLoader, ALoaderDestroyedWhileBuildingIsNeverCalledBack) {
    HeldBuilder held;
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

} // namespace
