// The ribbon's side of the services without the window: what attached cameras record, the mute buttons,
// the mechanical shutter, streaming and the effects engine, seen through a view that keeps what it is told.
#include "RibbonFixture.h"

#include "platform/CObjectFactory.h"
#include "platform/CRegistry.h"
#include "platform/SettingsPrimitives.h"
#include "ribbon/CRibbonDeviceCoordinator.h"
#include "ribbon/IRibbonView.h"
#include "ribbon/StreamingFilter.h"
#include "services/IGraniteCommunicationsManager.h"
#include "services/IGraniteDeviceManager.h"
#include "tests/services/CommunicationsFakeService.h"
#include "ui/CAttachablePane.h"

#include <QWidget>

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
    void Relayout(bool buttons) override { ++(buttons ? buttonLayouts : lowerLayouts); }
    void ShowRibbon() override { shown = true; }
    void StartLoadMonitors() override { loadMonitors = true; }
    void StopLoadMonitors() override { loadMonitors = false; }
    void PostArrivalCheck() override { ++arrivalChecks; }

    bool micAvailable = false;
    bool micMuted = false;
    bool videoMuted = false;
    bool videoMuteEnabled = true;
    int buttonLayouts = 0;
    int lowerLayouts = 0;
    bool shown = false;
    bool loadMonitors = false;
    int arrivalChecks = 0;
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
    // The coordinator as the ribbon starts it; it is not registered as a listener unless `listen`, so a test
    // calls the notifications itself and nothing arrives behind its back.
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

std::vector<std::string> AttachedCameraKeys() {
    std::vector<std::string> keys;
    CRegistry::Instance().EnumSubKeys(Hive::CurrentUser,
                                      CVidoraSettings::GetSettingsRoot() + "\\Cameras\\Attached", keys);
    return keys;
}

TEST_F(DeviceCoordinatorTest, AttachedCamerasAreRecordedWithTheirFeaturesAndArrivalsAddToThem) {
    Start(true);
    EXPECT_TRUE(CVidoraSettings::IsFeatureSeen("PTZ"));
    EXPECT_TRUE(CVidoraSettings::IsFeatureSeen("SoftwareMute"));
    EXPECT_TRUE(CVidoraSettings::IsFeatureSeen("MicrophoneMute"));
    ASSERT_EQ(coordinator->KnownProductIds().size(), 1u);
    EXPECT_TRUE(view.micAvailable);
    EXPECT_TRUE(view.videoMuteEnabled);

    // A second model arrives: its id joins the known ones; what it lacks is not taken away.
    ASSERT_EQ(Control().Plug(DeviceKind::Camera, "basic"), S_OK);
    ASSERT_TRUE(PumpUntil([this] { return coordinator->KnownProductIds().size() == 2; }));
    EXPECT_EQ(AttachedCameraKeys().size(), 2u);
    EXPECT_TRUE(CVidoraSettings::IsFeatureSeen("PTZ"));
}

class DeviceCoordinatorWithoutCameras : public DeviceCoordinatorTest {
protected:
    const char* Devices() const override { return "microphone,speaker"; }
};

TEST_F(DeviceCoordinatorWithoutCameras, VideoMuteIsOffUntilACameraArrivesAndAgainWhenItGoes) {
    Start(true);
    EXPECT_FALSE(view.videoMuteEnabled);
    ASSERT_EQ(Control().Plug(DeviceKind::Camera, "full"), S_OK);
    ASSERT_TRUE(PumpUntil([this] { return view.videoMuteEnabled; }));
    EXPECT_EQ(view.buttonLayouts, 1) << "the shade button comes with the first camera that can mute";
    ASSERT_EQ(Control().Unplug(DeviceKind::Camera, 1), S_OK);
    ASSERT_TRUE(PumpUntil([this] { return !view.videoMuteEnabled; }));
}

TEST_F(DeviceCoordinatorTest, TheMuteButtonsFlipTheRealStateAndAFailureSaysSo) {
    Start();
    coordinator->OnVideoMuteButton();
    EXPECT_EQ(VideoMute(), 1);
    EXPECT_TRUE(view.videoMuted);
    coordinator->OnVideoMuteButton();
    EXPECT_EQ(VideoMute(), 0);
    EXPECT_FALSE(view.videoMuted);

    coordinator->OnMicrophoneMuteButton();
    int32_t micMuted = 0;
    ASSERT_EQ(coordinator->Services().devices->GetMicrophoneMute(&micMuted), S_OK);
    EXPECT_EQ(micMuted, 1);
    EXPECT_TRUE(view.micMuted);
    EXPECT_TRUE(boxes.empty());

    Control().FailOperation(15); // the service's "set camera property"
    coordinator->OnVideoMuteButton();
    ASSERT_EQ(boxes, std::vector<std::string>{CDialogBase::LoadString(259)});
    EXPECT_FALSE(view.videoMuted);
}

struct ShutterCase {
    const char* name;
    uint32_t firstTimeUse;
    uint32_t behavior;
    bool closed; // the event: closed, else opened
    // outcomes
    bool question;
    bool shade;
    int32_t videoMute;
    bool communicate;
    bool shown;
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
    struct Case {
        const char* stored;
        const char* selected; // the program made the default
        const char* called;   // the program asked to start video
    } cases[] = {
        {"aim", "AIM Triton", "AIM Triton"}, // stored without "Triton", compared without case
        {"Call", "Call", "Chat"},            // the chosen one is not running: the first ready one
    };
    Start();
    for (const Case& c : cases) {
        CVidoraSettings::SetVideoCallingIMApp(c.stored);
        service.defaultName.clear();
        service.videoCallWith.clear();
        coordinator->Shutter().StartVideoCall();
        EXPECT_EQ(service.defaultName, c.selected) << c.stored;
        EXPECT_EQ(service.videoCallWith, c.called) << c.stored;
    }
    for (const std::string& box : boxes)
        ADD_FAILURE() << box;
    coordinator.reset(); // lets go of the service before it goes
}

TEST_F(DeviceCoordinatorTest, TheAnsweredQuestionReplaysTheLastShutterEvent) {
    CVidoraSettings::SetShadeFirstTimeUse(1);
    CVidoraSettings::SetShadeBehavior(1);
    Start();
    coordinator->OnVideoDeviceEvent30(0);
    ASSERT_FALSE(RibbonWindows::ShutterSwitch().IsEmpty());
    CVidoraSettings::SetShadeFirstTimeUse(0); // what the question does with the answer
    coordinator->Shutter().Replay();
    EXPECT_FALSE(RibbonWindows::PrivacyShade().IsEmpty());
    EXPECT_EQ(VideoMute(), 1);
}

TEST(StreamingFilter, InstallersScreenSaversAndTheGadgetHostDoNotBringTheRibbon) {
    const std::pair<const char*, bool> programs[] = {
        {"/usr/bin/videochat", true},  {"C:\\Temp\\SETUP.EXE", false},
        {"setup.exe", false},          {"bubbles.scr", false},
        {"/opt/x/Sidebar.exe", false}, {"mysetup.exe", true},
        {"screen.scr.exe", true},      {"", true},
    };
    for (const auto& [program, forward] : programs)
        EXPECT_EQ(StreamingFilter::BringsRibbonForward(program), forward) << program;
}

TEST_F(DeviceCoordinatorTest, StreamingBringsTheRibbonUnlessAnInstallerOrAScreenSaverStreams) {
    Start();
    const std::string camera = CameraId();
    ASSERT_EQ(Control().StartStreaming("Setup", 0, 0, "C:\\Temp\\SETUP.EXE"), S_OK);
    coordinator->OnVideoDeviceEvent15(camera, 0);
    EXPECT_FALSE(view.shown);
    ASSERT_EQ(Control().StopStreaming(), S_OK);

    ASSERT_EQ(Control().StartStreaming("Video Chat", 0, 0, "/usr/bin/videochat"), S_OK);
    screenSaver = true;
    coordinator->OnVideoDeviceEvent15(camera, 0);
    EXPECT_FALSE(view.shown);
    screenSaver = false;
    coordinator->OnVideoDeviceEvent15(camera, 0);
    EXPECT_TRUE(view.shown);
}

} // namespace
