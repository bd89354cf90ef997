// The gallery's loaders, thumbnails and animations on real files made by other software: every picture and
// movie either gives an upright thumbnail of the right size or none, and nothing hostile gets decoded.
#include "capture/CAnimatedImage.h"
#include "capture/CCatalogImageChooser.h"
#include "capture/CCatalogMovieImage.h"
#include "capture/CCatalogPictureImage.h"
#include "capture/CCatalogThumbnail.h"
#include "support/CFakeClock.h"
#include "support/CTempEnvironment.h"

#include <QFile>

#include <gtest/gtest.h>

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

TEST(CatalogThumbnail, EmptyIsAWhiteFrame) {
    const QImage empty = CCatalogThumbnail::Empty(kThumb);
    ExpectFramed(empty, "empty");
    EXPECT_EQ(empty.pixel(1, 1), kWhite);
    EXPECT_EQ(empty.pixel(50, 37), kWhite);
}

TEST(CatalogThumbnail, PicturesAreFittedOnWhite) {
    QImage red(40, 20, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QImage small = CCatalogThumbnail::Compose(red, red.size(), kThumb);
    ExpectFramed(small, "small");
    EXPECT_EQ(small.pixel(50, 37), qRgb(255, 0, 0));
    EXPECT_EQ(small.pixel(29, 37), kWhite) << "a small picture is not blown up";
    EXPECT_EQ(small.pixel(30, 28), qRgb(255, 0, 0));

    QImage wide(400, 100, QImage::Format_RGB32);
    wide.fill(Qt::blue);
    const QImage fitted = CCatalogThumbnail::Compose(wide, wide.size(), kThumb);
    EXPECT_EQ(fitted.pixel(50, 24), kWhite) << "white above a wide picture";
    EXPECT_EQ(fitted.pixel(50, 25), qRgb(0, 0, 255));
    EXPECT_EQ(fitted.pixel(50, 49), qRgb(0, 0, 255));
    EXPECT_EQ(fitted.pixel(50, 50), kWhite) << "and below";
    EXPECT_EQ(fitted.pixel(50, 37), qRgb(0, 0, 255));
    EXPECT_EQ(fitted.pixel(1, 37), qRgb(0, 0, 255)) << "full width";
}

TEST(CatalogPictureImage, RefusesAbsurdSizesBeforeDecoding) {
    EXPECT_TRUE(CCatalogPictureImage::IsAcceptableSize({4000, 3000}));
    EXPECT_TRUE(CCatalogPictureImage::IsAcceptableSize({CCatalogPictureImage::kMaxSide, 100}));
    EXPECT_FALSE(CCatalogPictureImage::IsAcceptableSize({CCatalogPictureImage::kMaxSide + 1, 100}));
    EXPECT_FALSE(CCatalogPictureImage::IsAcceptableSize({65535, 65535}));
    EXPECT_FALSE(CCatalogPictureImage::IsAcceptableSize({16000, 16000})) << "too many pixels";
    EXPECT_FALSE(CCatalogPictureImage::IsAcceptableSize({0, 10}));
    EXPECT_FALSE(CCatalogPictureImage::IsAcceptableSize({-1, -1}));
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

TEST(CatalogPictureImage, EveryMediaPictureLoadsUprightOrNotAtAll) {
    VIDORA_REQUIRE_TEST_MEDIA();
    for (const MediaCase& c : kPictures) {
        CCatalogPictureImage image;
        EXPECT_EQ(image.Load(Media(c.name)), !c.size.isEmpty()) << c.name;
        EXPECT_EQ(image.GetSize(), c.size) << c.name;
        if (!c.size.isEmpty()) {
            EXPECT_EQ(image.Image().size(), c.size) << c.name << ": without a hint the whole picture";
        }
    }
    CCatalogPictureImage missing;
    EXPECT_FALSE(missing.Load(TestMediaDir() + "/no such picture.jpg"));
}

TEST(CatalogPictureImage, AHintDecodesSmallAndStillUpright) {
    VIDORA_REQUIRE_TEST_MEDIA();
    CCatalogPictureImage image;
    image.SetDecodeHint(kThumb);
    ASSERT_TRUE(image.Load(Media("jpeg-exif-orientation6-1200x1800.jpg")));
    EXPECT_EQ(image.GetSize(), QSize(1800, 1200));
    EXPECT_EQ(image.Image().size(), QSize(100, 67));

    CCatalogPictureImage portrait;
    portrait.SetDecodeHint(kThumb);
    ASSERT_TRUE(portrait.Load(Media("jpeg-exif-orientation8-1800x1200.jpg")));
    EXPECT_EQ(portrait.Image().size(), QSize(50, 75));

    CCatalogPictureImage small;
    small.SetDecodeHint(QSize(1000, 1000));
    ASSERT_TRUE(small.Load(Media("bmp-24bit-127x64.bmp")));
    EXPECT_EQ(small.Image().size(), QSize(127, 64)) << "never enlarged";
}

TEST(CatalogMovieImage, FirstFrameOfEveryMediaMovieOrNothing) {
    VIDORA_REQUIRE_TEST_MEDIA();
    for (const MediaCase& c : kMovies) {
        CCatalogMovieImage movie;
        EXPECT_EQ(movie.Load(Media(c.name)), !c.size.isEmpty()) << c.name;
        EXPECT_EQ(movie.GetSize(), c.size) << c.name;
        EXPECT_FALSE(movie.IsMotionClip());
    }
    CCatalogMovieImage missing;
    EXPECT_FALSE(missing.Load(TestMediaDir() + "/no such movie.wmv"));
}

TEST(CatalogMovieImage, MotionClipsWearABadge) {
    VIDORA_REQUIRE_TEST_MEDIA();
    CTempEnvironment env;
    const std::string clip = env.Path("Motion 1.wmv");
    const std::string plain = env.Path("Motion1.wmv");
    ASSERT_TRUE(QFile::copy(QString::fromStdString(Media("wmv3-wma2-320x240-moviemaker21.wmv")),
                            QString::fromStdString(clip)));
    ASSERT_TRUE(QFile::copy(QString::fromStdString(clip), QString::fromStdString(plain)));

    CCatalogMovieImage motion, movie;
    ASSERT_TRUE(motion.Load(clip));
    ASSERT_TRUE(movie.Load(plain));
    EXPECT_TRUE(motion.IsMotionClip());
    EXPECT_FALSE(movie.IsMotionClip());
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
        const QImage thumb = CCatalogThumbnail::FromFile(Media(c.name), kThumb);
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
    EXPECT_TRUE(CCatalogThumbnail::FromFile(Media("MANIFEST.md"), kThumb).isNull());
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
    std::vector<int> seen;
    for (int step = 0; step < 31; ++step) {
        EXPECT_EQ(image.FrameDelay(image.CurrentFrame()), 100);
        clock.Advance(101);
        ASSERT_TRUE(image.Advance()) << step;
        seen.push_back(image.CurrentFrame());
    }
    EXPECT_EQ(seen.front(), 1);
    EXPECT_EQ(seen[29], 30);
    EXPECT_EQ(seen.back(), 0);
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

} // namespace
