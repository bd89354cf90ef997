#pragma once
// The application object: decides whether this process is the first instance, hands over to the running
// instance otherwise, prepares the shared services, runs the main window for the life of the process and
// tears everything down in a fixed order. It also answers the communications manager's question whether a
// calling program may be offered.
#include "app/CSessionIdentifierApp.h"
#include "app/CVD10CommandLineInfo.h"
#include "config/CAppsReader.h"
#include "config/CVidoraOEMInfo.h"
#include "platform/CNamedMutex.h"
#include "platform/HResult.h"
#include "services/IGraniteCommunicationsManagerEvent.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CDialogBase;
class CInstanceChannel;
class CSetupCleanupThread;
class CSignalWatcher;
class IStartupService;
class IGraniteDeviceManager;
class IGraniteCommunicationsManager;

class CVidoraApp : public IGraniteCommunicationsManagerEvent {
public:
    // Makes the main window; the program gives the ribbon, tests a window of their own.
    using MainWindowFactory = std::function<std::unique_ptr<CDialogBase>()>;

    CVidoraApp();
    ~CVidoraApp() override;
    CVidoraApp(const CVidoraApp&) = delete;
    CVidoraApp& operator=(const CVidoraApp&) = delete;

    // The one application object of the process; null outside Run.
    static CVidoraApp* Instance();

    void SetMainWindowFactory(MainWindowFactory factory) { mainWindowFactory_ = std::move(factory); }

    // Start-up, the main window and shutdown; the process's exit code.
    int Run(int argc, char** argv);
    // Start-up; runs the main window in the first instance. False once the main window has ended.
    bool InitInstance(int argc, char** argv);
    int ExitInstance();

    // The communications manager asks, per calling program, whether it may be offered.
    uint8_t IsApplicationEnabled(uint32_t cookie, const std::string& key) override;

    bool IsCameraHeldByOtherUser() const;
    bool IsCameraHeldHere() const;
    // Reruns the camera-ownership test (the main window asks before it decides on video mute).
    void RunCameraOwnershipTests();

    // The desktop's default e-mail program, as the start-up service knows it: its name and the desktop
    // entry or command that runs it. E_FAIL when there is no start-up service or it knows none.
    HRESULT GetDefaultMailProgram(std::string& name, std::string& command) const;
    // Whether the start-up service was created (features that depend on it check before they start).
    bool HasStartupService() const { return startupService_ != nullptr; }

    // Fields the windows read.
    std::string movieFolder;
    std::string photoFolder;
    uint32_t startHidden = 0;
    CSessionIdentifierApp sessionIdentifier;
    std::unique_ptr<AppsReader::CAppsReader> callingApps;
    std::unique_ptr<CSetupCleanupThread> cleanupThread;
    uint32_t cameraInUseHere = 0;
    uint32_t cameraOwnerIs64Bit = 0;
    uint32_t cameraInUseElsewhere = 0;
    uint32_t osMajorVersion = 0;
    uint32_t osMinorVersion = 0;

    // Process-wide state beside the object.
    uint32_t firstInstance = 0;
    CVD10CommandLineInfo commandLine;
    // The main window creates it once its own initialisation is done; released after the main window ends.
    CNamedMutex postInitMutex;
    // The main window while it runs (null otherwise).
    CDialogBase* MainWindow() const { return mainWindow_; }

    static constexpr const char* kInstanceMutexName = "VIDORA10_UNIQUE6712250";
    static constexpr const char* kPostInitMutexName = "VIDORA10_POSTINITUNIQUE6712250";
    static constexpr const char* kSetupMutexName = "SETUP_71A972D7-674A-42bb-959D-B733ADC68D75";
    static constexpr const char* kAppId = "{A71758DF-913C-4AA1-B6C1-0107DB8FE1A9}";
    // How long a second instance waits for the running one to answer.
    static constexpr int kSecondInstanceTimeoutMs = 1000;
    // Images the cache loads at start.
    static std::vector<uint32_t> PreloadedImageIds();

private:
    bool SignalRunningInstance();
    void PrepareResources();
    bool HandleRegistrationSwitches();
    void CreateStartupService();
    void ObtainFacades();
    void ApplyCommunicationsDevices();
    void ApplyFirstRunDefaultDevices();
    void RunMainWindow();
    void ReleaseServices();
    intptr_t DeliverChannelMessage(const std::string& name, uintptr_t wParam, intptr_t lParam);
    void EndFromSignal();
    void ReportRuntimeFolderProblem();

    // Created at start, released at shutdown; the windows reach it through the operations above.
    IStartupService* startupService_ = nullptr;
    // Set once the process was asked to end from outside: no main window opens any more.
    bool quitRequested_ = false;
    // The process's one OEM-information object; it is made the process-wide one first thing at start.
    CVidoraOEMInfo oemInfo_;
    CNamedMutex instanceMutex_;
    IGraniteDeviceManager* deviceManager_ = nullptr;
    IGraniteCommunicationsManager* communications_ = nullptr;
    bool listenerRegistered_ = false;
    bool resourceFileLoaded_ = false;
    MainWindowFactory mainWindowFactory_;
    CDialogBase* mainWindow_ = nullptr;
    std::unique_ptr<CInstanceChannel> channel_;
    std::unique_ptr<CSignalWatcher> signalWatcher_;
};
