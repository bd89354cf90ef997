// SunTune on the full simulated camera: when the offer is due, what its answers and the end of a stream do
// to the camera's mode, and the SunTune tab. Values the camera reports itself are set as the hardware would.
#include "granite/devices/SimulatedDeviceConstants.h"
#include "platform/SettingsPrimitives.h"
#include "platform/TextUtil.h"
#include "settings/CSunTuneNotificationDlg.h"
#include "settings/CSunTuneRules.h"
#include "settings/CSunTuneSettingsPaneDlg.h"
#include "tests/settings/SettingsFixture.h"

#include <QPointer>

namespace {

using Dlg = CSunTuneNotificationDlg;
using Pane = CSunTuneSettingsPaneDlg;
namespace Cam = Granite::CamProp;

class SunTuneTest : public SettingsTest {
protected:
    static inline const std::string kName = "Brenmoor Vidora Pro Webcam";

    void SetUp() override {
        SettingsTest::SetUp();
        Plug("full", FullFeatures());
    }
    void TearDown() override {
        Dlg::CloseAll();
        DrainEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // The list of open notifications is process-wide: no test leaves one behind.
        CSunTuneRules::MarkNotificationClosed(camera);
        SettingsTest::TearDown();
    }

    void SetOnCamera(int32_t property, int32_t value) {
        ASSERT_EQ(hardware->Set(Granite::DeviceKind::Camera, camera, property, Variant::FromI4(value),
                                Granite::WriteOrigin::Hardware),
                  S_OK)
            << property;
    }
    int32_t Mode() const { return CameraValue(Cam::SunTuneMode); }
    void SetMode(int32_t mode) { SetOnCamera(Cam::SunTuneMode, mode); }
    // A per-stream value the facade keeps for the camera (-1 when unreadable).
    int32_t StreamValue(const char* key) const {
        int32_t value = -1;
        facade->GetVideoDeviceValue(camera, key, &value, 0);
        return value;
    }
    // The offer as the ribbon makes it when the camera arrives.
    Dlg* Offer() {
        std::optional<SunTuneOffer> offer = CSunTuneRules::ArrivalCheck(facade, camera);
        return offer ? Dlg::Show(offer->deviceId, offer->recommendedMode, offer->cameraKey) : nullptr;
    }
    void ExpectPaneShowsOn(bool on) {
        EXPECT_EQ(Checked(Pane::kToggle), on);
        EXPECT_EQ(Tip(Pane::kToggle), CDialogBase::LoadString(on ? Pane::kTipOn : Pane::kTipOff));
        for (int id : {Pane::kLevelASlider, Pane::kLevelDSlider, Pane::kLevelDCaption})
            EXPECT_EQ(Enabled(id), !on) << id;
    }
};

TEST_F(SunTuneTest, TheOfferIsDueForAReadyCameraInTheDefaultModeOnly) {
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
    CSunTuneRules::MarkNotificationOpen(Text::ToUpper(camera));
    EXPECT_FALSE(CSunTuneRules::ArrivalCheck(facade, camera)) << "a notification is open for it";
    CSunTuneRules::MarkNotificationClosed(camera);
    // Every condition holds again: the offer is due, and the check itself changes nothing.
    std::optional<SunTuneOffer> offer = CSunTuneRules::ArrivalCheck(facade, camera);
    ASSERT_TRUE(offer);
    EXPECT_EQ(offer->recommendedMode, 10);
    EXPECT_EQ(Mode(), 5);
    EXPECT_FALSE(CSunTuneRules::ArrivalCheck(nullptr, camera));
    EXPECT_FALSE(CSunTuneRules::ArrivalCheck(facade, "usb\\unknown\\video"));
}

TEST_F(SunTuneTest, StoredChoicesGiveTheModeWhenSwitchedOn) {
    const std::string key = CVidoraSettings::GetCameraKey(kName);
    auto store = [&](uint32_t mode, uint32_t previous, uint32_t option) {
        Settings::WriteNumber(key, "STMode", mode);
        Settings::WriteNumber(key, "PreviousSTMode", previous);
        Settings::WriteNumber(key, "STOption", option);
    };
    struct Case {
        uint32_t mode, previous, option;
        int32_t on;
    } cases[] = {
        {5, 0, 2, 5}, {0, 5, 1, 5}, {0, 5, 0, 10}, {0, 0, 1, 10}, // switched off twice: never "on" into off
    };
    for (const Case& c : cases) {
        store(c.mode, c.previous, c.option);
        EXPECT_EQ(CSunTuneRules::ModeForSwitchingOn(kName), c.on)
            << c.mode << " after " << c.previous << ", option " << c.option;
    }
}

class ModeListener : public IGraniteDeviceManagerEvent {
public:
    void OnSunTuneModeChanged(uint32_t, int32_t mode) override { heard.push_back(mode); }
    // The camera's reports arrive in order: a brightness report set up as a marker comes after every mode
    // report made before it.
    void OnWebcamLevelAChanged(uint32_t, int32_t value) override { brightness = value; }
    std::vector<int32_t> heard;
    int32_t brightness = -1;
};

TEST_F(SunTuneTest, EachAnswerOfTheOfferSetsTheStreamAndTheEndOfTheStreamFollowsIt) {
    struct Case {
        const char* name;
        int radio; // 0: closed without an answer
        int32_t during, after;
        uint32_t option;
    } cases[] = {
        {"always", Dlg::kAnswerAlways, 10, 10, 0},
        {"until the camera stops", Dlg::kAnswerThisStream, 10, 5, 1},
        {"no", Dlg::kAnswerNo, 0, 0, 2},
        {"closed without an answer", 0, 0, 5, 2},
    };
    ModeListener listener;
    ASSERT_EQ(facade->AddListener(&listener, 7), S_OK);
    for (const Case& c : cases) {
        SetMode(5);
        CVidoraSettings::SetSTOption(kName, 2);
        CSunTuneRules::EndOfStream(facade, camera); // a fresh stream
        QPointer<Dlg> dlg = Offer();
        ASSERT_TRUE(dlg) << c.name;
        // Everything the set-up made the camera report is heard before listening starts.
        const int32_t marker = listener.brightness == 40 ? 41 : 40;
        SetOnCamera(Cam::Brightness, marker);
        ASSERT_TRUE(PumpUntil([&] { return listener.brightness == marker; })) << c.name;
        listener.heard.clear();
        if (c.radio != 0) {
            dlg->GetDlgItemAs<QAbstractButton>(c.radio)->click();
            dlg->GetDlgItemAs<QAbstractButton>(IDOK)->click();
        } else {
            dlg->SendMessage(WM_CLOSE);
        }
        // The camera's own report and the announcement, both from the message loop.
        PumpUntil([&] { return listener.heard.size() >= 2; });
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(dlg.isNull()) << c.name;
        EXPECT_EQ(Mode(), c.during) << c.name;
        EXPECT_EQ(CVidoraSettings::GetSTMode(kName), static_cast<uint32_t>(c.during)) << c.name;
        EXPECT_EQ(CVidoraSettings::GetSTOption(kName), c.option) << c.name;
        // The new mode is announced, never the one the camera had.
        ASSERT_FALSE(listener.heard.empty()) << c.name;
        for (int32_t heard : listener.heard)
            EXPECT_EQ(heard, c.during) << c.name;
        EXPECT_FALSE(CSunTuneRules::ArrivalCheck(facade, camera)) << c.name << ": answered for this stream";
        // The end of the stream follows the answer; "closed" switched SunTune off for this stream only.
        CSunTuneRules::EndOfStream(facade, camera);
        EXPECT_EQ(Mode(), c.after) << c.name;
        EXPECT_EQ(CVidoraSettings::GetSTMode(kName), static_cast<uint32_t>(c.after)) << c.name;
        EXPECT_EQ(StreamValue(CSunTuneRules::kNoNotification), 0) << c.name << ": the next stream may offer";
    }
    facade->RemoveListener(&listener);
    // Restoring is done once: a second end of stream changes nothing.
    SetMode(10);
    CSunTuneRules::EndOfStream(facade, camera);
    EXPECT_EQ(Mode(), 10);
}

TEST_F(SunTuneTest, TheTabsToggleSwitchesTheCameraAndPicksTheUsersMode) {
    OpenSettings(Tab::SunTune);
    // The camera comes in its default mode: on, the levels the camera's own and shown at 0.
    ExpectPaneShowsOn(true);
    EXPECT_EQ(Slider(Pane::kLevelBSlider)->GetPos(), 0);
    facade->SetVideoDeviceValue(camera, CSunTuneRules::kReturnToDefault, 1);
    Click(Pane::kToggle);
    EXPECT_EQ(Mode(), 0);
    EXPECT_EQ(CVidoraSettings::GetSTMode(kName), 0u);
    EXPECT_EQ(StreamValue(CSunTuneRules::kReturnToDefault), 0) << "the user's choice outlasts the stream";
    ExpectPaneShowsOn(false);
    EXPECT_EQ(Slider(Pane::kLevelBSlider)->GetPos(), 50);
    MoveSlider(Pane::kLevelCSlider, 70);
    EXPECT_EQ(CameraValue(Cam::SunTuneC), 70);
    // On again: back to the mode before.
    Click(Pane::kToggle);
    EXPECT_EQ(Mode(), 5);
    ExpectPaneShowsOn(true);
    // Restore defaults puts back the mode and the levels.
    Click(Pane::kToggle);
    MoveSlider(Pane::kLevelDSlider, 90);
    Click(Pane::kRestoreDefaults);
    EXPECT_EQ(Mode(), 5);
    EXPECT_EQ(CameraValue(Cam::SunTuneD), 50);
    EXPECT_EQ(CVidoraSettings::GetSTMode(kName), 5u);
}

} // namespace
