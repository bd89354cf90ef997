#include "capture/CLedBlink.h"

#include "services/IGraniteDeviceManager.h"

CLedBlink::CLedBlink(IGraniteDeviceManager* deviceManager) : deviceManager_(deviceManager) {}

bool CLedBlink::HasLedControl() const {
    bool supported = false;
    return deviceManager_ != nullptr && SUCCEEDED(deviceManager_->IsLedModeSupported(&supported)) &&
           supported;
}

int32_t CLedBlink::WantedRate(int32_t remainingSeconds) {
    return remainingSeconds < kFastBelowSeconds ? kFastRate : kSlowRate;
}

void CLedBlink::Start() {
    if (deviceManager_ == nullptr)
        return;
    Restore();
    LedSetting current;
    if (SUCCEEDED(deviceManager_->GetLed(&current.mode, &current.argument, &current.rate)))
        saved_ = current;
}

void CLedBlink::Update(int32_t remainingSeconds) {
    if (deviceManager_ == nullptr)
        return;
    const int32_t rate = WantedRate(remainingSeconds);
    LedSetting current;
    if (SUCCEEDED(deviceManager_->GetLed(&current.mode, &current.argument, &current.rate)) &&
        current.mode == kBlinkMode && current.rate == rate)
        return;
    deviceManager_->SetLed(kBlinkMode, kBlinkArgument, rate);
}

void CLedBlink::Restore() {
    if (deviceManager_ == nullptr || !saved_)
        return;
    LedSetting setting = *saved_;
    int32_t sunTune = 0;
    if (FAILED(deviceManager_->GetSunTuneMode(&sunTune))) {
        setting.mode = kPlainMode;
        setting.rate = 0;
    } else {
        setting.mode = kSunTuneMode;
    }
    deviceManager_->SetLed(setting.mode, setting.argument, setting.rate);
    saved_.reset();
}
