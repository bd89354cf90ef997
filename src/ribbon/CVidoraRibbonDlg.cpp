#include "ribbon/CVidoraRibbonDlg.h"

#include "app/CSetupCleanupThread.h"
#include "app/CVidoraApp.h"
#include "app/CVidoraSettings.h"
#include "app/ExternalPrograms.h"
#include "config/COEMInfo.h"
#include "platform/CDesktopSession.h"
#include "platform/DebugOutput.h"
#include "platform/TextUtil.h"
#include "ribbon/CCameraFeatureRecorder.h"
#include "ribbon/CSunTuneRules.h"
#include "ribbon/RibbonSupport.h"
#include "services/IBrenmoorVideoEffects.h"
#include "services/IGraniteCommunicationsManager.h"
#include "services/IGraniteDeviceManager.h"
#include "ui/CAttachablePane.h"
#include "ui/CCustomMessageBox.h"
#include "ui/CScreenshotter.h"
#include "ui/CTransparentImageButton.h"
#include "ui/CTransparentToggleButton.h"
#include "ui/CVidoraSkin.h"
#include "ui/RegisteredMessages.h"
#include "ui/TrayIcons.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QScreen>
#include <QTimer>

using namespace RibbonSupport;

namespace {

uint32_t ListenerCookie(const void* self) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(self));
}

} // namespace

CVidoraRibbonDlg::CVidoraRibbonDlg(QWidget* parent)
    : CDialogBase(kTemplateId, parent), loadSampler_(std::make_unique<CProcessorLoadSampler>()) {
    // The ribbon runs modally for the life of the process, yet the windows it opens must take input: it is
    // modal to nothing.
    setWindowModality(Qt::WindowModal);
    setObjectName(QStringLiteral("Ribbon"));

    // 1. The skin with the title images.
    skin_ = std::make_unique<CVidoraSkin>("app_titlename_inactive.png", "app_titlename.png",
                                          CVidoraSkin::FrameStyle::Main);
    skin_->SetDrawBackground(false);

    // 2. Whether the capture window opens at start and on a tray double-click.
    CVidoraApp* app = CVidoraApp::Instance();
    launchSnapDesk_ = app != nullptr && app->commandLine.openSnapDesk != 0;
    if (!launchSnapDesk_)
        launchSnapDesk_ = OEMSwitch("Launch.SnapDesk", false) || OEMSwitch("Launch.SnapDesk.Always", false);

    // 3.-4. The cameras' and microphones' features.
    deviceManager_ = GetGraniteDeviceManager();
    effects_ = GetBrenmoorVideoEffects();
    RecordAllCameras();
    if (deviceManager_ != nullptr) {
        for (int i = 0; i < deviceManager_->GetMicrophoneCount(); ++i) {
            DeviceInfo mic;
            bool muted = false;
            if (SUCCEEDED(deviceManager_->GetMicrophone(i, &mic)) &&
                SUCCEEDED(deviceManager_->GetMicrophoneMuteOf(mic.id, &muted))) {
                CVidoraSettings::MarkFeatureSeen("MicrophoneMute");
                break;
            }
        }
    }

    // 5. The communications manager; products without calling programs tell it so at the first launch.
    commsManager_ = GetGraniteCommunicationsManager();
    if (commsManager_ != nullptr && !OEMSwitch("VideoCallingApplications", true) &&
        CVidoraSettings::GetFirstLaunch() != 0)
        commsManager_->ServiceCall38(VARIANT_FALSE);

    startHidden_ = StartedHidden();
    suppressShow_ = startHidden_;
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    MapMessages();
}

CVidoraRibbonDlg::~CVidoraRibbonDlg() {
    // A window still open closes with every step of its closing.
    if (IsWindow())
        DestroyWindow();
    // A ribbon that never opened still lets go of the services.
    ReleaseServices();
    if (CAttachablePane::DockHost() == this)
        CAttachablePane::SetDockHost(nullptr);
}

void CVidoraRibbonDlg::RecordAllCameras() {
    if (deviceManager_ != nullptr) {
        for (int i = 0; i < deviceManager_->GetVideoDeviceCount(); ++i) {
            VideoDeviceInfo camera;
            if (SUCCEEDED(deviceManager_->GetVideoDevice(i, &camera)))
                RecordCamera(camera.id);
        }
    }
    ReloadKnownProductIds();
}

void CVidoraRibbonDlg::RecordCamera(const std::string& deviceId) {
    CCameraFeatureRecorder recorder(deviceManager_, effects_ != nullptr);
    recorder.onSunTuneArrivalCheck = [this](const std::string& id) {
        if (CSunTuneRules::ArrivalCheck(deviceManager_, id))
            RequestSunTuneNotice(id);
    };
    recorder.Record(deviceId);
}

void CVidoraRibbonDlg::RecordMicrophone() {
    CCameraFeatureRecorder recorder(deviceManager_, effects_ != nullptr);
    recorder.RecordMicrophone();
}

void CVidoraRibbonDlg::ReloadKnownProductIds() {
    knownProductIds_ = CCameraFeatureRecorder::KnownProductIds();
}

void CVidoraRibbonDlg::MapMessages() {
    MapMessage(WM_TRAY_CALLBACK, [this](WPARAM w, LPARAM l) { return OnTrayCallback(w, l); });
    MapMessage(WM_CLOSE_REQUEST, [this](WPARAM, LPARAM) {
        OnCancel();
        return LRESULT(0);
    });
    MapMessage(WM_CAMERA_ARRIVAL_CHECK, [this](WPARAM, LPARAM) {
        OnCameraArrivalCheck();
        return LRESULT(0);
    });
    MapMessage(WM_CAMERA_CONTROL, [this](WPARAM w, LPARAM l) {
        OnCameraControl(w, l);
        return LRESULT(0);
    });
    MapMessage(WM_AUDIO_WIZARD, [this](WPARAM, LPARAM) {
        LaunchAudioWizard();
        // The installer clean-up, unless it already runs (a hidden start did not start it).
        CVidoraApp* app = CVidoraApp::Instance();
        if (app != nullptr && !app->cleanupThread) {
            app->cleanupThread = std::make_unique<CSetupCleanupThread>();
            app->cleanupThread->Start();
        }
        return LRESULT(0);
    });
    MapMessage(WM_REPLAY_SHUTTER, [this](WPARAM, LPARAM) {
        if (shutterEventPending_)
            OnShutterOpened();
        else
            OnShutterClosed();
        return LRESULT(0);
    });
    MapMessage(WM_SHOW_COMMUNICATE, [this](WPARAM, LPARAM) {
        Show();
        OpenCommunicateWindow();
        return LRESULT(0);
    });
    MapMessage(WM_TRAY_SETTING_CHANGED, [this](WPARAM, LPARAM) {
        OnTraySettingChanged();
        return LRESULT(0);
    });
}

LRESULT CVidoraRibbonDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Another program may end the message loop with this message at any time.
    if (message == RegisteredMessages::ForceClose.Id()) {
        Quit();
        return 1;
    }
    if (message == WM_ENDSESSION) {
        if (wParam != 0)
            Quit();
        return 0;
    }
    if (message == WM_COMMAND) {
        OnCommand(LOWORD(wParam));
        return 0;
    }
    if (message >= kFirstRegisteredMessage) {
        if (message == RegisteredMessages::UniqueInstance.Id() ||
            message == RegisteredMessages::UniqueInstanceRepost.Id() ||
            message == RegisteredMessages::AudioWizardFinished.Id() ||
            message == RegisteredMessages::InstalledPackage.Id() ||
            message == RegisteredMessages::ResolutionChanged.Id()) {
            OnRegisteredMessage(message, wParam, lParam);
            return 1;
        }
    }
    return CDialogBase::WindowProc(message, wParam, lParam);
}

void CVidoraRibbonDlg::OnRegisteredMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == RegisteredMessages::UniqueInstance.Id()) {
        // A second start asks this one to come forward.
        OutputDebugString(Text::Format("Second start: wParam %u", static_cast<unsigned>(wParam)));
        trayIconEnabled_ = CVidoraSettings::GetShowSysTrayIcon() != 0;
        if (trayIconEnabled_)
            Show();
        suppressShow_ = false;
        showNormal();
        raise();
        activateWindow();
        if (launchSnapDesk_ || wParam == 1)
            PressCaptureButton();
    } else if (message == RegisteredMessages::UniqueInstanceRepost.Id()) {
        PostMessage(WM_CAMERA_CONTROL, wParam, lParam);
    } else if (message == RegisteredMessages::AudioWizardFinished.Id()) {
        OnAudioWizardFinished();
    } else if (message == RegisteredMessages::InstalledPackage.Id()) {
        OnInstalledPackage(lParam);
    }
    // The resolution message concerns the settings window's webcam pane, which refreshes itself once it
    // has one; the ribbon has nothing to pass on until then.
}

bool CVidoraRibbonDlg::OnInitDialog() {
    // 1. The skin draws the frame and title bar.
    skin_->Attach(this);
    CAttachablePane::SetDockHost(this);
    connect(skin_.get(), &CVidoraSkin::dragFinished, this, [this] { StorePosition(); });
    connect(skin_.get(), &CVidoraSkin::closeClicked, this, [this] { OnCancel(); });
    topBitmap_ = CVidoraSkin::SkinImage(kTopBitmapId);
    stripBitmap_ = CVidoraSkin::SkinImage(kStripBitmapId);

    // 2. The desktop session's suspend and lock notices close all windows.
    session_ = std::make_unique<CDesktopSession>();
    connect(session_.get(), &CDesktopSession::suspending, this, [this] { CloseAllWindows(); });
    connect(session_.get(), &CDesktopSession::sessionLocked, this, [this] { CloseAllWindows(); });
    // Asking the session bus can take a while; the window does not wait for it.
    QTimer::singleShot(0, session_.get(), [session = session_.get()] { session->Start(); });
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) { OnApplicationActive(state == Qt::ApplicationActive); });

    // The brand logo: the OEM folder may replace its images.
    if (CTransparentImageButton* brand = Button(IDC_BRAND)) {
        const bool link = OEMSwitch("Ribbon.Link", true);
        const char* names[] = {"Ribbon_Brand_Up.png", "Ribbon_Brand_Hover.png", "Ribbon_Brand_Down.png"};
        const CTransparentImageButton::State states[] = {CTransparentImageButton::State::Normal,
                                                         CTransparentImageButton::State::Hover,
                                                         CTransparentImageButton::State::Pressed};
        for (int i = 0; i < (link ? 3 : 1); ++i) {
            QImage image;
            COEMInfo* oem = GetOEMInfo();
            if (oem != nullptr ? oem->GetGraphic(names[i], 203 + i, image) : false)
                brand->SetImage(states[i], image);
        }
        if (!link) {
            brand->SetImage(CTransparentImageButton::State::Hover,
                            brand->Image(CTransparentImageButton::State::Normal));
            brand->SetImage(CTransparentImageButton::State::Pressed,
                            brand->Image(CTransparentImageButton::State::Normal));
            brand->setCursor(Qt::ArrowCursor);
        } else {
            brand->setCursor(Qt::PointingHandCursor);
        }
    }

    // 3. The device manager's listener, the mute buttons' states.
    if (deviceManager_ != nullptr) {
        SelectInitialDevices();
        deviceListener_ = SUCCEEDED(deviceManager_->AddListener(this, ListenerCookie(this)));
        if (commsManager_ == nullptr) {
            // Without the communications manager the ribbon runs as far as it got: the window opens with
            // its template's look, and the later steps (tray icon, layout, timers) do not run.
            OutputDebugString("Ribbon: no communications manager; initialisation stops here");
            return false;
        }
        ShowMicrophoneMuteState();
        int32_t videoMute = 0;
        if (SUCCEEDED(deviceManager_->GetVideoMute(&videoMute)) && videoMute != 0) {
            if (CTransparentImageButton* b = Button(IDC_VIDEO_MUTE))
                b->SetPressedLook(true);
        }
        ReevaluateVideoMuteAvailability();
    }

    // 4. The communications manager's listener.
    if (commsManager_ != nullptr)
        commsListener_ = SUCCEEDED(commsManager_->AddListener(this, ListenerCookie(this)));

    // 5. Title.
    setWindowTitle(QString::fromStdString(Str(109)));

    // 6. Expanded or collapsed as the user left it.
    collapsed_ = static_cast<int>(CVidoraSettings::ReadRootNumber("RibbonToggleOpen", 0));
    if (CTransparentToggleButton* toggle = Toggle(IDC_TOGGLE))
        toggle->setChecked(collapsed_ == 0);

    // 7. Tooltips.
    SetTooltips();

    // 8.-9. The tray icon.
    if (CVidoraSettings::GetFirstLaunch() != 0)
        CVidoraSettings::SetShowSysTrayIcon(OEMSwitch("Show.SysTray.Icon", true) ? 1 : 0);
    trayIconEnabled_ = CVidoraSettings::GetShowSysTrayIcon() != 0;
    if (trayIconEnabled_)
        CreateTrayIcon();

    // 10. Layout and place.
    MeasureButtonPitch();
    InitialLayout();
    Place();

    // 11. The about command, on the window's context menu.
    const std::string about = Str(101);
    if (!about.empty()) {
        auto* separator = new QAction(this);
        separator->setSeparator(true);
        auto* action = new QAction(QString::fromStdString(about), this);
        connect(action, &QAction::triggered, this, [this] { OnCommand(ID_ABOUT); });
        addAction(separator);
        addAction(action);
        setContextMenuPolicy(Qt::ActionsContextMenu);
    }

    // 12. Icons.
    setWindowIcon(ApplicationIcon());

    // 13. Without cameras there is nothing to mute.
    if (deviceManager_ == nullptr || deviceManager_->GetVideoDeviceCount() == 0) {
        if (QWidget* b = GetDlgItem(IDC_VIDEO_MUTE))
            b->setEnabled(false);
    }

    // 14. The effects engine's listener; its load is watched while it runs.
    if (effects_ != nullptr) {
        effectsListener_ = SUCCEEDED(effects_->AddListener(this, ListenerCookie(this)));
        int32_t mode = 0;
        if (SUCCEEDED(effects_->EffectsCall13(&mode)) && (mode == 1 || mode == 2))
            StartLoadMonitors();
    }

    // 15. The processor-load warning.
    highLoadText_ = Str(249) + "\n\n" + Str(250) + "\n\t-" + Str(251) + "\n\t-" + Str(252);

    // 16. A closed shutter at start mutes the video when the user asked for that.
    ApplyMechanicalShutterStartRule();

    // 17. Update checks.
    if (!IsTimerRunning(kUpdateTimer)) {
        updateTimerFirstRun_ = true;
        SetTimer(kUpdateTimer, kUpdateFirstMs);
    }

    // 18. Always on top.
    if (CVidoraSettings::GetAlwaysOnTop() != 0)
        setWindowFlag(Qt::WindowStaysOnTopHint, true);

    // 19. Layout.
    Layout();

    // 20. The main window is ready: other programs wait for this mutex.
    if (CVidoraApp* app = CVidoraApp::Instance())
        app->postInitMutex.Create(CVidoraApp::kPostInitMutexName, true);

    // 21. The capture window at start.
    if (launchSnapDesk_) {
        if (!startHidden_)
            PressCaptureButton();
        launchSnapDesk_ = OEMSwitch("Launch.SnapDesk.Always", false);
    }

    // 22. The audio wizard, the first time.
    if (!startHidden_)
        RunAudioWizardFirstUse();

    // 23.
    initDone_ = true;
    for (int id : {IDC_CAPTURE, IDC_BRAND, IDC_EFFECTS, IDC_SHADE, IDC_SETTINGS, IDC_COMMUNICATE,
                   IDC_MIC_MUTE, IDC_VIDEO_MUTE, IDC_TOGGLE}) {
        if (QWidget* w = GetDlgItem(id))
            w->setFocusPolicy(Qt::NoFocus);
    }
    AddScreenshotSteps();
    if (!startHidden_)
        show();
    return true;
}

void CVidoraRibbonDlg::SelectInitialDevices() {
    // The devices chosen for calls, else the first of each kind: the program always has a current camera,
    // microphone and speaker when there are any.
    std::string id;
    if (commsManager_ == nullptr || FAILED(commsManager_->GetCallSetting1(id)) || id.empty() ||
        FAILED(deviceManager_->SelectVideoDeviceById(id))) {
        if (deviceManager_->GetVideoDeviceCount() > 0)
            deviceManager_->SelectVideoDevice(0);
    }
    auto selectAudio = [this](bool microphone) {
        std::string chosen;
        if (commsManager_ != nullptr &&
            SUCCEEDED(microphone ? commsManager_->GetCallSetting2(chosen)
                                 : commsManager_->GetCallSetting3(chosen)) &&
            !chosen.empty() &&
            SUCCEEDED(microphone ? deviceManager_->SelectMicrophoneById(chosen)
                                 : deviceManager_->SelectSpeakerById(chosen)))
            return;
        std::string current;
        if (SUCCEEDED(microphone ? deviceManager_->GetSelectedMicrophoneId(current)
                                 : deviceManager_->GetSelectedSpeakerId(current)) &&
            !current.empty())
            return;
        DeviceInfo first;
        if (SUCCEEDED(microphone ? deviceManager_->GetMicrophone(0, &first)
                                 : deviceManager_->GetSpeaker(0, &first)))
            microphone ? deviceManager_->SelectMicrophoneById(first.id)
                       : deviceManager_->SelectSpeakerById(first.id);
    };
    selectAudio(true);
    selectAudio(false);
}

void CVidoraRibbonDlg::AddScreenshotSteps() {
    // Only when the screenshot hook is on: the window expanded, collapsed, and its tray menu.
    QPointer<CVidoraRibbonDlg> self(this);
    CScreenshotter::AddStep("expanded", [self] {
        if (self && self->collapsed_ != 0)
            self->ToggleCollapsed();
    });
    CScreenshotter::AddStep("collapsed", [self] {
        if (self && self->collapsed_ == 0)
            self->ToggleCollapsed();
    });
    CScreenshotter::AddStep("traymenu", [self] {
        if (!self || self->trayMenu_ == nullptr)
            return;
        QScreen* screen = self->screen();
        const QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
        self->trayMenu_->popup(QPoint(area.right() - self->trayMenu_->sizeHint().width(), area.top() + 24));
    });
    CScreenshotter::AddStep("menu-closed", [self] {
        if (self && self->trayMenu_ != nullptr)
            self->trayMenu_->hide();
        if (self && self->collapsed_ != 0)
            self->ToggleCollapsed();
    });
}

void CVidoraRibbonDlg::SetTooltips() {
    auto tip = [this](int id, const std::string& text) {
        if (QWidget* w = GetDlgItem(id))
            w->setToolTip(QString::fromStdString(text));
    };
    tip(IDC_BRAND, OEMTextOr("IDS_TOOLTIP_RIBBON_LOGOWEBSITE_TOOLTIP", 161));
    tip(IDC_CAPTURE, Str(154));
    tip(IDC_EFFECTS, Str(155));
    tip(IDC_SHADE, Str(156));
    tip(IDC_SETTINGS, Str(157));
    tip(IDC_COMMUNICATE, Str(158));
    tip(IDC_MIC_MUTE, Str(159));
    tip(IDC_VIDEO_MUTE, Str(160));
    tip(IDC_TOGGLE, Str(collapsed_ == 0 ? 310 : 309));
}

void CVidoraRibbonDlg::ApplyMechanicalShutterStartRule() {
    if (deviceManager_ == nullptr)
        return;
    int32_t closed = 0;
    if (CVidoraSettings::GetShadeFirstTimeUse() == 0 && CVidoraSettings::GetShadeBehavior() == 1 &&
        SUCCEEDED(deviceManager_->GetMechanicalPrivacyShade(&closed)) && closed != 0)
        deviceManager_->SetVideoMute(1);
}

void CVidoraRibbonDlg::RunAudioWizardFirstUse() {
    if (CVidoraSettings::GetVIVFirstTimeUse() != 0 && OEMSwitch("VIVFirstTimeUse", true))
        PostMessage(WM_AUDIO_WIZARD);
}

void CVidoraRibbonDlg::OnCommand(int id) {
    switch (id) {
    case IDC_CAPTURE:
    case ID_TRAY_CAPTURE:
        OpenCaptureWindow();
        break;
    case IDC_BRAND:
        OnBrandLogo();
        break;
    case IDC_EFFECTS:
    case IDC_SHADE:
    case IDC_SETTINGS:
    case IDC_COMMUNICATE:
        OnPaneButton(id);
        break;
    case IDC_MIC_MUTE:
        OnMicrophoneMuteButton();
        break;
    case IDC_VIDEO_MUTE:
        OnVideoMuteButton();
        break;
    case IDC_TOGGLE:
        ToggleCollapsed();
        break;
    case ID_ABOUT:
        OpenAboutBox();
        break;
    case ID_TRAY_HIDE:
        Hide();
        break;
    case ID_TRAY_SHOW:
        Show();
        break;
    case ID_TRAY_EXIT:
        exitRequested_ = true;
        DestroyHelpWindow();
        Quit();
        break;
    case ID_TRAY_HELP:
        OpenHelpWindow();
        break;
    case ID_TRAY_CHECK_UPDATES:
        CheckForUpdatesNow();
        break;
    default:
        break;
    }
}

void CVidoraRibbonDlg::OnCancel() {
    // The window's close: hide to the tray when the tray icon is wanted, else end the program.
    if (quitting_)
        return;
    if (trayIconEnabled_) {
        // Without a tray to hide in, the window is minimised instead: a hidden window could not come back.
        if (IsSystemTrayAvailable())
            Hide();
        else
            showMinimized();
        return;
    }
    DestroyHelpWindow();
    Quit();
}

void CVidoraRibbonDlg::Quit() {
    if (quitting_ || !IsWindow())
        return;
    quitting_ = true;
    // A message box waiting for an answer would hold the program until somebody answered it.
    CCustomMessageBox::EndAll();
    if (IsModal())
        EndDialog(IDCANCEL);
    else
        DestroyWindow();
}

void CVidoraRibbonDlg::closeEvent(QCloseEvent* event) {
    // Every close request goes through the window's own rule.
    event->ignore();
    if (!quitting_)
        OnCancel();
}

void CVidoraRibbonDlg::setVisible(bool visible) {
    // Started hidden, the window stays hidden until something shows it on purpose.
    if (visible && suppressShow_)
        return;
    CDialogBase::setVisible(visible);
}

void CVidoraRibbonDlg::showEvent(QShowEvent* event) {
    CDialogBase::showEvent(event);
    // The docked panes come back with the ribbon, without taking the focus.
    ForEachDockedPane({Pane::Effects, Pane::Settings, Pane::Shade, Pane::Communicate},
                      [](CAttachablePane* pane) {
                          pane->setAttribute(Qt::WA_ShowWithoutActivating, true);
                          pane->show();
                      });
    KeepDockedPanesBeside();
}

void CVidoraRibbonDlg::hideEvent(QHideEvent* event) {
    CDialogBase::hideEvent(event);
    if (!quitting_)
        CloseDockedPanes();
}

void CVidoraRibbonDlg::changeEvent(QEvent* event) {
    CDialogBase::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        if (isMinimized()) {
            CloseDockedPanes();
        } else if (initDone_) {
            Layout();
        }
    } else if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        ForEachDockedPane({Pane::Effects, Pane::Settings, Pane::Shade, Pane::Communicate},
                          [](CAttachablePane* pane) { pane->raise(); });
    }
}

void CVidoraRibbonDlg::OnApplicationActive(bool active) {
    if (!active)
        ForEachDockedPane({Pane::Settings, Pane::Effects, Pane::Communicate, Pane::Shade},
                          [](CAttachablePane* pane) { pane->PostMessage(WM_CLOSE); });
}

void CVidoraRibbonDlg::OnDestroy() {
    // The other windows go first, then the ribbon lets go of everything it holds.
    DestroyAllWindows();

    ResetSunTuneOnClose();
    RemoveTrayIcon();
    RemoveNoticeIcon();
    KillTimer(kLoadTimer);
    KillTimer(kStatusTimer);
    KillTimer(kNoticeTimer);
    KillTimer(kUpdateTimer);
    ReleaseServices();
    pendingArrivals_.clear();
    CVidoraSettings::WriteRootNumber("RibbonToggleOpen", static_cast<uint32_t>(collapsed_));
    if (session_)
        session_->disconnect(this);
    if (CAttachablePane::DockHost() == this)
        CAttachablePane::SetDockHost(nullptr);
}

void CVidoraRibbonDlg::ReleaseServices() {
    // Unregistered from each service, then its reference given back.
    if (deviceManager_ != nullptr) {
        if (deviceListener_)
            deviceManager_->RemoveListener(this);
        deviceManager_->Release();
    }
    if (commsManager_ != nullptr) {
        if (commsListener_)
            commsManager_->RemoveListener(this);
        commsManager_->Release();
    }
    if (effects_ != nullptr) {
        if (effectsListener_)
            effects_->RemoveListener(this);
        effects_->Release();
    }
    deviceManager_ = nullptr;
    commsManager_ = nullptr;
    effects_ = nullptr;
    deviceListener_ = commsListener_ = effectsListener_ = false;
}

void CVidoraRibbonDlg::OnTimer(UINT_PTR id) {
    switch (id) {
    case kLoadTimer:
        OnLoadTimer();
        break;
    case kStatusTimer:
        OnStatusTimer();
        break;
    case kNoticeTimer:
        KillTimer(kNoticeTimer);
        RemoveNoticeIcon();
        break;
    case kUpdateTimer:
        OnUpdateTimer();
        break;
    default:
        break;
    }
}

CTransparentImageButton* CVidoraRibbonDlg::Button(int id) const {
    return GetDlgItemAs<CTransparentImageButton>(id);
}

CTransparentToggleButton* CVidoraRibbonDlg::Toggle(int id) const {
    return GetDlgItemAs<CTransparentToggleButton>(id);
}

void CVidoraRibbonDlg::SetLoadSampler(std::unique_ptr<CProcessorLoadSampler> sampler) {
    loadSampler_ = std::move(sampler);
}
