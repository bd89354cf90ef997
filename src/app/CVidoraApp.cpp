#include "app/CVidoraApp.h"

#include "app/CInstanceChannel.h"
#include "app/CMailTempFolders.h"
#include "app/CSetupCleanupThread.h"
#include "app/CVersion.h"
#include "app/CVidoraSettings.h"
#include "app/Folders.h"
#include "config/CVidoraOEMInfo.h"
#include "platform/CMessageRegistry.h"
#include "platform/CObjectFactory.h"
#include "platform/CRegistry.h"
#include "platform/CResourceLibrary.h"
#include "platform/CSignalWatcher.h"
#include "platform/CSystemInfo.h"
#include "platform/DebugOutput.h"
#include "platform/ExecutablePath.h"
#include "platform/RegisteredMessages.h"
#include "platform/SpecialFolders.h"
#include "platform/TextUtil.h"
#include "services/IGraniteCommunicationsManager.h"
#include "services/IGraniteDeviceManager.h"
#include "services/IStartupService.h"
#include "ui/CCustomMessageBoxOK.h"
#include "ui/CDialogBase.h"
#include "ui/CImageCache.h"

#include <QCoreApplication>

#include <cstdio>

#include <unistd.h>

namespace {
CVidoraApp* g_app = nullptr;

std::string ResourceLibraryPath() {
    return GetExecutableDir() + "/" + CResourceLibrary::kFileName;
}
} // namespace

CVidoraApp::CVidoraApp() {
    g_app = this;
}

CVidoraApp::~CVidoraApp() {
    if (GetOEMInfo() == &oemInfo_)
        SetOEMInfo(nullptr);
    if (startupService_ != nullptr) {
        startupService_->Release();
        startupService_ = nullptr;
    }
    if (g_app == this)
        g_app = nullptr;
}

CVidoraApp* CVidoraApp::Instance() {
    return g_app;
}

std::vector<uint32_t> CVidoraApp::PreloadedImageIds() {
    // The main window's and the panes' most used images: 51 ids between 103 and 358.
    std::vector<uint32_t> ids;
    for (uint32_t id = 103; id <= 358 && ids.size() < 51; id += 5)
        ids.push_back(id);
    return ids;
}

int CVidoraApp::Run(int argc, char** argv) {
    InitInstance(argc, argv);
    return ExitInstance();
}

bool CVidoraApp::InitInstance(int argc, char** argv) {
    // 1. The OEM information first: the settings root and every branded text go through it.
    SetOEMInfo(&oemInfo_);
    RegisterAllMessages();

    // 2. An installer's initialise-only start.
    if (CVD10CommandLineInfo::IsInitializeAppCommandLine(argc, argv)) {
        CVidoraSettings::SetVIVFirstTimeUse(1);
        return true;
    }

    // 3. One instance per user.
    bool haveHandle = instanceMutex_.Create(kInstanceMutexName, false);
    uint32_t error = instanceMutex_.LastError();
    bool secondInstance = error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED;
    startHidden = 0;
    cameraInUseHere = cameraOwnerIs64Bit = cameraInUseElsewhere = 0;

    // 4. A second instance only tells the running one and ends. A mutex that could not be made at all (no
    // runtime folder, a full disk) says nothing about another instance: this one carries on as the first.
    if (!haveHandle && !secondInstance)
        OutputDebugString(Text::Format("The instance mutex could not be created (error %u); starting anyway",
                                       static_cast<unsigned>(error)));
    if (secondInstance) {
        OutputDebugString("Starting as a second instance");
        commandLine.Parse(argc, argv);
        SignalRunningInstance();
        firstInstance = 0;
        instanceMutex_.Close();
        return true;
    }

    // 5-9. First instance: resources, language, image cache.
    OutputDebugString("Starting as the first instance");
    firstInstance = 1;
    // Mail folders an earlier run left behind (it ended before it could delete them).
    CMailTempFolders::RemoveStale();
    // From here on a request to end (log-out, kill) runs the normal shutdown.
    signalWatcher_ = std::make_unique<CSignalWatcher>([this](int) { EndFromSignal(); });
    PrepareResources();

    // 10-12. Default settings, capture folders, platform version.
    CVidoraSettings::SeedDefaults();
    SetUpFolders(movieFolder, photoFolder);
    PlatformVersion version = CSystemInfo::Instance().GetVersion();
    osMajorVersion = version.major;
    osMinorVersion = version.minor;

    // 14-17. The command line and the registration switches.
    commandLine.Parse(argc, argv);
    if (commandLine.runEmbedded || commandLine.runAutomated) {
        instanceMutex_.Close();
        return true;
    }
    if (!HandleRegistrationSwitches())
        return false;

    // 18. The installer clean-up only runs in a visible start.
    startHidden = commandLine.hide;
    if (startHidden == 0) {
        cleanupThread = std::make_unique<CSetupCleanupThread>();
        cleanupThread->Start();
    }

    // 19-24. Services, the calling-programs list, devices and camera ownership.
    CreateStartupService();
    ObtainFacades();
    callingApps = std::make_unique<AppsReader::CAppsReader>(
        oemInfo_.GetConfigFilePath("Config", "callingapps.xml", 438), "apps");
    if (communications_ != nullptr)
        listenerRegistered_ = SUCCEEDED(communications_->AddListener(this, 0));
    if (deviceManager_ != nullptr && communications_ != nullptr) {
        ApplyCommunicationsDevices();
        ApplyFirstRunDefaultDevices();
    }
    RunCameraOwnershipTests();

    // 25. The main window, for the life of the process.
    ReportRuntimeFolderProblem();
    RunMainWindow();

    // 26-27. Everything the main window needed goes, in reverse order.
    ReleaseServices();
    if (postInitMutex.IsValid()) {
        postInitMutex.Release();
        postInitMutex.Close();
    }
    instanceMutex_.Release();
    instanceMutex_.Close();
    signalWatcher_.reset();
    return false;
}

bool CVidoraApp::SignalRunningInstance() {
    const uintptr_t wParam = commandLine.openSnapDesk != 0 ? 1 : 0;
    bool answered = CInstanceChannel::Send(RegisteredMessages::UniqueInstance.Name(), wParam, 0,
                                           kSecondInstanceTimeoutMs);
    if (!answered)
        OutputDebugString("The running instance did not answer");
    return answered;
}

void CVidoraApp::PrepareResources() {
    // The resource library beside the executable; the built-in copy stays in use when it is missing.
    resourceFileLoaded_ = CResourceLibrary::Instance().LoadFile(ResourceLibraryPath());
    CVersion resourceVersion;
    LANGID language = 0x0409;
    if (resourceFileLoaded_ && resourceVersion.Load(ResourceLibraryPath()))
        language = resourceVersion.GetFirstLanguage().value_or(0x0409);
    else if (!resourceFileLoaded_)
        language = CResourceLibrary::Instance().LanguageId().value_or(0x0409);
    SetUiLanguage(language);

    CImageCache& cache = CImageCache::Instance();
    cache.Clear();
    cache.Enable();
    cache.Preload(PreloadedImageIds());
    COEMInfo::SetImageSource(
        [](uint32_t id, QImage& image) { return CImageCache::Instance().GetImage(id, image); });
}

bool CVidoraApp::HandleRegistrationSwitches() {
    using Cmd = CVD10CommandLineInfo::ShellCommand;
    if (commandLine.shellCommand != Cmd::AppRegister && commandLine.shellCommand != Cmd::AppUnregister)
        return true;
    instanceMutex_.Close();
    // The program's registration: its application id under the classes root, naming the program.
    CRegistry& registry = CRegistry::Instance();
    const std::string appIdKey = std::string("AppID\\") + kAppId;
    const std::string exeKey = "AppID\\Vidora10.EXE";
    if (commandLine.shellCommand == Cmd::AppUnregister) {
        registry.DeleteKeyTree(Hive::ClassesRoot, appIdKey);
        registry.DeleteKeyTree(Hive::ClassesRoot, exeKey);
    } else {
        if (SUCCEEDED(registry.CreateKey(Hive::ClassesRoot, appIdKey, "", false)))
            registry.SetValue(Hive::ClassesRoot, appIdKey, "", RegValue::String("Vidora10"));
        if (SUCCEEDED(registry.CreateKey(Hive::ClassesRoot, exeKey, "", false)))
            registry.SetValue(Hive::ClassesRoot, exeKey, "AppID", RegValue::String(kAppId));
    }
    return false;
}

void CVidoraApp::CreateStartupService() {
    IStartupService* service = nullptr;
    if (SUCCEEDED(CObjectFactory::Instance().Create(CLSID_StartupService, IID_IStartupService, &service)) &&
        service != nullptr) {
        startupService_ = service;
        startupService_->BeginSession();
    }
}

void CVidoraApp::ObtainFacades() {
    deviceManager_ = GetGraniteDeviceManager();
    communications_ = GetGraniteCommunicationsManager();
}

void CVidoraApp::ApplyCommunicationsDevices() {
    // The devices the user chose for calls become the program's devices too; a failed choice is ignored.
    std::string id;
    if (SUCCEEDED(communications_->GetCallSetting1(id)))
        deviceManager_->SelectVideoDeviceById(id);
    if (SUCCEEDED(communications_->GetCallSetting2(id)))
        deviceManager_->SelectMicrophoneById(id);
    if (SUCCEEDED(communications_->GetCallSetting3(id)))
        deviceManager_->SelectSpeakerById(id);
}

void CVidoraApp::ApplyFirstRunDefaultDevices() {
    if (oemInfo_.IsFeatureEnabled("Do.Not.Set.Default.Devices", true))
        return;
    if (CVidoraSettings::GetOEMSetDefDev() != 0)
        return;
    std::string text;
    if (SUCCEEDED(deviceManager_->GetServiceString3(text)) && !text.empty())
        communications_->SetCallSetting3(text);
    text.clear();
    if (SUCCEEDED(deviceManager_->GetServiceString4(text)) && !text.empty())
        communications_->SetCallSetting2(text);
    CVidoraSettings::SetOEMSetDefDev(1);
}

void CVidoraApp::RunCameraOwnershipTests() {
    cameraInUseHere = cameraOwnerIs64Bit = cameraInUseElsewhere = 0;
    if (deviceManager_ == nullptr || deviceManager_->GetVideoDeviceCount() <= 0)
        return;
    int index = -1;
    VideoDeviceInfo current;
    if (FAILED(deviceManager_->GetSelectedVideoDeviceIndex(&index)) ||
        FAILED(deviceManager_->GetVideoDevice(index, &current)) || current.id.empty())
        return;
    // Strings 1 of the current camera: the process id of the program holding it, then that program's name.
    std::string holderPid, holderName;
    if (FAILED(deviceManager_->GetDeviceStrings(1, holderPid, holderName)))
        return;
    const uint32_t pid = static_cast<uint32_t>(Text::ParseLeadingDecimal(holderPid));
    if (pid == 0)
        return;
    if (osMajorVersion <= 4 || osMinorVersion == 0)
        cameraInUseHere = 1;
    else if (sessionIdentifier.IsPIDInCurrentSession(pid) == 1)
        cameraInUseHere = 1;
    else
        cameraInUseElsewhere = 1;
    // Every process here runs natively: there is no 32-bit emulation to tell apart, so
    // cameraOwnerIs64Bit stays 0.
}

bool CVidoraApp::IsCameraHeldByOtherUser() const {
    return osMajorVersion > 4 && cameraInUseElsewhere != 0;
}

bool CVidoraApp::IsCameraHeldHere() const {
    if (IsCameraHeldByOtherUser())
        return false;
    return cameraInUseHere != 0 && cameraOwnerIs64Bit == 0;
}

uint8_t CVidoraApp::IsApplicationEnabled(uint32_t /*cookie*/, const std::string& key) {
    if (!callingApps || callingApps->GetCount() == 0)
        return 1;
    const AppsReader::CApp* app = callingApps->Find(key);
    // A program the list does not name is offered: the list restricts, it does not enumerate.
    if (app == nullptr)
        return 1;
    if (!app->shown)
        return 0;
    if (app->countries && !app->IsCountryAllowed(CSystemInfo::Instance().GetSystemDefaultLangId()))
        return 0;
    if (app->oses) {
        PlatformVersion v = CSystemInfo::Instance().GetVersion();
        AppsReader::OSType type;
        if (!v.ntFamily || !AppsReader::COSes::FromVersion(v.major, v.minor, type) ||
            !app->oses->Contains(type))
            return 0;
    }
    return 1;
}

intptr_t CVidoraApp::DeliverChannelMessage(const std::string& name, uintptr_t wParam, intptr_t lParam) {
    // A message from another process goes to every top-level window, as a broadcast would. Only names this
    // program already knows are passed on: registering whatever a sender invents would let any process of
    // the user fill the message table.
    const UINT message = CMessageRegistry::Instance().Find(name);
    if (message == 0)
        return 0;
    CDialogBase::BroadcastMessage(message, wParam, lParam, kSecondInstanceTimeoutMs);
    return 1;
}

void CVidoraApp::EndFromSignal() {
    // Ended from outside: end the main window as a session end would, so shutdown runs every step. (Its
    // close, by contrast, may only hide it in the tray.) A message box waiting for an answer would hold
    // everything up, so the open ones end first.
    quitRequested_ = true;
    CCustomMessageBox::EndAll();
    if (mainWindow_ != nullptr && mainWindow_->IsWindow())
        mainWindow_->PostMessage(WM_ENDSESSION, 1);
}

void CVidoraApp::RunMainWindow() {
    channel_ = std::make_unique<CInstanceChannel>([this](const std::string& name, uintptr_t w, intptr_t l) {
        return DeliverChannelMessage(name, w, l);
    });
    if (!channel_->Listen())
        OutputDebugString("The instance channel could not be opened");

    std::unique_ptr<CDialogBase> window =
        mainWindowFactory_ && !quitRequested_ ? mainWindowFactory_() : nullptr;
    if (window) {
        mainWindow_ = window.get();
        window->DoModal();
        mainWindow_ = nullptr;
    }
    channel_.reset();
}

void CVidoraApp::ReportRuntimeFolderProblem() {
    // Without its private runtime folder the program cannot keep a second start from running beside it,
    // and other users might reach its named objects: the user has to hear of it.
    const std::string problem = SpecialFolders::RuntimeDirProblem();
    if (problem.empty())
        return;
    std::fprintf(stderr, "vidora: %s\n", problem.c_str());
    CCustomMessageBoxOK box(problem, MessageBoxIcon::Warning);
    box.Run();
}

HRESULT CVidoraApp::GetDefaultMailProgram(std::string& name, std::string& command) const {
    if (startupService_ == nullptr)
        return E_FAIL;
    return startupService_->GetDefaultMailProgram(name, command);
}

void CVidoraApp::ReleaseServices() {
    if (communications_ != nullptr && listenerRegistered_)
        communications_->RemoveListener(this);
    listenerRegistered_ = false;
    callingApps.reset();
    if (communications_ != nullptr) {
        communications_->Release();
        communications_ = nullptr;
    }
    if (deviceManager_ != nullptr) {
        deviceManager_->Release();
        deviceManager_ = nullptr;
    }
    if (startupService_ != nullptr) {
        startupService_->Release();
        startupService_ = nullptr;
    }
}

int CVidoraApp::ExitInstance() {
    if (cleanupThread) {
        cleanupThread->Stop();
        cleanupThread.reset();
    }
    if (firstInstance == 1) {
        if (CVidoraSettings::GetFirstLaunch() != 0)
            CVidoraSettings::WriteRootNumber("FirstLaunch", 0);
        CImageCache::Instance().Clear();
        CImageCache::Instance().Disable();
        COEMInfo::SetImageSource(nullptr);
    }
    if (resourceFileLoaded_) {
        CResourceLibrary::Instance().Unload();
        resourceFileLoaded_ = false;
    }
    // The copies of the captures sent by e-mail this run.
    if (firstInstance == 1)
        CMailTempFolders::RemoveOwn();
    return 0;
}
