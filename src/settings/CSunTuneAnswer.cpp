#include "settings/CSunTuneAnswer.h"

#include "platform/SettingsPrimitives.h"
#include "services/IGraniteDeviceManager.h"
#include "settings/CSunTuneRules.h"

#include <utility>

CSunTuneAnswer::CSunTuneAnswer(IGraniteDeviceManager* devices, std::string deviceId, std::string cameraKey)
    : devices_(devices), deviceId_(std::move(deviceId)), cameraKey_(std::move(cameraKey)) {}

void CSunTuneAnswer::Accept(int32_t answer, int32_t recommendedMode) const {
    if (devices_ == nullptr)
        return;
    if (answer != kAlways && answer != kThisStream)
        answer = kNo;
    WriteNumber("STOption", static_cast<uint32_t>(answer));
    devices_->SetVideoDeviceValue(deviceId_, CSunTuneRules::kNoNotification, 1);
    const int32_t mode = answer == kNo ? CSunTuneRules::kModeOff : recommendedMode;
    const int32_t old = SetMode(mode);
    devices_->FireSeverityChanged(deviceId_, mode, old);
    SaveMode(mode);
}

void CSunTuneAnswer::Dismiss() const {
    if (devices_ == nullptr)
        return;
    devices_->SetVideoDeviceValue(deviceId_, CSunTuneRules::kNoNotification, 1);
    const int32_t old = SetMode(CSunTuneRules::kModeOff);
    devices_->FireSeverityChanged(deviceId_, CSunTuneRules::kModeOff, old);
    SaveMode(CSunTuneRules::kModeOff);
    devices_->SetVideoDeviceValue(deviceId_, CSunTuneRules::kReturnToDefault, 1);
}

int32_t CSunTuneAnswer::SetMode(int32_t mode) const {
    int32_t old = 0;
    if (FAILED(devices_->GetSunTuneModeOf(deviceId_, &old)))
        old = 0;
    devices_->SetSunTuneModeOf(deviceId_, mode);
    return old;
}

void CSunTuneAnswer::SaveMode(int32_t mode) const {
    if (cameraKey_.empty())
        return;
    // As every saved mode: the one it replaces is kept as the previous mode.
    uint32_t stored = static_cast<uint32_t>(CSunTuneRules::kModeDefault);
    Settings::ReadNumber(cameraKey_, "STMode", &stored, stored);
    WriteNumber("PreviousSTMode", stored);
    WriteNumber("STMode", static_cast<uint32_t>(mode));
}

void CSunTuneAnswer::WriteNumber(const char* name, uint32_t value) const {
    if (!cameraKey_.empty())
        Settings::WriteNumber(cameraKey_, name, value);
}
