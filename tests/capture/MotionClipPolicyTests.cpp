// When motion-triggered recording starts and finishes its clips: readings on a made-up clock, one scripted
// scenario per row, and the clip length checked between readings.
#include "capture/CMotionClipPolicy.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using A = MotionAction;

// One thing that happens to the policy, and the action expected from a reading or a tick.
struct Step {
    enum Kind { Reading, Tick, Started, Finished, Consumed, Disarm } kind;
    uint64_t at = 0;    // ms on the made-up clock
    int32_t level = 0;  // readings
    bool clip = false;  // whether a clip runs (readings and ticks)
    A expect = A::None; // readings and ticks
    int repeat = 1;     // the same reading this many times in a row, each 100 ms after the one before
};

Step Read(uint64_t at, int32_t level, bool clip, A expect, int repeat = 1) {
    return {Step::Reading, at, level, clip, expect, repeat};
}
Step TickAt(uint64_t at, bool clip, A expect) {
    return {Step::Tick, at, 0, clip, expect, 1};
}
Step Do(Step::Kind kind, uint64_t at = 0) {
    return {kind, at, 0, false, A::None, 1};
}

const char* Name(A action) {
    return action == A::StartClip ? "StartClip" : action == A::FinishClip ? "FinishClip" : "None";
}

struct Scenario {
    std::string name;
    int32_t durationSec;
    int32_t sensitivity;
    std::vector<Step> steps; // armed at 1000 ms
};

// Armed at 1000 ms, so readings count from 6000 ms on.
const Scenario kScenarios[] = {
    {"readings in the settle time are ignored, then motion asks for a clip",
     60,
     40,
     {Read(1000, 900, false, A::None), Read(5999, 900, false, A::None),
      Read(6000, 900, false, A::StartClip)}},
    {"a level equal to the sensitivity is motion; one below is quiet",
     60,
     40,
     {Read(6000, 39, false, A::None), Read(6100, 40, false, A::StartClip)}},
    {"a clip is asked for once until the request is taken up",
     60,
     40,
     {Read(6000, 90, false, A::StartClip), Read(6100, 90, false, A::None, 5), Do(Step::Consumed),
      Read(7000, 90, false, A::StartClip)}},
    {"the 61st quiet reading in a row finishes a running clip",
     60,
     40,
     {Read(6000, 90, false, A::StartClip), Do(Step::Consumed), Do(Step::Started, 6050),
      Read(6100, 10, true, A::None, 60), Read(20000, 10, true, A::FinishClip)}},
    {"motion in between starts the quiet count again",
     60,
     40,
     {Do(Step::Started, 6000), Read(6100, 10, true, A::None, 60), Read(13000, 40, true, A::None),
      Read(13100, 10, true, A::None, 60), Read(20000, 10, true, A::FinishClip)}},
    {"quiet readings never finish a clip that is not running", 60, 40, {Read(6000, 0, false, A::None, 200)}},
    {"a clip is finished once more than its length has passed since it started",
     2,
     40,
     {Do(Step::Started, 6000), Read(8000, 90, true, A::None), Read(8001, 90, true, A::FinishClip)}},
    {"the length is measured from the clip's start, not from arming",
     2,
     40,
     {Read(6000, 90, false, A::StartClip), Do(Step::Consumed), Do(Step::Started, 30000),
      Read(31000, 90, true, A::None), Read(32001, 10, true, A::FinishClip)}},
    {"the quiet count restarts with each clip",
     60,
     40,
     {Read(6000, 10, false, A::None, 50), Do(Step::Started, 12000), Read(12100, 10, true, A::None, 60),
      Read(20000, 10, true, A::FinishClip), Do(Step::Finished), Read(21000, 10, false, A::None, 3),
      Read(22000, 50, false, A::StartClip)}},
    {"after disarming every reading is ignored",
     60,
     40,
     {Do(Step::Disarm), Read(9000, 900, false, A::None), Read(9100, 0, true, A::None, 70),
      TickAt(99000, true, A::None)}},
    {"a clip length below one second counts as one second",
     0,
     40,
     {Do(Step::Started, 6000), Read(6500, 90, true, A::None), Read(7001, 90, true, A::FinishClip)}},
};

TEST(MotionClipPolicy, ReadingsStartAndFinishClipsByTheRules) {
    for (const Scenario& scenario : kScenarios) {
        SCOPED_TRACE(scenario.name);
        CMotionClipPolicy policy;
        policy.Arm(1000, scenario.durationSec, scenario.sensitivity);
        int index = 0;
        for (const Step& step : scenario.steps) {
            ++index;
            switch (step.kind) {
            case Step::Reading:
                for (int i = 0; i < step.repeat; ++i) {
                    const A got =
                        policy.OnReading(step.level, step.at + 100u * static_cast<uint64_t>(i), step.clip);
                    ASSERT_EQ(Name(got), std::string(Name(step.expect)))
                        << "step " << index << " reading " << i + 1;
                }
                break;
            case Step::Tick:
                ASSERT_EQ(Name(policy.OnTick(step.at, step.clip)), std::string(Name(step.expect)))
                    << "step " << index;
                break;
            case Step::Started:
                policy.ClipStarted(step.at);
                break;
            case Step::Finished:
                policy.ClipFinished();
                break;
            case Step::Consumed:
                policy.StartRequestConsumed();
                break;
            case Step::Disarm:
                policy.Disarm();
                break;
            }
        }
    }
}

TEST(MotionClipPolicy, TheTimerFinishesALongClipWithoutAnyReading) {
    CMotionClipPolicy policy;
    policy.Arm(0, 10, 40);
    EXPECT_EQ(policy.OnTick(60000, false), A::None) << "no clip runs";
    ASSERT_EQ(policy.OnReading(90, 6000, false), A::StartClip);
    policy.StartRequestConsumed();
    policy.ClipStarted(6000);
    EXPECT_EQ(policy.OnTick(16000, true), A::None) << "exactly the length is not more than it";
    EXPECT_EQ(policy.OnTick(16001, true), A::FinishClip);
    EXPECT_EQ(policy.OnTick(16001, false), A::None) << "the caller says the clip is over";
    policy.ClipFinished();
    EXPECT_EQ(policy.OnTick(99000, true), A::None) << "no clip start known: nothing to measure";
}

TEST(MotionClipPolicy, ArmingAgainForgetsTheLastWatch) {
    CMotionClipPolicy policy;
    EXPECT_FALSE(policy.IsArmed());
    EXPECT_EQ(policy.OnReading(900, 100000, false), A::None) << "never armed";
    policy.Arm(0, 60, 40);
    ASSERT_EQ(policy.OnReading(90, 5000, false), A::StartClip);
    EXPECT_TRUE(policy.StartPosted());
    for (int i = 0; i < 7; ++i)
        policy.OnReading(1, 6000 + static_cast<uint64_t>(i), false);
    EXPECT_EQ(policy.QuietCount(), 7);

    policy.Arm(50000, 60, 200);
    EXPECT_TRUE(policy.IsArmed());
    EXPECT_FALSE(policy.StartPosted());
    EXPECT_EQ(policy.QuietCount(), 0);
    EXPECT_EQ(policy.OnReading(900, 54999, false), A::None) << "a new settle time from the new arming";
    EXPECT_EQ(policy.OnReading(199, 55000, false), A::None) << "the new sensitivity";
    EXPECT_EQ(policy.OnReading(200, 55100, false), A::StartClip);
    policy.Disarm();
    EXPECT_FALSE(policy.IsArmed());
    EXPECT_FALSE(policy.StartPosted());
}

} // namespace
