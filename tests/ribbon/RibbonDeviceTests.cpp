// The main window and the services: features of attached cameras, the mechanical shutter, streaming, the
// mute buttons, the effects engine's load and status notices, a missing communications manager.
#include "RibbonFixture.h"

#include "granite/comms/RegisterGraniteCommunicationsService.h"
#include "platform/CRegistry.h"
#include "platform/SettingsPrimitives.h"
#include "privacy/CPrivacyShadeDialog.h"
#include "privacy/CPrivacyShutterSwitchDlg.h"
#include "services/IGraniteDeviceManager.h"
#include "ui/CTransparentImageButton.h"

namespace {

using R = CVidoraRibbonDlg;
using Granite::DeviceKind;

std::vector<std::string> AttachedCameraKeys() {
    std::vector<std::string> keys;
    CRegistry::Instance().EnumSubKeys(Hive::CurrentUser,
                                      CVidoraSettings::GetSettingsRoot() + "\\Cameras\\Attached", keys);
    return keys;
}

TEST_F(RibbonFixture, AttachedCamerasAreRecordedWithTheirFeatures) {
    Open();
    EXPECT_TRUE(CVidoraSettings::IsFeatureSeen("PTZ"));
    EXPECT_TRUE(CVidoraSettings::IsFeatureSeen("SoftwareMute"));
    EXPECT_TRUE(CVidoraSettings::IsFeatureSeen("MicrophoneMute"));
    ASSERT_EQ(ribbon->KnownProductIds().size(), 1u);
    EXPECT_EQ(AttachedCameraKeys().size(), 1u);

    // A second model arrives: its id joins the known ones; what it lacks is not taken away.
    ASSERT_EQ(Control().Plug(DeviceKind::Camera, "basic"), S_OK);
    ASSERT_TRUE(PumpUntil([this] { return ribbon->KnownProductIds().size() == 2; }));
    EXPECT_EQ(AttachedCameraKeys().size(), 2u);
    EXPECT_TRUE(CVidoraSettings::IsFeatureSeen("PTZ"));
}

class RibbonWithoutCameras : public RibbonFixture {
protected:
    const char* Devices() const override { return "microphone,speaker"; }
};

TEST_F(RibbonWithoutCameras, VideoMuteIsOffUntilACameraArrivesAndAgainWhenItGoes) {
    Open();
    EXPECT_FALSE(Item(R::IDC_VIDEO_MUTE)->isEnabled());
    std::string id;
    ASSERT_EQ(Control().Plug(DeviceKind::Camera, "full", &id), S_OK);
    ASSERT_TRUE(PumpUntil([this] { return Item(R::IDC_VIDEO_MUTE)->isEnabled(); }));
    ASSERT_EQ(Control().Unplug(DeviceKind::Camera, 1), S_OK);
    ASSERT_TRUE(PumpUntil([this] { return !Item(R::IDC_VIDEO_MUTE)->isEnabled(); }));
}

TEST_F(RibbonFixture, TheVideoMuteButtonMutesAndShowsTheRealState) {
    Open();
    ASSERT_TRUE(Item(R::IDC_VIDEO_MUTE)->isEnabled());
    Click(R::IDC_VIDEO_MUTE);
    IGraniteDeviceManager* devices = GetGraniteDeviceManager();
    ASSERT_NE(devices, nullptr);
    int32_t muted = 0;
    EXPECT_EQ(devices->GetVideoMute(&muted), S_OK);
    EXPECT_EQ(muted, 1);
    EXPECT_TRUE(qobject_cast<CTransparentImageButton*>(Item(R::IDC_VIDEO_MUTE))->IsPressedLook());
    Click(R::IDC_VIDEO_MUTE);
    EXPECT_EQ(devices->GetVideoMute(&muted), S_OK);
    EXPECT_EQ(muted, 0);
    devices->Release();
    EXPECT_TRUE(boxes.empty());
}

TEST_F(RibbonFixture, AFailedVideoMuteSaysSoAndLeavesTheButtonAtTheRealState) {
    Open();
    Control().FailOperation(15); // the service's "set camera property"
    Click(R::IDC_VIDEO_MUTE);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], CDialogBase::LoadString(259));
    EXPECT_FALSE(qobject_cast<CTransparentImageButton*>(Item(R::IDC_VIDEO_MUTE))->IsPressedLook());
}

TEST_F(RibbonFixture, TheMicrophoneButtonFlipsTheMicrophonesMute) {
    Open();
    ASSERT_TRUE(Item(R::IDC_MIC_MUTE)->isEnabled());
    Click(R::IDC_MIC_MUTE);
    IGraniteDeviceManager* devices = GetGraniteDeviceManager();
    int32_t muted = 0;
    ASSERT_EQ(devices->GetMicrophoneMute(&muted), S_OK);
    EXPECT_EQ(muted, 1);
    devices->Release();
    EXPECT_TRUE(qobject_cast<CTransparentImageButton*>(Item(R::IDC_MIC_MUTE))->IsPressedLook());
}

TEST_F(RibbonFixture, TheShutterAsksFirstWhenTheUserNeverChose) {
    CVidoraSettings::SetShadeFirstTimeUse(1);
    Open();
    ASSERT_EQ(Control().SetShutter(true), S_OK);
    ASSERT_TRUE(PumpUntil([] { return !RibbonWindows::ShutterSwitch().IsEmpty(); }));
    // Replayed: the question opens again, once.
    ribbon->PostMessage(R::WM_REPLAY_SHUTTER);
    Pump();
    EXPECT_FALSE(RibbonWindows::ShutterSwitch().IsEmpty());
}

TEST_F(RibbonFixture, ClosingTheShutterMutesTheVideoAndOpensTheShadeWhenThatIsTheChoice) {
    CVidoraSettings::SetShadeFirstTimeUse(0);
    CVidoraSettings::SetShadeBehavior(1);
    Open();
    ribbon->Hide();
    ASSERT_EQ(Control().SetShutter(true), S_OK);
    ASSERT_TRUE(PumpUntil([] { return !RibbonWindows::PrivacyShade().IsEmpty(); }));
    EXPECT_FALSE(ribbon->IsHiddenToTray());
    IGraniteDeviceManager* devices = GetGraniteDeviceManager();
    int32_t muted = 0;
    ASSERT_EQ(devices->GetVideoMute(&muted), S_OK);
    EXPECT_EQ(muted, 1);
    // Opening it again unmutes.
    ASSERT_EQ(Control().SetShutter(false), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return devices->GetVideoMute(&muted) == S_OK && muted == 0; }));
    devices->Release();
}

TEST_F(RibbonFixture, OpeningTheShutterOffersAVideoCallWhenThatIsTheChoice) {
    CVidoraSettings::SetShadeFirstTimeUse(0);
    CVidoraSettings::SetShadeBehavior(0);
    answer = IDYES;
    Open();
    ASSERT_EQ(Control().SetShutter(true), S_OK);
    Pump();
    ASSERT_EQ(Control().SetShutter(false), S_OK);
    // No calling program is running and signed in: the user is asked, and yes opens the communicate window.
    ASSERT_TRUE(PumpUntil([this] { return !boxes.empty(); }));
    EXPECT_EQ(boxes[0], CDialogBase::LoadString(285));
    EXPECT_FALSE(RibbonWindows::Communicate().IsEmpty());
}

TEST_F(RibbonFixture, ShutterBehaviourTwoDoesNothing) {
    CVidoraSettings::SetShadeFirstTimeUse(0);
    CVidoraSettings::SetShadeBehavior(2);
    Open();
    ASSERT_EQ(Control().SetShutter(true), S_OK);
    ASSERT_EQ(Control().SetShutter(false), S_OK);
    Pump();
    Pump();
    EXPECT_TRUE(RibbonWindows::PrivacyShade().IsEmpty());
    EXPECT_TRUE(RibbonWindows::ShutterSwitch().IsEmpty());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(RibbonFixture, StreamingByAnotherProgramBringsTheRibbonForward) {
    Open();
    ribbon->Hide();
    ASSERT_EQ(Control().StartStreaming("Video Chat", 0, 0, "/usr/bin/videochat"), S_OK);
    ASSERT_TRUE(PumpUntil([this] { return !ribbon->IsHiddenToTray(); }));
}

TEST_F(RibbonFixture, StreamingByAnInstallerOrAScreenSaverLeavesTheRibbonHidden) {
    Open();
    ribbon->Hide();
    ASSERT_EQ(Control().StartStreaming("Setup", 0, 0, "C:\\Temp\\SETUP.EXE"), S_OK);
    Pump();
    ASSERT_EQ(Control().StopStreaming(), S_OK);
    ASSERT_EQ(Control().StartStreaming("Bubbles", 0, 0, "bubbles.scr"), S_OK);
    Pump();
    ASSERT_EQ(Control().StopStreaming(), S_OK);
    screenSaver = true;
    ASSERT_EQ(Control().StartStreaming("Video Chat", 0, 0, "/usr/bin/videochat"), S_OK);
    Pump();
    Pump();
    EXPECT_TRUE(ribbon->IsHiddenToTray());
}

TEST_F(RibbonFixture, HighProcessorLoadWhileEffectsRunRaisesOneWarning) {
    Open();
    load.Push({0}); // primes the reader when monitoring starts
    ribbon->StartLoadMonitors();
    load.Push({100, 100, 100, 100, 100, 90, 90, 90, 90, 90});
    timers.Advance(R::kLoadTimerMs * 9);
    EXPECT_TRUE(TrayFake()->Balloons().empty()) << "nine samples are not enough";
    timers.Advance(R::kLoadTimerMs);
    ASSERT_EQ(TrayFake()->Balloons().size(), 1u);
    EXPECT_EQ(TrayFake()->Balloons()[0].title, CDialogBase::LoadString(253));
    EXPECT_EQ(ribbon->LoadMonitor().Count(), 0u);
    ribbon->StopLoadMonitors();
    EXPECT_FALSE(ribbon->IsTimerRunning(R::kLoadTimer));
    EXPECT_FALSE(ribbon->IsTimerRunning(R::kStatusTimer));
}

TEST_F(RibbonFixture, EffectsThatStayNotReadyAreReportedAfter15SecondsThenEveryMinute) {
    Granite::CGraniteEffectsControl::Instance().HoldStarting(true);
    Open();
    Granite::CGraniteEffectsControl::Instance().StartEffects();
    ASSERT_TRUE(PumpUntil([this] { return ribbon->IsTimerRunning(R::kStatusTimer); }));
    auto balloons = [this] { return TrayFake()->Balloons().size(); };
    timers.Advance(14000);
    EXPECT_EQ(balloons(), 0u);
    timers.Advance(2000);
    ASSERT_EQ(balloons(), 1u);
    EXPECT_EQ(TrayFake()->Balloons()[0].title, CDialogBase::LoadString(256));
    timers.Advance(58000);
    EXPECT_EQ(balloons(), 1u);
    timers.Advance(4000);
    EXPECT_EQ(balloons(), 2u);
}

class RibbonWithoutCommunications : public RibbonFixture {
protected:
    void SetUp() override {
        RibbonFixture::SetUp();
        UnregisterGraniteCommunicationsService();
    }
};

TEST_F(RibbonWithoutCommunications, RunsWithoutTheStepsAfterTheDeviceListener) {
    Open();
    EXPECT_TRUE(ribbon->IsWindow());
    EXPECT_FALSE(ribbon->IsInitDone());
    EXPECT_EQ(ribbon->TrayIcon(), nullptr);
    EXPECT_FALSE(ribbon->IsTimerRunning(R::kUpdateTimer));
    // Without the tray icon, closing ends it.
    ribbon->PostMessage(WM_CLOSE);
    Pump();
    EXPECT_FALSE(ribbon->IsWindow());
}

} // namespace
