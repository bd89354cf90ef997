// One step of the pan and tilt pad: the digital arithmetic (a tenth of the range, never past the end, at
// least one unit), and steps on the simulated cameras: the digital window of the full camera, the motors of
// the motorised one, a camera without pan and tilt, and no facade at all.
#include "PanTiltFixture.h"
#include "settings/CPanTiltStepper.h"

#include <climits>

namespace {

TEST(PanTiltStepperArithmetic, StepsATenthOfTheRangeStopAtTheEndsAndNeverStick) {
    struct Case {
        int32_t min, max, value;
        int direction;
        std::optional<int32_t> next;
        const char* what;
    };
    const Case cases[] = {
        {0, 100, 95, +1, 100, "a step that would pass the end stops at it"},
        {0, 100, 100, +1, std::nullopt, "at the end a further step does nothing"},
        {0, 100, 50, +1, 60, "a tenth of the range"},
        {0, 100, 50, -1, 40, "a tenth of the range, the other way"},
        {0, 100, 5, -1, 0, "down to the lower end"},
        {0, 100, 0, -1, std::nullopt, "at the lower end"},
        {-10, 10, 0, -1, -2, "a range round zero"},
        {-2, 2, 0, +1, 1, "a tenth of a tiny range is less than one: one unit"},
        {-2, 2, 1, +1, 2, "and the end is reached"},
        {0, 9, 8, -1, 7, "integer division"},
        {0, 19, 8, +1, 9, "integer division rounds the step down"},
        {5, 5, 5, +1, std::nullopt, "an empty range"},
        {10, 0, 5, +1, std::nullopt, "ends swapped"},
        {0, 100, 150, -1, 100, "a value beyond the range comes back inside"},
        {INT32_MIN, INT32_MAX, INT32_MAX - 5, +1, INT32_MAX, "the widest range does not overflow"},
        {INT32_MIN, INT32_MAX, 0, -1, -429496729, "a tenth of the widest range"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CPanTiltStepper::NextAxisValue(c.min, c.max, c.value, c.direction), c.next) << c.what;
}

TEST(PanTiltStepperArithmetic, WithoutAFacadeNothingHappens) {
    for (bool mechanical : {false, true}) {
        const CPanTiltStepper stepper(nullptr, mechanical);
        for (PanTiltPart part : CPanTiltRegions::kParts)
            EXPECT_EQ(stepper.Step(part), S_FALSE);
    }
}

using PanTiltStepperTest = PanTiltTest;

TEST_F(PanTiltStepperTest, DigitalStepsMoveTheWindowATenthOfItsReachAndTheCentreBringsItBack) {
    Use(kFull);
    const CPanTiltStepper stepper(facade, false);
    EXPECT_EQ(stepper.Step(PanTiltPart::Right), S_OK);
    EXPECT_EQ(Pan(), 2);
    EXPECT_EQ(stepper.Step(PanTiltPart::Down), S_OK);
    EXPECT_EQ(Tilt(), 2);
    EXPECT_EQ(stepper.Step(PanTiltPart::Left), S_OK);
    EXPECT_EQ(stepper.Step(PanTiltPart::Left), S_OK);
    EXPECT_EQ(Pan(), -2);
    EXPECT_EQ(stepper.Step(PanTiltPart::Up), S_OK);
    EXPECT_EQ(stepper.Step(PanTiltPart::Up), S_OK);
    EXPECT_EQ(Tilt(), -2);
    EXPECT_EQ(stepper.Step(PanTiltPart::Centre), S_OK);
    EXPECT_EQ(Pan(), 0);
    EXPECT_EQ(Tilt(), 0);

    // To the end and no further.
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(stepper.Step(PanTiltPart::Right), S_OK);
    EXPECT_EQ(Pan(), 10);
    EXPECT_EQ(stepper.Step(PanTiltPart::Right), S_FALSE);
    EXPECT_EQ(Pan(), 10);
    EXPECT_EQ(stepper.Step(PanTiltPart::Left), S_OK);
    EXPECT_EQ(Pan(), 8);
}

TEST_F(PanTiltStepperTest, ATinyDigitalRangeStillMovesOneUnitAStep) {
    Use(kFull, 120); // barely zoomed in: the window reaches -2 .. 2
    int32_t min = 0, max = 0, value = 0;
    ASSERT_EQ(facade->GetPanTiltAxis2Range(&min, &max, &value), S_OK);
    ASSERT_EQ(max - min, 4) << "the zoom no longer gives the tiny range this test needs";
    const CPanTiltStepper stepper(facade, false);
    for (int32_t expected : {1, 2}) {
        EXPECT_EQ(stepper.Step(PanTiltPart::Down), S_OK);
        EXPECT_EQ(Tilt(), expected);
    }
    EXPECT_EQ(stepper.Step(PanTiltPart::Down), S_FALSE);
    EXPECT_EQ(Tilt(), 2);
}

TEST_F(PanTiltStepperTest, MechanicalStepsRunTheMotorsAndTheCentreSendsThemHome) {
    Use(kPtz);
    const CPanTiltStepper stepper(facade, true);
    EXPECT_EQ(stepper.Step(PanTiltPart::Right), S_OK);
    ASSERT_TRUE(MotorsReach(2, 0));
    EXPECT_EQ(stepper.Step(PanTiltPart::Up), S_OK);
    ASSERT_TRUE(MotorsReach(2, -2));
    EXPECT_EQ(stepper.Step(PanTiltPart::Left), S_OK);
    EXPECT_EQ(stepper.Step(PanTiltPart::Left), S_OK);
    ASSERT_TRUE(MotorsReach(-2, -2));
    EXPECT_EQ(stepper.Step(PanTiltPart::Down), S_OK);
    ASSERT_TRUE(MotorsReach(-2, 0));
    EXPECT_EQ(stepper.Step(PanTiltPart::Right), S_OK);
    ASSERT_TRUE(MotorsReach(0, 0));
    EXPECT_EQ(stepper.Step(PanTiltPart::Down), S_OK);
    EXPECT_EQ(stepper.Step(PanTiltPart::Down), S_OK);
    ASSERT_TRUE(MotorsReach(0, 4));
    EXPECT_EQ(stepper.Step(PanTiltPart::Centre), S_OK);
    EXPECT_TRUE(MotorsReach(0, 0)) << "home";
}

TEST_F(PanTiltStepperTest, ACameraWithoutPanAndTiltIsLeftAlone) {
    Use(kMinimal);
    const CPanTiltStepper stepper(facade, false);
    for (PanTiltPart part : {PanTiltPart::Left, PanTiltPart::Right, PanTiltPart::Up, PanTiltPart::Down})
        EXPECT_EQ(stepper.Step(part), S_FALSE);
    EXPECT_EQ(Pan(kFull), 0) << "the other cameras are not touched";
    EXPECT_EQ(Pan(kPtz), 0);
}

} // namespace
