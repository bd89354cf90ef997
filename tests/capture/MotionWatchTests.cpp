// Arming motion detection on the simulated camera through the real device-manager facade: the levels
// reach the window's callback until disarming, face tracking is switched off only when it has to be and
// switched back only when arming did it, and the shared state follows.
#include "RecordingFixture.h"
#include "capture/CMotionWatch.h"
#include "platform/CObjectFactory.h"
#include "services/IGraniteDeviceManager.h"
#include "support/CFakeClock.h"
#include "support/EventPump.h"

#include <atomic>

namespace {

class MotionWatchTest : public RecordingFixture {
protected:
    void SetUp() override {
        SetClock(&clock);
        RecordingFixture::SetUp();
        dm = devices.ConnectDeviceManager();
        ASSERT_NE(dm, nullptr);
    }
    void TearDown() override {
        watch.Disarm(dm, false);
        devices.hardware->SetSceneMotion(false);
        devices.DisconnectDeviceManager();
        RecordingFixture::TearDown();
        SetClock(nullptr);
    }
    int32_t FaceTracking() {
        int32_t mode = -1;
        EXPECT_EQ(dm->GetTriStateMode(&mode), S_OK);
        return mode;
    }
    int32_t Shared() {
        int32_t state = -1;
        EXPECT_EQ(dm->GetSharedState(&state), S_OK);
        return state;
    }

    CFakeClock clock;
    IGraniteDeviceManager* dm = nullptr;
    CMotionWatch watch;
    CEventLog levels;
};

TEST_F(MotionWatchTest, LevelsArriveWhileArmedAndNotAfterwards) {
    devices.hardware->SetSceneMotion(true);
    ASSERT_EQ(watch.Arm(capture, &levels, dm, false), S_OK);
    EXPECT_TRUE(watch.IsArmed());
    EXPECT_EQ(Shared(), 1);
    ASSERT_TRUE(levels.WaitFor(3)) << "the detector reports about ten levels a second";

    watch.Disarm(dm, false);
    EXPECT_FALSE(watch.IsArmed());
    EXPECT_EQ(Shared(), 0);
    const size_t atDisarm = levels.Count();
    EXPECT_FALSE(levels.WaitFor(atDisarm + 1, 400)) << "no level after disarming";
}

TEST_F(MotionWatchTest, FaceTrackingIsRestoredOnlyWhenArmingChangedIt) {
    struct Row {
        const char* why;
        int32_t before;
        bool effectsAtArm, effectsAtDisarm;
        int32_t whileArmed, after;
    };
    const Row rows[] = {
        {"off stays off", 0, false, false, 0, 0},
        {"one face: off while armed, then back", 1, false, false, 0, 1},
        {"automatic: off while armed, then back", 2, false, false, 0, 2},
        {"the effects engine runs it: left alone", 1, true, true, 1, 1},
        {"the effects engine took over meanwhile: not written back", 2, false, true, 0, 0},
        {"the effects engine stopped meanwhile: nothing to restore", 1, true, false, 1, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        ASSERT_EQ(dm->SetTriStateMode(row.before), S_OK);
        ASSERT_EQ(watch.Arm(capture, &levels, dm, row.effectsAtArm), S_OK);
        EXPECT_EQ(FaceTracking(), row.whileArmed);
        EXPECT_EQ(Shared(), 1);
        watch.Disarm(dm, row.effectsAtDisarm);
        EXPECT_EQ(FaceTracking(), row.after);
        EXPECT_EQ(Shared(), 0);
    }
}

TEST_F(MotionWatchTest, ArmingAgainKeepsTheModeToRestore) {
    ASSERT_EQ(dm->SetTriStateMode(2), S_OK);
    ASSERT_EQ(watch.Arm(capture, &levels, dm, false), S_OK);
    ASSERT_EQ(watch.Arm(capture, &levels, dm, false), S_OK);
    EXPECT_EQ(FaceTracking(), 0);
    watch.Disarm(dm, false);
    EXPECT_EQ(FaceTracking(), 2) << "the mode from before the first arming";
    watch.Disarm(dm, false);
    EXPECT_EQ(FaceTracking(), 2) << "disarming twice changes nothing";
}

TEST_F(MotionWatchTest, ArmingThatFailsLeavesTheCameraAlone) {
    ASSERT_EQ(dm->SetTriStateMode(1), S_OK);
    EXPECT_EQ(watch.Arm(nullptr, &levels, dm, false), E_POINTER);
    EXPECT_EQ(watch.Arm(capture, nullptr, dm, false), E_POINTER);
    CObjectFactory::Instance().Unregister(CLSID_MotionDetector);
    EXPECT_EQ(watch.Arm(capture, &levels, dm, false), REGDB_E_CLASSNOTREG);
    EXPECT_FALSE(watch.IsArmed());
    EXPECT_EQ(FaceTracking(), 1);
    EXPECT_EQ(Shared(), 0);
    EXPECT_EQ(CCaptureEventSinkBase::LiveCount(), sinksAtStart);
}

TEST_F(MotionWatchTest, WithoutADeviceManagerOnlyTheDetectorRuns) {
    ASSERT_EQ(dm->SetTriStateMode(1), S_OK);
    devices.hardware->SetSceneMotion(true);
    ASSERT_EQ(watch.Arm(capture, &levels, nullptr, false), S_OK);
    EXPECT_FALSE(watch.ChangedFaceTracking());
    EXPECT_TRUE(levels.WaitFor(1));
    watch.Disarm(nullptr, false);
    EXPECT_FALSE(watch.IsArmed());
    EXPECT_EQ(FaceTracking(), 1);
    EXPECT_EQ(Shared(), 0);
}

// Holds the first level it gets on the capture's thread for a while, as a slow window would.
class CSlowCallback : public IMotionEventCallback {
public:
    void OnMotionEvent(uint32_t) override {
        if (entered.exchange(true))
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        returned = true;
    }
    std::atomic<bool> entered{false};
    std::atomic<bool> returned{false};
};

TEST_F(MotionWatchTest, DisarmingWaitsForALevelBeingDelivered) {
    CSlowCallback slow;
    devices.hardware->SetSceneMotion(true);
    ASSERT_EQ(watch.Arm(capture, &slow, dm, false), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return slow.entered.load(); }, 15000));
    watch.Disarm(dm, false);
    EXPECT_TRUE(slow.returned) << "the callback was still running when Disarm returned";
}

} // namespace
