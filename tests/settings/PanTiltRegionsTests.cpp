// Where the parts of the pan and tilt pad are, which part hovers as the cursor moves, and when a held part
// repeats its step.
#include "settings/CPanTiltRegions.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

TEST(PanTiltRegions, EachPartIsHitUpToButNotIncludingItsRightAndBottomEdges) {
    using P = PanTiltPart;
    struct Case {
        int x, y;
        std::optional<PanTiltPart> part;
    };
    const Case cases[] = {
        {0, 28, P::Left},       {19, 52, P::Left},      {20, 40, std::nullopt}, {10, 27, std::nullopt},
        {10, 53, std::nullopt}, {61, 28, P::Right},     {81, 52, P::Right},     {60, 40, std::nullopt},
        {82, 40, std::nullopt}, {28, 0, P::Up},         {52, 19, P::Up},        {40, 20, std::nullopt},
        {27, 10, std::nullopt}, {28, 60, P::Down},      {52, 79, P::Down},      {40, 80, std::nullopt},
        {40, 59, std::nullopt}, {24, 24, P::Centre},    {55, 55, P::Centre},    {56, 40, std::nullopt},
        {40, 56, std::nullopt}, {23, 40, std::nullopt}, {5, 5, std::nullopt},   {-1, 40, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CPanTiltRegions::HitTest({c.x, c.y}), c.part) << c.x << "," << c.y;
}

TEST(PanTiltRegions, MovingTheCursorReportsThePartsItEnteredAndLeft) {
    using V = std::vector<PanTiltPart>;
    CPanTiltRegions regions;
    EXPECT_EQ(regions.UpdateHover(QPoint(10, 40)), V{PanTiltPart::Left});
    EXPECT_TRUE(regions.State(PanTiltPart::Left).hover);
    EXPECT_EQ(regions.UpdateHover(QPoint(12, 41)), V{}) << "still on the same part";
    EXPECT_EQ(regions.UpdateHover(QPoint(40, 40)), (V{PanTiltPart::Left, PanTiltPart::Centre}));
    EXPECT_FALSE(regions.State(PanTiltPart::Left).hover);
    EXPECT_TRUE(regions.State(PanTiltPart::Centre).hover);
    EXPECT_EQ(regions.UpdateHover(QPoint(22, 40)), V{PanTiltPart::Centre}) << "between the parts";
    EXPECT_EQ(regions.UpdateHover(QPoint(40, 70)), V{PanTiltPart::Down});
    EXPECT_EQ(regions.UpdateHover(std::nullopt), V{PanTiltPart::Down}) << "off the pad";
    for (PanTiltPart part : CPanTiltRegions::kParts)
        EXPECT_FALSE(regions.State(part).hover);
}

TEST(PanTiltRegions, AHeldPartRepeatsOnlyOnceHeldForMoreThanHalfASecond) {
    const uint32_t pressed = 0xFFFFFF00u; // the tick count wraps while the button is held
    CPanTiltRegions regions;
    regions.UpdateHover(QPoint(70, 40));
    regions.Press(PanTiltPart::Right, pressed);
    struct Case {
        uint32_t after;
        bool held;
        bool repeats;
    };
    const Case cases[] = {
        {200, true, false}, {500, true, false}, {501, true, true}, {700, true, true}, {700, false, false}};
    for (const Case& c : cases)
        EXPECT_EQ(regions.ShouldRepeat(PanTiltPart::Right, c.held, pressed + c.after), c.repeats) << c.after;
    EXPECT_FALSE(regions.ShouldRepeat(PanTiltPart::Left, true, pressed + 700)) << "not the part held";

    regions.UpdateHover(QPoint(40, 40));
    EXPECT_FALSE(regions.ShouldRepeat(PanTiltPart::Right, true, pressed + 700)) << "the cursor left it";
    regions.UpdateHover(QPoint(70, 40));
    EXPECT_TRUE(regions.ShouldRepeat(PanTiltPart::Right, true, pressed + 700)) << "and came back";
    regions.ReleaseAll();
    EXPECT_FALSE(regions.ShouldRepeat(PanTiltPart::Right, true, pressed + 700));
    EXPECT_EQ(regions.PressedPart(), std::nullopt);
}

} // namespace
