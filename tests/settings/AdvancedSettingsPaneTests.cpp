// The advanced pane on the simulated cameras with the stand-in effects engine: what it reads and writes, how
// it follows the camera, which camera the refresh timer asks to re-read, and the rows an OEM switch offers.
#include "granite/effects/CGraniteEffectsControl.h"
#include "granite/effects/RegisterGraniteEffectsService.h"
#include "platform/CNamedEvent.h"
#include "platform/TextUtil.h"
#include "services/IBrenmoorVideoEffects.h"
#include "settings/CAdvancedSettingsPaneDlg.h"
#include "support/CSwitchesOEM.h"
#include "tests/settings/SettingsFixture.h"

namespace {

namespace Cam = DeviceProperty::Camera;
using Adv = CAdvancedSettingsPaneDlg;

int32_t PackedLed(int32_t mode, int32_t a, int32_t b) {
    return mode | a << 8 | b << 16;
}

class AdvancedPaneTest : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        Granite::CGraniteEffectsControl::Instance().Reset();
        RegisterGraniteEffectsService();
        SetOEMInfo(&oem);
    }
    void TearDown() override {
        SettingsTest::TearDown();
        if (effects != nullptr)
            effects->Release();
        UnregisterGraniteEffectsService();
        SetOEMInfo(nullptr);
    }

    // Cameras of the models, the features recorded, and the effects drawing on the first camera.
    void Open(const std::vector<std::string>& models, const std::vector<std::string>& features) {
        std::vector<Granite::DeviceRequest> devices;
        for (const std::string& model : models)
            devices.push_back({Granite::DeviceKind::Camera, model});
        PlugDevices(devices, features);
        effects = GetBrenmoorVideoEffects();
        ASSERT_NE(effects, nullptr);
        if (!camera.empty()) {
            ASSERT_EQ(effects->EffectsCall10(camera), S_OK);
        }
        OpenSettings(Tab::Advanced);
    }
    int32_t ShownExposure() const {
        return Adv::Current()->ExposureMapping().ValueAt(Slider(Adv::kExposureSlider)->GetPos());
    }

    CSwitchesOEM oem;
    IBrenmoorVideoEffects* effects = nullptr;
};

TEST_F(AdvancedPaneTest, AutomaticExposureHoldsBothSlidersUntilSwitchedOff) {
    Open({"full"}, {});
    // The full camera: automatic exposure, exposure 10..10000 at 250 on the general steps, gain 0..255 at 64.
    EXPECT_TRUE(Checked(Adv::kAutoExposure));
    EXPECT_FALSE(Enabled(Adv::kExposureSlider));
    // The camera moves its levels on its own meanwhile.
    ChangeOnCamera(Cam::Exposure.value, 60);
    ChangeOnCamera(Cam::Gain.value, 90);
    Settle();
    Click(Adv::kAutoExposure);
    EXPECT_EQ(CameraValue(Cam::AutoExposure.value), 0);
    ASSERT_TRUE(Enabled(Adv::kExposureSlider));
    EXPECT_EQ(ShownExposure(), 60);
    EXPECT_EQ(Slider(Adv::kGainSlider)->GetPos(), 90);
    MoveSlider(Adv::kExposureSlider, 4);
    EXPECT_EQ(CameraValue(Cam::Exposure.value), 500);
    MoveSlider(Adv::kGainSlider, 200);
    EXPECT_EQ(CameraValue(Cam::Gain.value), 200);
    // Switched on elsewhere: the sliders are held again, and nothing is written back.
    ChangeOnCamera(Cam::AutoExposure.value, 1);
    ASSERT_TRUE(PumpUntil([&] { return !Enabled(Adv::kExposureSlider); }));
    EXPECT_FALSE(Enabled(Adv::kGainSlider));
    EXPECT_EQ(CameraValue(Cam::Exposure.value), 500);
}

TEST_F(AdvancedPaneTest, SwitchesAndLevelsWriteTheCameraFollowItAndRestoreItsDefaults) {
    Open({"full"}, {"Backlight"});
    Click(Adv::kMirrorVertical);
    EXPECT_EQ(CameraValue(Cam::MirrorVertical.value), 1);
    Click(Adv::kFlicker50);
    EXPECT_EQ(CameraValue(Cam::PowerLineFrequency.value), 1);
    MoveSlider(Adv::kBacklightSlider, 3);
    EXPECT_EQ(CameraValue(Cam::Backlight.value), 3);
    ChangeOnCamera(Cam::PowerLineFrequency.value, 0);
    ChangeOnCamera(Cam::Backlight.value, 2);
    ASSERT_TRUE(PumpUntil([&] { return Slider(Adv::kBacklightSlider)->GetPos() == 2; }));
    EXPECT_TRUE(PumpUntil([&] { return Checked(Adv::kFlickerOff); }));
    EXPECT_EQ(CameraValue(Cam::Backlight.value), 2) << "following writes nothing back";
    Click(Adv::kRestoreDefaults);
    EXPECT_EQ(CameraValue(Cam::MirrorVertical.value), 0);
    EXPECT_EQ(CameraValue(Cam::PowerLineFrequency.value), 2);
    EXPECT_EQ(CameraValue(Cam::Backlight.value), 1);
    EXPECT_EQ(CameraValue(Cam::Exposure.value), 250);
    EXPECT_TRUE(Checked(Adv::kFlicker60));
}

TEST_F(AdvancedPaneTest, MirrorChangesAreToldToOtherPrograms) {
    Open({"full"}, {});
    CNamedEvent on, off;
    ASSERT_TRUE(on.Create(CVidoraNamedEvents::Name(CVidoraNamedEvents::MirrorHorzOn), false, false));
    ASSERT_TRUE(off.Create(CVidoraNamedEvents::Name(CVidoraNamedEvents::MirrorHorzOff), false, false));
    ChangeOnCamera(Cam::MirrorHorizontal.value, 1);
    EXPECT_TRUE(PumpUntil([&] { return on.IsSet(); }));
    EXPECT_TRUE(Checked(Adv::kMirrorHorizontal));
    EXPECT_FALSE(off.IsSet());
    ChangeOnCamera(Cam::MirrorHorizontal.value, 0);
    EXPECT_TRUE(PumpUntil([&] { return off.IsSet(); }));
    EXPECT_FALSE(Checked(Adv::kMirrorHorizontal));
}

TEST_F(AdvancedPaneTest, TheRefreshTimerAsksOnlyModelsWithTheSwitchAndTheListChoosesTheCamera) {
    // The conference camera needs asking; the full one reports changes by itself.
    oem.switches[Text::Format("RefreshExposureGain.%04X", Granite::kProductPtzCamera)] = true;
    Open({"full", "ptz"}, {});
    timers.Advance(3 * Adv::kRefreshIntervalMs);
    EXPECT_EQ(CameraValue(Cam::Reread.value, cameras[0]), 0);
    Pick(Adv::kCameraList, 1);
    std::string inUse;
    ASSERT_EQ(effects->EffectsCall8(&inUse), S_OK);
    EXPECT_EQ(inUse, cameras[1]);
    // The conference camera's exposure is on the logarithmic scale over its whole range.
    Click(Adv::kAutoExposure);
    MoveSlider(Adv::kExposureSlider, 5005);
    EXPECT_EQ(CameraValue(Cam::Exposure.value, cameras[1]), 109);
    EXPECT_EQ(CameraValue(Cam::Reread.value, cameras[1]), 0);
    timers.Advance(Adv::kRefreshIntervalMs);
    EXPECT_EQ(CameraValue(Cam::Reread.value, cameras[1]), Adv::kRereadExposureAndGain);
    EXPECT_EQ(CameraValue(Cam::Reread.value, cameras[0]), 0);
}

TEST_F(AdvancedPaneTest, TheLightNeedsItsOemSwitchAndKeepsItsOtherSettings) {
    Open({"full"}, {"LEDControl"});
    EXPECT_FALSE(Shown(Adv::kLedBlink));
    oem.switches["LEDControl"] = true;
    OpenSettings(Tab::Advanced);
    ASSERT_TRUE(Shown(Adv::kLedBlink));
    EXPECT_TRUE(Checked(Adv::kLedOn));
    ChangeOnCamera(Cam::LedMode.value, PackedLed(1, 7, 9));
    Click(Adv::kLedBlink);
    EXPECT_EQ(CameraValue(Cam::LedMode.value), PackedLed(4, 7, 9));
    Click(Adv::kLedOff);
    EXPECT_EQ(CameraValue(Cam::LedMode.value), PackedLed(0, 7, 9));
}

} // namespace
