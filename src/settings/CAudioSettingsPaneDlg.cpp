#include "settings/CAudioSettingsPaneDlg.h"

#include "app/CVidoraSettings.h"
#include "app/ExternalPrograms.h"
#include "services/IGraniteCommunicationsManager.h"
#include "services/IGraniteDeviceManager.h"
#include "settings/CFeatureBands.h"
#include "settings/CLevelSliderScale.h"
#include "settings/SettingsPanes.h"
#include "ui/CHoverComboBox.h"
#include "ui/CToolTip.h"
#include "ui/CTransparentProgressCtrl.h"
#include "ui/CTransparentSliderCtrl.h"
#include "ui/ControlsNotify.h"

#include <QAbstractButton>

namespace {

constexpr uint32_t kCookie = 0x255;
constexpr uint32_t kNoMicrophoneText = 247;
constexpr uint32_t kNoSpeakerText = 248;
constexpr uint32_t kWizardTip = 334;
constexpr uint32_t kSwitchOffTip = 335;
constexpr uint32_t kSwitchOnTip = 336;
constexpr uint32_t kSoundSettingsHint = 1708;
constexpr uint32_t kSoundSettingsCaption = 1709;
constexpr uint32_t kSoundSettingsTip = 1710;

// The template's rows of the two functions; each is hidden when no microphone ever offered it and the rows
// below move up.
struct FeatureBand {
    const char* feature;
    int top;
    int bottom;
};
constexpr FeatureBand kFeatureBands[] = {{"AEC", 92, 120}, {"NoiseSuppression", 120, 148}};

using Kind = CAudioDeviceList::Kind;

} // namespace

CAudioSettingsPaneDlg::CAudioSettingsPaneDlg(QWidget* parent) : CSettingsPaneDlg(kTemplateId, parent) {
    echo_ = {kEchoCancellation, false, &IGraniteDeviceManager::GetEchoCancellation,
             &IGraniteDeviceManager::SetEchoCancellation};
    noise_ = {kNoiseSuppression, false, &IGraniteDeviceManager::GetNoiseSuppression,
              &IGraniteDeviceManager::SetNoiseSuppression};
    devices_ = GetGraniteDeviceManager();
    comms_ = GetGraniteCommunicationsManager();
}

CAudioSettingsPaneDlg::~CAudioSettingsPaneDlg() {
    if (IsWindow())
        DestroyWindow();
    Release();
}

CAudioSettingsPaneDlg* CAudioSettingsPaneDlg::Current() {
    return SettingsPanes::Audio().Get();
}

bool CAudioSettingsPaneDlg::OnInitDialog() {
    if (devices_ != nullptr) {
        listeningToDevices_ = SUCCEEDED(devices_->AddListener(this, kCookie));
        devices_->RefreshMicrophones();
        devices_->RefreshSpeakers();
    }
    if (comms_ != nullptr)
        listeningToComms_ = SUCCEEDED(comms_->AddListener(this, kCookie));
    // Without the wizard the button opens the desktop's own sound settings and says so; without either it
    // could do nothing and is greyed out.
    const bool canTune = !AudioTuningCommand().empty();
    const bool desktopSettings = canTune && !AudioWizardInstalled();
    if (desktopSettings) {
        SetDlgItemText(kWizard, LoadString(kSoundSettingsCaption));
        SetDlgItemText(kWizardHint, LoadString(kSoundSettingsHint));
    }
    if (QWidget* wizard = GetDlgItem(kWizard))
        CToolTip::For(wizard)->SetTextId(desktopSettings ? kSoundSettingsTip : kWizardTip);
    Enable({kWizard}, canTune);
    RefreshMicrophone();
    // The program always works with a microphone when there is one.
    auto* microphones = GetDlgItemAs<CHoverComboBox>(kMicrophoneCombo);
    if (microphones != nullptr && microphones->isEnabled() && microphones->count() > 0 &&
        microphones->currentIndex() < 0)
        SelectDevice(Kind::Microphones, 0);
    LayOutByFeatures();
    SetTimer(kPollTimer, kPollIntervalMs);
    return true;
}

void CAudioSettingsPaneDlg::OnDestroy() {
    KillTimer(kPollTimer);
    StopMonitor();
    Release();
}

void CAudioSettingsPaneDlg::Release() {
    if (comms_ != nullptr) {
        if (listeningToComms_)
            comms_->RemoveListener(this);
        comms_->Release();
    }
    if (devices_ != nullptr) {
        if (listeningToDevices_)
            devices_->RemoveListener(this);
        devices_->Release();
    }
    comms_ = nullptr;
    devices_ = nullptr;
    listeningToComms_ = listeningToDevices_ = false;
}

// ---- reading the devices
// ------------------------------------------------------------------------------------

void CAudioSettingsPaneDlg::RefreshMicrophone() {
    if (!IsWindow())
        return;
    StopMonitor();
    auto* slider = GetDlgItemAs<CTransparentSliderCtrl>(kVolumeSlider);
    auto* meter = GetDlgItemAs<CTransparentProgressCtrl>(kLevelMeter);
    int32_t minimum = 0, maximum = 0, volume = 0;
    bool usable = devices_ != nullptr && devices_->GetMicrophoneCount() > 0;
    if (usable) {
        monitoring_ = SUCCEEDED(devices_->StartMicrophoneMonitor());
        usable = monitoring_ && SUCCEEDED(devices_->GetMicrophoneVolumeRange(&minimum, &maximum, &volume));
    }
    if (usable) {
        if (slider != nullptr) {
            slider->SetRange(minimum, maximum);
            slider->SetLineSize(CLevelSliderScale::LineStep(minimum, maximum));
            slider->SetPos(volume);
        }
        int32_t levelMin = 0, levelMax = 0, level = 0;
        if (meter != nullptr && SUCCEEDED(devices_->GetMicrophoneLevelRange(&levelMin, &levelMax, &level))) {
            meter->SetRange(levelMin, levelMax);
            meter->SetPos(level);
        }
    } else if (meter != nullptr) {
        meter->SetPos(meter->GetRangeMin());
    }
    Enable({kVolumeSlider, kVolumeCaption, kLevelMeter, kLevelCaption}, usable);
    RefreshEchoAndNoise();
    FillList(Kind::Microphones);
    FillList(Kind::Speakers);
}

void CAudioSettingsPaneDlg::RefreshEchoAndNoise() {
    std::string microphone;
    const bool current = devices_ != nullptr && SUCCEEDED(devices_->GetSelectedMicrophoneId(microphone));
    bool flag = false;
    echo_.offered = current && SUCCEEDED(devices_->GetMicrophoneFlag11Of(microphone, &flag)) && flag;
    flag = false;
    noise_.offered = current && SUCCEEDED(devices_->GetMicrophoneFlag12Of(microphone, &flag)) && flag;
    for (Function* function : {&echo_, &noise_}) {
        if (function->offered) {
            ReadFunction(*function);
        } else {
            ShowFunction(*function, false);
            Enable({function->item}, false);
        }
    }
}

void CAudioSettingsPaneDlg::FillList(Kind kind) {
    const bool microphones = kind == Kind::Microphones;
    auto* combo = GetDlgItemAs<CHoverComboBox>(microphones ? kMicrophoneCombo : kSpeakerCombo);
    if (combo == nullptr)
        return;
    const CAudioDeviceList list =
        devices_ != nullptr ? CAudioDeviceList::Read(*devices_, kind) : CAudioDeviceList();
    // Filling the box from here announces nothing, so no choice is made by it.
    combo->clear();
    if (list.Empty()) {
        combo->addItem(QString::fromStdString(LoadString(microphones ? kNoMicrophoneText : kNoSpeakerText)));
        combo->setCurrentIndex(0);
        combo->setEnabled(false);
        return;
    }
    for (const CAudioDeviceList::Entry& entry : list.Entries())
        combo->addItem(QString::fromStdString(entry.label), QString::fromStdString(entry.id));
    combo->setCurrentIndex(list.CurrentRow());
    combo->setEnabled(true);
}

// ---- the user's changes
// -------------------------------------------------------------------------------------

LRESULT CAudioSettingsPaneDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_HSCROLL:
        if (LOWORD(wParam) != ControlsNotify::SB_ENDSCROLL && devices_ != nullptr) {
            auto* control = reinterpret_cast<QWidget*>(lParam);
            if (control != nullptr && GetDlgCtrlID(control) == kVolumeSlider)
                devices_->SetMicrophoneVolume(static_cast<CTransparentSliderCtrl*>(control)->GetPos());
        }
        return 0;
    default:
        return CDialogBase::OnMessage(message, wParam, lParam);
    }
}

void CAudioSettingsPaneDlg::OnCommand(int item, int code) {
    switch (item) {
    case kMicrophoneCombo:
    case kSpeakerCombo:
        if (code == ControlsNotify::CBN_SELCHANGE) {
            if (auto* combo = GetDlgItemAs<CHoverComboBox>(item))
                SelectDevice(item == kMicrophoneCombo ? Kind::Microphones : Kind::Speakers,
                             combo->currentIndex());
        }
        break;
    case kEchoCancellation:
        SwitchFunction(echo_);
        break;
    case kNoiseSuppression:
        SwitchFunction(noise_);
        break;
    case kWizard:
        // Looked for again: what the pane found when it opened may have been removed since.
        if (!LaunchAudioTuning())
            Enable({kWizard}, false);
        break;
    default:
        break;
    }
}

void CAudioSettingsPaneDlg::SelectDevice(Kind kind, int row) {
    const bool microphones = kind == Kind::Microphones;
    auto* combo = GetDlgItemAs<CHoverComboBox>(microphones ? kMicrophoneCombo : kSpeakerCombo);
    if (combo == nullptr || devices_ == nullptr || row < 0 || row >= combo->count())
        return;
    const std::string id = combo->itemData(row).toString().toStdString();
    if (id.empty())
        return;
    // The monitor belongs to the microphone that is current now; the next one gets its own.
    if (microphones)
        StopMonitor();
    if (comms_ != nullptr)
        microphones ? comms_->SetCallSetting2(id) : comms_->SetCallSetting3(id);
    const HRESULT selected =
        microphones ? devices_->SelectMicrophoneById(id) : devices_->SelectSpeakerById(id);
    if (FAILED(selected)) {
        // Gone since the list was filled: show what is there now.
        microphones ? devices_->RefreshMicrophones() : devices_->RefreshSpeakers();
    }
    RefreshMicrophone();
}

void CAudioSettingsPaneDlg::SwitchFunction(Function& function) {
    auto* toggle = GetDlgItemAs<QAbstractButton>(function.item);
    if (toggle == nullptr || devices_ == nullptr || !function.offered)
        return;
    const bool on = toggle->isChecked();
    if (FAILED((devices_->*function.set)(on ? 1 : 0))) {
        ReadFunction(function);
        return;
    }
    ShowFunction(function, on);
}

// ---- following the devices
// ----------------------------------------------------------------------------------

void CAudioSettingsPaneDlg::OnTimer(UINT_PTR id) {
    if (id == kPollTimer)
        Poll();
}

void CAudioSettingsPaneDlg::Poll() {
    for (Function* function : {&echo_, &noise_}) {
        if (function->offered)
            ReadFunction(*function);
    }
}

void CAudioSettingsPaneDlg::ReadFunction(Function& function) {
    int32_t on = 0;
    if (devices_ == nullptr || FAILED((devices_->*function.get)(&on))) {
        ShowFunction(function, false);
        Enable({function.item}, false);
        return;
    }
    Enable({function.item}, true);
    ShowFunction(function, on != 0);
}

void CAudioSettingsPaneDlg::ShowFunction(Function& function, bool on) {
    auto* toggle = GetDlgItemAs<QAbstractButton>(function.item);
    if (toggle == nullptr)
        return;
    toggle->setCheckable(true);
    // A click has already flipped the box by the time the switch is written: the tip follows it too.
    if (toggle->isChecked() != on)
        toggle->setChecked(on);
    CToolTip::For(toggle)->SetTextId(on ? kSwitchOnTip : kSwitchOffTip);
}

void CAudioSettingsPaneDlg::OnMicrophoneVolumeChanged(uint32_t, int32_t value) {
    if (auto* slider = GetDlgItemAs<CTransparentSliderCtrl>(kVolumeSlider))
        slider->SetPos(value);
}

void CAudioSettingsPaneDlg::OnMicrophoneLevelChanged(uint32_t, int32_t value) {
    if (auto* meter = GetDlgItemAs<CTransparentProgressCtrl>(kLevelMeter))
        meter->SetPos(value);
}

void CAudioSettingsPaneDlg::OnEchoCancellationChanged(bool on) {
    if (echo_.offered)
        ShowFunction(echo_, on);
}

void CAudioSettingsPaneDlg::OnNoiseSuppressionChanged(bool on) {
    if (noise_.offered)
        ShowFunction(noise_, on);
}

void CAudioSettingsPaneDlg::OnDeviceArrived(int32_t type, const std::string&) {
    if (type == kDeviceTypeMicrophone || type == kDeviceTypeSpeaker)
        RefreshMicrophone();
}

void CAudioSettingsPaneDlg::OnDeviceRemoved(int32_t type, const std::string&, const std::string&) {
    if (type == kDeviceTypeMicrophone || type == kDeviceTypeSpeaker)
        RefreshMicrophone();
}

void CAudioSettingsPaneDlg::OnDeviceSelectionChanged(uint32_t, const std::string&, int32_t kind,
                                                     const std::string& device) {
    if (kind == kDeviceTypeMicrophone)
        FollowCallDevice(Kind::Microphones, device);
    else if (kind == kDeviceTypeSpeaker)
        FollowCallDevice(Kind::Speakers, device);
}

void CAudioSettingsPaneDlg::FollowCallDevice(Kind kind, const std::string& device) {
    if (devices_ == nullptr || !IsWindow())
        return;
    const bool microphones = kind == Kind::Microphones;
    std::string current;
    const bool known = SUCCEEDED(microphones ? devices_->GetSelectedMicrophoneId(current)
                                             : devices_->GetSelectedSpeakerId(current));
    if (!device.empty() && (!known || current != device)) {
        if (microphones)
            StopMonitor();
        // Only a listed device is taken; an unknown id leaves the current one.
        microphones ? devices_->SelectMicrophoneById(device) : devices_->SelectSpeakerById(device);
    }
    RefreshMicrophone();
}

// ---- helpers
// ------------------------------------------------------------------------------------------------

void CAudioSettingsPaneDlg::StopMonitor() {
    if (monitoring_ && devices_ != nullptr)
        devices_->StopMicrophoneMonitor();
    monitoring_ = false;
}

void CAudioSettingsPaneDlg::LayOutByFeatures() {
    std::vector<CFeatureBands::Band> bands;
    for (const FeatureBand& band : kFeatureBands)
        bands.push_back({band.top, band.bottom, CVidoraSettings::IsFeatureSeen(band.feature)});
    const CFeatureBands layout(bands);
    LayOut(layout);
}
