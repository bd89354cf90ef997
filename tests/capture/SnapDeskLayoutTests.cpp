// The capture window's layout: the smaller picture on a small screen and every control in its place without
// overlapping another.
#include "capture/CSnapDeskLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using L = CSnapDeskLayout;

TEST(SnapDeskLayout, APictureTooTallForTheScreenStepsDown) {
    // {width, height, gallery open, work area height, width shown}, with a frame 30 pixels high.
    const int cases[][5] = {
        {960, 720, 1, 720 + 223 + 30, 960},  // exactly fits
        {960, 720, 1, 720 + 223 + 29, 640},  // one pixel short
        {960, 720, 0, 720 + 122 + 30, 960},  // closed, the gallery's height is not needed
        {960, 720, 1, 480 + 223 + 29, 320},  // straight down to the smallest
        {640, 480, 1, 100, 320},             // the smallest is taken even when it does not fit
        {1280, 960, 0, 960 + 122 + 29, 960}, // a picture larger than the steps
    };
    for (const auto& [w, h, open, workArea, shownW] : cases) {
        const SnapDeskLayoutResult r = L::Compute(w, h, open != 0, workArea, 30);
        EXPECT_EQ(r.displayWidth, shownW) << w << " on " << workArea;
        EXPECT_EQ(r.displayHeight * 4, r.displayWidth * 3);
        EXPECT_TRUE(r.displayWidth == 320 || r.clientHeight + 30 <= workArea);
    }
}

TEST(SnapDeskLayout, EveryControlHasItsPlaceAndTheGalleryListsShowOnlyWhileOpen) {
    // Below the picture, none overlapping another; over the picture, inside it.
    const std::vector<int> below = {
        L::kResolutionList, L::kPhotoButton,    L::kMovieButton,   L::kPicturesTab,       L::kVideosTab,
        L::kDeleteButton,   L::kPrintButton,    L::kMailButton,    L::kResolutionCaption, L::kStatusCaption,
        L::kGalleryToggle,  L::kGalleryCaption, L::kPictureGallery};
    const std::vector<int> over = {L::kCameraMessage1,   L::kCameraMessage2, L::kRetryLink,
                                   L::kCountdownCaption, L::kNoticeCaption,  L::kPictureHeadCaption};
    for (int w : {320, 640, 960}) {
        const SnapDeskLayoutResult closed = L::Compute(w, w * 3 / 4, false, 4000, 0);
        for (bool open : {false, true}) {
            SCOPED_TRACE(std::to_string(w) + (open ? " open" : " closed"));
            const SnapDeskLayoutResult r = L::Compute(w, w * 3 / 4, open, 4000, 0);
            auto rect = [&](int id) {
                EXPECT_TRUE(r.controls.count(id)) << id;
                return r.controls.count(id) ? r.controls.at(id) : QRect();
            };
            for (size_t i = 0; i < below.size(); ++i) {
                const QRect c = rect(below[i]);
                EXPECT_FALSE(c.isEmpty()) << below[i];
                EXPECT_TRUE(r.hidden.contains(below[i]) ||
                            QRect(0, 0, r.clientWidth, r.clientHeight).contains(c));
                EXPECT_GT(c.top(), r.picture.bottom()) << below[i];
                for (size_t j = i + 1; j < below.size(); ++j)
                    EXPECT_FALSE(c.intersects(rect(below[j]))) << below[i] << " and " << below[j];
            }
            for (int id : over)
                EXPECT_TRUE(r.picture.contains(rect(id))) << id;
            EXPECT_FALSE(rect(L::kCameraMessage1).intersects(rect(L::kCameraMessage2)));
            // One row of thumbnails (100 x 75 plus 8) fits the gallery list; both galleries share it.
            EXPECT_GE(rect(L::kPictureGallery).height(), 83);
            EXPECT_EQ(rect(L::kPictureGallery), rect(L::kVideoGallery));
            // The gallery bar stays where it was, so the toggle does not jump under the cursor.
            EXPECT_EQ(rect(L::kGalleryToggle), closed.controls.at(L::kGalleryToggle));
            EXPECT_EQ(r.hidden,
                      open ? std::set<int>() : std::set<int>({L::kPictureGallery, L::kVideoGallery}));
            // The open gallery takes the bottom of the window, full width, and nothing else is there.
            EXPECT_EQ(r.galleryArea.isEmpty(), !open);
            EXPECT_TRUE(!open || (r.galleryArea.bottom() == r.clientHeight - 1 &&
                                  r.galleryArea.width() == r.clientWidth));
            for (const auto& [id, c] : r.controls)
                EXPECT_EQ(r.galleryArea.intersects(c),
                          open && (id == L::kPictureGallery || id == L::kVideoGallery));
        }
    }
}

} // namespace
