// The stand-in communications service on a temporary XDG home: the calling programs it finds, their status
// from a fake proc folder, starting them without a shell, what it keeps, its events, and the facade.
#include "CEventLog.h"
#include "granite/comms/CCallingProgramScanner.h"
#include "granite/comms/CGraniteCommsControl.h"
#include "granite/comms/CGraniteCommunicationsService.h"
#include "granite/comms/RegisterGraniteCommunicationsService.h"
#include "services/CGraniteCommunicationsManager.h"
#include "services/IBrenCommunicationManagerEvents.h"
#include "services/IGraniteCommunicationsManagerEvent.h"
#include "support/CFakeProcessLauncher.h"
#include "support/CTempEnvironment.h"
#include "support/EventPump.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace Granite;

namespace {
class CommsRecordingSink : public IBrenCommunicationManagerEvents, public CEventLog<std::string> {
    using S = const std::string&;

public:
    void IC_OnCallEvent(S, S, S, S, int32_t) override { Add("call"); }
    void IC_OnContactlistUpdate(S, S, S, int32_t) override { Add("contacts"); }
    void OnMessageReceivedInfo(S, S, S, S) override { Add("message"); }
    void IC_OnVoicemailChanged(S, S, int32_t, int32_t) override { Add("voicemail"); }
    void IC_OnContactStatusChanged(S, S, S, int32_t) override { Add("contact-status"); }
    void IC_OnDeviceAdded(S, int32_t, S) override { Add("device-added"); }
    void IC_OnDeviceRemoved(S, int32_t, S, S) override { Add("device-removed"); }
    void IC_OnApplicationStatusChanged(S id, S name, int32_t status) override {
        Add("status:" + id + "," + name + "," + std::to_string(status));
    }
    void IC_OnDefaultICApplicationChanged(S previous, S name, S id) override {
        Add("default:" + previous + "," + name + "," + id);
    }
    void IC_OnShutdown() override { Add("shutdown"); }
    void IC_OnCallReadinessChange() override { Add("readiness"); }
    void IC_OnDeviceSelectionChanged(S previous, int32_t kind, S device) override {
        Add("device:" + previous + "," + std::to_string(kind) + "," + device);
    }
};

// A home of its own whose desktop entries, mimeapps lists, programs and processes the test writes.
class CommsDesktop : public ::testing::Test {
protected:
    CommsDesktop() {
        for (auto [name, value] : {std::pair{"XDG_DATA_DIRS", env.Path("share1") + ":" + env.Path("share2")},
                                   {"XDG_CONFIG_DIRS", env.Path("etc-xdg")},
                                   {"XDG_CURRENT_DESKTOP", ""},
                                   {"PATH", env.Path("path-bin")},
                                   {"LANG", "C"},
                                   {"LC_ALL", ""},
                                   {"LC_MESSAGES", ""}})
            env.SetEnv(name, value);
        std::filesystem::create_directories(env.Path("proc"));
        std::filesystem::create_directories(env.Path("path-bin"));
    }
    // An executable file (never run: the tests' launcher only records).
    std::string Program(const std::string& relative) {
        env.WriteFile(relative, "#!/bin/sh\nexit 0\n");
        std::filesystem::permissions(env.Path(relative), std::filesystem::perms::owner_all);
        return env.Path(relative);
    }
    // An entry in data home ("data") or a data dir ("share1", "share2"), relative to its applications folder.
    void Entry(const std::string& dataDir, const std::string& relative, const std::string& text) {
        env.WriteFile(dataDir + "/applications/" + relative, text);
    }
    // A plain calling-program entry whose Exec starts `program`.
    static std::string Simple(const std::string& name, const std::string& program,
                              const std::string& categories = "Network;VideoConference;") {
        return "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + program +
               " %U\nIcon=chat\nCategories=" + categories + "\n";
    }
    // A process of this user in the fake proc folder.
    void Process(int pid, const std::string& comm, const std::string& argv0) {
        const std::string base = "proc/" + std::to_string(pid);
        env.WriteFile(base + "/comm", comm + "\n");
        env.WriteFile(base + "/cmdline", argv0 + std::string(1, '\0') + "--flag" + std::string(1, '\0'));
    }
    std::vector<CallingProgram> Scan() {
        return CCallingProgramScanner(CCallingProgramScanner::FromEnvironment()).Scan();
    }
    // Each program found, sorted by name: "<desktop id> <name>[ video][ chat][ missing]".
    std::vector<std::string> Found() {
        std::vector<std::string> found;
        for (const CallingProgram& p : Scan())
            found.push_back(p.desktopId + " " + p.name + (p.video ? " video" : "") +
                            (p.messaging ? " chat" : "") + (p.missing ? " missing" : ""));
        return found;
    }

    CTempEnvironment env;
};
} // namespace

using CommsScanner = CommsDesktop;

TEST_F(CommsScanner, KnownIdsAndCallingCategoriesAreFoundAndThoseThatCannotStartAreMissing) {
    std::string skype = Program("path-bin/skypeforlinux");
    Entry("data", "skypeforlinux.desktop",
          "[Desktop Entry]\nType=Application\nName=Skype\nExec=skypeforlinux %U\nCategories=Network;\n");
    Entry("share1", "org.example.Meet.desktop", Simple("Meet", Program("bin/meet")));
    Entry("share1", "org.example.Talk.desktop",
          Simple("Talk", Program("bin/talk"), "Network;InstantMessaging;"));
    Entry("share2", "org.example.Editor.desktop", Simple("Editor", Program("bin/editor"), "Utility;"));
    Entry("data", "a.desktop", Simple("Absent", "/nonexistent/absent"));
    Entry("data", "b.desktop", Simple("Tried", Program("bin/tried")) + "TryExec=not-on-path\n");
    Entry("data", "c.desktop", Simple("Quoted", "\"" + Program("bin/quoted") + "\""));
    Entry("data", "d.desktop",
          "[Desktop Entry]\nType=Application\nName=Bad\nExec=bad %z\nCategories=VideoConference;\n");
    EXPECT_EQ(Found(), (std::vector<std::string>{
                           "a.desktop Absent video missing", "d.desktop Bad video missing",
                           "org.example.Meet.desktop Meet video", "c.desktop Quoted video",
                           "skypeforlinux.desktop Skype video chat", "org.example.Talk.desktop Talk chat",
                           "b.desktop Tried video missing"}));
    for (const CallingProgram& p : Scan()) {
        if (p.desktopId == "skypeforlinux.desktop") {
            EXPECT_EQ(p.program, skype) << "found on PATH";
            EXPECT_NE(std::find(p.processNames.begin(), p.processNames.end(), "skypeforlinux"),
                      p.processNames.end());
        }
    }
}

TEST_F(CommsScanner, TheMoreImportantFolderDecidesAnIdEvenByHidingItAndBadEntriesAreLeftOut) {
    std::string program = Program("bin/meet");
    Entry("data", "meet.desktop", Simple("Meet Home", program));
    Entry("share1", "meet.desktop", Simple("Meet System", program));
    Entry("data", "talk.desktop", "[Desktop Entry]\nType=Application\nName=Talk\nHidden=true\n");
    Entry("share2", "talk.desktop", Simple("Talk", program));
    Entry("share1", "vendor/chat.desktop", Simple("Vendor Chat", program));
    Entry("share1", "menu-only.desktop", Simple("Menu Only", program) + "NoDisplay=true\n");
    Entry("share1", "broken.desktop", "[Desktop Entry]\nName=Broken \xFF\n");
    Entry("share1", "link.desktop",
          "[Desktop Entry]\nType=Link\nName=Link\nURL=https://example.com\nCategories=VideoConference;\n");
    EXPECT_EQ(Found(), (std::vector<std::string>{"meet.desktop Meet Home video",
                                                 "vendor-chat.desktop Vendor Chat video"}))
        << "sub-folders join the id with '-'";
}

TEST_F(CommsScanner, TheDefaultIsTheFirstInstalledHandlerOfACallingScheme) {
    std::string program = Program("bin/chat");
    Entry("data", "alpha.desktop", Simple("Alpha", program));
    Entry("data", "beta.desktop", Simple("Beta", program));
    Entry("data", "gamma.desktop", Simple("Gamma", "/nonexistent/gamma"));
    CCallingProgramScanner scanner(CCallingProgramScanner::FromEnvironment());
    std::vector<CallingProgram> programs = scanner.Scan();
    EXPECT_EQ(scanner.DefaultDesktopId(programs), "");
    env.WriteFile("share1/applications/mimeapps.list",
                  "[Default Applications]\nx-scheme-handler/tel=alpha.desktop\n");
    EXPECT_EQ(scanner.DefaultDesktopId(programs), "alpha.desktop");
    // The user's own list wins over the system's, and an uninstalled or missing handler is passed over.
    env.WriteFile("config/mimeapps.list", "[Added Associations]\nx-scheme-handler/callto=alpha.desktop\n"
                                          "[Default Applications]\nx-scheme-handler/tel=nothere.desktop;"
                                          "gamma.desktop;beta.desktop;\n");
    EXPECT_EQ(scanner.DefaultDesktopId(programs), "beta.desktop");
    // A more important scheme beats a less important one anywhere.
    env.WriteFile("etc-xdg/mimeapps.list", "[Default Applications]\nx-scheme-handler/callto=alpha.desktop\n");
    EXPECT_EQ(scanner.DefaultDesktopId(programs), "alpha.desktop");
}

namespace {
CGraniteCommsControl& Control() {
    return CGraniteCommsControl::Instance();
}

ICommunicationsService* NewService() {
    void* object = nullptr;
    EXPECT_EQ(CGraniteCommunicationsService::Create(IID_ICommunicationsService, &object), S_OK);
    return static_cast<ICommunicationsService*>(object);
}

class CommsService : public CommsDesktop {
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
    int32_t StatusOf(const std::string& name) {
        int32_t status = -1;
        EXPECT_EQ(service->GetApplicationStatusByName(name, &status), S_OK);
        return status;
    }

    std::string meet;
    CFakeProcessLauncher launcher;
    CommsRecordingSink sink;
    uint32_t cookie = 0;
    ICommunicationsService* service = nullptr;
};
} // namespace

TEST_F(CommsService, ProgramsHaveTheStatusOfTheUsersProcessesAnnouncedFromTheServicesThreadAndClose) {
    ASSERT_EQ(service->RefreshApplications(), S_OK);
    Process(100, "meet", "/somewhere/else/meet");
    Control().ScanNow();
    ASSERT_TRUE(sink.WaitFor("status:Meet,Meet,3"));
    EXPECT_NE(sink.LastThread(), std::this_thread::get_id());
    int32_t count = 0, pid = 0, index = 99;
    ASSERT_EQ(service->GetApplicationCount(&count), S_OK);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(service->GetApplicationStatus(3, &index), E_INVALIDARG);
    EXPECT_EQ((std::vector<int32_t>{StatusOf("Absent"), StatusOf("meet"), StatusOf("Talk")}),
              (std::vector<int32_t>{COMMS_APP_MISSING, COMMS_APP_RUNNING, COMMS_APP_INSTALLED}));
    ASSERT_EQ(service->GetApplicationProcessId("Meet", &pid), S_OK);
    EXPECT_EQ(pid, 100);
    EXPECT_EQ(service->GetApplicationProcessId("Talk", &pid), E_FAIL);
    std::string user, inCall;
    ASSERT_EQ(service->GetSignedInUser("Meet", &user), S_OK);
    EXPECT_FALSE(user.empty()) << "a running program is used by the user running it";
    EXPECT_EQ(service->GetSignedInUser("Nobody", &user), E_INVALIDARG);
    Control().SetInCall("Meet", true);
    Control().ScanNow();
    ASSERT_TRUE(sink.WaitFor("status:Meet,Meet,4"));
    ASSERT_EQ(service->GetCallApplication(&inCall), S_OK);
    EXPECT_EQ(inCall, "Meet");
    // Closing ends the program's process through the terminator; a fake process table never names a real one.
    std::vector<int32_t> ended;
    Control().SetTerminator([&](int32_t id) { return ended.push_back(id), true; });
    EXPECT_EQ(service->CloseApplication("Talk"), S_FALSE);
    ASSERT_EQ(service->CloseApplication("Meet"), S_OK);
    EXPECT_EQ(ended, (std::vector<int32_t>{100}));
    Control().SetTerminator(nullptr);
    EXPECT_EQ(service->CloseApplication("Meet"), E_FAIL);
    std::filesystem::remove_all(env.Path("proc/100"));
    Control().ScanNow();
    ASSERT_TRUE(sink.WaitFor("status:Meet,Meet,1"));
}

TEST_F(CommsService, AProgramStartsFromItsArgumentListWithoutAShell) {
    Entry("data", "org.example.Meet.desktop",
          "[Desktop Entry]\nType=Application\nName=Meet\nIcon=meet-icon\nCategories=VideoConference;\n"
          "Exec=meet --title \"Meet; rm -rf ~\" %U ; rm -rf / %i \"$(id)\"\n");
    env.SetEnv("PATH", env.Path("bin"));
    ASSERT_EQ(service->RefreshApplications(), S_OK);
    ASSERT_EQ(service->LaunchApplication("meet"), S_OK);
    ASSERT_EQ(launcher.Started().size(), 1u);
    EXPECT_EQ(launcher.Started()[0], (std::vector<std::string>{meet, "--title", "Meet; rm -rf ~", ";", "rm",
                                                               "-rf", "/", "--icon", "meet-icon", "$(id)"}));
    EXPECT_EQ(StatusOf("Meet"), COMMS_APP_STARTING);
    EXPECT_TRUE(sink.WaitFor("status:Meet,Meet,5"));
    EXPECT_EQ(service->LaunchApplication("Absent"), E_FAIL);
    EXPECT_EQ(service->LaunchApplication("Nobody"), E_INVALIDARG);
    EXPECT_EQ(service->StartVideoCall("Talk"), E_FAIL) << "Talk makes no video calls";
    launcher.SetSucceeds(false);
    EXPECT_EQ(service->LaunchApplication("Talk"), E_FAIL);
    EXPECT_EQ(launcher.Started().size(), 2u) << "only Meet and the refused Talk reached the launcher";
}

TEST_F(CommsService, CallSettingsAndOptionsAreKeptForTheUserAcrossServiceObjects) {
    ASSERT_EQ(service->SetCallSetting(COMMS_SETTING_MICROPHONE, "mic-1"), S_OK);
    ASSERT_EQ(service->SetCallSetting(COMMS_SETTING_MICROPHONE, "mic-2"), S_OK);
    EXPECT_TRUE(sink.WaitFor("device:mic-1,2,mic-2"));
    for (const std::string& bad : {std::string(1025, 'c'), std::string("bad \xFF")})
        EXPECT_EQ(service->SetCallSetting(COMMS_SETTING_CAMERA, bad), E_INVALIDARG);
    EXPECT_EQ(service->SetCallSetting(4, "x"), E_INVALIDARG);
    ASSERT_EQ(service->SetOption(COMMS_OPTION_CALL_VOLUME, Variant::FromI4(35)), S_OK);
    EXPECT_EQ(service->SetOption(COMMS_OPTION_CALL_VOLUME, Variant::FromI4(101)), E_INVALIDARG);
    EXPECT_EQ(service->SetOption(COMMS_OPTION_ECHO_CANCELLATION, Variant::FromString("yes")), E_INVALIDARG);
    ASSERT_EQ(service->SetStatusMessage("In a meeting"), S_OK);
    ICommunicationsService* second = NewService();
    std::string microphone, status;
    Variant volume;
    ASSERT_EQ(second->GetCallSetting(COMMS_SETTING_MICROPHONE, &microphone), S_OK);
    ASSERT_EQ(second->GetOption(COMMS_OPTION_CALL_VOLUME, &volume), S_OK);
    ASSERT_EQ(second->GetStatusMessage(&status), S_OK);
    EXPECT_EQ(microphone + " " + std::to_string(volume.GetI4()) + " " + status, "mic-2 35 In a meeting");
    second->Release();
    // Switching calling programs off empties the list until they are switched on again.
    int32_t count = -1;
    for (bool on : {false, true}) {
        ASSERT_EQ(service->SetOption(COMMS_OPTION_CALLING_PROGRAMS, Variant::FromBool(on)), S_OK);
        ASSERT_EQ(service->RefreshApplications(), S_OK);
        ASSERT_EQ(service->GetApplicationCount(&count), S_OK);
        EXPECT_EQ(count, on ? 3 : 0);
    }
}

TEST_F(CommsService, TheChosenDefaultIsKeptAndAnnouncedAndDecidesReadiness) {
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
    auto ready = [&] {
        int32_t r = -1;
        EXPECT_EQ(service->GetCallReadiness(&r), S_OK);
        return r;
    };
    EXPECT_EQ(ready(), 0);
    Process(300, "meet", meet);
    Control().ScanNow();
    ASSERT_TRUE(sink.WaitFor("readiness"));
    EXPECT_EQ(ready(), 1);
    Control().SetSignedInUser("Meet", std::string());
    EXPECT_EQ(ready(), 0) << "nobody signed in";
    ICommunicationsService* second = NewService();
    ASSERT_EQ(second->RefreshApplications(), S_OK);
    ASSERT_EQ(second->GetDefaultApplicationName(&name), S_OK);
    EXPECT_EQ(name, "Meet") << "the choice outlives the service object";
    second->Release();
}

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

TEST_F(CommsService, TheFacadeHearsTheServiceOnTheUserInterfaceThread) {
    RegisterGraniteCommunicationsService();
    IGraniteCommunicationsManager* m = GetGraniteCommunicationsManager();
    ASSERT_NE(m, nullptr);
    FacadeListener listener;
    m->AddListener(&listener, 7);
    ASSERT_EQ(m->RefreshApplications(), S_OK);
    EXPECT_EQ(m->GetApplicationCount(), 6) << "three programs and the three the program looks for itself";
    Process(500, "meet", meet);
    Control().ScanNow();
    PumpUntil([&] { return !listener.heard.empty(); });
    EXPECT_EQ(listener.heard, (std::vector<std::string>{"7:Meet=3"}));
    ASSERT_EQ(m->RefreshApplications(), S_OK);
    ApplicationInfo meetInfo;
    ASSERT_EQ(m->FindApplicationById("Meet", &meetInfo), S_OK);
    EXPECT_TRUE(IsVideoCallCandidate(*m, meetInfo));
    ASSERT_EQ(m->LaunchApplication(meetInfo.index), S_OK);
    EXPECT_EQ(launcher.Started().size(), 1u);
    m->Release();
    UnregisterGraniteCommunicationsService();
}
