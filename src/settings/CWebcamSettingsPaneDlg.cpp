#include "settings/CWebcamSettingsPaneDlg.h"

#include "app/CVidoraSettings.h"
#include "config/COEMInfo.h"
#include "platform/CObjectFactory.h"
#include "platform/CVidoraNamedEvents.h"
#include "services/IBrenmoorVideoEffects.h"
#include "services/IEffectsEngine.h"
#include "services/IGraniteDeviceManager.h"
#include "settings/CFeatureBands.h"
#include "settings/CLevelSliderScale.h"
#include "settings/CWebcamDefaults.h"
#include "settings/SettingsPanes.h"
#include "ui/CTransparentSliderCtrl.h"
#include "ui/ControlsNotify.h"

#include <QAbstractButton>

namespace {

constexpr uint32_t kCookie = 0x235;
// A photo size from this width up (with a height) is large: the digital window and face tracking need
// the camera's whole picture then.
constexpr uint32_t kLargeStillWidth = 960;

// The pane's bands and the feature each stands for, top to bottom (the template's rows).
struct FeatureBand {
    const char* feature;
    int top;
    int bottom;
};
constexpr FeatureBand kFeatureBands[] = {
    {"PTZ", 150, 262},           {"FaceTracking", 262, 316},
    {"Autofocus", 316, 346},     {"AutofocusManual", 346, 376},
    {"LowLightBoost", 376, 402}, {"ColorBoost", 402, 428},
};

} // namespace

struct CWebcamSettingsPaneDlg::Level {
    int slider;
    int caption;
    HRESULT (IGraniteDeviceManager::*range)(int32_t*, int32_t*, int32_t*);
    HRESULT (IGraniteDeviceManager::*set)(int32_t);
};

const std::array<CWebcamSettingsPaneDlg::Level, 4>& CWebcamSettingsPaneDlg::Levels() {
    static const std::array<Level, 4> levels{{
        {kLevelASlider, kLevelACaption, &IGraniteDeviceManager::GetWebcamLevelARange,
         &IGraniteDeviceManager::SetWebcamLevelA},
        {kLevelBSlider, kLevelBCaption, &IGraniteDeviceManager::GetWebcamLevelBRange,
         &IGraniteDeviceManager::SetWebcamLevelB},
        {kLevelCSlider, kLevelCCaption, &IGraniteDeviceManager::GetWebcamLevelCRange,
         &IGraniteDeviceManager::SetWebcamLevelC},
        {kLevelDSlider, kLevelDCaption, &IGraniteDeviceManager::GetWebcamLevelDRange,
         &IGraniteDeviceManager::SetWebcamLevelD},
    }};
    return levels;
}

CWebcamSettingsPaneDlg::CWebcamSettingsPaneDlg(QWidget* parent) : CSettingsPaneDlg(kTemplateId, parent) {
    camera_ = GetGraniteDeviceManager();
    effects_ = GetBrenmoorVideoEffects();
}

CWebcamSettingsPaneDlg::~CWebcamSettingsPaneDlg() {
    if (IsWindow())
        DestroyWindow();
    if (effects_ != nullptr)
        effects_->Release();
    if (camera_ != nullptr)
        camera_->Release();
}

CWebcamSettingsPaneDlg* CWebcamSettingsPaneDlg::Current() {
    return SettingsPanes::Webcam().Get();
}

bool CWebcamSettingsPaneDlg::OnInitDialog() {
    if (camera_ != nullptr)
        listening_ = SUCCEEDED(camera_->AddListener(this, kCookie));
    Refresh();
    LayOutByFeatures();
    if (effects_ != nullptr)
        effects_->AddListener(this, kCookie);
    COEMInfo* oem = GetOEMInfo();
    const bool oemMulti = oem == nullptr || oem->IsFeatureEnabled("MultipleFaceTracking", true);
    if (!oemMulti || !CVidoraSettings::IsFeatureSeen("MultipleFaceTracking")) {
        if (QWidget* multi = GetDlgItem(kFaceMulti))
            multi->hide();
    }
    return true;
}

void CWebcamSettingsPaneDlg::OnDestroy() {
    if (effects_ != nullptr)
        effects_->RemoveListener(this);
    if (camera_ != nullptr && listening_)
        camera_->RemoveListener(this);
    listening_ = false;
}

// ---- reading the camera
// -------------------------------------------------------------------------------------

void CWebcamSettingsPaneDlg::Refresh() {
    if (!IsWindow())
        return;
    const uint32_t width = CVidoraSettings::GetSnapDeskCaptureXRes();
    const uint32_t height = CVidoraSettings::GetSnapDeskCaptureYRes();
    const bool largeStill = width >= kLargeStillWidth && height != 0;

    RefreshZoom(largeStill);
    RefreshLevels();

    bool autoWhiteBalance = false;
    if (camera_ != nullptr && SUCCEEDED(camera_->GetWebcamSwitchE(&autoWhiteBalance))) {
        SetChecked(kAutoWhiteBalance, autoWhiteBalance);
        if (autoWhiteBalance)
            EnableLevelD(true);
    }
    for (auto [item, get] : {std::pair{kLowLightBoost, &IGraniteDeviceManager::GetLowLightBoost},
                             std::pair{kColorBoost, &IGraniteDeviceManager::GetColorBoost}}) {
        int32_t value = 0;
        if (camera_ != nullptr && SUCCEEDED((camera_->*get)(&value)))
            SetChecked(item, value == 1);
    }
    int32_t sunTune = 0;
    if (QWidget* hint = GetDlgItem(kSunTuneHint))
        hint->setVisible(camera_ != nullptr && SUCCEEDED(camera_->GetSunTuneMode(&sunTune)));

    RefreshFaceTracking(largeStill);
    RefreshFocus();
}

void CWebcamSettingsPaneDlg::RefreshZoom(bool largeStill) {
    bool ptz = false;
    int32_t minimum = 0, maximum = 0, value = 0;
    zoomReadable_ = camera_ != nullptr && SUCCEEDED(camera_->GetPtzSupport(&ptz)) && ptz &&
                    !EffectsRunning() && SUCCEEDED(camera_->GetZoomRange(&minimum, &maximum, &value));
    if (zoomReadable_) {
        zoom_ = CZoomSliderMapping(minimum, maximum);
        if (auto* slider = GetDlgItemAs<CTransparentSliderCtrl>(kZoomSlider)) {
            slider->SetRange(zoom_.SliderMin(), zoom_.SliderMax());
            slider->SetLineSize(CLevelSliderScale::LineStep(minimum, maximum));
            slider->SetPos(zoom_.PositionOf(value));
        }
    }
    Enable({kZoomSlider, kZoomInLabel, kZoomOutLabel, kZoomCaption}, zoomReadable_);
    // The digital window into the picture needs room around it; a large photo size leaves none.
    Enable({kPanTilt, kPanTiltCaption}, zoomReadable_ && !largeStill);
}

void CWebcamSettingsPaneDlg::RefreshLevels() {
    for (const Level& level : Levels()) {
        int32_t minimum = 0, maximum = 0, value = 0;
        const bool readable =
            camera_ != nullptr && SUCCEEDED((camera_->*level.range)(&minimum, &maximum, &value));
        if (readable) {
            if (auto* slider = GetDlgItemAs<CTransparentSliderCtrl>(level.slider)) {
                slider->SetRange(minimum, maximum);
                slider->SetLineSize(CLevelSliderScale::LineStep(minimum, maximum));
                slider->SetPos(value);
            }
        }
        Enable({level.slider, level.caption}, readable);
    }
}

void CWebcamSettingsPaneDlg::RefreshFaceTracking(bool largeStill) {
    bool supported = false;
    if (camera_ == nullptr || FAILED(camera_->IsFaceTrackingSupported(&supported)) || !supported) {
        Enable({kFaceOff, kFaceSingle, kFaceMulti}, false);
        return;
    }
    int32_t mode = 0;
    if (SUCCEEDED(camera_->GetTriStateMode(&mode)))
        ShowFaceTrackingLook(mode);
    int32_t shared = 0;
    const bool blocked = SUCCEEDED(camera_->GetSharedState(&shared)) && shared == 0 && largeStill;
    bool multi = false;
    camera_->IsMultipleFaceTrackingSupported(&multi);
    Enable({kFaceOff, kFaceSingle}, !blocked);
    Enable({kFaceMulti}, !blocked && multi);
}

void CWebcamSettingsPaneDlg::RefreshFocus() {
    focusReadable_ = false;
    bool autoMode = false;
    if (camera_ == nullptr || FAILED(camera_->IsFeatureSupported("AFAutoMode", &autoMode)) || !autoMode) {
        Enable({kFocusAuto, kFocusManual, kFocusSlider}, false);
        return;
    }
    Enable({kFocusAuto, kFocusManual}, true);
    bool autoOn = true;
    camera_->GetAutoFocus(&autoOn);
    ShowFocusLook(autoOn);
    bool manualMode = false;
    if (SUCCEEDED(camera_->IsFeatureSupported("AFManualMode", &manualMode)) && manualMode &&
        CameraInUseIsSelected()) {
        int32_t minimum = 0, maximum = 0, step = 0, value = 0;
        if (SUCCEEDED(camera_->GetWebcamValueGDetails(&minimum, &maximum, &step, &value))) {
            focus_ = CFocusSliderMapping(minimum, maximum, step);
            focusReadable_ = true;
            if (auto* slider = GetDlgItemAs<CTransparentSliderCtrl>(kFocusSlider)) {
                slider->SetRange(0, focus_.SliderMax());
                slider->SetPos(focus_.PositionOf(value));
            }
        }
    }
    Enable({kFocusSlider}, focusReadable_ && !autoOn);
}

void CWebcamSettingsPaneDlg::LayOutByFeatures() {
    std::vector<CFeatureBands::Band> bands;
    for (const FeatureBand& band : kFeatureBands)
        bands.push_back({band.top, band.bottom, CVidoraSettings::IsFeatureSeen(band.feature)});
    // Without automatic focus there is no manual focus either.
    if (!bands[2].shown)
        bands[3].shown = false;
    const CFeatureBands layout(bands);
    LayOut(layout);
}

// ---- the user's changes
// -------------------------------------------------------------------------------------

LRESULT CWebcamSettingsPaneDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (LOWORD(wParam) != ControlsNotify::SB_ENDSCROLL) {
            if (auto* control = reinterpret_cast<QWidget*>(lParam))
                OnSliderMoved(GetDlgCtrlID(control));
        }
        return 0;
    case kRefreshMessage:
        Refresh();
        return 0;
    default:
        return CDialogBase::OnMessage(message, wParam, lParam);
    }
}

void CWebcamSettingsPaneDlg::OnCommand(int item) {
    if (camera_ == nullptr)
        return;
    switch (item) {
    case kFaceOff:
        ChooseFaceTracking(0);
        break;
    case kFaceSingle:
        ChooseFaceTracking(1);
        break;
    case kFaceMulti:
        ChooseFaceTracking(2);
        break;
    case kFocusAuto:
        ChooseFocusMode(true);
        break;
    case kFocusManual:
        ChooseFocusMode(false);
        break;
    case kAutoWhiteBalance: {
        const bool on = IsChecked(kAutoWhiteBalance);
        camera_->SetWebcamSwitchE(on);
        EnableLevelD(on);
        break;
    }
    case kLowLightBoost:
        camera_->SetLowLightBoost(IsChecked(kLowLightBoost) ? 1 : 0);
        break;
    case kColorBoost:
        camera_->SetColorBoost(IsChecked(kColorBoost) ? 1 : 0);
        break;
    case kRestoreDefaults:
        RestoreDefaults();
        break;
    default:
        break;
    }
}

void CWebcamSettingsPaneDlg::OnSliderMoved(int item) {
    auto* slider = GetDlgItemAs<CTransparentSliderCtrl>(item);
    if (slider == nullptr || camera_ == nullptr)
        return;
    const int32_t position = slider->GetPos();
    if (item == kZoomSlider) {
        if (zoomReadable_)
            camera_->SetZoom(zoom_.ValueAt(position));
        return;
    }
    if (item == kFocusSlider) {
        if (focusReadable_)
            camera_->SetWebcamValueG(focus_.ValueAt(position));
        return;
    }
    for (const Level& level : Levels()) {
        if (level.slider == item)
            (camera_->*level.set)(position);
    }
}

void CWebcamSettingsPaneDlg::ChooseFaceTracking(int32_t mode) {
    if (camera_ == nullptr || mode < 0 || mode > 2)
        return;
    bool& choosing = choosingFace_[static_cast<size_t>(mode)];
    if (choosing)
        return;
    choosing = true;
    const int32_t previous = shownFaceMode_;
    ShowFaceTrackingLook(mode);
    const HRESULT hr = camera_->SetTriStateMode(mode);
    if (FAILED(hr) && mode != 0)
        ShowFaceTrackingLook(previous);
    if (mode == 0 && zoomReadable_) {
        // Without tracking the picture goes back to the whole view.
        SetPos(kZoomSlider, zoom_.PositionOf(zoom_.Minimum()));
        camera_->SetZoom(zoom_.Minimum());
    }
    choosing = false;
}

void CWebcamSettingsPaneDlg::ChooseFocusMode(bool automatic) {
    if (camera_ == nullptr)
        return;
    ShowFocusLook(automatic);
    camera_->SetAutoFocus(automatic);
    if (automatic) {
        Enable({kFocusSlider}, false);
        return;
    }
    // Manual focus starts from the camera's lowest focus value (only known when its range could be read).
    if (focusReadable_) {
        camera_->SetWebcamValueG(focus_.Minimum());
        if (effects_ != nullptr)
            effects_->EffectsCall7(EFFECTS_OPTION_MANUAL_FOCUS, focus_.Minimum());
    }
    std::string holder;
    Enable({kFocusSlider}, focusReadable_ && SUCCEEDED(camera_->GetServiceText66(holder)));
}

void CWebcamSettingsPaneDlg::RestoreDefaults() {
    if (camera_ == nullptr)
        return;
    const CWebcamDefaults::Result result = CWebcamDefaults::Restore(*camera_);
    if (result.autoWhiteBalance)
        EnableLevelD(*result.autoWhiteBalance);
    Refresh();
}

// ---- following the camera
// -----------------------------------------------------------------------------------

void CWebcamSettingsPaneDlg::OnWebcamLevelAChanged(uint32_t, int32_t value) {
    SetPos(kLevelASlider, value);
}

void CWebcamSettingsPaneDlg::OnWebcamLevelBChanged(uint32_t, int32_t value) {
    SetPos(kLevelBSlider, value);
}

void CWebcamSettingsPaneDlg::OnWebcamLevelCChanged(uint32_t, int32_t value) {
    SetPos(kLevelCSlider, value);
}

void CWebcamSettingsPaneDlg::OnWebcamLevelDChanged(uint32_t, int32_t value) {
    SetPos(kLevelDSlider, value);
}

void CWebcamSettingsPaneDlg::OnWebcamSwitchEChanged(uint32_t, bool on) {
    SetChecked(kAutoWhiteBalance, on);
    EnableLevelD(on);
}

void CWebcamSettingsPaneDlg::OnZoomChanged(uint32_t, int32_t value) {
    if (zoomReadable_)
        SetPos(kZoomSlider, zoom_.PositionOf(value));
}

void CWebcamSettingsPaneDlg::OnTriStateModeChanged(uint32_t, int32_t mode) {
    ShowFaceTrackingLook(mode);
    // Other programs of the user wait on these to learn the new mode.
    CVidoraNamedEvents::Signal(CVidoraNamedEvents::FaceTracking);
    if (mode >= 0 && mode <= 2)
        CVidoraNamedEvents::Signal(CVidoraNamedEvents::FaceTrackingOff + mode);
}

void CWebcamSettingsPaneDlg::OnAutoFocusChanged(uint32_t, int32_t value) {
    ShowFocusLook(value != 0);
    Enable({kFocusSlider}, focusReadable_ && value == 0);
}

void CWebcamSettingsPaneDlg::OnWebcamValueGChanged(uint32_t, int32_t value) {
    if (focusReadable_)
        SetPos(kFocusSlider, focus_.PositionOf(value));
}

void CWebcamSettingsPaneDlg::OnLowLightBoostChanged(uint32_t, int32_t value) {
    SetChecked(kLowLightBoost, value == 1);
}

void CWebcamSettingsPaneDlg::OnColorBoostChanged(uint32_t, int32_t value) {
    SetChecked(kColorBoost, value == 1);
}

void CWebcamSettingsPaneDlg::OnVideoDeviceEvent15(const std::string& deviceId, uint32_t) {
    if (IsSelectedCamera(deviceId))
        ReevaluateManualFocus();
}

void CWebcamSettingsPaneDlg::OnVideoDeviceEvent16(const std::string& deviceId, uint32_t) {
    if (IsSelectedCamera(deviceId))
        ReevaluateManualFocus();
}

void CWebcamSettingsPaneDlg::OnSharedStateChanged(uint32_t, int32_t) {
    Refresh();
}

void CWebcamSettingsPaneDlg::OnEffectsModeChange(uint32_t, int32_t, int32_t) {
    // From the effects engine's delivery; the refresh runs on this window's thread.
    PostMessage(kRefreshMessage);
}

void CWebcamSettingsPaneDlg::ReevaluateManualFocus() {
    bool manualMode = false;
    if (camera_ == nullptr || FAILED(camera_->IsFeatureSupported("AFManualMode", &manualMode)) || !manualMode)
        return;
    bool autoOn = true;
    camera_->GetAutoFocus(&autoOn);
    Enable({kFocusSlider}, focusReadable_ && !autoOn);
}

// ---- helpers
// ------------------------------------------------------------------------------------------------

bool CWebcamSettingsPaneDlg::IsSelectedCamera(const std::string& deviceId) const {
    int index = -1;
    VideoDeviceInfo device;
    bool same = false;
    return camera_ != nullptr && SUCCEEDED(camera_->GetSelectedVideoDeviceIndex(&index)) && index >= 0 &&
           SUCCEEDED(camera_->GetVideoDevice(index, &device)) &&
           SUCCEEDED(camera_->IsSameDevice(deviceId, device.id, &same)) && same;
}

bool CWebcamSettingsPaneDlg::CameraInUseIsSelected() const {
    std::string inUse;
    return camera_ != nullptr && SUCCEEDED(camera_->GetServiceText66(inUse)) && IsSelectedCamera(inUse);
}

bool CWebcamSettingsPaneDlg::EffectsRunning() const {
    int32_t mode = 0;
    return effects_ != nullptr && SUCCEEDED(effects_->EffectsCall13(&mode)) && (mode == 1 || mode == 2);
}

void CWebcamSettingsPaneDlg::ShowFaceTrackingLook(int32_t mode) {
    shownFaceMode_ = mode;
    SetChecked(kFaceOff, mode == 0);
    SetChecked(kFaceSingle, mode == 1);
    SetChecked(kFaceMulti, mode == 2);
}

void CWebcamSettingsPaneDlg::ShowFocusLook(bool automatic) {
    SetChecked(kFocusAuto, automatic);
    SetChecked(kFocusManual, !automatic);
}

void CWebcamSettingsPaneDlg::EnableLevelD(bool autoOn) {
    Enable({kLevelDSlider, kLevelDCaption}, !autoOn);
}
