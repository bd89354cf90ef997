#include "ribbon/CRibbonDeviceCoordinator.h"

#include "app/CVidoraApp.h"
#include "app/CVidoraSettings.h"
#include "platform/CNamedMutex.h"
#include "platform/CVidoraNamedEvents.h"
#include "platform/RegisteredMessages.h"
#include "platform/TextUtil.h"
#include "ribbon/CCameraFeatureRecorder.h"
#include "ribbon/CPaneCoordinator.h"
#include "ribbon/IRibbonView.h"
#include "ribbon/RibbonReentryGuard.h"
#include "ribbon/RibbonSupport.h"
#include "ribbon/RibbonWindows.h"
#include "ribbon/StreamingFilter.h"
#include "services/IBrenmoorVideoEffects.h"
#include "services/IGraniteCommunicationsManager.h"
#include "services/IGraniteDeviceManager.h"
#include "ui/CCustomMessageBoxOK.h"
#include "ui/CDialogBase.h"

#include <unistd.h>

using namespace RibbonSupport;

namespace {

constexpr uint32_t kMuteFailedText = 259;

// Re-entry guards of the mute buttons: a second request while the first runs is ignored.
bool g_micMuteRunning = false;
bool g_videoMuteRunning = false;

} // namespace

CRibbonDeviceCoordinator::CRibbonDeviceCoordinator(IRibbonView& view, CPaneCoordinator& panes)
    : view_(view), panes_(panes), shutter_(services_, panes, [this] { view_.ShowRibbon(); }) {}

CRibbonDeviceCoordinator::~CRibbonDeviceCoordinator() {
    Release();
}

uint32_t CRibbonDeviceCoordinator::Cookie() const {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(this));
}

// ---- start-up --------------------------------------------------------------------------------------------

void CRibbonDeviceCoordinator::AcquireServices() {
    services_.devices = GetGraniteDeviceManager();
    services_.effects = GetBrenmoorVideoEffects();
    if (IGraniteDeviceManager* devices = services_.devices) {
        for (int i = 0; i < devices->GetVideoDeviceCount(); ++i) {
            VideoDeviceInfo camera;
            if (SUCCEEDED(devices->GetVideoDevice(i, &camera)))
                RecordCamera(camera.id);
        }
        // The first microphone with a mute control is enough.
        for (int i = 0; i < devices->GetMicrophoneCount(); ++i) {
            DeviceInfo mic;
            bool muted = false;
            if (SUCCEEDED(devices->GetMicrophone(i, &mic)) &&
                SUCCEEDED(devices->GetMicrophoneMuteOf(mic.id, &muted))) {
                CVidoraSettings::MarkFeatureSeen("MicrophoneMute");
                break;
            }
        }
    }
    knownProductIds_ = CCameraFeatureRecorder::KnownProductIds();

    // Products without calling programs tell the communications manager so at the first launch.
    services_.comms = GetGraniteCommunicationsManager();
    if (services_.comms != nullptr && !OEMSwitch("VideoCallingApplications", true) &&
        CVidoraSettings::GetFirstLaunch() != 0)
        services_.comms->ServiceCall38(VARIANT_FALSE);
}

void CRibbonDeviceCoordinator::SelectInitialDevices() {
    IGraniteDeviceManager* devices = services_.devices;
    IGraniteCommunicationsManager* comms = services_.comms;
    if (devices == nullptr)
        return;
    // The program always has a current camera, microphone and speaker when there are any.
    std::string id;
    if (comms == nullptr || FAILED(comms->GetCallSetting1(id)) || id.empty() ||
        FAILED(devices->SelectVideoDeviceById(id))) {
        if (devices->GetVideoDeviceCount() > 0)
            devices->SelectVideoDevice(0);
    }
    auto selectAudio = [devices, comms](bool microphone) {
        std::string chosen;
        if (comms != nullptr &&
            SUCCEEDED(microphone ? comms->GetCallSetting2(chosen) : comms->GetCallSetting3(chosen)) &&
            !chosen.empty() &&
            SUCCEEDED(microphone ? devices->SelectMicrophoneById(chosen)
                                 : devices->SelectSpeakerById(chosen)))
            return;
        std::string current;
        if (SUCCEEDED(microphone ? devices->GetSelectedMicrophoneId(current)
                                 : devices->GetSelectedSpeakerId(current)) &&
            !current.empty())
            return;
        DeviceInfo first;
        if (SUCCEEDED(microphone ? devices->GetMicrophone(0, &first) : devices->GetSpeaker(0, &first)))
            microphone ? devices->SelectMicrophoneById(first.id) : devices->SelectSpeakerById(first.id);
    };
    selectAudio(true);
    selectAudio(false);
}

bool CRibbonDeviceCoordinator::ListenToDevices() {
    if (services_.devices != nullptr && !deviceListener_)
        deviceListener_ = SUCCEEDED(services_.devices->AddListener(this, Cookie()));
    return deviceListener_;
}

void CRibbonDeviceCoordinator::ShowInitialMuteStates() {
    if (services_.devices == nullptr) {
        view_.EnableVideoMute(false);
        return;
    }
    ShowMicrophoneMuteState();
    int32_t videoMute = 0;
    if (SUCCEEDED(services_.devices->GetVideoMute(&videoMute)) && videoMute != 0) {
        videoMuteShown_ = true;
        view_.ShowVideoMute(true);
    }
    ReevaluateVideoMuteAvailability();
    // Without cameras there is nothing to mute.
    if (!HasCameras())
        view_.EnableVideoMute(false);
}

void CRibbonDeviceCoordinator::ListenToCommunications() {
    if (services_.comms != nullptr && !commsListener_)
        commsListener_ = SUCCEEDED(services_.comms->AddListener(this, Cookie()));
}

bool CRibbonDeviceCoordinator::ListenToEffects() {
    if (services_.effects == nullptr)
        return false;
    if (!effectsListener_)
        effectsListener_ = SUCCEEDED(services_.effects->AddListener(this, Cookie()));
    int32_t mode = 0;
    return SUCCEEDED(services_.effects->EffectsCall13(&mode)) && (mode == 1 || mode == 2);
}

bool CRibbonDeviceCoordinator::HasCameras() const {
    return services_.devices != nullptr && services_.devices->GetVideoDeviceCount() > 0;
}

HRESULT CRibbonDeviceCoordinator::EffectsStatus() {
    return services_.effects != nullptr ? services_.effects->EffectsCall18() : S_OK;
}

void CRibbonDeviceCoordinator::Release() {
    CSunTuneRules::OnRibbonClosing(services_.devices);
    if (services_.devices != nullptr) {
        if (deviceListener_)
            services_.devices->RemoveListener(this);
        services_.devices->Release();
    }
    if (services_.comms != nullptr) {
        if (commsListener_)
            services_.comms->RemoveListener(this);
        services_.comms->Release();
    }
    if (services_.effects != nullptr) {
        if (effectsListener_)
            services_.effects->RemoveListener(this);
        services_.effects->Release();
    }
    services_ = {};
    deviceListener_ = commsListener_ = effectsListener_ = false;
    pendingArrivals_.clear();
}

// ---- features --------------------------------------------------------------------------------------------

void CRibbonDeviceCoordinator::RecordCamera(const std::string& deviceId) {
    CCameraFeatureRecorder recorder(services_.devices, services_.effects != nullptr);
    recorder.onSunTuneArrivalCheck = [this](const std::string& id) { OfferSunTune(id); };
    recorder.Record(deviceId);
}

void CRibbonDeviceCoordinator::OfferSunTune(const std::string& deviceId) {
    if (auto offer = CSunTuneRules::ArrivalCheck(services_.devices, deviceId); offer && onSunTuneOffer)
        onSunTuneOffer(*offer);
}

void CRibbonDeviceCoordinator::RunArrivalCheck() {
    if (pendingArrivals_.empty())
        return;
    const std::string id = pendingArrivals_.front();
    pendingArrivals_.pop_front();
    OfferSunTune(id);
}

// ---- mute buttons ----------------------------------------------------------------------------------------

void CRibbonDeviceCoordinator::ShowMicrophoneMuteState() {
    int32_t muted = 0;
    if (services_.devices != nullptr && SUCCEEDED(services_.devices->GetMicrophoneMute(&muted)))
        view_.ShowMicrophoneMute(true, muted == 1);
    else
        view_.ShowMicrophoneMute(false, false);
}

void CRibbonDeviceCoordinator::OnMicrophoneMuteButton() {
    RibbonReentryGuard guard(g_micMuteRunning);
    if (!guard.Entered())
        return;
    int32_t muted = 0;
    if (services_.devices != nullptr && SUCCEEDED(services_.devices->GetMicrophoneMute(&muted)))
        services_.devices->SetMicrophoneMute(muted != 0 ? 0 : 1);
    // The look follows the microphone's real state, whatever the click did to the button.
    ShowMicrophoneMuteState();
}

void CRibbonDeviceCoordinator::OnVideoMuteButton() {
    RibbonReentryGuard guard(g_videoMuteRunning);
    if (!guard.Entered())
        return;
    int32_t current = 0;
    if (services_.devices == nullptr || FAILED(services_.devices->GetVideoMute(&current))) {
        CCustomMessageBoxOK::Show(kMuteFailedText, MessageBoxIcon::Warning);
        view_.ShowVideoMute(videoMuteShown_);
        return;
    }
    if (!shutter_.SetVideoMute(current == 0))
        CCustomMessageBoxOK::Show(kMuteFailedText, MessageBoxIcon::Warning);
    // Whatever happened, the button shows the camera's real state.
    int32_t now = current;
    if (services_.devices != nullptr)
        services_.devices->GetVideoMute(&now);
    videoMuteShown_ = now == 1;
    view_.ShowVideoMute(videoMuteShown_);
}

void CRibbonDeviceCoordinator::OnMicrophoneMuteChanged(uint32_t, bool muted) {
    view_.ShowMicrophoneMute(true, muted);
}

void CRibbonDeviceCoordinator::OnVideoMuteChanged(uint32_t, int32_t value) {
    videoMuteShown_ = value == 1;
    view_.ShowVideoMute(videoMuteShown_);
}

void CRibbonDeviceCoordinator::ReevaluateVideoMuteAvailability() {
    CVidoraApp* app = CVidoraApp::Instance();
    if (app != nullptr)
        app->RunCameraOwnershipTests();
    IGraniteDeviceManager* devices = services_.devices;
    bool enable = false;
    int index = -1;
    VideoDeviceInfo camera;
    if (devices != nullptr && SUCCEEDED(devices->GetSelectedVideoDeviceIndex(&index)) &&
        SUCCEEDED(devices->GetVideoDevice(index, &camera))) {
        bool supported = false;
        enable = SUCCEEDED(devices->IsFeatureSupportedOf(camera.id, "SW Video Mute", &supported)) &&
                 supported &&
                 (app == nullptr || (!app->IsCameraHeldByOtherUser() && app->cameraOwnerIs64Bit == 0));
    }
    view_.EnableVideoMute(enable);
}

void CRibbonDeviceCoordinator::OnVideoDeviceSelected(uint32_t, const std::string&) {
    ReevaluateVideoMuteAvailability();
}

// ---- camera events ---------------------------------------------------------------------------------------

void CRibbonDeviceCoordinator::OnVideoDeviceEvent29(uint32_t) {
    shutter_.OnOpened();
}

void CRibbonDeviceCoordinator::OnVideoDeviceEvent30(uint32_t) {
    shutter_.OnClosed();
}

bool CRibbonDeviceCoordinator::IsCameraHeldByAnotherProcess() {
    IGraniteDeviceManager* devices = services_.devices;
    std::string holder;
    if (devices == nullptr || FAILED(devices->GetServiceText66(holder)) || holder.empty())
        return false;
    std::string pid;
    std::string program;
    if (FAILED(devices->GetDeviceStringsOf(holder, 1, pid, program)) || pid.empty())
        return false;
    return Text::ParseLeadingDecimal(pid) != static_cast<int32_t>(getpid());
}

void CRibbonDeviceCoordinator::OnVideoDeviceEvent1(uint32_t) {
    // The camera's own capture button.
    if (!IsCameraHeldByAnotherProcess())
        panes_.OpenCapture();
}

void CRibbonDeviceCoordinator::OnVideoDeviceEvent20(uint32_t) {
    panes_.OpenMirror();
}

void CRibbonDeviceCoordinator::OnCameraOpenedOrClosed(const std::string& deviceId, uint32_t, bool on) {
    VideoDeviceInfo info;
    if (on && services_.devices != nullptr &&
        SUCCEEDED(services_.devices->FindVideoDevice(deviceId, &info))) {
        pendingArrivals_.push_back(info.id);
        view_.PostArrivalCheck();
    }
}

void CRibbonDeviceCoordinator::OnVideoDeviceEvent31or32(const std::string& deviceId, uint32_t cookie,
                                                        bool on) {
    OnCameraOpenedOrClosed(deviceId, cookie, on);
}

void CRibbonDeviceCoordinator::OnCameraSwitched(uint32_t) {
    panes_.OnCameraSwitched();
}

// ---- devices coming and going ----------------------------------------------------------------------------

void CRibbonDeviceCoordinator::SelectCommunicationsCamera() {
    std::string camera;
    if (services_.comms != nullptr && services_.devices != nullptr &&
        SUCCEEDED(services_.comms->GetCallSetting1(camera)) && !camera.empty())
        services_.devices->SelectVideoDeviceById(camera);
}

void CRibbonDeviceCoordinator::SelectCommunicationsMicrophone() {
    std::string mic;
    if (services_.comms != nullptr && services_.devices != nullptr &&
        SUCCEEDED(services_.comms->GetCallSetting2(mic)) && !mic.empty())
        services_.devices->SelectMicrophoneById(mic);
}

void CRibbonDeviceCoordinator::SelectCommunicationsSpeaker() {
    std::string speaker;
    if (services_.comms != nullptr && services_.devices != nullptr &&
        SUCCEEDED(services_.comms->GetCallSetting3(speaker)) && !speaker.empty())
        services_.devices->SelectSpeakerById(speaker);
}

void CRibbonDeviceCoordinator::OnDeviceArrived(int32_t type, const std::string& deviceId) {
    if (services_.devices == nullptr)
        return;
    if (type == kDeviceTypeVideo) {
        panes_.CloseAll();
        const bool hadOriel = CVidoraSettings::IsFeatureSeen("Oriel");
        const bool hadMute = CVidoraSettings::IsFeatureSeen("SoftwareMute");
        SelectCommunicationsCamera();
        RecordCamera(deviceId);
        knownProductIds_ = CCameraFeatureRecorder::KnownProductIds();
        if (hadOriel != CVidoraSettings::IsFeatureSeen("Oriel") ||
            hadMute != CVidoraSettings::IsFeatureSeen("SoftwareMute"))
            view_.Relayout(true);
        // A camera where there was none can be muted again.
        ReevaluateVideoMuteAvailability();
    } else if (type == kDeviceTypeMicrophone) {
        SelectCommunicationsMicrophone();
        const bool hadMute = CVidoraSettings::IsFeatureSeen("MicrophoneMute");
        CCameraFeatureRecorder(services_.devices, services_.effects != nullptr).RecordMicrophone();
        if (hadMute != CVidoraSettings::IsFeatureSeen("MicrophoneMute"))
            view_.Relayout(false);
        ShowMicrophoneMuteState();
    } else if (type == kDeviceTypeSpeaker) {
        SelectCommunicationsSpeaker();
    }
}

void CRibbonDeviceCoordinator::OnDeviceRemoved(int32_t type, const std::string& deviceId,
                                               const std::string& previousCurrentId) {
    if (services_.devices == nullptr)
        return;
    if (type == kDeviceTypeVideo) {
        if (Text::EqualsNoCase(deviceId, previousCurrentId))
            panes_.CloseAll();
        if (services_.devices->GetVideoDeviceCount() == 0) {
            view_.EnableVideoMute(false);
            return;
        }
        SelectCommunicationsCamera();
    } else if (type == kDeviceTypeMicrophone) {
        if (Text::EqualsNoCase(deviceId, previousCurrentId))
            panes_.CloseAll();
        SelectCommunicationsMicrophone();
        ShowMicrophoneMuteState();
    } else if (type == kDeviceTypeSpeaker) {
        SelectCommunicationsSpeaker();
    }
}

void CRibbonDeviceCoordinator::OnDeviceSelectionChanged(uint32_t, const std::string&, int32_t kind,
                                                        const std::string&) {
    if (kind == 2) {
        SelectCommunicationsMicrophone();
        ShowMicrophoneMuteState();
    } else if (kind == 3) {
        SelectCommunicationsSpeaker();
    }
}

// ---- streaming -------------------------------------------------------------------------------------------

void CRibbonDeviceCoordinator::OnVideoDeviceEvent15(const std::string& deviceId, uint32_t) {
    CVidoraNamedEvents::Signal(CVidoraNamedEvents::StartStreaming);
    ReevaluateVideoMuteAvailability();
    // An installer at work keeps the ribbon where it is.
    CNamedMutex setup;
    if (!setup.Create(CVidoraApp::kSetupMutexName, false) || setup.LastError() == ERROR_ALREADY_EXISTS)
        return;
    setup.Close();
    std::string application;
    std::string executable;
    if (services_.devices == nullptr ||
        FAILED(services_.devices->GetDeviceStringsOf(deviceId, 0, application, executable)))
        return;
    if (!StreamingFilter::BringsRibbonForward(executable.empty() ? application : executable))
        return;
    if (!screenSaverActive || !screenSaverActive())
        view_.ShowRibbon();
}

void CRibbonDeviceCoordinator::OnVideoDeviceEvent16(const std::string& deviceId, uint32_t) {
    CVidoraNamedEvents::Signal(CVidoraNamedEvents::EndStreaming);
    CSunTuneRules::EndOfStream(services_.devices, deviceId);
    ReevaluateVideoMuteAvailability();
}

// ---- effects engine --------------------------------------------------------------------------------------

void CRibbonDeviceCoordinator::OnEffectsModeChange(uint32_t, int32_t oldMode, int32_t newMode) {
    // The SunTune mode follows the effects: a running effect takes the camera's own correction away.
    if (IGraniteDeviceManager* devices = services_.devices) {
        int index = -1;
        VideoDeviceInfo camera;
        int32_t mode = 0;
        if (SUCCEEDED(devices->GetSelectedVideoDeviceIndex(&index)) &&
            SUCCEEDED(devices->GetVideoDevice(index, &camera)) &&
            SUCCEEDED(devices->GetSunTuneModeOf(camera.id, &mode)) && mode > 5) {
            if (newMode == 1 || newMode == 2)
                devices->SetSunTuneModeOf(camera.id, 9);
            else if ((newMode == 6 || newMode == 0) && mode != 10)
                devices->SetSunTuneModeOf(camera.id, 10);
        }
    }
    if (oldMode == newMode)
        return;
    if (newMode == 0)
        view_.StopLoadMonitors();
    else if (newMode == 1 || newMode == 2)
        view_.StartLoadMonitors();
    if (newMode == 6 && RibbonWindows::CalibrationWindowOpen())
        BroadcastMessage(RegisteredMessages::CloseCalibrationWindow.Id(), 1, 1, 0);
}
