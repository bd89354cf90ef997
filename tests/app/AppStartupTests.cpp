// The application object in this process, with the stand-in services behind the facades.
#include "app/CVidoraApp.h"
#include "app/CVidoraSettings.h"
#include "granite/RegisterGraniteDeviceService.h"
#include "granite/comms/RegisterGraniteCommunicationsService.h"
#include "granite/control/CSimulatedDeviceControl.h"
#include "granite/devices/CSimulatedHardware.h"
#include "platform/CNamedMutex.h"
#include "platform/CSystemInfo.h"
#include "services/IGraniteCommunicationsManager.h"
#include "services/IGraniteDeviceManager.h"
#include "support/CTempEnvironment.h"
#include "ui/CDialogBase.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {
// A main window that notes what the application had prepared and ends at once.
struct Seen {
    bool ran = false;
    uint32_t heldHere = 0, heldElsewhere = 0;
    bool haveList = false;
    bool postInitHeld = false;
};

class CProbeWindow : public CDialogBase {
public:
    explicit CProbeWindow(Seen& seen) : seen_(seen) {}

protected:
    bool OnInitDialog() override {
        CVidoraApp* app = CVidoraApp::Instance();
        seen_.ran = true;
        seen_.heldHere = app->cameraInUseHere;
        seen_.heldElsewhere = app->cameraInUseElsewhere;
        seen_.haveList = app->callingApps != nullptr;
        app->postInitMutex.Create(CVidoraApp::kPostInitMutexName, true);
        CNamedMutex probe;
        seen_.postInitHeld =
            probe.Create(CVidoraApp::kPostInitMutexName, false) && probe.LastError() == ERROR_ALREADY_EXISTS;
        EndDialog(IDOK);
        return true;
    }

private:
    Seen& seen_;
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
    bool Run(Seen& seen, std::vector<const char*> args = {"vidora"}) {
        CVidoraApp app;
        app.SetMainWindowFactory([&] { return std::make_unique<CProbeWindow>(seen); });
        bool result = app.InitInstance(static_cast<int>(args.size()), const_cast<char**>(args.data()));
        app.ExitInstance();
        return result;
    }

    // The camera the user chose for calls becomes the current camera at start.
    void ChooseFirstCameraForCalls() {
        IGraniteDeviceManager* devices = GetGraniteDeviceManager();
        IGraniteCommunicationsManager* comms = GetGraniteCommunicationsManager();
        ASSERT_NE(devices, nullptr);
        ASSERT_NE(comms, nullptr);
        VideoDeviceInfo camera;
        ASSERT_EQ(devices->GetVideoDevice(0, &camera), S_OK);
        comms->SetCallSetting1(camera.id);
        comms->Release();
        devices->Release();
    }

    CTempEnvironment env;
};
} // namespace

TEST_F(AppStartupTest, CameraHeldByThisUsersProgramCountsAsHeldHere) {
    Granite::CSimulatedDeviceControl control;
    ASSERT_EQ(control.StartStreaming("Recorder", 0, static_cast<uint32_t>(getpid()), "recorder"), S_OK);
    ChooseFirstCameraForCalls();
    Seen seen;
    EXPECT_FALSE(Run(seen));
    ASSERT_TRUE(seen.ran);
    EXPECT_EQ(seen.heldHere, 1u);
    EXPECT_EQ(seen.heldElsewhere, 0u);
    EXPECT_TRUE(seen.haveList);
    EXPECT_TRUE(seen.postInitHeld);
    // Shutdown released both mutexes.
    CNamedMutex after;
    ASSERT_TRUE(after.Create(CVidoraApp::kInstanceMutexName, false));
    EXPECT_EQ(after.LastError(), ERROR_SUCCESS);
}

TEST_F(AppStartupTest, OnVersionsWithMinorZeroTheCameraAlwaysCountsAsHeldHere) {
    CSystemInfo::Instance().OverrideVersion(PlatformVersion{6, 0, true});
    Granite::CSimulatedDeviceControl control;
    ASSERT_EQ(control.StartStreaming("Recorder", 0, 999999, "recorder"), S_OK);
    ChooseFirstCameraForCalls();
    Seen seen;
    Run(seen);
    EXPECT_EQ(seen.heldHere, 1u);
}

TEST_F(AppStartupTest, NobodyStreamingLeavesEveryFlagClear) {
    ChooseFirstCameraForCalls();
    Seen seen;
    Run(seen);
    ASSERT_TRUE(seen.ran);
    EXPECT_EQ(seen.heldHere, 0u);
    EXPECT_EQ(seen.heldElsewhere, 0u);
}

TEST_F(AppStartupTest, FirstRunHandsTheServiceDevicesToTheCallSettingsOnlyWhenTheOemAsks) {
    Granite::CSimulatedDeviceControl control;
    control.Hardware().SetString(3, "speaker-from-service");
    control.Hardware().SetString(4, "microphone-from-service");

    Seen plain;
    Run(plain); // no OEM document: the feature counts as enabled, nothing is handed over
    EXPECT_EQ(CVidoraSettings::GetOEMSetDefDev(), 0u);

    env.WriteFile(
        "bin/OEM/OEM.xml",
        R"(<Oem><Features><Feature Id="Do.Not.Set.Default.Devices" Enabled="false"/></Features></Oem>)");
    Seen seen;
    Run(seen);
    EXPECT_EQ(CVidoraSettings::GetOEMSetDefDev(), 1u);
    IGraniteCommunicationsManager* comms = GetGraniteCommunicationsManager();
    ASSERT_NE(comms, nullptr);
    std::string speaker, microphone;
    comms->GetCallSetting3(speaker);
    comms->GetCallSetting2(microphone);
    comms->Release();
    EXPECT_EQ(speaker, "speaker-from-service");
    EXPECT_EQ(microphone, "microphone-from-service");
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
    uint8_t shown = 9, hidden = 9, xp = 9, german = 9, unknown = 9;
    app.SetMainWindowFactory([&]() -> std::unique_ptr<CDialogBase> {
        shown = app.IsApplicationEnabled(0, "shown");
        hidden = app.IsApplicationEnabled(0, "Hidden");
        xp = app.IsApplicationEnabled(0, "XpOnly");
        german = app.IsApplicationEnabled(0, "German");
        unknown = app.IsApplicationEnabled(0, "NotListed");
        return nullptr;
    });
    const char* args[] = {"vidora"};
    app.InitInstance(1, const_cast<char**>(args));
    app.ExitInstance();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(hidden, 0);
    EXPECT_EQ(xp, 0); // this platform reports 6.1
    EXPECT_EQ(german, 0);
    EXPECT_EQ(unknown, 1);
    // Without a list every program is allowed.
    EXPECT_EQ(app.IsApplicationEnabled(0, "Hidden"), 1);
}
