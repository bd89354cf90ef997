// When the SunTune offer is due for a camera, and what the end of a stream and the ribbon's closing do to
// the camera's SunTune mode.
#include "RibbonFakeServiceFixture.h"
#include "app/CVidoraSettings.h"
#include "platform/SettingsPrimitives.h"
#include "ribbon/CSunTuneRules.h"
#include "services/IGraniteDeviceManagerEvent.h"

#include <gtest/gtest.h>

namespace {

class ModeListener : public IGraniteDeviceManagerEvent {
public:
    std::vector<int32_t> modes;
    void OnSunTuneModeChanged(uint32_t, int32_t mode) override { modes.push_back(mode); }
};

class SunTuneRulesTest : public RibbonFakeServiceTest {
protected:
    // A camera in the default mode, shutter open, video mute off: the offer is due.
    IGraniteDeviceManager* OpenReadyCamera() {
        AddCamera({{GdmProperty::SunTuneMode.value, 5},
                   {GdmProperty::MechanicalPrivacyShade, 0},
                   {GdmProperty::VideoMute, 0}});
        IGraniteDeviceManager* dm = Open();
        EXPECT_EQ(dm->SelectVideoDevice(0), S_OK);
        dm->AddListener(&listener_, 7);
        return dm;
    }
    void TearDown() override {
        if (dm_)
            dm_->RemoveListener(&listener_);
        RibbonFakeServiceTest::TearDown();
    }
    int32_t Value(const char* key) {
        int32_t value = -1;
        dm_->GetVideoDeviceValue(kCam, key, &value, 0);
        return value;
    }

    ModeListener listener_;
};

TEST_F(SunTuneRulesTest, TheOfferIsDueForAReadyCameraInTheDefaultModeOnly) {
    IGraniteDeviceManager* dm = OpenReadyCamera();
    auto& props = service_.cameras[0].properties;

    props[GdmProperty::SunTuneMode.value] = Variant::FromI4(10);
    EXPECT_FALSE(CSunTuneRules::ArrivalCheck(dm, kCam)) << "not in the default mode";
    props[GdmProperty::SunTuneMode.value] = Variant::FromI4(5);

    props[GdmProperty::MechanicalPrivacyShade] = Variant::FromI4(1);
    EXPECT_FALSE(CSunTuneRules::ArrivalCheck(dm, kCam)) << "shutter closed";
    props[GdmProperty::MechanicalPrivacyShade] = Variant::FromI4(0);

    props[GdmProperty::VideoMute] = Variant::FromI4(1);
    EXPECT_FALSE(CSunTuneRules::ArrivalCheck(dm, kCam)) << "video mute on";
    props[GdmProperty::VideoMute] = Variant::FromI4(0);

    dm->SetVideoDeviceValue(kCam, CSunTuneRules::kNoNotification, 1);
    EXPECT_FALSE(CSunTuneRules::ArrivalCheck(dm, kCam)) << "already answered during this stream";
    dm->SetVideoDeviceValue(kCam, CSunTuneRules::kNoNotification, 0);

    service_.failing.insert("GetDeviceStrings");
    EXPECT_FALSE(CSunTuneRules::ArrivalCheck(dm, kCam)) << "the camera cannot tell who holds it";
    service_.failing.clear();

    CSunTuneRules::MarkNotificationOpen("USB\\VID_0A5D&PID_1234\\VIDEO");
    EXPECT_FALSE(CSunTuneRules::ArrivalCheck(dm, kCam)) << "a notification is open for it";
    CSunTuneRules::MarkNotificationClosed(kCam);

    // Every condition holds again: the offer is due, and the check itself changes nothing.
    std::optional<SunTuneOffer> offer = CSunTuneRules::ArrivalCheck(dm, kCam);
    ASSERT_TRUE(offer);
    EXPECT_EQ(offer->deviceId, kCam);
    EXPECT_EQ(offer->cameraName, kName);
    EXPECT_EQ(offer->cameraKey, CVidoraSettings::GetCameraKey(kName));
    EXPECT_EQ(offer->recommendedMode, 10);
    EXPECT_EQ(PropertyOf(GdmProperty::SunTuneMode.value), 5);
    EXPECT_FALSE(CSunTuneRules::ArrivalCheck(nullptr, kCam));
    EXPECT_FALSE(CSunTuneRules::ArrivalCheck(dm, "usb\\unknown\\video"));
}

TEST_F(SunTuneRulesTest, EndOfStreamFollowsTheOptionAndRestoresADismissedOfferOnce) {
    struct Case {
        const char* name;
        uint32_t option;
        int32_t mode; // the camera's and the stored mode during the stream
        bool returnToDefault;
        int32_t after; // the camera's and the stored mode after the stream
    } cases[] = {
        {"option 1 goes back to the default mode", 1, 10, false, 5},
        {"option 0 keeps the recommended mode", 0, 10, false, 10},
        // The offer was closed without an answer: SunTune went off for the stream.
        {"a dismissed offer", 2, 0, true, 5},
    };
    IGraniteDeviceManager* dm = OpenReadyCamera();
    for (const Case& c : cases) {
        service_.cameras[0].properties[GdmProperty::SunTuneMode.value] = Variant::FromI4(c.mode);
        CVidoraSettings::SetSTOption(kName, c.option);
        CVidoraSettings::SetSTMode(kName, static_cast<uint32_t>(c.mode));
        dm->SetVideoDeviceValue(kCam, CSunTuneRules::kNoNotification, 1);
        dm->SetVideoDeviceValue(kCam, CSunTuneRules::kReturnToDefault, c.returnToDefault ? 1 : 0);
        listener_.modes.clear();
        CSunTuneRules::EndOfStream(dm, kCam);
        EXPECT_EQ(PropertyOf(GdmProperty::SunTuneMode.value), c.after) << c.name;
        EXPECT_EQ(CVidoraSettings::GetSTMode(kName), static_cast<uint32_t>(c.after)) << c.name;
        EXPECT_EQ(Value(CSunTuneRules::kNoNotification), 0) << c.name << ": the next stream may offer again";
        EXPECT_EQ(Value(CSunTuneRules::kReturnToDefault), 0) << c.name;
        Pump();
        EXPECT_EQ(listener_.modes, c.after == c.mode ? std::vector<int32_t>{} : std::vector<int32_t>{c.after})
            << c.name;
    }
    EXPECT_EQ(CVidoraSettings::GetPreviousSTMode(kName), 0u);
    // Restoring is done once: a second end of stream changes nothing.
    service_.cameras[0].properties[GdmProperty::SunTuneMode.value] = Variant::FromI4(10);
    CSunTuneRules::EndOfStream(dm, kCam);
    EXPECT_EQ(PropertyOf(GdmProperty::SunTuneMode.value), 10);
}

TEST_F(SunTuneRulesTest, ClosingTheRibbonTurnsSunTuneOffAndTellsTheComponent) {
    IGraniteDeviceManager* dm = OpenReadyCamera();
    service_.cameras.push_back(FakeDeviceManagerService::Camera("usb\\other\\video", "Other", 0x0821));
    dm->RefreshVideoDevices();
    CVidoraSettings::SetSTAppUI(kProductId, 1);
    CVidoraSettings::SetSTAppUI(0x0821, 1);
    CSunTuneRules::OnRibbonClosing(dm);
    EXPECT_EQ(PropertyOf(GdmProperty::SunTuneMode.value), 0);
    uint32_t value = 7;
    Settings::ReadNumber(CVidoraSettings::kSunTuneKey, "ST2AppUI_1234", &value, 7);
    EXPECT_EQ(value, 0u);
    Settings::ReadNumber(CVidoraSettings::kSunTuneKey, "ST2AppUI_0821", &value, 7);
    EXPECT_EQ(value, 1u) << "a camera without SunTune is left alone";
    EXPECT_EQ(service_.cameras[1].properties.count(GdmProperty::SunTuneMode.value), 0u);
}

} // namespace
