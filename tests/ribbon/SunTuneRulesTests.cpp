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

TEST_F(SunTuneRulesTest, OfferIsDueForAReadyCameraInTheDefaultMode) {
    IGraniteDeviceManager* dm = OpenReadyCamera();
    std::optional<SunTuneOffer> offer = CSunTuneRules::ArrivalCheck(dm, kCam);
    ASSERT_TRUE(offer);
    EXPECT_EQ(offer->deviceId, kCam);
    EXPECT_EQ(offer->cameraName, kName);
    EXPECT_EQ(offer->cameraKey, CVidoraSettings::GetCameraKey(kName));
    EXPECT_EQ(offer->recommendedMode, 10);
    EXPECT_EQ(PropertyOf(GdmProperty::SunTuneMode.value), 5) << "the check changes nothing";
}

TEST_F(SunTuneRulesTest, NoOfferWhenAnyConditionFails) {
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

    EXPECT_TRUE(CSunTuneRules::ArrivalCheck(dm, kCam)) << "every condition holds again";
    EXPECT_FALSE(CSunTuneRules::ArrivalCheck(nullptr, kCam));
    EXPECT_FALSE(CSunTuneRules::ArrivalCheck(dm, "usb\\unknown\\video"));
}

TEST_F(SunTuneRulesTest, EndOfStreamWithOptionOneGoesBackToTheDefaultMode) {
    IGraniteDeviceManager* dm = OpenReadyCamera();
    service_.cameras[0].properties[GdmProperty::SunTuneMode.value] = Variant::FromI4(10);
    CVidoraSettings::SetSTOption(kName, 1);
    CVidoraSettings::SetSTMode(kName, 10);
    dm->SetVideoDeviceValue(kCam, CSunTuneRules::kNoNotification, 1);
    CSunTuneRules::EndOfStream(dm, kCam);
    EXPECT_EQ(PropertyOf(GdmProperty::SunTuneMode.value), 5);
    EXPECT_EQ(CVidoraSettings::GetSTMode(kName), 5u);
    EXPECT_EQ(Value(CSunTuneRules::kNoNotification), 0);
    Pump();
    EXPECT_EQ(listener_.modes, std::vector<int32_t>{5});
}

TEST_F(SunTuneRulesTest, EndOfStreamWithOptionZeroKeepsTheRecommendedMode) {
    IGraniteDeviceManager* dm = OpenReadyCamera();
    service_.cameras[0].properties[GdmProperty::SunTuneMode.value] = Variant::FromI4(10);
    CVidoraSettings::SetSTOption(kName, 0);
    CVidoraSettings::SetSTMode(kName, 10);
    dm->SetVideoDeviceValue(kCam, CSunTuneRules::kNoNotification, 1);
    CSunTuneRules::EndOfStream(dm, kCam);
    EXPECT_EQ(PropertyOf(GdmProperty::SunTuneMode.value), 10);
    EXPECT_EQ(CVidoraSettings::GetSTMode(kName), 10u);
    EXPECT_EQ(Value(CSunTuneRules::kNoNotification), 0) << "the next stream may offer again";
    Pump();
    EXPECT_TRUE(listener_.modes.empty());
}

TEST_F(SunTuneRulesTest, EndOfStreamAfterADismissedOfferRestoresTheDefaultMode) {
    IGraniteDeviceManager* dm = OpenReadyCamera();
    // The offer was closed without an answer: SunTune went off for the stream.
    service_.cameras[0].properties[GdmProperty::SunTuneMode.value] = Variant::FromI4(0);
    CVidoraSettings::SetSTMode(kName, 0);
    dm->SetVideoDeviceValue(kCam, CSunTuneRules::kNoNotification, 1);
    dm->SetVideoDeviceValue(kCam, CSunTuneRules::kReturnToDefault, 1);
    CSunTuneRules::EndOfStream(dm, kCam);
    EXPECT_EQ(PropertyOf(GdmProperty::SunTuneMode.value), 5);
    EXPECT_EQ(CVidoraSettings::GetSTMode(kName), 5u);
    EXPECT_EQ(CVidoraSettings::GetPreviousSTMode(kName), 0u);
    EXPECT_EQ(Value(CSunTuneRules::kReturnToDefault), 0);
    EXPECT_EQ(Value(CSunTuneRules::kNoNotification), 0);
    Pump();
    EXPECT_EQ(listener_.modes, std::vector<int32_t>{5});
    // Done once: a second end of stream changes nothing.
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
