#include "settings/CAdvancedSettingsPaneDlg.h"

#include "app/CVidoraSettings.h"
#include "config/COEMInfo.h"
#include "platform/CVidoraNamedEvents.h"
#include "platform/TextUtil.h"
#include "services/IBrenmoorVideoEffects.h"
#include "services/IGraniteDeviceManager.h"
#include "settings/CAdvancedDefaults.h"
#include "settings/CExposureTables.h"
#include "settings/CFeatureBands.h"
#include "settings/CLevelSliderScale.h"
#include "settings/SettingsPanes.h"
#include "ui/CHoverComboBox.h"
#include "ui/CTransparentSliderCtrl.h"
#include "ui/ControlsNotify.h"

#include <QAbstractButton>

namespace {

constexpr uint32_t kCookie = 0x274;
// The only entry of the camera list when there is no camera.
constexpr uint32_t kNoCameraText = 294;
// Tooltips of the automatic exposure switch.
constexpr uint32_t kSwitchOffTip = 335;
constexpr uint32_t kSwitchOnTip = 336;

// The rows that are shown only when a camera offered their feature (the template's rows).
constexpr int kBacklightTop = 212, kBacklightBottom = 242;
constexpr int kLedTop = 242, kLedBottom = 272;

// The light's modes, by button.
constexpr int32_t kLedModeOff = 0;
constexpr int32_t kLedModeOn = 1;
constexpr int32_t kLedModeBlink = 4;

} // namespace

CAdvancedSettingsPaneDlg::CAdvancedSettingsPaneDlg(QWidget* parent) : CSettingsPaneDlg(kTemplateId, parent) {
    camera_ = GetGraniteDeviceManager();
    effects_ = GetBrenmoorVideoEffects();
}

CAdvancedSettingsPaneDlg::~CAdvancedSettingsPaneDlg() {
    if (IsWindow())
        DestroyWindow();
    if (effects_ != nullptr)
        effects_->Release();
    if (camera_ != nullptr)
        camera_->Release();
}

CAdvancedSettingsPaneDlg* CAdvancedSettingsPaneDlg::Current() {
    return SettingsPanes::Advanced().Get();
}

bool CAdvancedSettingsPaneDlg::OnInitDialog() {
    if (camera_ != nullptr)
        listening_ = SUCCEEDED(camera_->AddListener(this, kCookie));
    FillCameraList();
    Refresh();
    LayOutByFeatures();
    if (effects_ != nullptr)
        effectsListening_ = SUCCEEDED(effects_->AddListener(this, kCookie));
    refreshTimer_ = SetTimer(kRefreshTimer, kRefreshIntervalMs);
    return true;
}

void CAdvancedSettingsPaneDlg::OnDestroy() {
    if (refreshTimer_ != 0)
        KillTimer(kRefreshTimer);
    refreshTimer_ = 0;
    if (effects_ != nullptr && effectsListening_)
        effects_->RemoveListener(this);
    effectsListening_ = false;
    if (camera_ != nullptr && listening_)
        camera_->RemoveListener(this);
    listening_ = false;
}

void CAdvancedSettingsPaneDlg::LayOutByFeatures() {
    COEMInfo* oem = GetOEMInfo();
    const bool ledAllowed = oem != nullptr && oem->IsFeatureEnabled("LEDControl", false);
    const CFeatureBands layout({
        {kBacklightTop, kBacklightBottom, CVidoraSettings::IsFeatureSeen("Backlight")},
        {kLedTop, kLedBottom, ledAllowed && CVidoraSettings::IsFeatureSeen("LEDControl")},
    });
    LayOut(layout);
}

// ---- the camera list
// ----------------------------------------------------------------------------------------

void CAdvancedSettingsPaneDlg::FillCameraList() {
    auto* list = GetDlgItemAs<CHoverComboBox>(kCameraList);
    if (list == nullptr)
        return;
    list->clear();
    const int count = camera_ != nullptr ? camera_->GetVideoDeviceCount() : 0;
    for (int i = 0; i < count; ++i) {
        VideoDeviceInfo device;
        if (SUCCEEDED(camera_->GetVideoDevice(i, &device)))
            list->addItem(QString::fromStdString(device.name), QString::fromStdString(device.id));
    }
    if (list->count() == 0) {
        list->addItem(QString::fromStdString(LoadString(kNoCameraText)));
        list->setEnabled(false);
        return;
    }
    list->setEnabled(true);
    ShowSelectedCamera();
}

void CAdvancedSettingsPaneDlg::ShowSelectedCamera() {
    auto* list = GetDlgItemAs<CHoverComboBox>(kCameraList);
    if (list == nullptr || camera_ == nullptr || !list->isEnabled())
        return;
    // The camera the effects draw on; when the engine names none, or one that is not plugged in, the
    // program's current camera.
    std::string selected;
    int index = -1;
    VideoDeviceInfo device;
    if (SUCCEEDED(camera_->GetSelectedVideoDeviceIndex(&index)) && index >= 0 &&
        SUCCEEDED(camera_->GetVideoDevice(index, &device)))
        selected = device.id;
    for (const std::string& shown : {CameraInUse(), selected}) {
        if (shown.empty())
            continue;
        for (int i = 0; i < list->count(); ++i) {
            bool same = false;
            if (SUCCEEDED(camera_->IsSameDevice(shown, list->itemData(i).toString().toStdString(), &same)) &&
                same) {
                list->setCurrentIndex(i);
                return;
            }
        }
    }
}

void CAdvancedSettingsPaneDlg::OnCameraChosen() {
    auto* list = GetDlgItemAs<CHoverComboBox>(kCameraList);
    if (list == nullptr || camera_ == nullptr || list->currentIndex() < 0)
        return;
    const std::string id = list->currentData().toString().toStdString();
    if (id.empty())
        return;
    if (SUCCEEDED(camera_->SelectVideoDeviceById(id))) {
        // The settings follow the camera the effects draw on: it has to be the chosen one from now on, or
        // the next refresh would go back to the previous camera.
        if (effects_ != nullptr)
            effects_->EffectsCall10(id);
        camera_->NotifyCameraSwitched();
    }
    Refresh();
}

std::string CAdvancedSettingsPaneDlg::CameraInUse() const {
    std::string id;
    if (effects_ == nullptr || FAILED(effects_->EffectsCall8(&id)))
        return {};
    return id;
}

bool CAdvancedSettingsPaneDlg::DescribeCameraInUse(VideoDeviceInfo& info) const {
    if (camera_ == nullptr)
        return false;
    const std::string inUse = CameraInUse();
    if (!inUse.empty() && SUCCEEDED(camera_->FindVideoDevice(inUse, &info)))
        return true;
    int index = -1;
    return SUCCEEDED(camera_->GetSelectedVideoDeviceIndex(&index)) && index >= 0 &&
           SUCCEEDED(camera_->GetVideoDevice(index, &info));
}

// ---- reading the camera
// -------------------------------------------------------------------------------------

void CAdvancedSettingsPaneDlg::Refresh() {
    if (!IsWindow())
        return;
    const std::string inUse = CameraInUse();
    if (camera_ != nullptr && !inUse.empty())
        camera_->SelectVideoDeviceById(inUse);
    ShowSelectedCamera();

    int32_t autoOn = 0;
    const bool autoReadable = camera_ != nullptr && SUCCEEDED(camera_->GetAdvancedSwitchA(&autoOn));
    Enable({kAutoExposure}, autoReadable);
    ShowAutoExposure(autoReadable && autoOn != 0);
    RefreshExposureAndGain();
    RefreshSwitches();
    RefreshBacklight();
    RefreshLed();
}

void CAdvancedSettingsPaneDlg::RefreshExposureAndGain() {
    int32_t minimum = 0, maximum = 0, value = 0;
    gainReadable_ =
        camera_ != nullptr && SUCCEEDED(camera_->GetAdvancedLevelBRange(&minimum, &maximum, &value));
    if (gainReadable_) {
        if (auto* slider = GetDlgItemAs<CTransparentSliderCtrl>(kGainSlider)) {
            slider->SetRange(minimum, maximum);
            slider->SetLineSize(CLevelSliderScale::LineStep(minimum, maximum));
            slider->SetPos(value);
        }
    }

    exposureReadable_ =
        camera_ != nullptr && SUCCEEDED(camera_->GetAdvancedLevelARange(&minimum, &maximum, &value));
    if (exposureReadable_) {
        VideoDeviceInfo device;
        const CExposureTables::Steps steps =
            DescribeCameraInUse(device) ? CExposureTables::ForCamera(device.productId, device.revision)
                                        : CExposureTables::Steps{false, CExposureTables::Default()};
        exposure_ = CExposureTables::MappingFor(steps, minimum, maximum, value);
        if (auto* slider = GetDlgItemAs<CTransparentSliderCtrl>(kExposureSlider)) {
            slider->SetRange(exposure_.SliderMin(), exposure_.SliderMax());
            slider->SetLineSize(
                exposure_.GetForm() == CExposureMapping::Form::Table
                    ? 1
                    : CLevelSliderScale::LineStep(exposure_.SliderMin(), exposure_.SliderMax()));
            slider->SetPos(exposure_.PositionOf(value));
        }
    }
    Enable({kGainSlider, kGainCaption}, gainReadable_ && !autoExposure_);
    Enable({kExposureSlider, kExposureCaption}, exposureReadable_ && !autoExposure_);
}

void CAdvancedSettingsPaneDlg::RefreshSwitches() {
    for (auto [item, get] : {std::pair{kMirrorHorizontal, &IGraniteDeviceManager::GetAdvancedSwitchB},
                             std::pair{kMirrorVertical, &IGraniteDeviceManager::GetAdvancedSwitchC}}) {
        int32_t value = 0;
        const bool readable = camera_ != nullptr && SUCCEEDED((camera_->*get)(&value));
        if (readable)
            SetChecked(item, value != 0);
        Enable({item}, readable);
    }
    int32_t flicker = 0;
    const bool readable = camera_ != nullptr && SUCCEEDED(camera_->GetAdvancedSwitchD(&flicker));
    if (readable)
        ShowFlicker(flicker);
    Enable({kFlickerCaption, kFlickerOff, kFlicker50, kFlicker60}, readable);
}

void CAdvancedSettingsPaneDlg::RefreshBacklight() {
    int32_t minimum = 0, maximum = 0, value = 0;
    const bool readable =
        camera_ != nullptr && SUCCEEDED(camera_->GetBacklightRange(&minimum, &maximum, &value));
    if (readable) {
        if (auto* slider = GetDlgItemAs<CTransparentSliderCtrl>(kBacklightSlider)) {
            slider->SetRange(minimum, maximum);
            slider->SetLineSize(CLevelSliderScale::LineStep(minimum, maximum));
            slider->SetPos(value);
        }
    }
    Enable({kBacklightSlider, kBacklightCaption}, readable);
}

void CAdvancedSettingsPaneDlg::RefreshLed() {
    int32_t mode = 0, a = 0, b = 0;
    const bool readable = camera_ != nullptr && SUCCEEDED(camera_->GetLed(&mode, &a, &b));
    if (readable)
        ShowLed(mode);
    Enable({kLedCaption, kLedOff, kLedOn, kLedBlink}, readable);
}

// ---- the user's changes
// -------------------------------------------------------------------------------------

LRESULT CAdvancedSettingsPaneDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_HSCROLL:
        if (LOWORD(wParam) != ControlsNotify::SB_ENDSCROLL) {
            if (auto* control = reinterpret_cast<QWidget*>(lParam))
                OnSliderMoved(GetDlgCtrlID(control));
        }
        return 0;
    default:
        return CDialogBase::OnMessage(message, wParam, lParam);
    }
}

void CAdvancedSettingsPaneDlg::OnCommand(int item, uint16_t code) {
    if (item == kCameraList) {
        if (code == ControlsNotify::CBN_SELCHANGE)
            OnCameraChosen();
        return;
    }
    if (camera_ == nullptr)
        return;
    switch (item) {
    case kAutoExposure: {
        const bool on = IsChecked(kAutoExposure);
        if (FAILED(camera_->SetAdvancedSwitchA(on ? 1 : 0))) {
            Refresh();
            break;
        }
        ShowAutoExposure(on);
        // Under automatic control the camera moved exposure and gain on its own: show where they are now.
        RefreshExposureAndGain();
        break;
    }
    case kMirrorHorizontal:
        if (FAILED(camera_->SetAdvancedSwitchB(IsChecked(kMirrorHorizontal) ? 1 : 0)))
            RefreshSwitches();
        break;
    case kMirrorVertical:
        if (FAILED(camera_->SetAdvancedSwitchC(IsChecked(kMirrorVertical) ? 1 : 0)))
            RefreshSwitches();
        break;
    case kFlickerOff:
    case kFlicker50:
    case kFlicker60: {
        const int32_t value = item - kFlickerOff;
        if (SUCCEEDED(camera_->SetAdvancedSwitchD(value)))
            ShowFlicker(value);
        else
            RefreshSwitches();
        break;
    }
    case kLedOff:
        ChooseLedMode(kLedModeOff);
        break;
    case kLedOn:
        ChooseLedMode(kLedModeOn);
        break;
    case kLedBlink:
        ChooseLedMode(kLedModeBlink);
        break;
    case kRestoreDefaults:
        RestoreDefaults();
        break;
    default:
        break;
    }
}

void CAdvancedSettingsPaneDlg::OnSliderMoved(int item) {
    auto* slider = GetDlgItemAs<CTransparentSliderCtrl>(item);
    if (slider == nullptr || camera_ == nullptr)
        return;
    const int32_t position = slider->GetPos();
    switch (item) {
    case kExposureSlider:
        if (exposureReadable_)
            camera_->SetAdvancedLevelA(exposure_.ValueAt(position));
        break;
    case kGainSlider:
        camera_->SetAdvancedLevelB(position);
        break;
    case kBacklightSlider:
        camera_->SetBacklight(position);
        break;
    default:
        break;
    }
}

void CAdvancedSettingsPaneDlg::ChooseLedMode(int32_t mode) {
    // The light's other two settings belong to the camera; they go back as they were.
    int32_t current = 0, a = 0, b = 0;
    if (SUCCEEDED(camera_->GetLed(&current, &a, &b)) && SUCCEEDED(camera_->SetLed(mode, a, b)))
        ShowLed(mode);
    else
        RefreshLed();
}

void CAdvancedSettingsPaneDlg::RestoreDefaults() {
    if (camera_ == nullptr)
        return;
    CAdvancedDefaults::Restore(*camera_);
    Refresh();
}

// ---- the refresh timer
// --------------------------------------------------------------------------------------

void CAdvancedSettingsPaneDlg::OnTimer(UINT_PTR id) {
    if (id == kRefreshTimer)
        PokeCameraThatNeedsIt();
}

void CAdvancedSettingsPaneDlg::PokeCameraThatNeedsIt() {
    if (camera_ == nullptr || effects_ == nullptr)
        return;
    VideoDeviceInfo device;
    const std::string inUse = CameraInUse();
    if (inUse.empty() || FAILED(camera_->FindVideoDevice(inUse, &device)))
        return;
    COEMInfo* oem = GetOEMInfo();
    const std::string name =
        Text::Format("RefreshExposureGain.%04X", static_cast<unsigned>(device.productId) & 0xFFFFu);
    if (oem != nullptr && oem->IsFeatureEnabled(name, false))
        camera_->SetProperty94(kRereadExposureAndGain);
}

// ---- following the camera
// -----------------------------------------------------------------------------------

void CAdvancedSettingsPaneDlg::OnAdvancedSwitchAChanged(uint32_t, int32_t value) {
    ShowAutoExposure(value != 0);
    RefreshExposureAndGain();
}

void CAdvancedSettingsPaneDlg::OnAdvancedLevelAChanged(uint32_t, int32_t value) {
    if (exposureReadable_)
        SetPos(kExposureSlider, exposure_.PositionOf(value));
}

void CAdvancedSettingsPaneDlg::OnAdvancedLevelBChanged(uint32_t, int32_t value) {
    SetPos(kGainSlider, value);
}

void CAdvancedSettingsPaneDlg::OnAdvancedSwitchBChanged(uint32_t, int32_t value) {
    SetChecked(kMirrorHorizontal, value != 0);
    // Other programs of the user wait on these to learn the new mirroring.
    CVidoraNamedEvents::Signal(value != 0 ? CVidoraNamedEvents::MirrorHorzOn
                                          : CVidoraNamedEvents::MirrorHorzOff);
}

void CAdvancedSettingsPaneDlg::OnAdvancedSwitchCChanged(uint32_t, int32_t value) {
    SetChecked(kMirrorVertical, value != 0);
    CVidoraNamedEvents::Signal(value != 0 ? CVidoraNamedEvents::MirrorVertOn
                                          : CVidoraNamedEvents::MirrorVertOff);
}

void CAdvancedSettingsPaneDlg::OnAdvancedSwitchDChanged(uint32_t, int32_t value) {
    ShowFlicker(value);
}

void CAdvancedSettingsPaneDlg::OnBacklightChanged(uint32_t, int32_t value) {
    SetPos(kBacklightSlider, value);
}

void CAdvancedSettingsPaneDlg::OnDeviceArrived(int32_t type, const std::string&) {
    if (type != kDeviceTypeVideo)
        return;
    FillCameraList();
    Refresh();
}

void CAdvancedSettingsPaneDlg::OnDeviceRemoved(int32_t type, const std::string&, const std::string&) {
    if (type != kDeviceTypeVideo)
        return;
    FillCameraList();
    Refresh();
}

// ---- helpers
// ------------------------------------------------------------------------------------------------

void CAdvancedSettingsPaneDlg::ShowAutoExposure(bool on) {
    autoExposure_ = on;
    SetChecked(kAutoExposure, on);
    if (QWidget* toggle = GetDlgItem(kAutoExposure))
        toggle->setToolTip(QString::fromStdString(LoadString(on ? kSwitchOnTip : kSwitchOffTip)));
    Enable({kGainSlider, kGainCaption}, gainReadable_ && !on);
    Enable({kExposureSlider, kExposureCaption}, exposureReadable_ && !on);
}

void CAdvancedSettingsPaneDlg::ShowFlicker(int32_t value) {
    SetChecked(kFlickerOff, value == 0);
    SetChecked(kFlicker50, value == 1);
    SetChecked(kFlicker60, value == 2);
}

void CAdvancedSettingsPaneDlg::ShowLed(int32_t mode) {
    SetChecked(kLedOff, mode == kLedModeOff);
    SetChecked(kLedOn, mode == kLedModeOn);
    SetChecked(kLedBlink, mode == kLedModeBlink);
}
