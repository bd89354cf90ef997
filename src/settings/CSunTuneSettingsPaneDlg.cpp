#include "settings/CSunTuneSettingsPaneDlg.h"

#include "app/CVidoraSettings.h"
#include "services/IGraniteDeviceManager.h"
#include "settings/CLevelSliderScale.h"
#include "settings/CSunTuneRules.h"
#include "settings/SettingsPanes.h"
#include "ui/CToolTip.h"
#include "ui/CTransparentSliderCtrl.h"
#include "ui/ControlsNotify.h"

#include <QAbstractButton>

namespace {

constexpr uint32_t kCookie = 0x273;
// The toggle's own text while SunTune is on and while it is off.
constexpr uint32_t kToggleOnText = 1663;
constexpr uint32_t kToggleOffText = 1664;

bool IsOnMode(int32_t mode) {
    return mode > 4;
}

} // namespace

struct CSunTuneSettingsPaneDlg::Level {
    int slider;
    int caption;
    HRESULT (IGraniteDeviceManager::*range)(int32_t*, int32_t*, int32_t*);
    HRESULT (IGraniteDeviceManager::*set)(int32_t);
    HRESULT (IGraniteDeviceManager::*companion)(int32_t*);
};

const std::array<CSunTuneSettingsPaneDlg::Level, 4>& CSunTuneSettingsPaneDlg::Levels() {
    using DM = IGraniteDeviceManager;
    static const std::array<Level, 4> levels{{
        {kLevelASlider, kLevelACaption, &DM::GetSunTuneLevelARange, &DM::SetSunTuneLevelA,
         &DM::GetSunTuneLevelACompanion},
        {kLevelBSlider, kLevelBCaption, &DM::GetSunTuneLevelBRange, &DM::SetSunTuneLevelB,
         &DM::GetSunTuneLevelBCompanion},
        {kLevelCSlider, kLevelCCaption, &DM::GetSunTuneLevelCRange, &DM::SetSunTuneLevelC,
         &DM::GetSunTuneLevelCCompanion},
        {kLevelDSlider, kLevelDCaption, &DM::GetSunTuneLevelDRange, &DM::SetSunTuneLevelD,
         &DM::GetSunTuneLevelDCompanion},
    }};
    return levels;
}

CSunTuneSettingsPaneDlg::CSunTuneSettingsPaneDlg(QWidget* parent) : CSettingsPaneDlg(kTemplateId, parent) {
    camera_ = GetGraniteDeviceManager();
}

CSunTuneSettingsPaneDlg::~CSunTuneSettingsPaneDlg() {
    if (IsWindow())
        DestroyWindow();
    if (camera_ != nullptr)
        camera_->Release();
}

CSunTuneSettingsPaneDlg* CSunTuneSettingsPaneDlg::Current() {
    return SettingsPanes::SunTune().Get();
}

bool CSunTuneSettingsPaneDlg::OnInitDialog() {
    if (camera_ != nullptr)
        listening_ = SUCCEEDED(camera_->AddListener(this, kCookie));
    Refresh();
    return true;
}

void CSunTuneSettingsPaneDlg::OnDestroy() {
    if (camera_ != nullptr && listening_)
        camera_->RemoveListener(this);
    listening_ = false;
}

// ---- reading the camera
// -------------------------------------------------------------------------------------

void CSunTuneSettingsPaneDlg::Refresh() {
    if (!IsWindow())
        return;
    int32_t mode = 0;
    const bool available = camera_ != nullptr && SUCCEEDED(camera_->GetSunTuneMode(&mode));
    const bool on = available && IsOnMode(mode);
    ShowToggle(on, available);
    // The levels are the user's only while SunTune is off; while it is on they show what the camera has.
    for (const Level& level : Levels()) {
        int32_t minimum = 0, maximum = 0, value = 0;
        const bool readable =
            available && SUCCEEDED((camera_->*level.range)(&minimum, &maximum, &value)) && minimum <= maximum;
        if (readable) {
            if (auto* slider = GetDlgItemAs<CTransparentSliderCtrl>(level.slider)) {
                slider->SetRange(minimum, maximum);
                slider->SetLineSize(CLevelSliderScale::LineStep(minimum, maximum));
                slider->SetPos(value);
            }
        }
        Enable({level.slider, level.caption}, readable && !on);
    }
    if (available && mode == CSunTuneRules::kModeDefault)
        MoveSlidersToZero();
    Enable({kRestoreDefaults}, available);
}

void CSunTuneSettingsPaneDlg::ShowToggle(bool on, bool available) {
    auto* toggle = GetDlgItemAs<QAbstractButton>(kToggle);
    if (toggle == nullptr)
        return;
    toggle->setCheckable(true);
    toggle->setChecked(on);
    toggle->setEnabled(available);
    SetWidgetText(toggle, LoadString(on ? kToggleOnText : kToggleOffText));
    CToolTip::For(toggle)->SetTextId(on ? kTipOn : kTipOff);
}

void CSunTuneSettingsPaneDlg::MoveSlidersToZero() {
    for (const Level& level : Levels()) {
        if (auto* slider = GetDlgItemAs<CTransparentSliderCtrl>(level.slider))
            slider->SetPos(0);
    }
}

// ---- the user's changes
// -------------------------------------------------------------------------------------

LRESULT CSunTuneSettingsPaneDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == kToggle) {
            auto* toggle = GetDlgItemAs<QAbstractButton>(kToggle);
            // The click has flipped the toggle already.
            if (toggle != nullptr && toggle->isChecked())
                SwitchOn();
            else
                SwitchOff();
        } else if (LOWORD(wParam) == kRestoreDefaults) {
            RestoreDefaults();
        }
        return 0;
    case WM_HSCROLL:
        if (LOWORD(wParam) != ControlsNotify::SB_ENDSCROLL && camera_ != nullptr) {
            auto* control = reinterpret_cast<QWidget*>(lParam);
            const int item = control != nullptr ? GetDlgCtrlID(control) : 0;
            for (const Level& level : Levels()) {
                auto* slider = GetDlgItemAs<CTransparentSliderCtrl>(level.slider);
                if (level.slider == item && slider != nullptr)
                    (camera_->*level.set)(slider->GetPos());
            }
        }
        return 0;
    default:
        return CDialogBase::OnMessage(message, wParam, lParam);
    }
}

void CSunTuneSettingsPaneDlg::SwitchOn() {
    VideoDeviceInfo camera;
    if (camera_ == nullptr || !CurrentCamera(camera)) {
        Refresh();
        return;
    }
    const int32_t mode = CSunTuneRules::ModeForSwitchingOn(camera.name);
    if (SUCCEEDED(camera_->SetSunTuneMode(mode)))
        SaveMode(mode);
    StopReturningToDefault();
    Refresh();
}

void CSunTuneSettingsPaneDlg::SwitchOff() {
    if (camera_ == nullptr) {
        Refresh();
        return;
    }
    camera_->SetSunTuneMode(CSunTuneRules::kModeOff);
    // What the camera took is what is kept.
    int32_t mode = 0;
    if (SUCCEEDED(camera_->GetSunTuneMode(&mode)))
        SaveMode(mode);
    StopReturningToDefault();
    Refresh();
}

void CSunTuneSettingsPaneDlg::RestoreDefaults() {
    if (camera_ == nullptr)
        return;
    int32_t mode = 0;
    const bool modeKnown = SUCCEEDED(camera_->GetSunTuneModeCompanion(&mode));
    if (modeKnown)
        camera_->SetSunTuneMode(mode);
    for (const Level& level : Levels()) {
        int32_t value = 0;
        if (SUCCEEDED((camera_->*level.companion)(&value)))
            (camera_->*level.set)(value);
    }
    if (modeKnown)
        SaveMode(mode);
    Refresh();
}

// ---- following the camera
// -----------------------------------------------------------------------------------

void CSunTuneSettingsPaneDlg::OnSunTuneModeChanged(uint32_t, int32_t mode) {
    if (mode != CSunTuneRules::kModeOff && mode != CSunTuneRules::kModeDefault && mode != 9 &&
        mode != CSunTuneRules::kModeAuto)
        return;
    // The announcement may come after later changes: the camera's own reading decides
    // the toggle and whether the sliders rest at 0.
    Refresh();
}

void CSunTuneSettingsPaneDlg::OnSunTuneLevelAChanged(uint32_t, int32_t value) {
    FollowLevel(kLevelASlider, value);
}

void CSunTuneSettingsPaneDlg::OnSunTuneLevelBChanged(uint32_t, int32_t value) {
    FollowLevel(kLevelBSlider, value);
}

void CSunTuneSettingsPaneDlg::OnSunTuneLevelCChanged(uint32_t, int32_t value) {
    FollowLevel(kLevelCSlider, value);
}

void CSunTuneSettingsPaneDlg::OnSunTuneLevelDChanged(uint32_t, int32_t value) {
    FollowLevel(kLevelDSlider, value);
}

void CSunTuneSettingsPaneDlg::FollowLevel(int item, int32_t value) {
    // In the default mode the sliders rest at 0 whatever the camera reports.
    int32_t mode = 0;
    if (camera_ != nullptr && SUCCEEDED(camera_->GetSunTuneMode(&mode)) &&
        mode == CSunTuneRules::kModeDefault)
        return;
    if (auto* slider = GetDlgItemAs<CTransparentSliderCtrl>(item))
        slider->SetPos(value);
}

// ---- helpers
// ------------------------------------------------------------------------------------------------

bool CSunTuneSettingsPaneDlg::CurrentCamera(VideoDeviceInfo& camera) const {
    int index = -1;
    return camera_ != nullptr && SUCCEEDED(camera_->GetSelectedVideoDeviceIndex(&index)) && index >= 0 &&
           SUCCEEDED(camera_->GetVideoDevice(index, &camera));
}

void CSunTuneSettingsPaneDlg::SaveMode(int32_t mode) {
    VideoDeviceInfo camera;
    if (CurrentCamera(camera))
        CVidoraSettings::SetSTMode(camera.name, static_cast<uint32_t>(mode));
}

void CSunTuneSettingsPaneDlg::StopReturningToDefault() {
    // The user's own choice outlasts the stream.
    VideoDeviceInfo camera;
    if (CurrentCamera(camera))
        camera_->SetVideoDeviceValue(camera.id, CSunTuneRules::kReturnToDefault, 0);
}
