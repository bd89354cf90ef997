// The exposure slider's mappings and the choice of steps by camera model, without any window.
#include "settings/CExposureMapping.h"
#include "settings/CExposureTables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

using Form = CExposureMapping::Form;

std::vector<int32_t> Offered(const CExposureMapping& mapping) {
    std::vector<int32_t> values;
    for (int32_t p = mapping.SliderMin(); p <= mapping.SliderMax(); ++p)
        values.push_back(mapping.ValueAt(p));
    return values;
}

TEST(ExposureMappingTest, TheTableOffersOnlyTheStepsInsideTheCamerasRange) {
    const CExposureMapping mapping = CExposureMapping::Table(CExposureTables::Default(), 20, 500);
    ASSERT_EQ(mapping.GetForm(), Form::Table);
    EXPECT_EQ(Offered(mapping), (std::vector<int32_t>{500, 250, 120, 100, 60, 50, 30, 25, 20}));

    // Bounds between two steps keep to the steps inside them.
    EXPECT_EQ(Offered(CExposureMapping::Table(CExposureTables::Default(), 22, 400)),
              (std::vector<int32_t>{250, 120, 100, 60, 50, 30, 25}));
    // A maximum above the longest step starts at it; a minimum below the shortest ends at it; positions
    // beyond either end never read outside the list.
    const CExposureMapping wide = CExposureMapping::Table(CExposureTables::Default(), 0, 50000);
    EXPECT_EQ(wide.ValueAt(-5), 10000);
    EXPECT_EQ(wide.ValueAt(1000), 10);
    EXPECT_EQ(wide.PositionOf(80000), wide.SliderMin());
    EXPECT_EQ(wide.PositionOf(1), wide.SliderMax());
    EXPECT_EQ(wide.ValueAt(wide.PositionOf(-7)), 10);
}

TEST(ExposureMappingTest, AValueShowsAtTheNearestStepATieAtTheSmaller) {
    const CExposureMapping mapping = CExposureMapping::Table(CExposureTables::Default(), 10, 10000);
    struct Case {
        int32_t value;
        int32_t shownAs;
    };
    for (const Case& c : {Case{250, 250}, Case{75, 60}, Case{80, 60}, Case{81, 100}, Case{27, 25},
                          Case{28, 30}, Case{7000, 5000}, Case{7501, 10000}, Case{12, 10}})
        EXPECT_EQ(mapping.ValueAt(mapping.PositionOf(c.value)), c.shownAs) << c.value;
}

TEST(ExposureMappingTest, RangesTheStepsCannotServeFallBackToThePlainSlider) {
    // No step between 26 and 29.
    EXPECT_EQ(CExposureMapping::Table(CExposureTables::Default(), 26, 29).GetForm(), Form::Plain);
    const CExposureMapping negative =
        CExposureTables::MappingFor(CExposureTables::ForCamera(0x0b50, 0), -11, -2, -6);
    EXPECT_EQ(negative.GetForm(), Form::Plain);
    EXPECT_EQ(negative.SliderMin(), -11);
    EXPECT_EQ(negative.SliderMax(), -2);
    EXPECT_EQ(negative.PositionOf(-6), -6);
    EXPECT_EQ(negative.ValueAt(-20), -11);
    // A logarithmic scale over a single value, or with the camera below its own minimum.
    EXPECT_EQ(CExposureMapping::Logarithmic(40, 40, 40).GetForm(), Form::Plain);
    EXPECT_EQ(CExposureMapping::Logarithmic(40, 900, 39).GetForm(), Form::Plain);
}

TEST(ExposureMappingTest, TheLogarithmicScaleSpreadsShortExposuresAndComesBack) {
    const CExposureMapping mapping = CExposureMapping::Logarithmic(10, 10000, 250);
    ASSERT_EQ(mapping.GetForm(), Form::Logarithmic);
    EXPECT_EQ(mapping.SliderMin(), 10);
    EXPECT_EQ(mapping.SliderMax(), 10000);
    // The ends map to themselves; half-way along the slider is the geometric middle of the range:
    // 9 + sqrt(9991), rounded.
    for (auto [position, value] : {std::pair{10, 10}, std::pair{5005, 109}, std::pair{10000, 10000}}) {
        EXPECT_EQ(mapping.ValueAt(position), value);
        EXPECT_EQ(mapping.PositionOf(value), position);
    }

    // Out and back lands on the value, give or take what one slider step spans there.
    int32_t previous = mapping.SliderMin();
    for (int32_t value = 10; value <= 10000; value += 7) {
        const int32_t position = mapping.PositionOf(value);
        EXPECT_GE(position, previous);
        previous = position;
        const double stepSpan = (value - 10 + 1) * std::log(9991.0) / 9990.0;
        EXPECT_LE(std::abs(mapping.ValueAt(position) - value), stepSpan + 1) << value;
    }
}

TEST(ExposureTablesTest, EachModelGetsItsStepsAndOthersTheGeneralList) {
    EXPECT_EQ(CExposureTables::ForCamera(0x1234, 0).table.size(), 16u);
    EXPECT_TRUE(CExposureTables::ForCamera(0x0b50, 0).logarithmic);
    EXPECT_EQ(CExposureTables::ForCamera(0x0822, 0).table.size(), 24u);
    // The webcam's steps depend on its revision.
    EXPECT_EQ(CExposureTables::ForCamera(0x0821, 3).table.size(), 19u);
    EXPECT_EQ(CExposureTables::ForCamera(0x0821, 2).table.size(), 13u);
    for (int32_t id : {0x1234, 0x0822, 0x0821}) {
        for (int32_t revision : {2, 3}) {
            const auto table = CExposureTables::ForCamera(id, revision).table;
            EXPECT_EQ(table.back(), 0);
            for (size_t i = 1; i + 1 < table.size(); ++i)
                EXPECT_GT(table[i - 1], table[i]) << id;
        }
    }
}

} // namespace
