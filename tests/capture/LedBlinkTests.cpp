// The countdown blink of the camera's LED and its restore, through the device-manager facade over the
// simulated cameras; the LED is read back from the simulated camera itself.
#include "SimulatedDevices.h"
#include "capture/CLedBlink.h"
#include "granite/devices/SimulatedDeviceConstants.h"
#include "platform/IClock.h"
#include "support/CFakeClock.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

namespace {

struct Led {
    int32_t mode, argument, rate;
    bool operator==(const Led&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Led& led) {
    return out << "(" << led.mode << ", " << led.argument << ", " << led.rate << ")";
}

class LedBlinkTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        SetClock(&clock);
        devices.Plug({{Granite::DeviceKind::Camera, GetParam()}});
        camera = devices.CameraId();
        dm = devices.ConnectDeviceManager();
        ASSERT_NE(dm, nullptr);
    }
    void TearDown() override {
        devices.Unplug();
        SetClock(nullptr);
    }
    bool FullModel() const { return std::string(GetParam()) == "full"; }
    // The LED property the model has: the full camera's current one, the basic camera's older one.
    int32_t LedProperty() const {
        return FullModel() ? Granite::CamProp::LedMode : Granite::CamProp::LedModeLegacy;
    }
    Led OnCamera() {
        Variant value;
        int32_t packed = -1;
        EXPECT_EQ(devices.hardware->Get(Granite::DeviceKind::Camera, camera, LedProperty(), &value), S_OK);
        value.ToI4(packed);
        return {packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF};
    }
    void SetOnCamera(Led led) {
        ASSERT_EQ(devices.hardware->Set(Granite::DeviceKind::Camera, camera, LedProperty(),
                                        Variant::FromI4(led.mode | led.argument << 8 | led.rate << 16),
                                        Granite::WriteOrigin::Hardware),
                  S_OK);
    }

    CTempEnvironment env;
    CFakeClock clock;
    CSimulatedDevices devices;
    std::string camera;
    IGraniteDeviceManager* dm = nullptr;
};

TEST(LedBlink, WithoutADeviceManagerNothingHappens) {
    CLedBlink led(nullptr);
    EXPECT_FALSE(led.HasLedControl());
    led.Start();
    led.Update(2);
    led.Restore();
    EXPECT_FALSE(led.HasSaved());
}

TEST_P(LedBlinkTest, ACountdownBlinksTheLedAndRestoreGivesItsSettingBack) {
    CLedBlink led(dm);
    // Only the full camera has the LED modes the blink needs; the window asks before it blinks.
    EXPECT_EQ(led.HasLedControl(), FullModel());
    SetOnCamera({1, 7, 0});
    led.Start();
    ASSERT_TRUE(led.HasSaved());
    EXPECT_EQ(led.Saved()->mode, 1);
    EXPECT_EQ(led.Saved()->argument, 7);

    // It blinks faster in the last three seconds.
    led.Update(4);
    if (FullModel()) {
        EXPECT_EQ(OnCamera(), (Led{2, 3, 20}));
        led.Update(3);
        EXPECT_EQ(OnCamera(), (Led{2, 3, 40}));
    }

    led.Restore();
    EXPECT_FALSE(led.HasSaved());
    // The full camera has a SunTune mode, so the LED goes back under its control; the basic camera has
    // none and gets the plain mode without blinking.
    EXPECT_EQ(OnCamera(), FullModel() ? (Led{5, 7, 0}) : (Led{1, 7, 0}));

    // A second restore has nothing to write.
    SetOnCamera({1, 9, 0});
    led.Restore();
    EXPECT_EQ(OnCamera(), (Led{1, 9, 0}));
}

// The blink modes are the full camera's.
class LedBlinkFullCameraTest : public LedBlinkTest {};

TEST_P(LedBlinkFullCameraTest, AnLedAlreadyBlinkingAtTheRateIsLeftAlone) {
    CLedBlink led(dm);
    // Blinking at the wanted rate: no write, so the argument stays what it is.
    SetOnCamera({2, 9, 20});
    led.Update(8);
    EXPECT_EQ(OnCamera(), (Led{2, 9, 20}));
    // The wrong rate is corrected, down to the last second.
    led.Update(0);
    EXPECT_EQ(OnCamera(), (Led{2, 3, 40}));
}

TEST_P(LedBlinkTest, StartingAgainRestoresFirstAndSavesWhatTheRestoreWrote) {
    CLedBlink led(dm);
    SetOnCamera({1, 4, 0});
    led.Start();
    led.Update(6);
    led.Start();
    ASSERT_TRUE(led.HasSaved());
    // The second countdown saves the LED as the first one left it, not its blink.
    EXPECT_EQ(led.Saved()->mode, FullModel() ? 5 : 1);
    EXPECT_EQ(led.Saved()->argument, 4);
}

INSTANTIATE_TEST_SUITE_P(Cameras, LedBlinkTest, ::testing::Values("full", "basic"));
INSTANTIATE_TEST_SUITE_P(Cameras, LedBlinkFullCameraTest, ::testing::Values("full"));

} // namespace
