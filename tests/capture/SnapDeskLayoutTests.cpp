// The capture window's layout: the client size for a picture size, the smaller picture on a small screen,
// every control inside the window without overlapping another, and keeping the window on screen.
#include "capture/CSnapDeskLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using L = CSnapDeskLayout;

constexpr int kTallScreen = 4000;

// Controls below the picture; none of them may overlap another.
const std::vector<int> kBelowPicture = {
    L::kResolutionList, L::kPhotoButton,    L::kMovieButton,   L::kPicturesTab,       L::kVideosTab,
    L::kDeleteButton,   L::kPrintButton,    L::kMailButton,    L::kResolutionCaption, L::kStatusCaption,
    L::kGalleryToggle,  L::kGalleryCaption, L::kPictureGallery};
// Shown over the picture (the camera messages replace it; the others are drawn on it).
const std::vector<int> kOverPicture = {L::kCameraMessage1,   L::kCameraMessage2, L::kRetryLink,
                                       L::kCountdownCaption, L::kNoticeCaption,  L::kPictureHeadCaption};

std::string Name(int w, int h, bool open) {
    return std::to_string(w) + "x" + std::to_string(h) + (open ? " open" : " closed");
}

} // namespace

TEST(SnapDeskLayout, ClientSizeFollowsThePictureAndTheGallery) {
    struct Case {
        int w, h;
        bool open;
        int clientW, clientH;
    } cases[] = {
        {320, 240, false, 370, 240 + 137},  {320, 240, true, 370, 240 + 238},
        {640, 480, false, 690, 480 + 122},  {640, 480, true, 690, 480 + 223},
        {960, 720, false, 1010, 720 + 122}, {960, 720, true, 1010, 720 + 223},
    };
    for (const Case& c : cases) {
        const SnapDeskLayoutResult r = L::Compute(c.w, c.h, c.open, kTallScreen, 30);
        EXPECT_EQ(r.displayWidth, c.w) << Name(c.w, c.h, c.open);
        EXPECT_EQ(r.displayHeight, c.h);
        EXPECT_EQ(r.clientWidth, c.clientW) << Name(c.w, c.h, c.open);
        EXPECT_EQ(r.clientHeight, c.clientH) << Name(c.w, c.h, c.open);
        EXPECT_EQ(r.picture, QRect(25, 20, c.w, c.h));
    }
}

TEST(SnapDeskLayout, APictureTooTallForTheScreenStepsDown) {
    struct Case {
        int w, h;
        bool open;
        int workArea, frame;
        int shownW;
    } cases[] = {
        {960, 720, true, 720 + 223 + 30, 30, 960},  // exactly fits
        {960, 720, true, 720 + 223 + 29, 30, 640},  // one pixel short
        {960, 720, false, 720 + 122 + 30, 30, 960}, // closed, the gallery's height is not needed
        {960, 720, true, 480 + 223 + 30, 30, 640},
        {960, 720, true, 480 + 223 + 29, 30, 320}, // straight down to the smallest
        {640, 480, false, 480 + 122 + 29, 30, 320},
        {640, 480, true, 100, 30, 320}, // the smallest is taken even when it does not fit
        {320, 240, true, 100, 30, 320},
        {1280, 960, false, 960 + 122 + 29, 30, 960}, // a picture larger than the steps
    };
    for (const Case& c : cases) {
        const SnapDeskLayoutResult r = L::Compute(c.w, c.h, c.open, c.workArea, c.frame);
        EXPECT_EQ(r.displayWidth, c.shownW) << Name(c.w, c.h, c.open) << " on " << c.workArea;
        EXPECT_EQ(r.displayHeight * 4, r.displayWidth * 3);
        if (r.displayWidth != 320) {
            EXPECT_LE(r.clientHeight + c.frame, c.workArea);
        }
    }
}

TEST(SnapDeskLayout, EveryControlHasItsPlaceInsideTheWindow) {
    const int sizes[][2] = {{320, 240}, {640, 480}, {960, 720}};
    for (const auto& size : sizes) {
        for (bool open : {false, true}) {
            const std::string name = Name(size[0], size[1], open);
            const SnapDeskLayoutResult r = L::Compute(size[0], size[1], open, kTallScreen, 0);
            const QRect client(0, 0, r.clientWidth, r.clientHeight);
            auto rect = [&](int id) {
                auto it = r.controls.find(id);
                EXPECT_NE(it, r.controls.end()) << id << " " << name;
                return it == r.controls.end() ? QRect() : it->second;
            };
            for (int id : kBelowPicture) {
                const QRect c = rect(id);
                EXPECT_FALSE(c.isEmpty()) << id << " " << name;
                if (!r.hidden.contains(id)) {
                    EXPECT_TRUE(client.contains(c)) << id << " " << name;
                }
                EXPECT_GT(c.top(), r.picture.bottom()) << id << " " << name;
            }
            for (size_t i = 0; i < kBelowPicture.size(); ++i)
                for (size_t j = i + 1; j < kBelowPicture.size(); ++j)
                    EXPECT_FALSE(rect(kBelowPicture[i]).intersects(rect(kBelowPicture[j])))
                        << kBelowPicture[i] << " and " << kBelowPicture[j] << " " << name;
            for (int id : kOverPicture)
                EXPECT_TRUE(r.picture.contains(rect(id))) << id << " " << name;

            EXPECT_EQ(rect(L::kPhotoButton).size(), QSize(154, 40));
            EXPECT_EQ(rect(L::kMovieButton).size(), QSize(154, 40));
            for (int id : {L::kDeleteButton, L::kPrintButton, L::kMailButton, L::kGalleryToggle})
                EXPECT_EQ(rect(id).size(), QSize(24, 24)) << id;
            // The buttons sit side by side, centred under the picture.
            EXPECT_EQ(rect(L::kPhotoButton).top(), rect(L::kMovieButton).top());
            EXPECT_EQ(rect(L::kPhotoButton).left() - r.picture.left(),
                      r.picture.right() - rect(L::kMovieButton).right());
            // One row of thumbnails (100 x 75 plus 8) fits the gallery list; both galleries share it.
            EXPECT_GE(rect(L::kPictureGallery).height(), 83);
            EXPECT_EQ(rect(L::kPictureGallery), rect(L::kVideoGallery));
            // The retry link is under the two messages.
            EXPECT_GT(rect(L::kRetryLink).top(), rect(L::kCameraMessage2).top());
            EXPECT_FALSE(rect(L::kCameraMessage1).intersects(rect(L::kCameraMessage2)));
        }
    }
}

TEST(SnapDeskLayout, TheGalleryListsShowOnlyWhileTheGalleryIsOpen) {
    for (int w : {320, 640}) {
        const SnapDeskLayoutResult closed = L::Compute(w, w * 3 / 4, false, kTallScreen, 0);
        const SnapDeskLayoutResult open = L::Compute(w, w * 3 / 4, true, kTallScreen, 0);
        EXPECT_EQ(closed.hidden, (std::set<int>{L::kPictureGallery, L::kVideoGallery})) << w;
        EXPECT_TRUE(closed.galleryArea.isEmpty());
        EXPECT_TRUE(open.hidden.empty()) << w;
        // The open gallery takes the bottom of the window, full width, and nothing else is there.
        EXPECT_TRUE(open.galleryArea.contains(open.controls.at(L::kPictureGallery)));
        EXPECT_EQ(open.galleryArea.bottom(), open.clientHeight - 1);
        EXPECT_EQ(open.galleryArea.width(), open.clientWidth);
        for (const auto& [id, r] : open.controls) {
            if (id != L::kPictureGallery && id != L::kVideoGallery) {
                EXPECT_FALSE(open.galleryArea.intersects(r)) << id;
            }
        }
        // The gallery bar stays where it was, so the toggle does not jump under the cursor.
        EXPECT_EQ(closed.controls.at(L::kGalleryToggle), open.controls.at(L::kGalleryToggle));
    }
}

TEST(SnapDeskLayout, KeepOnScreenMovesTheWindowIntoTheWorkArea) {
    const QRect work(1920, 30, 1280, 994); // a second monitor under a top panel
    struct Case {
        QRect frame;
        QPoint expected;
    } cases[] = {
        {{2000, 100, 400, 300}, {2000, 100}},  // already inside
        {{3100, 100, 400, 300}, {2800, 100}},  // off the right edge
        {{2000, 900, 400, 300}, {2000, 724}},  // off the bottom
        {{0, 0, 400, 300}, {1920, 30}},        // left of and above the work area
        {{2500, 500, 1400, 1200}, {1920, 30}}, // larger: the top-left corner stays visible
        {{3300, 1500, 400, 1200}, {2800, 30}}, // taller only
    };
    for (const Case& c : cases)
        EXPECT_EQ(L::KeepOnScreen(c.frame, work), c.expected) << c.frame.x() << "," << c.frame.y();
}
