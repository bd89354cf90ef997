// The stand-in communications service over a temporary desktop: the programs it lists and their status,
// starting programs without a shell, the default, call settings and options kept across service objects,
// events from its own thread, and the whole path through the facade.
#include "CommsTestSupport.h"

#include "granite/comms/CGraniteCommunicationsService.h"
#include "granite/comms/RegisterGraniteCommunicationsService.h"
#include "services/CGraniteCommunicationsManager.h"
#include "services/IGraniteCommunicationsManagerEvent.h"
#include "support/EventPump.h"

#include <unistd.h>

using Granite::CGraniteCommsControl;
using Granite::CGraniteCommunicationsService;

namespace {

CGraniteCommsControl& Control() {
    return CGraniteCommsControl::Instance();
}

ICommunicationsService* NewService() {
    void* object = nullptr;
    EXPECT_EQ(CGraniteCommunicationsService::Create(IID_ICommunicationsService, &object), S_OK);
    return static_cast<ICommunicationsService*>(object);
}

int32_t StatusOf(ICommunicationsService* service, const std::string& name) {
    int32_t status = -1;
    EXPECT_EQ(service->GetApplicationStatusByName(name, &status), S_OK);
    return status;
}

} // namespace

class CommsServiceTest : public ::testing::Test, protected CommsDesktop {
protected:
    void SetUp() override {
        Control().Reset();
        Control().SetProcRoot(env.Path("proc"));
        Control().SetPollInterval(std::chrono::hours(1)); // the tests ask for every look themselves
        SetProcessLauncher(&launcher);
        meet = Program("bin/meet");
        Entry("data", "org.example.Meet.desktop", Simple("Meet", meet));
        Entry("data", "org.example.Talk.desktop", Simple("Talk", Program("bin/talk"), "InstantMessaging;"));
        Entry("data", "org.example.Absent.desktop", Simple("Absent", "/nonexistent/absent"));
        service = NewService();
        ASSERT_NE(service, nullptr);
        ASSERT_EQ(service->Advise(&sink, &cookie), S_OK);
    }
    void TearDown() override {
        if (service != nullptr) {
            service->Unadvise(cookie);
            service->Release();
        }
        SetProcessLauncher(nullptr);
        Control().Reset();
    }

    std::string meet;
    CFakeProcessLauncher launcher;
    CommsRecordingSink sink;
    uint32_t cookie = 0;
    ICommunicationsService* service = nullptr;
};

TEST_F(CommsServiceTest, ProgramsAreListedWithTheirStatusFromTheUsersProcesses) {
    Process(100, "meet", meet);
    ASSERT_EQ(service->RefreshApplications(), S_OK);
    int32_t count = 0;
    ASSERT_EQ(service->GetApplicationCount(&count), S_OK);
    ASSERT_EQ(count, 3);
    std::string name;
    ASSERT_EQ(service->GetApplicationName(0, &name), S_OK);
    EXPECT_EQ(name, "Absent");
    EXPECT_EQ(StatusOf(service, "Absent"), COMMS_APP_MISSING);
    EXPECT_EQ(StatusOf(service, "meet"), COMMS_APP_RUNNING);
    EXPECT_EQ(StatusOf(service, "Talk"), COMMS_APP_INSTALLED);
    int32_t pid = 0;
    ASSERT_EQ(service->GetApplicationProcessId("Meet", &pid), S_OK);
    EXPECT_EQ(pid, 100);
    EXPECT_EQ(service->GetApplicationProcessId("Talk", &pid), E_FAIL);

    std::string user;
    ASSERT_EQ(service->GetSignedInUser("Meet", &user), S_OK);
    EXPECT_FALSE(user.empty()) << "a running program is used by the user running it";
    ASSERT_EQ(service->GetSignedInUser("Talk", &user), S_OK);
    EXPECT_TRUE(user.empty());
    EXPECT_EQ(service->GetSignedInUser("Nobody", &user), E_INVALIDARG);
    int32_t index = 99;
    EXPECT_EQ(service->GetApplicationStatus(3, &index), E_INVALIDARG);
}

TEST_F(CommsServiceTest, StartingEndingAndCallsAreAnnouncedFromTheServicesThread) {
    ASSERT_EQ(service->RefreshApplications(), S_OK);
    sink.Clear();
    Process(200, "meet", "/somewhere/else/meet");
    Control().ScanNow();
    ASSERT_TRUE(sink.WaitFor("status:Meet,Meet,3"));
    EXPECT_NE(sink.LastThread(), std::this_thread::get_id());

    Control().SetInCall("Meet", true);
    Control().ScanNow();
    ASSERT_TRUE(sink.WaitFor("status:Meet,Meet,4"));
    std::string inCall;
    ASSERT_EQ(service->GetCallApplication(&inCall), S_OK);
    EXPECT_EQ(inCall, "Meet");

    EndProcess(200);
    Control().ScanNow();
    ASSERT_TRUE(sink.WaitFor("status:Meet,Meet,1"));
}

TEST_F(CommsServiceTest, AProgramStartsFromItsArgumentListWithoutAShell) {
    Entry("data", "org.example.Meet.desktop",
          "[Desktop Entry]\nType=Application\nName=Meet\nIcon=meet-icon\nCategories=VideoConference;\n"
          "Exec=meet --title \"Meet; rm -rf ~\" %U ; rm -rf / %i \"$(id)\"\n");
    env.SetEnv("PATH", env.Path("bin"));
    ASSERT_EQ(service->RefreshApplications(), S_OK);
    ASSERT_EQ(service->LaunchApplication("meet"), S_OK);
    ASSERT_EQ(launcher.Started().size(), 1u);
    EXPECT_EQ(launcher.Started()[0], (std::vector<std::string>{meet, "--title", "Meet; rm -rf ~", ";", "rm",
                                                               "-rf", "/", "--icon", "meet-icon", "$(id)"}));
    EXPECT_EQ(StatusOf(service, "Meet"), COMMS_APP_STARTING);
    EXPECT_TRUE(sink.WaitFor("status:Meet,Meet,5"));

    EXPECT_EQ(service->LaunchApplication("Absent"), E_FAIL);
    EXPECT_EQ(service->LaunchApplication("Nobody"), E_INVALIDARG);
    EXPECT_EQ(service->StartVideoCall("Talk"), E_FAIL) << "Talk makes no video calls";
    launcher.SetSucceeds(false);
    EXPECT_EQ(service->LaunchApplication("Talk"), E_FAIL);
    EXPECT_EQ(launcher.Started().size(), 2u) << "only Meet and the refused Talk reached the launcher";
}

TEST_F(CommsServiceTest, CallSettingsAndOptionsAreKeptForTheUserAcrossServiceObjects) {
    ASSERT_EQ(service->SetCallSetting(COMMS_SETTING_MICROPHONE, "mic-1"), S_OK);
    ASSERT_EQ(service->SetCallSetting(COMMS_SETTING_MICROPHONE, "mic-2"), S_OK);
    ASSERT_EQ(service->SetCallSetting(COMMS_SETTING_VIDEO_SIZE, "640x480"), S_OK);
    EXPECT_TRUE(sink.WaitFor("device:mic-1,2,mic-2"));
    EXPECT_EQ(service->SetCallSetting(4, "x"), E_INVALIDARG);
    EXPECT_EQ(service->SetCallSetting(COMMS_SETTING_CAMERA, std::string(1025, 'c')), E_INVALIDARG);
    EXPECT_EQ(service->SetCallSetting(COMMS_SETTING_CAMERA, "bad \xFF"), E_INVALIDARG);
    ASSERT_EQ(service->SetOption(COMMS_OPTION_CALL_VOLUME, Variant::FromI4(35)), S_OK);
    EXPECT_EQ(service->SetOption(COMMS_OPTION_CALL_VOLUME, Variant::FromI4(101)), E_INVALIDARG);
    EXPECT_EQ(service->SetOption(COMMS_OPTION_ECHO_CANCELLATION, Variant::FromString("yes")), E_INVALIDARG);
    EXPECT_EQ(service->SetOption(42, Variant::FromI4(1)), E_INVALIDARG);
    ASSERT_EQ(service->SetStatusMessage("In a meeting"), S_OK);

    ICommunicationsService* second = NewService();
    std::string text;
    ASSERT_EQ(second->GetCallSetting(COMMS_SETTING_MICROPHONE, &text), S_OK);
    EXPECT_EQ(text, "mic-2");
    ASSERT_EQ(second->GetCallSetting(COMMS_SETTING_SPEAKER, &text), S_OK);
    EXPECT_EQ(text, "") << "never chosen";
    Variant value;
    ASSERT_EQ(second->GetOption(COMMS_OPTION_CALL_VOLUME, &value), S_OK);
    EXPECT_EQ(value.GetI4(), 35);
    ASSERT_EQ(second->GetOption(COMMS_OPTION_NOISE_SUPPRESSION, &value), S_OK);
    EXPECT_EQ(value.GetBool(), VARIANT_TRUE) << "the default";
    ASSERT_EQ(second->GetStatusMessage(&text), S_OK);
    EXPECT_EQ(text, "In a meeting");
    second->Release();
}

TEST_F(CommsServiceTest, SwitchingCallingProgramsOffEmptiesTheList) {
    ASSERT_EQ(service->RefreshApplications(), S_OK);
    ASSERT_EQ(service->SetOption(COMMS_OPTION_CALLING_PROGRAMS, Variant::FromBool(false)), S_OK);
    int32_t count = -1;
    ASSERT_EQ(service->GetApplicationCount(&count), S_OK);
    EXPECT_EQ(count, 0);
    ASSERT_EQ(service->RefreshApplications(), S_OK);
    ASSERT_EQ(service->GetApplicationCount(&count), S_OK);
    EXPECT_EQ(count, 0) << "and it stays empty until switched on again";
    ASSERT_EQ(service->SetOption(COMMS_OPTION_CALLING_PROGRAMS, Variant::FromBool(true)), S_OK);
    ASSERT_EQ(service->RefreshApplications(), S_OK);
    ASSERT_EQ(service->GetApplicationCount(&count), S_OK);
    EXPECT_EQ(count, 3);
}

TEST_F(CommsServiceTest, TheChosenDefaultIsKeptAndAnnouncedAndDecidesReadiness) {
    ASSERT_EQ(service->RefreshApplications(), S_OK);
    std::string name;
    ASSERT_EQ(service->GetDefaultApplicationName(&name), S_OK);
    EXPECT_EQ(name, "Meet") << "the first program that can start";
    env.WriteFile("config/mimeapps.list",
                  "[Default Applications]\nx-scheme-handler/sip=org.example.Talk.desktop\n");
    Control().ScanNow();
    ASSERT_TRUE(sink.WaitFor("default:Meet,Talk,Talk"));

    EXPECT_EQ(service->SetDefaultApplication("Absent"), E_FAIL);
    EXPECT_EQ(service->SetDefaultApplication("Nobody"), E_INVALIDARG);
    ASSERT_EQ(service->SetDefaultApplication("meet"), S_OK);
    ASSERT_TRUE(sink.WaitFor("default:Talk,Meet,Meet"));

    int32_t ready = -1;
    ASSERT_EQ(service->GetCallReadiness(&ready), S_OK);
    EXPECT_EQ(ready, 0);
    Process(300, "meet", meet);
    Control().ScanNow();
    ASSERT_TRUE(sink.WaitFor("readiness"));
    ASSERT_EQ(service->GetCallReadiness(&ready), S_OK);
    EXPECT_EQ(ready, 1);
    Control().SetSignedInUser("Meet", std::string());
    ASSERT_EQ(service->GetCallReadiness(&ready), S_OK);
    EXPECT_EQ(ready, 0) << "nobody signed in";

    ICommunicationsService* second = NewService();
    ASSERT_EQ(second->RefreshApplications(), S_OK);
    ASSERT_EQ(second->GetDefaultApplicationName(&name), S_OK);
    EXPECT_EQ(name, "Meet") << "the choice outlives the service object";
    second->Release();
}

TEST_F(CommsServiceTest, ClosingEndsTheProgramsProcessThroughTheTerminator) {
    std::vector<int32_t> ended;
    Control().SetTerminator([&](int32_t pid) {
        ended.push_back(pid);
        return true;
    });
    Process(400, "meet", meet);
    ASSERT_EQ(service->RefreshApplications(), S_OK);
    EXPECT_EQ(service->CloseApplication("Talk"), S_FALSE);
    ASSERT_EQ(service->CloseApplication("Meet"), S_OK);
    EXPECT_EQ(ended, (std::vector<int32_t>{400}));
    Control().SetTerminator(nullptr);
    EXPECT_EQ(service->CloseApplication("Meet"), E_FAIL) << "a fake process table never names a real process";
}

TEST_F(CommsServiceTest, ControlledFailuresAndRaisedEventsReachTheCaller) {
    Control().Fail(Granite::kCommsRefresh, E_ACCESSDENIED, 1);
    EXPECT_EQ(service->RefreshApplications(), E_ACCESSDENIED);
    EXPECT_EQ(service->RefreshApplications(), S_OK);
    Control().Fail(Granite::kCommsCreate, E_OUTOFMEMORY);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CGraniteCommunicationsService::Create(IID_ICommunicationsService, &object), E_OUTOFMEMORY);
    EXPECT_EQ(object, nullptr);
    Control().ClearFailures();
    Control().RaiseShutdown();
    EXPECT_TRUE(sink.WaitFor("shutdown"));
    // After Unadvise nothing reaches the sink any more, while another connection still hears.
    ASSERT_EQ(service->Unadvise(cookie), S_OK);
    sink.Clear();
    CommsRecordingSink other;
    uint32_t otherCookie = 0;
    ASSERT_EQ(service->Advise(&other, &otherCookie), S_OK);
    EXPECT_NE(otherCookie, GCM_SINK_NOT_CONNECTED);
    Control().Raise([](IBrenCommunicationManagerEvents& s) { s.IC_OnCallReadinessChange(); });
    ASSERT_TRUE(other.WaitFor("readiness"));
    EXPECT_TRUE(sink.Events().empty());
    EXPECT_EQ(service->Unadvise(otherCookie), S_OK);
    EXPECT_EQ(service->Unadvise(otherCookie), E_INVALIDARG);
    ASSERT_EQ(service->Advise(&sink, &cookie), S_OK);
}

// --- through the facade
// --------------------------------------------------------------------------------------------

namespace {

class FacadeListener : public IGraniteCommunicationsManagerEvent {
public:
    std::vector<std::string> heard;
    void OnApplicationStatusChanged(uint32_t cookie, const std::string& id, const std::string&,
                                    int32_t s) override {
        heard.push_back(std::to_string(cookie) + ":" + id + "=" + std::to_string(s));
    }
};

} // namespace

TEST_F(CommsServiceTest, TheFacadeHearsTheServiceOnTheUserInterfaceThread) {
    RegisterGraniteCommunicationsService();
    IGraniteCommunicationsManager* m = GetGraniteCommunicationsManager();
    ASSERT_NE(m, nullptr);
    FacadeListener listener;
    m->AddListener(&listener, 7);
    ASSERT_EQ(m->RefreshApplications(), S_OK);
    EXPECT_EQ(m->GetApplicationCount(), 6) << "three programs and the three the program looks for itself";
    ApplicationInfo meetInfo;
    ASSERT_EQ(m->FindApplicationById("Meet", &meetInfo), S_OK);
    EXPECT_EQ(meetInfo.type, COMMS_APP_INSTALLED);
    EXPECT_EQ(meetInfo.flag2, 1);

    Process(500, "meet", meet);
    Control().ScanNow();
    PumpUntil([&] { return !listener.heard.empty(); });
    EXPECT_EQ(listener.heard, (std::vector<std::string>{"7:Meet=3"}));

    ASSERT_EQ(m->RefreshApplications(), S_OK);
    ASSERT_EQ(m->FindApplicationById("Meet", &meetInfo), S_OK);
    EXPECT_TRUE(IsVideoCallCandidate(*m, meetInfo));
    ASSERT_EQ(m->LaunchApplication(meetInfo.index), S_OK);
    EXPECT_EQ(launcher.Started().size(), 1u);
    m->Release();
    UnregisterGraniteCommunicationsService();
}
