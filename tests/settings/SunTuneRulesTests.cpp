// When the SunTune offer is due for a camera, and what the end of a stream and the ribbon's closing do to
// the camera's SunTune mode.
#include "SunTuneFixture.h"
#include "platform/SettingsPrimitives.h"

#include <algorithm>
#include <cctype>

namespace {

// The camera as it comes: default mode, shutter open, video mute off; the offer is due.
using SunTuneRulesTest = SunTuneTest;

TEST_F(SunTuneRulesTest, TheOfferIsDueForAReadyCameraInTheDefaultModeOnly) {
    struct Case {
        int32_t property, blocking, ready;
        const char* why;
    } cases[] = {
        {GdmProperty::SunTuneMode.value, 10, 5, "not in the default mode"},
        {GdmProperty::MechanicalPrivacyShade, 1, 0, "shutter closed"},
        {GdmProperty::VideoMute, 1, 0, "video mute on"},
    };
    for (const Case& c : cases) {
        SetOnCamera(c.property, c.blocking);
        EXPECT_FALSE(CSunTuneRules::ArrivalCheck(facade, camera)) << c.why;
        SetOnCamera(c.property, c.ready);
    }

    facade->SetVideoDeviceValue(camera, CSunTuneRules::kNoNotification, 1);
    EXPECT_FALSE(CSunTuneRules::ArrivalCheck(facade, camera)) << "already answered during this stream";
    facade->SetVideoDeviceValue(camera, CSunTuneRules::kNoNotification, 0);

    hardware->Failures().Fail(65); // the device strings
    EXPECT_FALSE(CSunTuneRules::ArrivalCheck(facade, camera)) << "the camera cannot tell who holds it";
    hardware->Failures().ClearAll();

    std::string upper = camera;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return std::toupper(c); });
    CSunTuneRules::MarkNotificationOpen(upper);
    EXPECT_FALSE(CSunTuneRules::ArrivalCheck(facade, camera)) << "a notification is open for it";
    CSunTuneRules::MarkNotificationClosed(camera);

    // Every condition holds again: the offer is due, and the check itself changes nothing.
    std::optional<SunTuneOffer> offer = CSunTuneRules::ArrivalCheck(facade, camera);
    ASSERT_TRUE(offer);
    EXPECT_EQ(offer->deviceId, camera);
    EXPECT_EQ(offer->cameraName, kName);
    EXPECT_EQ(offer->cameraKey, CVidoraSettings::GetCameraKey(kName));
    EXPECT_EQ(offer->recommendedMode, 10);
    EXPECT_EQ(Mode(), 5);
    EXPECT_FALSE(CSunTuneRules::ArrivalCheck(nullptr, camera));
    EXPECT_FALSE(CSunTuneRules::ArrivalCheck(facade, "usb\\unknown\\video"));
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
    for (const Case& c : cases) {
        SetMode(c.mode);
        CVidoraSettings::SetSTOption(kName, c.option);
        CVidoraSettings::SetSTMode(kName, static_cast<uint32_t>(c.mode));
        facade->SetVideoDeviceValue(camera, CSunTuneRules::kNoNotification, 1);
        facade->SetVideoDeviceValue(camera, CSunTuneRules::kReturnToDefault, c.returnToDefault ? 1 : 0);
        CSunTuneRules::EndOfStream(facade, camera);
        EXPECT_EQ(Mode(), c.after) << c.name;
        EXPECT_EQ(CVidoraSettings::GetSTMode(kName), static_cast<uint32_t>(c.after)) << c.name;
        EXPECT_EQ(StreamValue(CSunTuneRules::kNoNotification), 0)
            << c.name << ": the next stream may offer again";
        EXPECT_EQ(StreamValue(CSunTuneRules::kReturnToDefault), 0) << c.name;
    }
    EXPECT_EQ(CVidoraSettings::GetPreviousSTMode(kName), 0u);
    // Restoring is done once: a second end of stream changes nothing.
    SetMode(10);
    CSunTuneRules::EndOfStream(facade, camera);
    EXPECT_EQ(Mode(), 10);
}

TEST_F(SunTuneRulesTest, ClosingTheRibbonTurnsSunTuneOffAndTellsTheComponent) {
    std::string other;
    ASSERT_EQ(hardware->Plug(Granite::DeviceKind::Camera, "basic", &other), S_OK);
    ASSERT_EQ(facade->RefreshVideoDevices(), S_OK);
    CVidoraSettings::SetSTAppUI(kProductId, 1);
    CVidoraSettings::SetSTAppUI(0x0821, 1);
    CSunTuneRules::OnRibbonClosing(facade);
    EXPECT_EQ(Mode(), 0);
    uint32_t value = 7;
    Settings::ReadNumber(CVidoraSettings::kSunTuneKey, "ST2AppUI_0A5D", &value, 7);
    EXPECT_EQ(value, 0u);
    Settings::ReadNumber(CVidoraSettings::kSunTuneKey, "ST2AppUI_0821", &value, 7);
    EXPECT_EQ(value, 1u) << "a camera without SunTune is left alone";
    Variant untouched;
    EXPECT_FALSE(SUCCEEDED(
        hardware->Get(Granite::DeviceKind::Camera, other, GdmProperty::SunTuneMode.value, &untouched)));
}

TEST_F(SunTuneRulesTest, StoredChoicesGiveTheModeAtStartAndWhenSwitchedOn) {
    const std::string key = CVidoraSettings::GetCameraKey(kName);
    auto store = [&](uint32_t mode, uint32_t previous, uint32_t option) {
        Settings::WriteNumber(key, "STMode", mode);
        Settings::WriteNumber(key, "PreviousSTMode", previous);
        Settings::WriteNumber(key, "STOption", option);
    };
    store(12, 5, 2);
    EXPECT_EQ(CSunTuneRules::ApplyStoredChoice(facade, camera, kName), 10);
    EXPECT_EQ(Mode(), 10) << "a stored 12 is the automatic mode";

    struct Case {
        uint32_t mode, previous, option;
        int32_t on;
    } cases[] = {
        {12, 5, 2, 10}, {5, 0, 2, 5},   {0, 5, 2, 5},  {0, 5, 1, 5},
        {0, 5, 0, 10},  {0, 10, 1, 10}, {0, 0, 1, 10}, // switched off twice: never "on" into an off mode
    };
    for (const Case& c : cases) {
        store(c.mode, c.previous, c.option);
        EXPECT_EQ(CSunTuneRules::ModeForSwitchingOn(kName), c.on)
            << c.mode << " after " << c.previous << ", option " << c.option;
    }
}

} // namespace
