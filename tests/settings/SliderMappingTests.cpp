// The sliders' mappings where the settings panes do not reach: ranges the exposure steps cannot serve, and
// steps a camera reports wrongly.
#include "settings/CExposureMapping.h"
#include "settings/CExposureTables.h"
#include "settings/CFocusSliderMapping.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using Form = CExposureMapping::Form;

std::vector<int32_t> Offered(const CExposureMapping& mapping) {
    std::vector<int32_t> values;
    for (int32_t p = mapping.SliderMin(); p <= mapping.SliderMax(); ++p)
        values.push_back(mapping.ValueAt(p));
    return values;
}

TEST(ExposureMappingTest, TheTableOffersOnlyTheStepsInsideTheCamerasRangeAndShowsAValueAtTheNearest) {
    EXPECT_EQ(Offered(CExposureMapping::Table(CExposureTables::Default(), 22, 400)),
              (std::vector<int32_t>{250, 120, 100, 60, 50, 30, 25}));
    // Beyond either end a position never reads outside the list.
    const CExposureMapping wide = CExposureMapping::Table(CExposureTables::Default(), 0, 50000);
    EXPECT_EQ(wide.ValueAt(-5), 10000);
    EXPECT_EQ(wide.ValueAt(1000), 10);
    EXPECT_EQ(wide.PositionOf(80000), wide.SliderMin());
    EXPECT_EQ(wide.ValueAt(wide.PositionOf(-7)), 10);
    // A tie goes to the smaller step.
    const CExposureMapping mapping = CExposureMapping::Table(CExposureTables::Default(), 10, 10000);
    for (auto [value, shownAs] : {std::pair{250, 250}, std::pair{80, 60}, std::pair{81, 100},
                                  std::pair{27, 25}, std::pair{28, 30}, std::pair{7501, 10000}})
        EXPECT_EQ(mapping.ValueAt(mapping.PositionOf(value)), shownAs) << value;
}

TEST(ExposureMappingTest, RangesTheStepsCannotServeFallBackToThePlainSlider) {
    EXPECT_EQ(CExposureMapping::Table(CExposureTables::Default(), 26, 29).GetForm(), Form::Plain);
    const CExposureMapping negative =
        CExposureTables::MappingFor(CExposureTables::ForCamera(0x0b50, 0), -11, -2, -6);
    EXPECT_EQ(negative.GetForm(), Form::Plain);
    EXPECT_EQ(negative.PositionOf(-6), -6);
    EXPECT_EQ(negative.ValueAt(-20), -11);
    // A logarithmic scale over a single value, or with the camera below its own minimum.
    EXPECT_EQ(CExposureMapping::Logarithmic(40, 40, 40).GetForm(), Form::Plain);
    EXPECT_EQ(CExposureMapping::Logarithmic(40, 900, 39).GetForm(), Form::Plain);
}

TEST(FocusSliderMapping, StepsFromTheLargestValueAndAStepOfZeroOrLessCountsAsOne) {
    const struct {
        int32_t minimum, maximum, step, slider;
    } cases[] = {{0, 250, 5, 50}, {20, 120, 10, 10}, {0, 30, 0, 30}, {0, 30, -5, 30}};
    for (const auto& c : cases) {
        const CFocusSliderMapping focus(c.minimum, c.maximum, c.step);
        EXPECT_EQ(focus.SliderMax(), c.slider) << c.step;
        EXPECT_EQ(focus.PositionOf(c.maximum), 0);
        for (int32_t value = c.minimum; value <= c.maximum; value += std::max(c.step, 1))
            EXPECT_EQ(focus.ValueAt(focus.PositionOf(value)), value) << c.step;
    }
}

} // namespace
