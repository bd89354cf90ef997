// Microphones, speakers, the global audio options, HID devices and the service's stored strings.
#include "services/CGraniteDeviceManager.h"

#include <vector>

using namespace GdmProperty;

namespace {

// The HID report that switches the device's mode: report id 1, then the command byte, zero-padded.
constexpr size_t kHidReportSize = 33;

std::vector<uint8_t> HidReport(uint8_t command) {
    std::vector<uint8_t> report(kHidReportSize, 0);
    report[0] = 1;
    report[1] = command;
    return report;
}

} // namespace

// --- global audio options
// -----------------------------------------------------------------------------------

HRESULT CGraniteDeviceManager::SetNoiseSuppression(int32_t on) {
    return props_.SetGlobalOption(GDM_OPTION_NOISE_SUPPRESSION, on);
}

HRESULT CGraniteDeviceManager::GetNoiseSuppression(int32_t* on) {
    return props_.GetGlobalOption(GDM_OPTION_NOISE_SUPPRESSION, on);
}

HRESULT CGraniteDeviceManager::SetEchoCancellation(int32_t on) {
    return props_.SetGlobalOption(GDM_OPTION_ECHO_CANCELLATION, on);
}

HRESULT CGraniteDeviceManager::GetEchoCancellation(int32_t* on) {
    return props_.GetGlobalOption(GDM_OPTION_ECHO_CANCELLATION, on);
}

// --- microphones
// --------------------------------------------------------------------------------------------

HRESULT CGraniteDeviceManager::GetMicrophoneFlag11Of(const std::string& deviceId, bool* flag) {
    return props_.GetFlagOf(Kind::Microphone, deviceId, MicrophoneFlag11, flag);
}

HRESULT CGraniteDeviceManager::GetMicrophoneFlag12Of(const std::string& deviceId, bool* flag) {
    return props_.GetFlagOf(Kind::Microphone, deviceId, MicrophoneFlag12, flag);
}

HRESULT CGraniteDeviceManager::GetMicrophoneMuteOf(const std::string& deviceId, bool* muted) {
    if (muted == nullptr)
        return E_FAIL;
    int32_t value = 0;
    const HRESULT hr = props_.GetOf(Kind::Microphone, deviceId, MicrophoneMute, &value);
    if (SUCCEEDED(hr))
        *muted = value != 0;
    return hr;
}

HRESULT CGraniteDeviceManager::HasMicrophoneVolumeOf(const std::string& deviceId, bool* has) {
    if (service_ == nullptr || deviceId.empty() || has == nullptr)
        return E_FAIL;
    Variant value;
    *has = SUCCEEDED(props_.ServiceGet(Kind::Microphone, deviceId, MicrophoneVolume.value, &value));
    return S_OK;
}

HRESULT CGraniteDeviceManager::GetMicrophoneIdAt(int32_t index, std::string& id) {
    if (service_ == nullptr)
        return E_FAIL;
    if (index < 0)
        return E_INVALIDARG;
    std::string read;
    if (FAILED(service_->GetMicrophoneId(index, &read)))
        return E_FAIL;
    id = std::move(read);
    return S_OK;
}

HRESULT CGraniteDeviceManager::GetMicrophoneLevelRange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Microphone, MicrophoneLevel, min, max, value);
}

HRESULT CGraniteDeviceManager::GetMicrophoneLevel(int32_t* value) {
    return props_.GetLong(Kind::Microphone, MicrophoneLevel.value, value);
}

HRESULT CGraniteDeviceManager::SetMicrophoneVolume(int32_t value) {
    return props_.SetLong(Kind::Microphone, MicrophoneVolume.value, value);
}

HRESULT CGraniteDeviceManager::GetMicrophoneVolume(int32_t* value) {
    return props_.GetLong(Kind::Microphone, MicrophoneVolume.value, value);
}

HRESULT CGraniteDeviceManager::GetMicrophoneVolumeRange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Microphone, MicrophoneVolume, min, max, value);
}

HRESULT CGraniteDeviceManager::SetMicrophoneMute(int32_t muted) {
    return props_.SetLong(Kind::Microphone, MicrophoneMute, muted);
}

HRESULT CGraniteDeviceManager::GetMicrophoneMuteByName(const std::string& deviceId, int32_t* muted) {
    return props_.GetOf(Kind::Microphone, deviceId, MicrophoneMute, muted);
}

HRESULT CGraniteDeviceManager::GetMicrophoneMute(int32_t* muted) {
    return props_.GetSwitch(Kind::Microphone, MicrophoneMute, muted);
}

HRESULT CGraniteDeviceManager::Reserved172(int32_t, int32_t, int32_t) {
    return E_FAIL;
}

HRESULT CGraniteDeviceManager::StartMicrophoneMonitor() {
    const std::string* id = props_.CurrentDevice(Kind::Microphone);
    if (id == nullptr)
        return E_FAIL;
    const std::string copy = *id;
    service_->StartMicrophoneLevelMeter(copy);
    return service_->StartMicrophoneMonitor(copy);
}

HRESULT CGraniteDeviceManager::StopMicrophoneMonitor() {
    const std::string* id = props_.CurrentDevice(Kind::Microphone);
    if (id == nullptr)
        return E_FAIL;
    const std::string copy = *id;
    service_->StopMicrophoneLevelMeter(copy);
    return service_->StopMicrophoneMonitor(copy);
}

HRESULT CGraniteDeviceManager::StopMicrophoneMonitorOnly() {
    return props_.CallOnCurrent(Kind::Microphone, &IInProcDeviceManager::StopMicrophoneMonitor);
}

// --- speakers
// -----------------------------------------------------------------------------------------------

HRESULT CGraniteDeviceManager::SetSpeakerVolume(int32_t value) {
    return props_.SetLong(Kind::Speaker, SpeakerVolume, value);
}

HRESULT CGraniteDeviceManager::GetSpeakerVolume(int32_t* value) {
    return props_.GetLong(Kind::Speaker, SpeakerVolume, value);
}

HRESULT CGraniteDeviceManager::Reserved175() {
    return S_OK;
}

HRESULT CGraniteDeviceManager::SetSpeakerMute(int32_t muted) {
    return props_.SetLong(Kind::Speaker, SpeakerMute, muted);
}

HRESULT CGraniteDeviceManager::GetSpeakerMute(int32_t* muted) {
    return props_.GetSwitch(Kind::Speaker, SpeakerMute, muted);
}

HRESULT CGraniteDeviceManager::SpeakerCommand63() {
    return FAILED(props_.CallOnCurrent(Kind::Speaker, &IInProcDeviceManager::SpeakerCommand63)) ? E_FAIL
                                                                                                : S_OK;
}

HRESULT CGraniteDeviceManager::SpeakerCommand64() {
    return FAILED(props_.CallOnCurrent(Kind::Speaker, &IInProcDeviceManager::SpeakerCommand64)) ? E_FAIL
                                                                                                : S_OK;
}

HRESULT CGraniteDeviceManager::PlaySoundFile(const std::string& path) {
    const std::string* id = props_.CurrentDevice(Kind::Speaker);
    if (id == nullptr || path.empty())
        return E_FAIL;
    const std::string copy = *id;
    return FAILED(service_->PlaySoundFile(copy, path)) ? E_FAIL : S_OK;
}

HRESULT CGraniteDeviceManager::StopSoundFile() {
    return props_.CallOnCurrent(Kind::Speaker, &IInProcDeviceManager::StopSoundFile);
}

// --- HID devices
// --------------------------------------------------------------------------------------------

HRESULT CGraniteDeviceManager::DisableHidProperty5(const std::string& hidId) {
    return props_.SetHidValue(hidId, HidSwitch5, Variant::FromBool(false));
}

HRESULT CGraniteDeviceManager::EnableHidProperty5(const std::string& hidId) {
    return props_.SetHidValue(hidId, HidSwitch5, Variant::FromBool(true));
}

HRESULT CGraniteDeviceManager::SetHidProperty4(const std::string& hidId) {
    return props_.SetHidValue(hidId, HidReport4, Variant::FromBytes(HidReport(0x20)));
}

HRESULT CGraniteDeviceManager::SetHidProperty4b(const std::string& hidId) {
    return props_.SetHidValue(hidId, HidReport4, Variant::FromBytes(HidReport(0x25)));
}

bool CGraniteDeviceManager::IsHidProperty5Supported(const std::string& hidId) {
    return service_ != nullptr && !hidId.empty() && props_.IsAvailable(Kind::Hid, hidId, HidSwitch5);
}

bool CGraniteDeviceManager::GetHidProperty5(const std::string& hidId) {
    int32_t value = 0;
    return service_ != nullptr && !hidId.empty() &&
           SUCCEEDED(props_.ReadLong(Kind::Hid, hidId, HidSwitch5, &value)) && value != 0;
}

HRESULT CGraniteDeviceManager::SetHidProperty6(const std::string& hidId, int32_t value) {
    return props_.SetHidValue(hidId, HidValue6, Variant::FromI4(value));
}

HRESULT CGraniteDeviceManager::GetHidProperty6(const std::string& hidId, int32_t* value) {
    if (service_ == nullptr || hidId.empty() || value == nullptr)
        return E_FAIL;
    return props_.ReadLong(Kind::Hid, hidId, HidValue6, value);
}

// --- the service's stored strings and text
// ------------------------------------------------------------------

HRESULT CGraniteDeviceManager::SetServiceString1(const std::string& value) {
    return props_.SetServiceString(&IInProcDeviceManager::SetStringValue1, value);
}

HRESULT CGraniteDeviceManager::GetServiceString1(std::string& value) {
    return props_.GetServiceString(&IInProcDeviceManager::GetStringValue1, value);
}

HRESULT CGraniteDeviceManager::SetServiceString2(const std::string& value) {
    return props_.SetServiceString(&IInProcDeviceManager::SetStringValue2, value);
}

HRESULT CGraniteDeviceManager::GetServiceString2(std::string& value) {
    return props_.GetServiceString(&IInProcDeviceManager::GetStringValue2, value);
}

HRESULT CGraniteDeviceManager::SetServiceString3(const std::string& value) {
    return props_.SetServiceString(&IInProcDeviceManager::SetStringValue3, value);
}

HRESULT CGraniteDeviceManager::GetServiceString3(std::string& value) {
    return props_.GetServiceString(&IInProcDeviceManager::GetStringValue3, value);
}

HRESULT CGraniteDeviceManager::SetServiceString4(const std::string& value) {
    return props_.SetServiceString(&IInProcDeviceManager::SetStringValue4, value);
}

HRESULT CGraniteDeviceManager::GetServiceString4(std::string& value) {
    return props_.GetServiceString(&IInProcDeviceManager::GetStringValue4, value);
}

HRESULT CGraniteDeviceManager::GetServiceText66(std::string& text) {
    return props_.GetServiceString(&IInProcDeviceManager::GetServiceText, text);
}
