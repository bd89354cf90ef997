// The application object in this process, with the simulated devices behind the service facades, and the
// session's process table it asks who holds the camera.
#include "app/CInstanceChannel.h"
#include "app/CSessionIdentifierApp.h"
#include "app/CVidoraApp.h"
#include "app/CVidoraSettings.h"
#include "granite/RegisterGraniteDeviceService.h"
#include "granite/comms/RegisterGraniteCommunicationsService.h"
#include "granite/control/CSimulatedDeviceControl.h"
#include "granite/devices/CSimulatedHardware.h"
#include "platform/CMessageRegistry.h"
#include "platform/CSystemInfo.h"
#include "platform/RegisteredMessages.h"
#include "services/IGraniteCommunicationsManager.h"
#include "services/IGraniteDeviceManager.h"
#include "support/CTempEnvironment.h"
#include "ui/CDialogBase.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <fstream>
#include <future>

#include <sys/stat.h>
#include <unistd.h>

namespace {
// Who the application found holding the camera by the time its main window is made.
struct Seen {
    bool ran = false;
    uint32_t heldHere = 0, heldElsewhere = 0;
};

// A main window that sends messages to its own process through the instance channel, as another would.
class CChannelProbeWindow : public CDialogBase {
public:
    explicit CChannelProbeWindow(std::vector<std::pair<bool, intptr_t>>& answers) : answers_(answers) {}

protected:
    bool OnInitDialog() override {
        sent_ = std::async(std::launch::async, [] {
            std::vector<std::pair<bool, intptr_t>> answers;
            for (const char* name : {"VIDORA10_WM_RESOLUTIONCHANGED", "Invented.By.Another.Process",
                                     "invented.by.another.process"}) {
                intptr_t result = -1;
                bool answered = CInstanceChannel::Send(name, 0, 0, 5000, &result);
                answers.emplace_back(answered, result);
            }
            return answers;
        });
        SetTimer(1, 10);
        return true;
    }
    void OnTimer(UINT_PTR) override {
        if (sent_.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
            return;
        KillTimer(1);
        answers_ = sent_.get();
        EndDialog(IDOK);
    }

private:
    std::vector<std::pair<bool, intptr_t>>& answers_;
    std::future<std::vector<std::pair<bool, intptr_t>>> sent_;
};

class AppStartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        env.SetEnv("VIDORA_SIMULATED_DEVICES", "camera:full,microphone,speaker");
        Granite::CSimulatedHardware::SetCurrent(nullptr);
        RegisterGraniteDeviceService();
        RegisterGraniteCommunicationsService();
    }
    void TearDown() override {
        UnregisterGraniteDeviceService();
        UnregisterGraniteCommunicationsService();
        Granite::CSimulatedHardware::SetCurrent(nullptr);
        CSystemInfo::Instance().ResetOverrides();
    }
    // Starts and ends the application with the main window the factory makes.
    static void Run(CVidoraApp& app, CVidoraApp::MainWindowFactory window) {
        app.SetMainWindowFactory(std::move(window));
        const char* args[] = {"vidora"};
        app.InitInstance(1, const_cast<char**>(args));
        app.ExitInstance();
    }
    static void Run(Seen& seen) {
        CVidoraApp app;
        Run(app, [&]() -> std::unique_ptr<CDialogBase> {
            seen = {true, app.cameraInUseHere, app.cameraInUseElsewhere};
            return nullptr;
        });
    }
    // The camera the user chose for calls becomes the current camera at start.
    void ChooseFirstCameraForCalls() {
        IGraniteDeviceManager* devices = GetGraniteDeviceManager();
        IGraniteCommunicationsManager* comms = GetGraniteCommunicationsManager();
        ASSERT_TRUE(devices && comms);
        VideoDeviceInfo camera;
        ASSERT_EQ(devices->GetVideoDevice(0, &camera), S_OK);
        comms->SetCallSetting1(camera.id);
        comms->Release();
        devices->Release();
    }
    CTempEnvironment env;
};

class SessionIdentifierTest : public ::testing::Test {
protected:
    // Written directly: one test makes a table of some thousand processes.
    void Process(const std::string& entry, int uid) {
        std::string dir = procRoot + "/" + entry;
        mkdir(procRoot.c_str(), 0700);
        mkdir(dir.c_str(), 0700);
        std::ofstream(dir + "/status") << "Name:\tp\nUid:\t" << uid << "\t" << uid << "\t0\t0\n";
    }
    CTempEnvironment env;
    std::string procRoot = env.Path("proc");
};
} // namespace

TEST_F(AppStartupTest, WhoHoldsTheCamera) {
    constexpr uint32_t kNobody = 0;
    constexpr uint32_t kNoProcessOfThisUser = 999999;
    const uint32_t self = static_cast<uint32_t>(getpid());
    struct Case {
        uint32_t holder;
        PlatformVersion version;
        uint32_t heldHere, heldElsewhere;
    } cases[] = {
        {kNobody, {6, 1, true}, 0, 0},
        {self, {6, 1, true}, 1, 0},
        {kNoProcessOfThisUser, {6, 1, true}, 0, 1},
        {kNoProcessOfThisUser, {6, 0, true}, 1, 0}, // minor version 0: always counted as held here
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.holder) + " on " + std::to_string(c.version.minor));
        Granite::CSimulatedHardware::SetCurrent(nullptr);
        CSystemInfo::Instance().OverrideVersion(c.version);
        Granite::CSimulatedDeviceControl control;
        if (c.holder != kNobody) {
            ASSERT_EQ(control.StartStreaming("Recorder", 0, c.holder, "recorder"), S_OK);
        }
        ChooseFirstCameraForCalls();
        Seen seen;
        Run(seen);
        ASSERT_TRUE(seen.ran);
        EXPECT_EQ(std::make_pair(seen.heldHere, seen.heldElsewhere),
                  std::make_pair(c.heldHere, c.heldElsewhere));
    }
}

TEST_F(AppStartupTest, FirstRunHandsTheServiceDevicesToTheCallSettingsOnlyWhenTheOemAsks) {
    Granite::CSimulatedDeviceControl control;
    control.Hardware().SetString(3, "speaker-from-service");
    control.Hardware().SetString(4, "microphone-from-service");
    Seen seen;
    Run(seen); // no OEM document: the feature counts as enabled, nothing is handed over
    EXPECT_EQ(CVidoraSettings::GetOEMSetDefDev(), 0u);
    env.WriteFile(
        "bin/OEM/OEM.xml",
        R"(<Oem><Features><Feature Id="Do.Not.Set.Default.Devices" Enabled="false"/></Features></Oem>)");
    Run(seen);
    EXPECT_EQ(CVidoraSettings::GetOEMSetDefDev(), 1u);
    IGraniteCommunicationsManager* comms = GetGraniteCommunicationsManager();
    ASSERT_NE(comms, nullptr);
    std::string speaker, microphone;
    comms->GetCallSetting3(speaker);
    comms->GetCallSetting2(microphone);
    comms->Release();
    EXPECT_EQ(speaker + "|" + microphone, "speaker-from-service|microphone-from-service");
}

TEST_F(AppStartupTest, PermissionQueryFollowsTheCallingProgramsList) {
    env.WriteFile("bin/Config/callingapps.xml", R"(<apps>
        <App ID="Shown"><shown>true</shown></App>
        <App ID="Hidden"><shown>false</shown></App>
        <App ID="XpOnly"><shown>true</shown><OSes><OS>XP</OS></OSes></App>
        <App ID="German"><shown>true</shown><Countries><Country>1031</Country></Countries></App>
      </apps>)");
    CSystemInfo::Instance().OverrideSystemLangId(1033);
    CVidoraApp app;
    std::string answers; // shown, hidden, XP only (this platform reports 6.1), German only, not listed
    Run(app, [&]() -> std::unique_ptr<CDialogBase> {
        for (const char* name : {"shown", "Hidden", "XpOnly", "German", "NotListed"})
            answers += char('0' + app.IsApplicationEnabled(0, name));
        return nullptr;
    });
    EXPECT_EQ(answers, "10001");
    // Without a list every program is allowed.
    EXPECT_EQ(app.IsApplicationEnabled(0, "Hidden"), 1);
}

TEST_F(AppStartupTest, TheInstanceChannelPassesOnlyMessagesThisProgramKnows) {
    RegisterAllMessages(); // the program's own names, which start-up registers anyway
    std::vector<std::pair<bool, intptr_t>> answers;
    CVidoraApp app;
    Run(app, [&] { return std::make_unique<CChannelProbeWindow>(answers); });
    // An invented name is answered, but neither delivered nor added to the process's message table.
    EXPECT_EQ(answers, (std::vector<std::pair<bool, intptr_t>>{{true, 1}, {true, 0}, {true, 0}}));
    EXPECT_EQ(CMessageRegistry::Instance().Find("Invented.By.Another.Process"), 0u);
}

TEST_F(SessionIdentifierTest, OtherUsersProcessesAreNotOursAndAnUnreadableTableAnswersNothing) {
    Process("self", 1000);
    Process("1", 0);
    Process("100", 1000);
    Process("200", 1001);
    env.WriteFile("proc/300/status", "Uid:\t1000\t0\t0\t0\n"); // started by the user, running as root
    // Entries that are no readable processes of the user.
    env.WriteFile("proc/400/status", "Name:\tbroken\nUid:\tnonsense\n");
    env.WriteFile("proc/500/cmdline", "ended while we looked");
    env.WriteFile("proc/0100/status", "Uid:\t1000\t1000\t1000\t1000\n");
    env.WriteFile("proc/abc/status", "Uid:\t1000\t1000\t1000\t1000\n");
    CSessionIdentifierApp session(procRoot);
    EXPECT_EQ(session.IsPIDInCurrentSession(100), 1); // the first question reads the table
    EXPECT_EQ(session.GetSessionProcesses(), std::vector<uint32_t>{100});
    EXPECT_EQ(session.IsPIDInCurrentSession(300), 0);
    EXPECT_EQ(session.GetEnumeratedCount(), 4u);
    // The current user can no longer be told: the earlier table must not answer for it.
    ASSERT_EQ(unlink(env.Path("proc/self/status").c_str()), 0);
    EXPECT_FALSE(session.EnumerateSessionProcesses());
    EXPECT_EQ(session.IsPIDInCurrentSession(100), 0);
    EXPECT_TRUE(session.GetSessionProcesses().empty());
}

TEST_F(SessionIdentifierTest, MoreThanATableFullOfProcessesOfTheUser) {
    // Some thousand entries: made in memory where the system offers a memory file system.
    QTemporaryDir memory(QDir("/dev/shm").exists() ? "/dev/shm/vidora-proc-XXXXXX"
                                                   : QString::fromStdString(env.Path("proc-XXXXXX")));
    ASSERT_TRUE(memory.isValid());
    procRoot = memory.path().toStdString();
    Process("self", 1000);
    for (int pid = 2; pid < 2 + 1100; ++pid)
        Process(std::to_string(pid), 1000);
    Process("90000", 1000);
    CSessionIdentifierApp session(procRoot);
    EXPECT_EQ(session.IsPIDInCurrentSession(90000), 1);
    EXPECT_EQ(session.IsPIDInCurrentSession(1101), 1);
    EXPECT_EQ(session.GetSessionProcesses().size(), 1101u);
}
