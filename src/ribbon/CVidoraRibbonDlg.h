#pragma once
// The main window: a narrow vertical bar that stays on the desktop for the life of the process. It has one
// button per main function (capture window, video effects, privacy shade, settings, communicate, microphone
// and video mute), the brand logo and an expand/collapse toggle; it owns every other top-level window of the
// program and runs the processor-load, effects-status and update-check timers.
//
// The application runs it modally; when it ends, the process ends. Without a tray to hide in, closing the
// window minimises it instead of hiding it (the user could not get a hidden window back), while the tray
// icon is wanted; with the tray icon switched off, closing ends the program.
//
// The window keeps the behaviour that needs it (messages, showing and hiding, timers) and hands the rest to
// its collaborators: the arrangement of its controls (CRibbonLayout), the tray icon and notices
// (CRibbonTray), the other windows (CPaneCoordinator), and the services with everything they report
// (CRibbonDeviceCoordinator, which brings the shutter policy along).
#include "ribbon/CEffectsStatusMonitor.h"
#include "ribbon/CLoadWarningMonitor.h"
#include "ribbon/CPaneCoordinator.h"
#include "ribbon/CProcessorLoadSampler.h"
#include "ribbon/CRibbonDeviceCoordinator.h"
#include "ribbon/CRibbonLayout.h"
#include "ribbon/CRibbonTray.h"
#include "ribbon/IRibbonView.h"
#include "ui/CDialogBase.h"

#include <QImage>

#include <cstdint>
#include <memory>
#include <string>

class CDesktopSession;
class CTransparentImageButton;
class CTransparentToggleButton;
class CVidoraSkin;

class CVidoraRibbonDlg : public CDialogBase, private IRibbonView {
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

    // Timers.
    static constexpr UINT_PTR kLoadTimer = 22222;
    static constexpr uint32_t kLoadTimerMs = 6000;
    static constexpr UINT_PTR kStatusTimer = 778;
    static constexpr uint32_t kStatusTimerMs = 2000;
    static constexpr UINT_PTR kUpdateTimer = 22242;
    static constexpr uint32_t kUpdateFirstMs = 120000;
    static constexpr uint32_t kUpdatePeriodMs = 3600000;

    static constexpr uint32_t kTopBitmapId = 338;
    static constexpr uint32_t kStripBitmapId = 337;
    static constexpr uint32_t kAppIconId = 176;

    explicit CVidoraRibbonDlg(QWidget* parent = nullptr);
    ~CVidoraRibbonDlg() override;

    // ---- state, for the other windows ---------------------------------------------------------------
    bool IsCollapsed() const { return collapsed_ != 0; }
    bool IsHiddenToTray() const { return hiddenToTray_; }
    bool IsInitDone() const { return initDone_; }
    bool LaunchSnapDesk() const { return launchSnapDesk_; }
    bool TrayIconEnabled() const { return trayIconEnabled_; }
    const CRibbonTray& Tray() const { return tray_; }
    CRibbonDeviceCoordinator& Devices() { return devices_; }

    // The processor-load reader (the default reads the system's counters).
    void SetLoadSampler(std::unique_ptr<CProcessorLoadSampler> sampler);

    // ---- actions (the controls, the tray menu and the messages run these) -------------------------------
    void OnCommand(int id);
    void Show();
    void Hide();
    // A balloon notice: on the tray icon when there is one, else on a temporary icon for 10 seconds.
    void ShowNotice(const std::string& text, const std::string& title);

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
    // ---- start-up phases, in the order OnInitDialog runs them -----------------------------------------
    void AttachSkin();
    void WatchDesktopSession();
    void LoadBrandImages();
    void ConnectServices();
    void RestoreLook();
    void SetUpTrayIcon();
    void PlaceWindow();
    void StartMonitors();
    void AnnounceReady();
    void OpenStartWindows();
    void ShowAtStart();

    // ---- IRibbonView -------------------------------------------------------------------------------------
    void ShowMicrophoneMute(bool available, bool muted) override;
    void ShowVideoMute(bool muted) override;
    void EnableVideoMute(bool enabled) override;
    void Relayout(bool buttons) override;
    void ShowRibbon() override { Show(); }
    void StartLoadMonitors() override;
    void StopLoadMonitors() override;
    void PostArrivalCheck() override;

    void MapMessages();
    void AddScreenshotSteps();
    void Quit();
    void RunAudioWizardFirstUse();
    void OnApplicationActive(bool active);
    void OnRegisteredMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnTrayCallback(WPARAM iconId, LPARAM event);
    void OnTraySettingChanged();
    void OnLoadTimer();
    void OnStatusTimer();
    void OnUpdateTimer();
    void CheckForUpdatesNow();
    void OnBrandLogo();
    QIcon ApplicationIcon() const;

    // layout
    void InitialLayout();
    void Layout();
    void Place();
    void ToggleCollapsed();
    void KeepDockedPanesBeside();
    void StorePosition();
    QRect ClientArea() const;

    CTransparentImageButton* Button(int id) const;
    CTransparentToggleButton* Toggle(int id) const;

    // collaborators
    CRibbonLayout layout_;
    CPaneCoordinator panes_;
    CRibbonDeviceCoordinator devices_;
    CRibbonTray tray_;

    // state
    bool launchSnapDesk_ = false;
    bool trayIconEnabled_ = false;
    bool hiddenToTray_ = false;
    bool initDone_ = false;
    bool startHidden_ = false;
    bool suppressShow_ = false;
    bool quitting_ = false;
    bool audioWizardLaunched_ = false;
    int collapsed_ = 0;
    bool collapsedRead_ = false;
    std::string highLoadText_;

    // monitors
    std::unique_ptr<CProcessorLoadSampler> loadSampler_;
    CLoadWarningMonitor loadMonitor_;
    CEffectsStatusMonitor statusMonitor_;
    bool updateTimerFirstRun_ = true;

    // look
    std::unique_ptr<CVidoraSkin> skin_;
    QImage topBitmap_;
    QImage stripBitmap_;
    CDesktopSession* session_ = nullptr; // a child of the window
};
