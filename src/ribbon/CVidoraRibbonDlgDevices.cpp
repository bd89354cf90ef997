// What the ribbon does with the services' notifications: the mute buttons, the mechanical shutter, cameras,
// microphones and speakers coming and going, streaming, the effects engine's state, installed packages, and
// starting a video call.
#include "app/CVidoraApp.h"
#include "app/CVidoraSettings.h"
#include "app/Folders.h"
#include "capture/CSnapDeskDlg.h"
#include "platform/CDesktopSession.h"
#include "platform/CNamedMutex.h"
#include "platform/GlobalAtoms.h"
#include "platform/TextUtil.h"
#include "ribbon/CInstalledPackageFinder.h"
#include "ribbon/CMSNCameraControlDlg.h"
#include "ribbon/CMirrorModeDlg.h"
#include "ribbon/CRibbonNamedEvents.h"
#include "ribbon/CSunTuneRules.h"
#include "ribbon/CVidoraRibbonDlg.h"
#include "ribbon/RibbonSupport.h"
#include "ribbon/RibbonWindows.h"
#include "services/IBrenmoorVideoEffects.h"
#include "services/IGraniteCommunicationsManager.h"
#include "services/IGraniteDeviceManager.h"
#include "ui/CAttachablePane.h"
#include "ui/CCustomMessageBoxOK.h"
#include "ui/CCustomMessageBoxYESNO.h"
#include "ui/CTransparentImageButton.h"
#include "ui/RegisteredMessages.h"

#include <unistd.h>

using namespace RibbonSupport;

namespace {

// Re-entry guards: a second request while the first runs is ignored.
bool g_micMuteRunning = false;
bool g_videoMuteRunning = false;
bool g_shutterRunning = false;

class CGuard {
public:
    explicit CGuard(bool& flag) : flag_(flag), entered_(!flag) {
        if (entered_)
            flag_ = true;
    }
    ~CGuard() {
        if (entered_)
            flag_ = false;
    }
    bool Entered() const { return entered_; }

private:
    bool& flag_;
    bool entered_;
};

std::function<bool()>& ScreenSaverProbe() {
    static auto* probe = new std::function<bool()>();
    return *probe;
}

bool ScreenSaverRunning() {
    const auto& probe = ScreenSaverProbe();
    return probe ? probe() : CDesktopSession::IsScreenSaverActive();
}

void SetMuteLook(CTransparentImageButton* button, bool on) {
    if (button == nullptr)
        return;
    button->setChecked(on);
    button->SetPressedLook(on);
    button->update();
}

// The file name of a program path in either separator style.
std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

void CVidoraRibbonDlg::SetScreenSaverProbe(std::function<bool()> probe) {
    ScreenSaverProbe() = std::move(probe);
}

// ---- mute buttons ----------------------------------------------------------------------------------------

void CVidoraRibbonDlg::ShowMicrophoneMuteState() {
    CTransparentImageButton* button = Button(IDC_MIC_MUTE);
    int32_t muted = 0;
    if (deviceManager_ != nullptr && SUCCEEDED(deviceManager_->GetMicrophoneMute(&muted))) {
        if (button != nullptr)
            button->setEnabled(true);
        SetMuteLook(button, muted == 1);
    } else if (button != nullptr) {
        button->setEnabled(false);
    }
}

void CVidoraRibbonDlg::OnMicrophoneMuteButton() {
    CGuard guard(g_micMuteRunning);
    if (!guard.Entered())
        return;
    int32_t muted = 0;
    if (deviceManager_ != nullptr && SUCCEEDED(deviceManager_->GetMicrophoneMute(&muted)))
        deviceManager_->SetMicrophoneMute(muted != 0 ? 0 : 1);
    // The look follows the microphone's real state, whatever the click did to the button.
    ShowMicrophoneMuteState();
}

bool CVidoraRibbonDlg::SetSoftwareVideoMute(bool on) {
    if (deviceManager_ == nullptr)
        return false;
    if (on && effects_ != nullptr) {
        // The shade picture shows in place of the camera's.
        std::string picture = CVidoraSettings::GetPrivacyShadeFilename();
        if (auto resolved = ResolveFolderPath(picture))
            picture = *resolved;
        effects_->EffectsCall21(2, picture);
    }
    return SUCCEEDED(deviceManager_->SetVideoMute(on ? 1 : 0));
}

void CVidoraRibbonDlg::OnVideoMuteButton() {
    CGuard guard(g_videoMuteRunning);
    if (!guard.Entered())
        return;
    CTransparentImageButton* button = Button(IDC_VIDEO_MUTE);
    int32_t current = 0;
    if (deviceManager_ == nullptr || FAILED(deviceManager_->GetVideoMute(&current))) {
        CCustomMessageBoxOK::Show(259, MessageBoxIcon::Warning);
        SetMuteLook(button, button != nullptr && button->IsPressedLook());
        return;
    }
    const bool wanted = current == 0;
    if (!SetSoftwareVideoMute(wanted))
        CCustomMessageBoxOK::Show(259, MessageBoxIcon::Warning);
    // Whatever happened, the button shows the camera's real state.
    int32_t now = current;
    if (deviceManager_ != nullptr)
        deviceManager_->GetVideoMute(&now);
    SetMuteLook(button, now == 1);
}

void CVidoraRibbonDlg::OnMicrophoneMuteChanged(uint32_t, bool muted) {
    SetMuteLook(Button(IDC_MIC_MUTE), muted);
}

void CVidoraRibbonDlg::OnVideoMuteChanged(uint32_t, int32_t value) {
    SetMuteLook(Button(IDC_VIDEO_MUTE), value == 1);
}

void CVidoraRibbonDlg::ReevaluateVideoMuteAvailability() {
    CVidoraApp* app = CVidoraApp::Instance();
    if (app != nullptr)
        app->RunCameraOwnershipTests();
    bool enable = false;
    int index = -1;
    VideoDeviceInfo camera;
    if (deviceManager_ != nullptr && SUCCEEDED(deviceManager_->GetSelectedVideoDeviceIndex(&index)) &&
        SUCCEEDED(deviceManager_->GetVideoDevice(index, &camera))) {
        bool supported = false;
        enable = SUCCEEDED(deviceManager_->IsFeatureSupportedOf(camera.id, "SW Video Mute", &supported)) &&
                 supported &&
                 (app == nullptr || (!app->IsCameraHeldByOtherUser() && app->cameraOwnerIs64Bit == 0));
    }
    if (QWidget* button = GetDlgItem(IDC_VIDEO_MUTE))
        button->setEnabled(enable);
}

void CVidoraRibbonDlg::OnVideoDeviceSelected(uint32_t, const std::string&) {
    ReevaluateVideoMuteAvailability();
}

// ---- mechanical shutter
// ------------------------------------------------------------------------------------

void CVidoraRibbonDlg::OnVideoDeviceEvent29(uint32_t) {
    OnShutterOpened();
}

void CVidoraRibbonDlg::OnVideoDeviceEvent30(uint32_t) {
    OnShutterClosed();
}

void CVidoraRibbonDlg::OnShutterOpened() {
    CGuard guard(g_shutterRunning);
    if (!guard.Entered())
        return;
    shutterEventPending_ = true;
    if (CVidoraSettings::GetShadeFirstTimeUse() != 0) {
        OpenShutterSwitchDialog();
        return;
    }
    switch (CVidoraSettings::GetShadeBehavior()) {
    case 0:
        StartVideoCall();
        break;
    case 1:
        if (!SetSoftwareVideoMute(false))
            CCustomMessageBoxOK::Show(259, MessageBoxIcon::Warning);
        break;
    default:
        break;
    }
}

void CVidoraRibbonDlg::OnShutterClosed() {
    CGuard guard(g_shutterRunning);
    if (!guard.Entered())
        return;
    shutterEventPending_ = false;
    if (CVidoraSettings::GetShadeFirstTimeUse() != 0) {
        OpenShutterSwitchDialog();
        return;
    }
    if (CVidoraSettings::GetShadeBehavior() != 1)
        return;
    if (!SetSoftwareVideoMute(true))
        CCustomMessageBoxOK::Show(259, MessageBoxIcon::Warning);
    Show();
    OpenPrivacyShadeWindow();
}

// ---- video calls -----------------------------------------------------------------------------------------

void CVidoraRibbonDlg::StartVideoCall() {
    if (commsManager_ == nullptr)
        return;
    // The default calling program becomes the selected one.
    int32_t defaultIndex = -1;
    ApplicationInfo chosen;
    if (SUCCEEDED(commsManager_->GetDefaultApplicationIndex(&defaultIndex)) &&
        SUCCEEDED(commsManager_->GetApplication(defaultIndex, &chosen))) {
        const std::string name = chosen.name == "AIM" ? std::string("AIM Triton") : chosen.name;
        ApplicationInfo found;
        if (SUCCEEDED(commsManager_->FindApplicationByName(name, &found)))
            commsManager_->SetDefaultApplication(found.index);
    }
    // A running calling program ready for video.
    ApplicationInfo ready;
    bool haveOne = false;
    for (int32_t i = 0; i < commsManager_->GetApplicationCount() && !haveOne; ++i) {
        ApplicationInfo app;
        if (SUCCEEDED(commsManager_->GetApplication(i, &app)) && IsVideoCallCandidate(*commsManager_, app)) {
            ready = app;
            haveOne = true;
        }
    }
    if (!haveOne) {
        if (CCustomMessageBoxYESNO::Show(285, MessageBoxIcon::Question) == IDYES) {
            Show();
            OpenCommunicateWindow();
        }
        return;
    }
    if (FAILED(commsManager_->ServiceCall26(ready.name)))
        CCustomMessageBoxOK::Show(246, MessageBoxIcon::Warning);
}

// ---- camera events ---------------------------------------------------------------------------------------

bool CVidoraRibbonDlg::IsCameraHeldByAnotherProcess() {
    if (deviceManager_ == nullptr)
        return false;
    std::string holder;
    if (FAILED(deviceManager_->GetServiceText66(holder)) || holder.empty())
        return false;
    std::string pid;
    std::string program;
    if (FAILED(deviceManager_->GetDeviceStringsOf(holder, 1, pid, program)) || pid.empty())
        return false;
    return Text::ParseLeadingDecimal(pid) != static_cast<int32_t>(getpid());
}

void CVidoraRibbonDlg::OnVideoDeviceEvent1(uint32_t) {
    // The camera's own capture button.
    if (!IsCameraHeldByAnotherProcess())
        OpenCaptureWindow();
}

void CVidoraRibbonDlg::OnVideoDeviceEvent20(uint32_t) {
    OpenMirrorWindow();
}

void CVidoraRibbonDlg::OnCameraOpenedOrClosed(const std::string& deviceId, uint32_t, bool on) {
    VideoDeviceInfo info;
    if (on && deviceManager_ != nullptr && SUCCEEDED(deviceManager_->FindVideoDevice(deviceId, &info))) {
        pendingArrivals_.push_back(info.id);
        PostMessage(WM_CAMERA_ARRIVAL_CHECK, 1, 0);
    }
}

void CVidoraRibbonDlg::OnVideoDeviceEvent31or32(const std::string& deviceId, uint32_t cookie, bool on) {
    OnCameraOpenedOrClosed(deviceId, cookie, on);
}

void CVidoraRibbonDlg::OnCameraArrivalCheck() {
    if (pendingArrivals_.empty())
        return;
    const std::string id = pendingArrivals_.front();
    pendingArrivals_.pop_front();
    if (CSunTuneRules::ArrivalCheck(deviceManager_, id))
        RequestSunTuneNotice(id);
}

void CVidoraRibbonDlg::RequestSunTuneNotice(const std::string& deviceId) {
    // The notification itself belongs to the settings windows; until they exist the request is counted.
    ++sunTuneNoticeRequests_;
    (void)deviceId;
}

void CVidoraRibbonDlg::OnCameraSwitched(uint32_t) {
    // Another window switched the camera: what shows the old camera goes.
    for (Pane kind : {Pane::Effects, Pane::Communicate, Pane::Shade}) {
        if (CAttachablePane* pane = PaneWindow(kind))
            pane->MarkClosedByRibbon();
    }
    for (Pane kind : {Pane::Shade, Pane::Effects, Pane::Communicate}) {
        if (CAttachablePane* pane = PaneWindow(kind))
            pane->PostMessage(WM_CLOSE);
    }
    if (CSnapDeskDlg* capture = RibbonWindows::Capture().Get()) {
        RibbonWindows::Capture().Clear();
        capture->DestroyWindow();
        OpenCaptureWindow();
    }
    if (CMirrorModeDlg* mirror = RibbonWindows::Mirror().Get())
        mirror->PostMessage(WM_CLOSE);
    if (CMSNCameraControlDlg* control = RibbonWindows::CameraControl().Get())
        control->PostMessage(WM_CLOSE);
}

void CVidoraRibbonDlg::SelectCommunicationsCamera() {
    std::string camera;
    if (commsManager_ != nullptr && deviceManager_ != nullptr &&
        SUCCEEDED(commsManager_->GetCallSetting1(camera)) && !camera.empty())
        deviceManager_->SelectVideoDeviceById(camera);
}

void CVidoraRibbonDlg::SelectCommunicationsMicrophone() {
    std::string mic;
    if (commsManager_ != nullptr && deviceManager_ != nullptr &&
        SUCCEEDED(commsManager_->GetCallSetting2(mic)) && !mic.empty())
        deviceManager_->SelectMicrophoneById(mic);
}

void CVidoraRibbonDlg::SelectCommunicationsSpeaker() {
    std::string speaker;
    if (commsManager_ != nullptr && deviceManager_ != nullptr &&
        SUCCEEDED(commsManager_->GetCallSetting3(speaker)) && !speaker.empty())
        deviceManager_->SelectSpeakerById(speaker);
}

void CVidoraRibbonDlg::OnDeviceArrived(int32_t type, const std::string& deviceId) {
    if (deviceManager_ == nullptr)
        return;
    if (type == kDeviceTypeVideo) {
        CloseAllWindows();
        const bool hadOriel = CVidoraSettings::IsFeatureSeen("Oriel");
        const bool hadMute = CVidoraSettings::IsFeatureSeen("SoftwareMute");
        SelectCommunicationsCamera();
        RecordCamera(deviceId);
        ReloadKnownProductIds();
        if (hadOriel != CVidoraSettings::IsFeatureSeen("Oriel") ||
            hadMute != CVidoraSettings::IsFeatureSeen("SoftwareMute")) {
            InitialLayout();
            update();
            Layout();
        }
        // A camera where there was none can be muted again.
        ReevaluateVideoMuteAvailability();
    } else if (type == kDeviceTypeMicrophone) {
        SelectCommunicationsMicrophone();
        const bool hadMute = CVidoraSettings::IsFeatureSeen("MicrophoneMute");
        RecordMicrophone();
        if (hadMute != CVidoraSettings::IsFeatureSeen("MicrophoneMute")) {
            Layout();
            update();
        }
        ShowMicrophoneMuteState();
    } else if (type == kDeviceTypeSpeaker) {
        SelectCommunicationsSpeaker();
    }
}

void CVidoraRibbonDlg::OnDeviceRemoved(int32_t type, const std::string& deviceId,
                                       const std::string& previousCurrentId) {
    if (deviceManager_ == nullptr)
        return;
    if (type == kDeviceTypeVideo) {
        if (Text::EqualsNoCase(deviceId, previousCurrentId))
            CloseAllWindows();
        if (deviceManager_->GetVideoDeviceCount() == 0) {
            if (QWidget* button = GetDlgItem(IDC_VIDEO_MUTE))
                button->setEnabled(false);
            return;
        }
        SelectCommunicationsCamera();
    } else if (type == kDeviceTypeMicrophone) {
        if (Text::EqualsNoCase(deviceId, previousCurrentId))
            CloseAllWindows();
        SelectCommunicationsMicrophone();
        ShowMicrophoneMuteState();
    } else if (type == kDeviceTypeSpeaker) {
        SelectCommunicationsSpeaker();
    }
}

// ---- streaming -------------------------------------------------------------------------------------------

void CVidoraRibbonDlg::OnVideoDeviceEvent15(const std::string& deviceId, uint32_t) {
    CRibbonNamedEvents::Signal(CRibbonNamedEvents::StartStreaming);
    ReevaluateVideoMuteAvailability();
    // An installer at work keeps the ribbon where it is.
    CNamedMutex setup;
    if (!setup.Create(CVidoraApp::kSetupMutexName, false) || setup.LastError() == ERROR_ALREADY_EXISTS)
        return;
    setup.Close();
    if (deviceManager_ == nullptr)
        return;
    std::string application;
    std::string executable;
    if (FAILED(deviceManager_->GetDeviceStringsOf(deviceId, 0, application, executable)))
        return;
    const std::string file = FileNameOf(executable.empty() ? application : executable);
    if (Text::EqualsNoCase(file, "setup.exe") || Text::EndsWithNoCase(file, ".scr") ||
        Text::EqualsNoCase(file, "sidebar.exe"))
        return;
    if (!ScreenSaverRunning())
        Show();
}

void CVidoraRibbonDlg::OnVideoDeviceEvent16(const std::string& deviceId, uint32_t) {
    CRibbonNamedEvents::Signal(CRibbonNamedEvents::EndStreaming);
    CSunTuneRules::EndOfStream(deviceManager_, deviceId);
    ReevaluateVideoMuteAvailability();
}

// ---- effects engine --------------------------------------------------------------------------------------

void CVidoraRibbonDlg::OnEffectsModeChange(uint32_t, int32_t oldMode, int32_t newMode) {
    // The SunTune mode follows the effects: a running effect takes the camera's own correction away.
    if (deviceManager_ != nullptr) {
        int index = -1;
        VideoDeviceInfo camera;
        int32_t mode = 0;
        if (SUCCEEDED(deviceManager_->GetSelectedVideoDeviceIndex(&index)) &&
            SUCCEEDED(deviceManager_->GetVideoDevice(index, &camera)) &&
            SUCCEEDED(deviceManager_->GetSunTuneModeOf(camera.id, &mode)) && mode > 5) {
            if (newMode == 1 || newMode == 2)
                deviceManager_->SetSunTuneModeOf(camera.id, 9);
            else if ((newMode == 6 || newMode == 0) && mode != 10)
                deviceManager_->SetSunTuneModeOf(camera.id, 10);
        }
    }
    if (oldMode != newMode) {
        if (newMode == 0)
            StopLoadMonitors();
        else if (newMode == 1 || newMode == 2)
            StartLoadMonitors();
        if (newMode == 6 && oldMode != 6 && RibbonWindows::CalibrationWindowOpen())
            BroadcastMessage(RegisteredMessages::CloseCalibrationWindow.Id(), 1, 1, 0);
    }
}

// ---- communications manager ------------------------------------------------------------------------------

void CVidoraRibbonDlg::OnDeviceSelectionChanged(uint32_t, const std::string&, int32_t kind,
                                                const std::string&) {
    if (kind == 2) {
        SelectCommunicationsMicrophone();
        ShowMicrophoneMuteState();
    } else if (kind == 3) {
        SelectCommunicationsSpeaker();
    }
}

// ---- messages from other programs ------------------------------------------------------------------------

void CVidoraRibbonDlg::OnAudioWizardFinished() {
    if (CVidoraSettings::GetVIVFirstTimeUse() != 0) {
        OpenCaptureWindow();
        CVidoraSettings::SetVIVFirstTimeUse(0);
    }
}

void CVidoraRibbonDlg::OnInstalledPackage(LPARAM atom) {
    std::string identity;
    if (atom == 0 || !GlobalAtoms::GetName(static_cast<GlobalAtoms::ATOM>(atom), identity) ||
        identity.empty())
        return;
    std::string folder = CVidoraSettings::GetVideoEffectsModelDataFolder();
    if (auto resolved = ResolveFolderPath(folder))
        folder = *resolved;
    if (auto name = CInstalledPackageFinder::FindDisplayName(folder, identity))
        ShowNotice(*name, Str(239));
}

// ---- closing ---------------------------------------------------------------------------------------------

void CVidoraRibbonDlg::ResetSunTuneOnClose() {
    CSunTuneRules::OnRibbonClosing(deviceManager_);
}
