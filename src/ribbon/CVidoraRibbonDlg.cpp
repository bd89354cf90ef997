#include "ribbon/CVidoraRibbonDlg.h"

#include "app/CSetupCleanupThread.h"
#include "app/CVidoraApp.h"
#include "app/CVidoraSettings.h"
#include "app/ExternalPrograms.h"
#include "app/Folders.h"
#include "app/UpdateCheck.h"
#include "communicate/CCommunicateDlg.h"
#include "config/COEMInfo.h"
#include "platform/CDesktopSession.h"
#include "platform/DebugOutput.h"
#include "platform/DesktopLinks.h"
#include "platform/GlobalAtoms.h"
#include "platform/IClock.h"
#include "platform/RegisteredMessages.h"
#include "platform/TextUtil.h"
#include "privacy/CPrivacyShutterSwitchDlg.h"
#include "ribbon/CInstalledPackageFinder.h"
#include "ribbon/RibbonSupport.h"
#include "ribbon/RibbonWindows.h"
#include "services/IGraniteDeviceManager.h"
#include "settings/CMainSettingsDlg.h"
#include "settings/CSunTuneNotificationDlg.h"
#include "settings/CWebcamSettingsPaneDlg.h"
#include "ui/CAttachablePane.h"
#include "ui/CCustomMessageBox.h"
#include "ui/CCustomMessageBoxOK.h"
#include "ui/CScreenshotter.h"
#include "ui/CTransparentImageButton.h"
#include "ui/CTransparentToggleButton.h"
#include "ui/CVidoraSkin.h"
#include "ui/TrayIcons.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

using namespace RibbonSupport;
using Pane = CPaneCoordinator::Pane;

namespace {

uint32_t Now() {
    return GetClock().GetTickCount();
}

// Re-entry guard of the update command: a second request while one runs is ignored.
bool g_updateCheckRunning = false;

void SetMuteLook(CTransparentImageButton* button, bool on) {
    if (button == nullptr)
        return;
    button->setChecked(on);
    button->SetPressedLook(on);
    button->update();
}

// The OEM document names the switch itself (as opposed to leaving it at its default).
bool OEMDefinesSwitch(const std::string& name) {
    return OEMSwitch(name, true) == OEMSwitch(name, false);
}

} // namespace

CVidoraRibbonDlg::CVidoraRibbonDlg(QWidget* parent)
    : CDialogBase(kTemplateId, parent), layout_(*this), devices_(*this, panes_), tray_(ApplicationIcon()),
      loadSampler_(std::make_unique<CProcessorLoadSampler>()) {
    // The ribbon runs modally for the life of the process, yet the windows it opens must take input: it is
    // modal to nothing.
    setWindowModality(Qt::WindowModal);
    setObjectName(QStringLiteral("Ribbon"));

    skin_ = std::make_unique<CVidoraSkin>("app_titlename_inactive.png", "app_titlename.png",
                                          CVidoraSkin::FrameStyle::Main);
    skin_->SetDrawBackground(false);

    // Whether the capture window opens at start and on a tray double-click.
    CVidoraApp* app = CVidoraApp::Instance();
    launchSnapDesk_ = app != nullptr && app->commandLine.openSnapDesk != 0;
    if (!launchSnapDesk_)
        launchSnapDesk_ = OEMSwitch("Launch.SnapDesk", false) || OEMSwitch("Launch.SnapDesk.Always", false);

    // A camera may already be offered SunTune while its features are recorded, below.
    devices_.onSunTuneOffer = [](const SunTuneOffer& offer) {
        // A screenshot run shows the offer in its own step only, so it hides no other window's picture.
        if (CScreenshotter::Instance() != nullptr)
            return;
        // Without a name the camera has no settings key of its own: the answer then lasts for this run.
        CSunTuneNotificationDlg::Show(offer.deviceId, offer.recommendedMode,
                                      offer.cameraName.empty() ? std::string() : offer.cameraKey);
    };
    devices_.AcquireServices();

    startHidden_ = StartedHidden();
    suppressShow_ = startHidden_;
    setAttribute(Qt::WA_ShowWithoutActivating, true);

    tray_.onCommand = [this](int command) { OnCommand(command); };
    tray_.onShowRequested = [this](bool doubleClick) {
        PostMessage(WM_TRAY_CALLBACK, kTrayIconId, doubleClick ? kTrayDoubleClick : kTrayLeftButtonDown);
    };
    tray_.onMenuRequested = [this] { PostMessage(WM_TRAY_CALLBACK, kTrayIconId, kTrayContextMenu); };
    tray_.SetRibbonShown(!startHidden_);
    MapMessages();
}

CVidoraRibbonDlg::~CVidoraRibbonDlg() {
    // A window still open closes with every step of its closing.
    if (IsWindow())
        DestroyWindow();
    // A ribbon that never opened still lets go of the services.
    devices_.Release();
    if (CAttachablePane::DockHost() == this)
        CAttachablePane::SetDockHost(nullptr);
}

void CVidoraRibbonDlg::MapMessages() {
    MapMessage(WM_TRAY_CALLBACK, [this](WPARAM w, LPARAM l) { return OnTrayCallback(w, l); });
    MapMessage(WM_CLOSE_REQUEST, [this](WPARAM, LPARAM) {
        OnCancel();
        return LRESULT(0);
    });
    MapMessage(WM_CAMERA_ARRIVAL_CHECK, [this](WPARAM, LPARAM) {
        devices_.RunArrivalCheck();
        return LRESULT(0);
    });
    MapMessage(WM_CAMERA_CONTROL, [this](WPARAM w, LPARAM l) {
        panes_.CameraControl(w, l, devices_.Services().devices, devices_.Services().comms);
        return LRESULT(0);
    });
    MapMessage(WM_AUDIO_WIZARD, [](WPARAM, LPARAM) {
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
        devices_.Shutter().Replay();
        return LRESULT(0);
    });
    MapMessage(WM_SHOW_COMMUNICATE, [this](WPARAM, LPARAM) {
        Show();
        panes_.Open(Pane::Communicate);
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
        // A second start asks this one to come forward. The tray setting may have changed meanwhile: the
        // icon follows it before anything relies on it.
        OutputDebugString(Text::Format("Second start: wParam %u", static_cast<unsigned>(wParam)));
        OnTraySettingChanged();
        if (trayIconEnabled_)
            Show();
        suppressShow_ = false;
        showNormal();
        raise();
        activateWindow();
        if (launchSnapDesk_ || wParam == 1)
            panes_.OpenCapture();
    } else if (message == RegisteredMessages::UniqueInstanceRepost.Id()) {
        PostMessage(WM_CAMERA_CONTROL, wParam, lParam);
    } else if (message == RegisteredMessages::AudioWizardFinished.Id()) {
        if (CVidoraSettings::GetVIVFirstTimeUse() != 0) {
            panes_.OpenCapture();
            CVidoraSettings::SetVIVFirstTimeUse(0);
        }
    } else if (message == RegisteredMessages::InstalledPackage.Id()) {
        std::string identity;
        if (lParam == 0 || !GlobalAtoms::GetName(static_cast<GlobalAtoms::ATOM>(lParam), identity) ||
            identity.empty())
            return;
        std::string folder = CVidoraSettings::GetVideoEffectsModelDataFolder();
        if (auto resolved = ResolveFolderPath(folder))
            folder = *resolved;
        if (auto name = CInstalledPackageFinder::FindDisplayName(folder, identity))
            ShowNotice(*name, Str(239));
    } else if (message == RegisteredMessages::ResolutionChanged.Id()) {
        // The capture window chose another photo size: the webcam pane shows what the new size allows.
        if (CWebcamSettingsPaneDlg* pane = CWebcamSettingsPaneDlg::Current())
            pane->PostMessage(CWebcamSettingsPaneDlg::kRefreshMessage);
    }
}

// ---- start-up ------------------------------------------------------------------------------------------

bool CVidoraRibbonDlg::OnInitDialog() {
    AttachSkin();
    WatchDesktopSession();
    LoadBrandImages();
    ConnectServices();
    RestoreLook();
    SetUpTrayIcon();
    PlaceWindow();
    StartMonitors();
    AnnounceReady();
    OpenStartWindows();
    initDone_ = true;
    ShowAtStart();
    return true;
}

void CVidoraRibbonDlg::AttachSkin() {
    skin_->Attach(this);
    CAttachablePane::SetDockHost(this);
    connect(skin_.get(), &CVidoraSkin::dragFinished, this, [this] { StorePosition(); });
    connect(skin_.get(), &CVidoraSkin::closeClicked, this, [this] { OnCancel(); });
    topBitmap_ = CVidoraSkin::SkinImage(kTopBitmapId);
    stripBitmap_ = CVidoraSkin::SkinImage(kStripBitmapId);
    setWindowTitle(QString::fromStdString(Str(109)));
    setWindowIcon(ApplicationIcon());
}

void CVidoraRibbonDlg::WatchDesktopSession() {
    // A suspend, or the user's session giving the console to another, takes the camera away: the windows
    // that use it close. A locked screen does not: a recording or a motion watch goes on behind it.
    session_ = new CDesktopSession(this);
    connect(session_, &CDesktopSession::suspending, this, [this] { panes_.CloseAll(); });
    connect(session_, &CDesktopSession::sessionDeactivated, this, [this] { panes_.CloseAll(); });
    session_->Start();
    devices_.screenSaverActive = [this] { return session_ != nullptr && session_->IsScreenSaverActive(); };
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) { OnApplicationActive(state == Qt::ApplicationActive); });
}

void CVidoraRibbonDlg::LoadBrandImages() {
    // The OEM folder may replace the logo's images; without the link only the plain one is used.
    CTransparentImageButton* brand = Button(IDC_BRAND);
    if (brand == nullptr)
        return;
    const bool link = OEMSwitch("Ribbon.Link", true);
    const char* names[] = {"Ribbon_Brand_Up.png", "Ribbon_Brand_Hover.png", "Ribbon_Brand_Down.png"};
    const CTransparentImageButton::State states[] = {CTransparentImageButton::State::Normal,
                                                     CTransparentImageButton::State::Hover,
                                                     CTransparentImageButton::State::Pressed};
    COEMInfo* oem = GetOEMInfo();
    for (int i = 0; i < (link ? 3 : 1); ++i) {
        QImage image;
        if (oem != nullptr && oem->GetGraphic(names[i], 203 + static_cast<uint32_t>(i), image))
            brand->SetImage(states[i], image);
    }
    if (!link) {
        brand->SetImage(CTransparentImageButton::State::Hover,
                        brand->Image(CTransparentImageButton::State::Normal));
        brand->SetImage(CTransparentImageButton::State::Pressed,
                        brand->Image(CTransparentImageButton::State::Normal));
    }
    brand->setCursor(link ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void CVidoraRibbonDlg::ConnectServices() {
    // Without the communications manager the devices are still listened to; only what needs the
    // manager (its listener, its choice of devices) is left out.
    devices_.SelectInitialDevices();
    devices_.ListenToDevices();
    devices_.ShowInitialMuteStates();
    devices_.ListenToCommunications();
}

void CVidoraRibbonDlg::RestoreLook() {
    collapsed_ = static_cast<int>(CVidoraSettings::ReadRootNumber("RibbonToggleOpen", 0));
    collapsedRead_ = true;
    if (CTransparentToggleButton* toggle = Toggle(IDC_TOGGLE))
        toggle->setChecked(collapsed_ == 0);
    layout_.SetTooltips(collapsed_ != 0);
}

void CVidoraRibbonDlg::SetUpTrayIcon() {
    // A reseller's document that says whether the icon shows decides it at the first launch; without such
    // a switch the seeded setting (with the reseller's default value, if any) stands.
    if (CVidoraSettings::GetFirstLaunch() != 0 && OEMDefinesSwitch("Show.SysTray.Icon"))
        CVidoraSettings::SetShowSysTrayIcon(OEMSwitch("Show.SysTray.Icon", true) ? 1 : 0);
    trayIconEnabled_ = CVidoraSettings::GetShowSysTrayIcon() != 0;
    if (trayIconEnabled_)
        tray_.Create();
}

void CVidoraRibbonDlg::PlaceWindow() {
    layout_.MeasureButtonPitch();
    InitialLayout();
    Place();
    // The about command, on the window's context menu.
    const std::string about = Str(101);
    if (!about.empty()) {
        auto* separator = new QAction(this);
        separator->setSeparator(true);
        auto* action = new QAction(QString::fromStdString(about), this);
        connect(action, &QAction::triggered, this, [this] { OnCommand(CRibbonTray::ID_ABOUT); });
        addAction(separator);
        addAction(action);
        setContextMenuPolicy(Qt::ActionsContextMenu);
    }
    if (CVidoraSettings::GetAlwaysOnTop() != 0)
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
    Layout();
}

void CVidoraRibbonDlg::StartMonitors() {
    // The effects engine's load is watched while it runs.
    if (devices_.ListenToEffects())
        StartLoadMonitors();
    highLoadText_ = Str(249) + "\n\n" + Str(250) + "\n\t-" + Str(251) + "\n\t-" + Str(252);
    devices_.Shutter().ApplyStartRule();
    if (!IsTimerRunning(kUpdateTimer)) {
        updateTimerFirstRun_ = true;
        SetTimer(kUpdateTimer, kUpdateFirstMs);
    }
}

void CVidoraRibbonDlg::AnnounceReady() {
    // The main window is ready: other programs wait for this mutex.
    if (CVidoraApp* app = CVidoraApp::Instance())
        app->postInitMutex.Create(CVidoraApp::kPostInitMutexName, true);
    for (int id : {IDC_CAPTURE, IDC_BRAND, IDC_EFFECTS, IDC_SHADE, IDC_SETTINGS, IDC_COMMUNICATE,
                   IDC_MIC_MUTE, IDC_VIDEO_MUTE, IDC_TOGGLE}) {
        if (QWidget* w = GetDlgItem(id))
            w->setFocusPolicy(Qt::NoFocus);
    }
    AddScreenshotSteps();
}

void CVidoraRibbonDlg::OpenStartWindows() {
    if (launchSnapDesk_) {
        if (!startHidden_)
            panes_.OpenCapture();
        // From now on only the "always" switch keeps the tray double-click opening the capture window.
        launchSnapDesk_ = OEMSwitch("Launch.SnapDesk.Always", false);
    }
    if (!startHidden_)
        RunAudioWizardFirstUse();
}

void CVidoraRibbonDlg::ShowAtStart() {
    if (!startHidden_) {
        show();
        return;
    }
    // Started hidden, the ribbon waits in the tray. Without an icon there (switched off, or no tray on
    // this desktop) a hidden window could only be reached by starting the program again: it starts
    // minimised instead.
    if (trayIconEnabled_ && tray_.HasIcon() && IsSystemTrayAvailable()) {
        hiddenToTray_ = true;
        return;
    }
    suppressShow_ = false;
    showMinimized();
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
        QMenu* menu = self ? self->tray_.Menu() : nullptr;
        if (menu == nullptr)
            return;
        QScreen* screen = self->screen();
        const QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
        menu->popup(QPoint(area.right() - menu->sizeHint().width(), area.top() + 24));
    });
    CScreenshotter::AddStep("menu-closed", [self] {
        if (self && self->tray_.Menu() != nullptr)
            self->tray_.Menu()->hide();
        if (self && self->collapsed_ != 0)
            self->ToggleCollapsed();
    });
    // The settings window docked beside the ribbon, on each of its tabs.
    CScreenshotter::AddStep("settings", [self] {
        if (self)
            self->panes_.Open(CPaneCoordinator::Pane::Settings);
    });
    using Tab = CMainSettingsDlg::Tab;
    for (auto [name, tab] :
         {std::pair{"settings-audio", Tab::Audio}, std::pair{"settings-suntune", Tab::SunTune},
          std::pair{"settings-advanced", Tab::Advanced},
          std::pair{"settings-preferences", Tab::Preferences}}) {
        CScreenshotter::AddStep(name, [tab] {
            if (CMainSettingsDlg* settings = RibbonWindows::Settings().Get())
                settings->SelectTab(tab);
        });
    }
    // The SunTune offer for the current camera, as a camera in its default mode in low light gets it.
    CScreenshotter::AddStep("suntune-notice", [self] {
        IGraniteDeviceManager* devices = self ? self->devices_.Services().devices : nullptr;
        int index = -1;
        VideoDeviceInfo camera;
        if (devices == nullptr || FAILED(devices->GetSelectedVideoDeviceIndex(&index)) || index < 0 ||
            FAILED(devices->GetVideoDevice(index, &camera)) || CSunTuneRules::IsNotificationOpen(camera.id))
            return;
        CSunTuneNotificationDlg::Show(camera.id, CSunTuneRules::kModeAuto,
                                      CVidoraSettings::GetCameraKey(camera.name));
    });
    CScreenshotter::AddStep("settings-closed", [self] {
        CSunTuneNotificationDlg::CloseAll();
        if (self)
            self->panes_.CloseDocked();
    });
    // The other docked windows, one after the other (opening one closes the one before).
    using Pane = CPaneCoordinator::Pane;
    for (auto [name, pane] : {std::pair{"effects", Pane::Effects}, std::pair{"privacy-shade", Pane::Shade},
                              std::pair{"communicate", Pane::Communicate}}) {
        CScreenshotter::AddStep(name, [self, pane] {
            if (self)
                self->panes_.Open(pane);
        });
    }
    // The communicate window's other sections, each that its button offers.
    using Section = CCommunicateSections::Section;
    for (auto [name, section] : {std::pair{"communicate-edit-tools", Section::EditTools},
                                 std::pair{"communicate-video-snap", Section::VideoSnap},
                                 std::pair{"communicate-video-blogging", Section::VideoBlogging},
                                 std::pair{"communicate-tell-a-friend", Section::TellAFriend},
                                 std::pair{"communicate-gadgets", Section::Gadgets}}) {
        CScreenshotter::AddStep(name, [section] {
            CCommunicateDlg* communicate = RibbonWindows::Communicate().Get();
            QWidget* button =
                communicate ? communicate->GetDlgItem(CCommunicateSections::InfoOf(section).button) : nullptr;
            if (button != nullptr && !button->isHidden())
                communicate->OpenSection(section);
        });
    }
    CScreenshotter::AddStep("panes-closed", [self] {
        if (self)
            self->panes_.CloseDocked();
    });
    // The question a camera with a shutter asks the first time its shutter closes.
    CScreenshotter::AddStep("shutter-question", [self] {
        if (self)
            self->panes_.OpenShutterSwitch();
    });
    CScreenshotter::AddStep("shutter-question-closed", [] {
        if (CPrivacyShutterSwitchDlg* question = RibbonWindows::ShutterSwitch().Get()) {
            RibbonWindows::ShutterSwitch().Clear();
            question->DestroyWindow();
        }
    });
}

void CVidoraRibbonDlg::RunAudioWizardFirstUse() {
    // Once per run at most: it runs until it reports back, and every Show in between would start it again.
    if (audioWizardLaunched_)
        return;
    if (CVidoraSettings::GetVIVFirstTimeUse() != 0 && OEMSwitch("VIVFirstTimeUse", true)) {
        audioWizardLaunched_ = true;
        PostMessage(WM_AUDIO_WIZARD);
    }
}

// ---- commands ------------------------------------------------------------------------------------------

void CVidoraRibbonDlg::OnCommand(int id) {
    switch (id) {
    case IDC_CAPTURE:
    case CRibbonTray::ID_CAPTURE:
        panes_.OpenCapture();
        break;
    case IDC_BRAND:
        OnBrandLogo();
        break;
    case IDC_EFFECTS:
        panes_.Toggle(Pane::Effects);
        break;
    case IDC_SHADE:
        panes_.Toggle(Pane::Shade);
        break;
    case IDC_SETTINGS:
        panes_.Toggle(Pane::Settings);
        break;
    case IDC_COMMUNICATE:
        panes_.Toggle(Pane::Communicate);
        break;
    case IDC_MIC_MUTE:
        devices_.OnMicrophoneMuteButton();
        break;
    case IDC_VIDEO_MUTE:
        devices_.OnVideoMuteButton();
        break;
    case IDC_TOGGLE:
        ToggleCollapsed();
        break;
    case CRibbonTray::ID_ABOUT:
        panes_.OpenAbout();
        break;
    case CRibbonTray::ID_HIDE:
        Hide();
        break;
    case CRibbonTray::ID_SHOW:
        Show();
        break;
    case CRibbonTray::ID_EXIT:
        panes_.DestroyHelp();
        Quit();
        break;
    case CRibbonTray::ID_HELP:
        panes_.OpenHelp();
        break;
    case CRibbonTray::ID_CHECK_UPDATES:
        CheckForUpdatesNow();
        break;
    default:
        break;
    }
}

void CVidoraRibbonDlg::OnBrandLogo() {
    if (!OEMSwitch("Ribbon.Link", true))
        return;
    const std::string address = OEMTextOr("IDS_STRING_LOGOWEBSITE", 108);
    if (!address.empty())
        DesktopLinks::OpenWebAddress(address);
}

// ---- showing, hiding, closing ----------------------------------------------------------------------------

void CVidoraRibbonDlg::Show() {
    suppressShow_ = false;
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    show();
    showNormal();
    update();
    raise();
    activateWindow();
    hiddenToTray_ = false;
    if (startHidden_)
        Place();
    tray_.SetRibbonShown(true);
    RunAudioWizardFirstUse();
}

void CVidoraRibbonDlg::Hide() {
    // Hidden straight away: a minimise on the way would be reported by the window system later, possibly
    // after the ribbon was shown again, and would then close the panes opened meanwhile.
    panes_.CloseAll();
    hide();
    hiddenToTray_ = true;
    tray_.SetRibbonShown(false);
}

void CVidoraRibbonDlg::ShowNotice(const std::string& text, const std::string& title) {
    tray_.ShowNotice(text, title);
}

void CVidoraRibbonDlg::OnCancel() {
    // The window's close: hide to the tray when the tray icon is wanted, else end the program.
    if (quitting_)
        return;
    if (trayIconEnabled_) {
        // Hidden only into an icon that is there to bring it back; else minimised.
        if (tray_.HasIcon() && IsSystemTrayAvailable())
            Hide();
        else
            showMinimized();
        return;
    }
    panes_.DestroyHelp();
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
    CPaneCoordinator::ForEachDocked({Pane::Effects, Pane::Settings, Pane::Shade, Pane::Communicate},
                                    [](CAttachablePane* pane) {
                                        pane->setAttribute(Qt::WA_ShowWithoutActivating, true);
                                        pane->show();
                                    });
    KeepDockedPanesBeside();
}

void CVidoraRibbonDlg::hideEvent(QHideEvent* event) {
    CDialogBase::hideEvent(event);
    // The window system's own hide events come with minimising, which the state change below handles.
    if (!quitting_ && !event->spontaneous())
        panes_.CloseDocked();
}

void CVidoraRibbonDlg::changeEvent(QEvent* event) {
    CDialogBase::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        if (isMinimized()) {
            // The window system reports states late: a report of a minimise the program asked for may
            // come after the program restored the window (the shutter closed right after the ribbon was
            // minimised, say), followed by the report of the restore. The docked panes close only when the
            // ribbon is still minimised once the reports queued with this one are through.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (isMinimized() && !quitting_)
                        panes_.CloseDocked();
                },
                Qt::QueuedConnection);
        } else if (initDone_) {
            Layout();
        }
    } else if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        CPaneCoordinator::ForEachDocked({Pane::Effects, Pane::Settings, Pane::Shade, Pane::Communicate},
                                        [](CAttachablePane* pane) { pane->raise(); });
    }
}

void CVidoraRibbonDlg::OnApplicationActive(bool active) {
    if (!active)
        panes_.OnApplicationDeactivated();
}

void CVidoraRibbonDlg::OnDestroy() {
    // The other windows go first, then the ribbon lets go of everything it holds. An open SunTune offer
    // goes unanswered: the cameras' SunTune is switched off below anyway.
    panes_.DestroyAll();
    CSunTuneNotificationDlg::CloseAll();
    devices_.Release();
    tray_.Remove();
    KillTimer(kLoadTimer);
    KillTimer(kStatusTimer);
    KillTimer(kUpdateTimer);
    // Only a value this run read goes back: a start that never got that far leaves the user's choice.
    if (collapsedRead_)
        CVidoraSettings::WriteRootNumber("RibbonToggleOpen", static_cast<uint32_t>(collapsed_));
    if (session_ != nullptr) {
        session_->disconnect(this);
        session_->Stop();
    }
    if (CAttachablePane::DockHost() == this)
        CAttachablePane::SetDockHost(nullptr);
}

// ---- tray ------------------------------------------------------------------------------------------------

QIcon CVidoraRibbonDlg::ApplicationIcon() const {
    QImage image = CVidoraSkin::SkinImage(kAppIconId);
    return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
}

LRESULT CVidoraRibbonDlg::OnTrayCallback(WPARAM iconId, LPARAM event) {
    if (iconId != kTrayIconId)
        return E_FAIL;
    switch (event) {
    case kTrayDoubleClick:
        Show();
        if (launchSnapDesk_)
            panes_.OpenCapture();
        break;
    case kTrayLeftButtonDown:
        Show();
        break;
    case kTrayRightButtonDown:
    case kTrayContextMenu:
        // The tray itself opens the menu; the ribbon comes forward with it unless a notification waits.
        if (!RibbonWindows::NotificationDialogOpen() && !hiddenToTray_) {
            raise();
            activateWindow();
        }
        break;
    default:
        break;
    }
    return 0;
}

void CVidoraRibbonDlg::OnTraySettingChanged() {
    const bool wanted = CVidoraSettings::GetShowSysTrayIcon() != 0;
    if (wanted == trayIconEnabled_)
        return;
    trayIconEnabled_ = wanted;
    if (wanted) {
        tray_.Create();
        return;
    }
    tray_.Remove();
    // A ribbon waiting in the tray would have no way back.
    if (hiddenToTray_ || !isVisible())
        Show();
}

// ---- timers ----------------------------------------------------------------------------------------------

void CVidoraRibbonDlg::StartLoadMonitors() {
    if (!IsTimerRunning(kLoadTimer)) {
        SetTimer(kLoadTimer, kLoadTimerMs);
        loadMonitor_.Reset();
        // The first sample only primes the reader (it is always 0), so there is no need to wait for it.
        if (loadSampler_)
            loadSampler_->Sample();
    }
    if (!IsTimerRunning(kStatusTimer)) {
        statusMonitor_.Start(Now());
        SetTimer(kStatusTimer, kStatusTimerMs);
    }
}

void CVidoraRibbonDlg::StopLoadMonitors() {
    KillTimer(kLoadTimer);
    KillTimer(kStatusTimer);
    loadMonitor_.Reset();
}

void CVidoraRibbonDlg::OnTimer(UINT_PTR id) {
    switch (id) {
    case kLoadTimer:
        OnLoadTimer();
        break;
    case kStatusTimer:
        OnStatusTimer();
        break;
    case kUpdateTimer:
        OnUpdateTimer();
        break;
    default:
        break;
    }
}

void CVidoraRibbonDlg::OnLoadTimer() {
    const uint32_t sample = loadSampler_ ? loadSampler_->Sample() : 0;
    if (loadMonitor_.AddSample(sample))
        ShowNotice(highLoadText_, Str(253));
}

void CVidoraRibbonDlg::OnStatusTimer() {
    if (devices_.Services().effects == nullptr)
        return;
    switch (statusMonitor_.OnStatus(devices_.EffectsStatus(), Now())) {
    case CEffectsStatusMonitor::Action::ShowBalloon:
        tray_.ShowNotice(Str(257), Str(256), CRibbonTray::Notice::EffectsStatus);
        break;
    case CEffectsStatusMonitor::Action::ClearBalloon:
        tray_.ClearEffectsStatusNotice();
        break;
    case CEffectsStatusMonitor::Action::None:
        break;
    }
}

void CVidoraRibbonDlg::OnUpdateTimer() {
    if (updateTimerFirstRun_) {
        updateTimerFirstRun_ = false;
        SetTimer(kUpdateTimer, kUpdatePeriodMs);
    }
    RunPeriodicUpdateCheck();
}

void CVidoraRibbonDlg::CheckForUpdatesNow() {
    if (g_updateCheckRunning)
        return;
    g_updateCheckRunning = true;
    if (FAILED(::CheckForUpdatesNow()))
        CCustomMessageBoxOK::Show(281, MessageBoxIcon::Warning);
    g_updateCheckRunning = false;
}

// ---- layout ----------------------------------------------------------------------------------------------

QRect CVidoraRibbonDlg::ClientArea() const {
    return skin_ && skin_->Window() == this ? skin_->ClientRect() : rect();
}

void CVidoraRibbonDlg::InitialLayout() {
    layout_.PlaceOptionalButtons(devices_.Services().effects != nullptr);
}

void CVidoraRibbonDlg::Layout() {
    const QSize client =
        layout_.Arrange(ClientArea(), collapsed_ == 0, devices_.Services().effects != nullptr);
    if (skin_ && skin_->Window() == this)
        skin_->ResizeClient(client);
    else
        resize(client);
    update();
}

void CVidoraRibbonDlg::ToggleCollapsed() {
    collapsed_ = collapsed_ == 0 ? 1 : 0;
    if (CTransparentToggleButton* toggle = Toggle(IDC_TOGGLE))
        toggle->setChecked(collapsed_ == 0);
    layout_.SetTooltips(collapsed_ != 0);
    Layout();
}

void CVidoraRibbonDlg::Place() {
    QPoint where;
    if (CRibbonLayout::Placement(frameGeometry().size(), where))
        move(where);
}

void CVidoraRibbonDlg::StorePosition() {
    if (!isMinimized())
        CVidoraSettings::SetRibbonPos(frameGeometry().x(), frameGeometry().y());
}

void CVidoraRibbonDlg::moveEvent(QMoveEvent* event) {
    CDialogBase::moveEvent(event);
    KeepDockedPanesBeside();
}

void CVidoraRibbonDlg::KeepDockedPanesBeside() {
    const QRect ribbon = frameGeometry();
    CPaneCoordinator::ForEachDocked({Pane::Settings, Pane::Shade, Pane::Effects, Pane::Communicate},
                                    [&ribbon](CAttachablePane* pane) { pane->KeepBeside(ribbon); });
}

void CVidoraRibbonDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    CRibbonLayout::PaintBackground(painter, ClientArea(), topBitmap_, stripBitmap_);
}

// ---- IRibbonView -----------------------------------------------------------------------------------------

void CVidoraRibbonDlg::ShowMicrophoneMute(bool available, bool muted) {
    CTransparentImageButton* button = Button(IDC_MIC_MUTE);
    if (button == nullptr)
        return;
    button->setEnabled(available);
    if (available)
        SetMuteLook(button, muted);
}

void CVidoraRibbonDlg::ShowVideoMute(bool muted) {
    SetMuteLook(Button(IDC_VIDEO_MUTE), muted);
}

void CVidoraRibbonDlg::EnableVideoMute(bool enabled) {
    if (QWidget* button = GetDlgItem(IDC_VIDEO_MUTE))
        button->setEnabled(enabled);
}

void CVidoraRibbonDlg::Relayout(bool buttons) {
    if (buttons)
        InitialLayout();
    Layout();
    update();
}

void CVidoraRibbonDlg::PostArrivalCheck() {
    PostMessage(WM_CAMERA_ARRIVAL_CHECK, 1, 0);
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
