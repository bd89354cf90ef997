// The pure parts of the webcam pane: where slider thumbs sit for camera values and back, the level sliders'
// key steps, and how hidden feature groups close their gaps.
#include "settings/CFeatureBands.h"
#include "settings/CFocusSliderMapping.h"
#include "settings/CLevelSliderScale.h"
#include "settings/CZoomSliderMapping.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(ZoomSliderMapping, ACentredRangeWithTheLargestZoomAtTheTopThatValuesOutsideStayOn) {
    const CZoomSliderMapping zoom(100, 400);
    EXPECT_EQ(zoom.SliderMin(), -150);
    EXPECT_EQ(zoom.SliderMax(), 150);
    EXPECT_EQ(zoom.PositionOf(100), 150);
    EXPECT_EQ(zoom.PositionOf(400), -150);
    EXPECT_EQ(zoom.ValueAt(-150), 400);
    EXPECT_EQ(zoom.ValueAt(150), 100);
    EXPECT_EQ(zoom.ValueAt(0), 250);
    // Values outside the range stay on the slider.
    EXPECT_EQ(zoom.PositionOf(50), zoom.SliderMax());
    EXPECT_EQ(zoom.PositionOf(9000), zoom.SliderMin());
    EXPECT_EQ(zoom.ValueAt(-1000), 400);
    const CZoomSliderMapping wide(INT32_MIN, INT32_MAX);
    EXPECT_LE(wide.SliderMin(), wide.SliderMax());
    EXPECT_EQ(wide.ValueAt(wide.SliderMin()), INT32_MAX);
}

TEST(ZoomSliderMapping, EveryRangeReachesBothEndsAndRoundTrips) {
    struct Range {
        int32_t minimum, maximum;
    };
    for (const Range r : {Range{100, 400}, Range{0, 5}, Range{1, 2}, Range{-100, 100}, Range{-50, -10},
                          Range{-3, 0}, Range{7, 7}}) {
        const CZoomSliderMapping zoom(r.minimum, r.maximum);
        EXPECT_EQ(zoom.ValueAt(zoom.SliderMin()), r.maximum) << r.minimum << ".." << r.maximum;
        EXPECT_EQ(zoom.ValueAt(zoom.SliderMax()), r.minimum) << r.minimum << ".." << r.maximum;
        for (int32_t value = r.minimum; value <= r.maximum; ++value)
            EXPECT_EQ(zoom.ValueAt(zoom.PositionOf(value)), value) << r.minimum << ".." << r.maximum;
    }
}

TEST(FocusSliderMapping, StepsFromTheLargestValueAndBack) {
    const CFocusSliderMapping focus(0, 250, 5);
    EXPECT_EQ(focus.SliderMax(), 50);
    EXPECT_EQ(focus.PositionOf(250), 0);
    EXPECT_EQ(focus.PositionOf(0), 50);
    EXPECT_EQ(focus.ValueAt(0), 250);
    EXPECT_EQ(focus.ValueAt(50), 0);
    EXPECT_EQ(focus.PositionOf(100), 30);
}

// A range not starting at zero round-trips; a step of zero or less counts as one.
TEST(FocusSliderMapping, EveryStepRoundTripsAndAStepOfZeroOrLessCountsAsOne) {
    const struct {
        int32_t minimum, maximum, step, slider;
    } cases[] = {{20, 120, 10, 10}, {0, 30, 0, 30}, {0, 30, -5, 30}};
    for (const auto& c : cases) {
        const CFocusSliderMapping focus(c.minimum, c.maximum, c.step);
        EXPECT_EQ(focus.SliderMax(), c.slider) << c.step;
        EXPECT_EQ(focus.Step(), std::max(c.step, 1));
        for (int32_t value = c.minimum; value <= c.maximum; value += focus.Step()) {
            const int32_t position = focus.PositionOf(value);
            EXPECT_GE(position, 0);
            EXPECT_LE(position, focus.SliderMax());
            EXPECT_EQ(focus.ValueAt(position), value) << c.step;
        }
    }
}

TEST(LevelSliderScale, AHundredthOfWideRangesAndOneOtherwise) {
    struct Case {
        int32_t minimum, maximum, step;
    };
    for (const Case c : {Case{0, 10000, 100}, Case{0, 100, 1}, Case{0, 101, 1}, Case{0, 255, 2},
                         Case{2800, 6500, 37}, Case{-100, 100, 2}, Case{5, 5, 1}}) {
        EXPECT_EQ(CLevelSliderScale::LineStep(c.minimum, c.maximum), c.step)
            << c.minimum << ".." << c.maximum;
    }
}

TEST(FeatureBands, HiddenBandsCloseTheirGaps) {
    // Rows 0-100 always shown, then three bands of 50, 30 and 20 rows, then the rest.
    const CFeatureBands bands({{100, 150, true}, {150, 180, false}, {180, 200, false}});
    EXPECT_EQ(bands.BandAt(50), -1);
    EXPECT_EQ(bands.BandAt(100), 0);
    EXPECT_EQ(bands.BandAt(179), 1);
    EXPECT_EQ(bands.BandAt(200), -1);
    EXPECT_TRUE(bands.IsShown(bands.BandAt(120)));
    EXPECT_FALSE(bands.IsShown(bands.BandAt(160)));
    EXPECT_TRUE(bands.IsShown(bands.BandAt(250)));
    EXPECT_EQ(bands.ShiftAt(120), 0);
    EXPECT_EQ(bands.ShiftAt(180), 30);
    EXPECT_EQ(bands.ShiftAt(250), 50);
    EXPECT_EQ(bands.TotalShift(), 50);
}

} // namespace
