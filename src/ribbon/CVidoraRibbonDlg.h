#pragma once
// The main window: a narrow vertical bar that stays on the desktop for the life of the process. It has one
// button per main function (capture window, video effects, privacy shade, settings, communicate, microphone
// and video mute), the brand logo and an expand/collapse toggle; it owns every other top-level window of the
// program, keeps the tray icon with its menu and notices, listens to the device, communications and effects
// services for the whole program, records which features the attached cameras offer, and runs the
// processor-load, effects-status, notice and update-check timers.
//
// The application runs it modally; when it ends, the process ends. Without a tray to hide in, closing the
// window minimises it instead of hiding it (the user could not get a hidden window back), while the tray
// icon is wanted; with the tray icon switched off, closing ends the program.
//
// The code is spread over several files by concern: this class's construction, initialisation, messages
// and closing (CVidoraRibbonDlg.cpp), layout and painting (...Layout.cpp), the other windows
// (...Windows.cpp), tray icon, notices and timers (...Tray.cpp), and the services' notifications
// (...Devices.cpp).
#include "ribbon/CEffectsStatusMonitor.h"
#include "ribbon/CLoadWarningMonitor.h"
#include "ribbon/CProcessorLoadSampler.h"
#include "services/IBrenmoorVideoEffectsEvents.h"
#include "services/IGraniteCommunicationsManagerEvent.h"
#include "services/IGraniteDeviceManagerEvent.h"
#include "ui/CDialogBase.h"
#include "ui/ITrayIcon.h"

#include <QIcon>
#include <QImage>
#include <QPointer>

#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

class CAttachablePane;
class CDesktopSession;
class CTransparentImageButton;
class CTransparentToggleButton;
class CVidoraSkin;
class IBrenmoorVideoEffects;
class IGraniteCommunicationsManager;
class IGraniteDeviceManager;
class QMenu;
class QAction;

class CVidoraRibbonDlg : public CDialogBase,
                         public IGraniteDeviceManagerEvent,
                         public IBrenmoorVideoEffectsEvents,
                         public IGraniteCommunicationsManagerEvent {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 102;

    // Controls of the window's template.
    enum ControlId : int {
        IDC_CAPTURE = 1000,
        IDC_BRAND = 1001,
        IDC_EFFECTS = 1002,
        IDC_SHADE = 1003,
        IDC_SETTINGS = 1005,
        IDC_COMMUNICATE = 1006,
        IDC_MIC_MUTE = 1007,
        IDC_VIDEO_MUTE = 1008,
        IDC_TOGGLE = 1053,
        IDC_TOGGLE_LABEL = 1054,
        IDC_LOWER_LABEL = 1055,
    };
    // Tray menu and system menu commands.
    enum Command : int {
        ID_ABOUT = 0x10,
        ID_TRAY_HIDE = 0x8004,
        ID_TRAY_EXIT = 0x8005,
        ID_TRAY_SHOW = 0x8006,
        ID_TRAY_HELP = 0x800C,
        ID_TRAY_CHECK_UPDATES = 0x800E,
        ID_TRAY_CAPTURE = 0x800F,
    };
    // Private messages.
    static constexpr UINT WM_TRAY_CALLBACK = WM_APP + 7;
    static constexpr UINT WM_CLOSE_REQUEST = WM_APP + 8;
    static constexpr UINT WM_CAMERA_ARRIVAL_CHECK = WM_APP + 9;
    static constexpr UINT WM_CAMERA_CONTROL = WM_APP + 0x0B;
    static constexpr UINT WM_AUDIO_WIZARD = WM_APP + 0x0C;
    static constexpr UINT WM_REPLAY_SHUTTER = WM_APP + 0x13;
    static constexpr UINT WM_SHOW_COMMUNICATE = WM_APP + 0x14;
    static constexpr UINT WM_TRAY_SETTING_CHANGED = WM_APP + 0x15;
    // Tray callback events (lParam of WM_TRAY_CALLBACK), as a tray reports them.
    static constexpr LPARAM kTrayLeftButtonDown = 0x0201;
    static constexpr LPARAM kTrayDoubleClick = 0x0203;
    static constexpr LPARAM kTrayRightButtonDown = 0x0204;
    static constexpr LPARAM kTrayContextMenu = 0x007B;
    static constexpr WPARAM kTrayIconId = 1;
    static constexpr WPARAM kNoticeIconId = 2;

    // Timers.
    static constexpr UINT_PTR kLoadTimer = 22222;
    static constexpr uint32_t kLoadTimerMs = 6000;
    static constexpr UINT_PTR kStatusTimer = 778;
    static constexpr uint32_t kStatusTimerMs = 2000;
    static constexpr UINT_PTR kNoticeTimer = 18;
    static constexpr uint32_t kNoticeMs = 10000;
    static constexpr UINT_PTR kUpdateTimer = 22242;
    static constexpr uint32_t kUpdateFirstMs = 120000;
    static constexpr uint32_t kUpdatePeriodMs = 3600000;

    static constexpr int kBackgroundWidth = 63;
    static constexpr uint32_t kTopBitmapId = 338;
    static constexpr uint32_t kStripBitmapId = 337;
    static constexpr uint32_t kAppIconId = 176;
    static constexpr uint32_t kTrayIconImageId = 177;
    static constexpr size_t kMaxNoticeText = 256;
    static constexpr size_t kMaxNoticeTitle = 64;
    static constexpr size_t kMaxTrayTip = 128;

    explicit CVidoraRibbonDlg(QWidget* parent = nullptr);
    ~CVidoraRibbonDlg() override;

    // ---- state, for the other windows and for tests -----------------------------------------------------
    bool IsCollapsed() const { return collapsed_ != 0; }
    bool IsHiddenToTray() const { return hiddenToTray_; }
    bool IsInitDone() const { return initDone_; }
    bool LaunchSnapDesk() const { return launchSnapDesk_; }
    bool TrayIconEnabled() const { return trayIconEnabled_; }
    int ButtonPitch() const { return buttonPitch_; }
    const std::string& HighLoadText() const { return highLoadText_; }
    ITrayIcon* TrayIcon() const { return trayIcon_.get(); }
    ITrayIcon* NoticeIcon() const { return noticeIcon_.get(); }
    QMenu* TrayMenu() const { return trayMenu_; }
    // Command ids of the tray menu's items in order (0 for a separator).
    std::vector<int> TrayMenuCommands() const;
    const std::vector<uint16_t>& KnownProductIds() const { return knownProductIds_; }
    size_t PendingArrivals() const { return pendingArrivals_.size(); }
    const CLoadWarningMonitor& LoadMonitor() const { return loadMonitor_; }
    const CEffectsStatusMonitor& StatusMonitor() const { return statusMonitor_; }
    // How often the SunTune notification was asked for, and for which camera last (the dialog comes later).
    int SunTuneNoticeRequests() const { return sunTuneNoticeRequests_; }

    // The processor-load reader (tests give a scripted one).
    void SetLoadSampler(std::unique_ptr<CProcessorLoadSampler> sampler);
    // Whether a screen saver runs now (tests replace the desktop's answer).
    static void SetScreenSaverProbe(std::function<bool()> probe);

    // ---- actions (the controls, the tray menu and the messages run these) -------------------------------
    void OnCommand(int id);
    void Show();
    void Hide();
    void CloseAllWindows();
    void PressCaptureButton();
    // A balloon notice: on the tray icon when there is one, else on a temporary icon for 10 seconds.
    void ShowNotice(const std::string& text, const std::string& title);
    void StartLoadMonitors();
    void StopLoadMonitors();
    void ReevaluateVideoMuteAvailability();

    // ---- IGraniteDeviceManagerEvent ----------------------------------------------------------------------
    void OnMicrophoneMuteChanged(uint32_t cookie, bool muted) override;
    void OnVideoMuteChanged(uint32_t cookie, int32_t value) override;
    void OnVideoDeviceEvent29(uint32_t cookie) override;
    void OnVideoDeviceEvent30(uint32_t cookie) override;
    void OnVideoDeviceEvent1(uint32_t cookie) override;
    void OnVideoDeviceEvent20(uint32_t cookie) override;
    void OnCameraOpenedOrClosed(const std::string& deviceId, uint32_t cookie, bool on) override;
    void OnVideoDeviceEvent31or32(const std::string& deviceId, uint32_t cookie, bool on) override;
    void OnDeviceArrived(int32_t type, const std::string& deviceId) override;
    void OnDeviceRemoved(int32_t type, const std::string& deviceId,
                         const std::string& previousCurrentId) override;
    void OnVideoDeviceEvent15(const std::string& deviceId, uint32_t cookie) override;
    void OnVideoDeviceEvent16(const std::string& deviceId, uint32_t cookie) override;
    void OnVideoDeviceSelected(uint32_t cookie, const std::string& deviceId) override;
    void OnCameraSwitched(uint32_t cookie) override;

    // ---- IBrenmoorVideoEffectsEvents ---------------------------------------------------------------------
    void OnEffectsModeChange(uint32_t cookie, int32_t oldMode, int32_t newMode) override;

    // ---- IGraniteCommunicationsManagerEvent --------------------------------------------------------------
    void OnDeviceSelectionChanged(uint32_t cookie, const std::string& previousDevice, int32_t kind,
                                  const std::string& newDevice) override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    bool OnInitDialog() override;
    void OnCancel() override;
    void OnOK() override {}
    void OnDestroy() override;
    void OnTimer(UINT_PTR id) override;

    void setVisible(bool visible) override;
    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // construction and initialisation (CVidoraRibbonDlg.cpp)
    void MapMessages();
    void SelectInitialDevices();
    void RecordAllCameras();
    void RecordCamera(const std::string& deviceId);
    void RecordMicrophone();
    void ReloadKnownProductIds();
    void SetTooltips();
    void AddScreenshotSteps();
    void ApplyMechanicalShutterStartRule();
    void Quit();
    void ReleaseServices();
    void RunAudioWizardFirstUse();
    void OnApplicationActive(bool active);
    void OnSessionEnding();
    void OnRegisteredMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // layout (CVidoraRibbonDlgLayout.cpp)
    void MeasureButtonPitch();
    void InitialLayout();
    void Layout();
    void Place();
    void ToggleCollapsed();
    void KeepDockedPanesBeside();
    void StorePosition();
    QRect ClientArea() const;

    // windows (CVidoraRibbonDlgWindows.cpp)
    void OnPaneButton(int id);
    void OpenCaptureWindow();
    void OpenAboutBox();
    void OpenHelpWindow();
    void DestroyHelpWindow();
    void OpenMirrorWindow();
    void OpenPrivacyShadeWindow();
    void OpenCommunicateWindow();
    void OpenShutterSwitchDialog();
    void OnBrandLogo();
    void OnCameraControl(WPARAM command, LPARAM argument);
    enum class Pane { Settings, Effects, Shade, Communicate };
    static CAttachablePane* PaneWindow(Pane pane);
    // Runs f for each existing pane of `order` that is docked.
    void ForEachDockedPane(std::initializer_list<Pane> order, const std::function<void(CAttachablePane*)>& f);
    // The docked panes are told the ribbon closes them, and closed (settings, effects, communicate, shade).
    void CloseDockedPanes();
    void DestroyAllWindows();

    // tray, notices and timers (CVidoraRibbonDlgTray.cpp)
    void CreateTrayIcon();
    void RemoveTrayIcon();
    void BuildTrayMenu();
    void SetTrayMenuFirstItem(bool showHide);
    void OnTrayActivated(ITrayIcon::Activation activation);
    LRESULT OnTrayCallback(WPARAM iconId, LPARAM event);
    void RemoveNoticeIcon();
    void OnLoadTimer();
    void OnStatusTimer();
    void OnUpdateTimer();
    void CheckForUpdatesNow();
    void OnTraySettingChanged();
    QIcon ApplicationIcon() const;

    // services' notifications and the mute buttons (CVidoraRibbonDlgDevices.cpp)
    void OnMicrophoneMuteButton();
    void OnVideoMuteButton();
    bool SetSoftwareVideoMute(bool on);
    void ShowMicrophoneMuteState();
    void OnShutterOpened();
    void OnShutterClosed();
    void StartVideoCall();
    void OnCameraArrivalCheck();
    void OnInstalledPackage(LPARAM atom);
    void OnAudioWizardFinished();
    void SelectCommunicationsCamera();
    void SelectCommunicationsMicrophone();
    void SelectCommunicationsSpeaker();
    bool IsCameraHeldByAnotherProcess();
    void ResetSunTuneOnClose();
    void RequestSunTuneNotice(const std::string& deviceId);

    CTransparentImageButton* Button(int id) const;
    CTransparentToggleButton* Toggle(int id) const;

    // services
    IGraniteDeviceManager* deviceManager_ = nullptr;
    IGraniteCommunicationsManager* commsManager_ = nullptr;
    IBrenmoorVideoEffects* effects_ = nullptr;
    bool deviceListener_ = false;
    bool commsListener_ = false;
    bool effectsListener_ = false;

    // state
    bool launchSnapDesk_ = false;
    bool trayIconEnabled_ = false;
    bool hiddenToTray_ = false;
    bool exitRequested_ = false;
    bool shutterEventPending_ = true;
    bool initDone_ = false;
    bool startHidden_ = false;
    bool suppressShow_ = false;
    bool quitting_ = false;
    int collapsed_ = 0;
    int buttonPitch_ = 0;
    std::string highLoadText_;
    std::vector<uint16_t> knownProductIds_;
    std::deque<std::string> pendingArrivals_;
    int sunTuneNoticeRequests_ = 0;

    // tray and notices
    std::unique_ptr<ITrayIcon> trayIcon_;
    std::unique_ptr<ITrayIcon> noticeIcon_;
    QMenu* trayMenu_ = nullptr;

    // monitors
    std::unique_ptr<CProcessorLoadSampler> loadSampler_;
    CLoadWarningMonitor loadMonitor_;
    CEffectsStatusMonitor statusMonitor_;
    bool updateTimerFirstRun_ = true;

    // look
    std::unique_ptr<CVidoraSkin> skin_;
    QImage topBitmap_;
    QImage stripBitmap_;
    std::unique_ptr<CDesktopSession> session_;
};
