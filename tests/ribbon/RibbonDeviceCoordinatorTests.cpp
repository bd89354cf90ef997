// The ribbon's side of the services without the window, seen through a view that keeps what it is told.
#include "RibbonFixture.h"

#include "platform/CObjectFactory.h"
#include "ribbon/CRibbonDeviceCoordinator.h"
#include "ribbon/IRibbonView.h"
#include "ribbon/StreamingFilter.h"
#include "services/IGraniteCommunicationsManager.h"
#include "services/IGraniteDeviceManager.h"
#include "tests/services/CommunicationsFakeService.h"
#include "ui/CAttachablePane.h"

#include <QWidget>

#include <array>

namespace {

using Granite::DeviceKind;
using Pane = CPaneCoordinator::Pane;

struct FakeView : IRibbonView {
    void ShowMicrophoneMute(bool available, bool muted) override {
        micAvailable = available;
        micMuted = muted;
    }
    void ShowVideoMute(bool muted) override { videoMuted = muted; }
    void EnableVideoMute(bool enabled) override { videoMuteEnabled = enabled; }
    void Relayout(bool buttons) override { buttonLayouts += buttons; }
    void ShowRibbon() override { shown = true; }
    void StartLoadMonitors() override {}
    void StopLoadMonitors() override {}
    void PostArrivalCheck() override {}
    bool micAvailable = false, micMuted = false, videoMuted = false, videoMuteEnabled = true, shown = false;
    int buttonLayouts = 0;
};

class DeviceCoordinatorTest : public RibbonServicesFixture {
protected:
    void SetUp() override {
        RibbonServicesFixture::SetUp();
        host.setGeometry(700, 100, 63, 400);
        host.show();
        CAttachablePane::SetDockHost(&host);
    }
    void TearDown() override {
        panes.DestroyAll();
        coordinator.reset();
        CAttachablePane::SetDockHost(nullptr);
        RibbonServicesFixture::TearDown();
    }
    // As the ribbon starts it; unless `listen`, the test calls the notifications itself.
    CRibbonDeviceCoordinator& Start(bool listen = false) {
        coordinator = std::make_unique<CRibbonDeviceCoordinator>(view, panes);
        coordinator->screenSaverActive = [this] { return screenSaver; };
        coordinator->AcquireServices();
        coordinator->SelectInitialDevices();
        if (listen)
            coordinator->ListenToDevices();
        coordinator->ShowInitialMuteStates();
        return *coordinator;
    }
    int32_t VideoMute() {
        int32_t muted = -1;
        EXPECT_EQ(coordinator->Services().devices->GetVideoMute(&muted), S_OK);
        return muted;
    }
    std::string CameraId() {
        VideoDeviceInfo camera;
        EXPECT_EQ(coordinator->Services().devices->GetVideoDevice(0, &camera), S_OK);
        return camera.id;
    }
    QWidget host;
    FakeView view;
    CPaneCoordinator panes;
    std::unique_ptr<CRibbonDeviceCoordinator> coordinator;
    bool screenSaver = false;
};

class DeviceCoordinatorWithoutCameras : public DeviceCoordinatorTest {
protected:
    const char* Devices() const override { return "microphone,speaker"; }
};

// Arriving cameras are recorded with their features (a later model lacking some takes none away); the video
// mute is offered while a camera is there.
TEST_F(DeviceCoordinatorWithoutCameras, ArrivingCamerasAreRecordedAndTheVideoMuteFollowsThem) {
    Start(true);
    EXPECT_FALSE(view.videoMuteEnabled);
    EXPECT_TRUE(view.micAvailable);
    EXPECT_TRUE(CVidoraSettings::IsFeatureSeen("MicrophoneMute"));
    ASSERT_EQ(Control().Plug(DeviceKind::Camera, "full"), S_OK);
    ASSERT_TRUE(
        PumpUntil([this] { return view.videoMuteEnabled && coordinator->KnownProductIds().size() == 1; }));
    EXPECT_EQ(view.buttonLayouts, 1) << "the shade button comes with the first camera that can mute";
    EXPECT_TRUE(CVidoraSettings::IsFeatureSeen("PTZ"));
    ASSERT_EQ(Control().Unplug(DeviceKind::Camera, 1), S_OK);
    ASSERT_TRUE(PumpUntil([this] { return !view.videoMuteEnabled; }));
    ASSERT_EQ(Control().Plug(DeviceKind::Camera, "basic"), S_OK);
    ASSERT_TRUE(PumpUntil([this] { return coordinator->KnownProductIds().size() == 2; }));
    EXPECT_TRUE(CVidoraSettings::IsFeatureSeen("PTZ"));
}

TEST_F(DeviceCoordinatorTest, TheMuteButtonsFlipTheRealStateAndAFailureSaysSo) {
    Start();
    for (int32_t muted : {1, 0}) {
        coordinator->OnVideoMuteButton();
        EXPECT_EQ(VideoMute(), muted);
        EXPECT_EQ(view.videoMuted, muted == 1);
    }
    coordinator->OnMicrophoneMuteButton();
    int32_t micMuted = 0;
    ASSERT_EQ(coordinator->Services().devices->GetMicrophoneMute(&micMuted), S_OK);
    EXPECT_EQ(micMuted, 1);
    EXPECT_TRUE(view.micMuted);
    Control().FailOperation(15); // the service's "set camera property"
    coordinator->OnVideoMuteButton();
    ASSERT_EQ(boxes, std::vector<std::string>{CDialogBase::LoadString(259)});
    EXPECT_FALSE(view.videoMuted);
}

struct ShutterCase {
    const char* name;
    uint32_t firstTimeUse, behavior;
    bool closed; // the event: closed, else opened; then the outcomes:
    bool question, shade;
    int32_t videoMute;
    bool communicate, shown;
};

TEST_F(DeviceCoordinatorTest, TheShutterDoesWhatTheUserChose) {
    const ShutterCase cases[] = {
        {"never chose, closed", 1, 1, true, true, false, 0, false, false},
        {"never chose, opened", 1, 1, false, true, false, 0, false, false},
        {"mute, closed", 0, 1, true, false, true, 1, false, true},
        {"mute, opened", 0, 1, false, false, false, 0, false, false},
        {"call, opened, nobody signed in, yes", 0, 0, false, false, false, 0, true, true},
        {"call, closed", 0, 0, true, false, false, 0, false, false},
        {"nothing", 0, 2, true, false, false, 0, false, false},
    };
    answer = IDYES;
    for (const ShutterCase& c : cases) {
        CVidoraSettings::SetShadeFirstTimeUse(c.firstTimeUse);
        CVidoraSettings::SetShadeBehavior(c.behavior);
        view = FakeView();
        boxes.clear();
        Start();
        // Whatever pane is docked gives way to the one the shutter opens.
        panes.Toggle(Pane::Settings);
        c.closed ? coordinator->OnVideoDeviceEvent30(0) : coordinator->OnVideoDeviceEvent29(0);
        EXPECT_EQ(!RibbonWindows::ShutterSwitch().IsEmpty(), c.question) << c.name;
        EXPECT_EQ(!RibbonWindows::PrivacyShade().IsEmpty(), c.shade) << c.name;
        EXPECT_EQ(!RibbonWindows::Communicate().IsEmpty(), c.communicate) << c.name;
        EXPECT_EQ(RibbonWindows::Settings().IsEmpty(), c.shade || c.communicate) << c.name;
        EXPECT_EQ(VideoMute(), c.videoMute) << c.name;
        EXPECT_EQ(view.shown, c.shown) << c.name;
        EXPECT_EQ(boxes.size(), c.communicate ? 1u : 0u) << c.name;
        EXPECT_EQ(coordinator->Shutter().LastEventWasOpened(), !c.closed) << c.name;
        if (c.question && c.closed) { // answered: the question replays the last event
            CVidoraSettings::SetShadeFirstTimeUse(0);
            coordinator->Shutter().Replay();
            EXPECT_FALSE(RibbonWindows::PrivacyShade().IsEmpty());
            EXPECT_EQ(VideoMute(), 1);
        }
        panes.DestroyAll();
        coordinator->Services().devices->SetVideoMute(0);
    }
}

TEST_F(DeviceCoordinatorTest, AVideoCallStartsWithTheProgramChosenInThePreferencesWhenItIsReady) {
    CommunicationsFakeService service;
    CObjectFactory::Instance().Register(
        CLSID_CommunicationsService,
        [&service](const Guid& iid, void** object) { return service.QueryInterface(iid, object); });
    service.apps = {{"chat", "Chat", true, true, COMMS_APP_RUNNING, "ann"},
                    {"aim", "AIM Triton", true, true, COMMS_APP_RUNNING, "bob"},
                    {"call", "Call", true, true, COMMS_APP_INSTALLED, "cid"}};
    // The stored name without "Triton", compared without case; a chosen one that is not running gives way
    // to the first ready one. Each: the stored choice, the program made the default, the one asked to call.
    const std::array<const char*, 3> cases[] = {{"aim", "AIM Triton", "AIM Triton"},
                                                {"Call", "Call", "Chat"}};
    Start();
    for (const auto& [stored, selected, called] : cases) {
        CVidoraSettings::SetVideoCallingIMApp(stored);
        coordinator->Shutter().StartVideoCall();
        EXPECT_EQ(service.defaultName, selected) << stored;
        EXPECT_EQ(service.videoCallWith, called) << stored;
    }
    EXPECT_TRUE(boxes.empty());
    coordinator.reset(); // lets go of the service before it goes
}

// Streaming brings the ribbon forward, unless an installer, a screen saver or the gadget host streams, or the
// screen saver runs.
TEST_F(DeviceCoordinatorTest, StreamingBringsTheRibbonUnlessAnInstallerOrAScreenSaverStreams) {
    const std::pair<const char*, bool> programs[] = {
        {"/usr/bin/videochat", true}, {"C:\\Temp\\SETUP.EXE", false}, {"setup.exe", false},
        {"bubbles.scr", false},       {"/opt/x/Sidebar.exe", false},  {"mysetup.exe", true},
        {"screen.scr.exe", true},
    };
    Start();
    for (const auto& [program, forward] : programs) {
        view.shown = false;
        ASSERT_EQ(Control().StartStreaming("Streamer", 0, 0, program), S_OK);
        coordinator->OnVideoDeviceEvent15(CameraId(), 0);
        EXPECT_EQ(view.shown, forward) << program;
        ASSERT_EQ(Control().StopStreaming(), S_OK);
    }
    EXPECT_TRUE(StreamingFilter::BringsRibbonForward("")) << "an unknown program";
    view.shown = false;
    ASSERT_EQ(Control().StartStreaming("Video Chat", 0, 0, "/usr/bin/videochat"), S_OK);
    screenSaver = true;
    coordinator->OnVideoDeviceEvent15(CameraId(), 0);
    EXPECT_FALSE(view.shown);
}

} // namespace
