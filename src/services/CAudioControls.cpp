// Microphones, speakers and the global audio options.
#include "services/CAudioControls.h"

using namespace GdmProperty;

CAudioControls::CAudioControls(IInProcDeviceManager* const& service, CDevicePropertyAccess& props)
    : service_(service), props_(props) {}

// --- global audio options
// -----------------------------------------------------------------------------------

HRESULT CAudioControls::SetNoiseSuppression(int32_t on) {
    return props_.SetGlobalOption(GDM_OPTION_NOISE_SUPPRESSION, on);
}

HRESULT CAudioControls::GetNoiseSuppression(int32_t* on) {
    return props_.GetGlobalOption(GDM_OPTION_NOISE_SUPPRESSION, on);
}

HRESULT CAudioControls::SetEchoCancellation(int32_t on) {
    return props_.SetGlobalOption(GDM_OPTION_ECHO_CANCELLATION, on);
}

HRESULT CAudioControls::GetEchoCancellation(int32_t* on) {
    return props_.GetGlobalOption(GDM_OPTION_ECHO_CANCELLATION, on);
}

// --- microphones
// --------------------------------------------------------------------------------------------

HRESULT CAudioControls::GetMicrophoneFlag11Of(const std::string& deviceId, bool* flag) {
    return props_.GetFlagOf(Kind::Microphone, deviceId, MicrophoneFlag11, flag);
}

HRESULT CAudioControls::GetMicrophoneFlag12Of(const std::string& deviceId, bool* flag) {
    return props_.GetFlagOf(Kind::Microphone, deviceId, MicrophoneFlag12, flag);
}

HRESULT CAudioControls::GetMicrophoneMuteOf(const std::string& deviceId, bool* muted) {
    if (muted == nullptr)
        return E_FAIL;
    int32_t value = 0;
    const HRESULT hr = props_.GetOf(Kind::Microphone, deviceId, MicrophoneMute, &value);
    if (SUCCEEDED(hr))
        *muted = value != 0;
    return hr;
}

HRESULT CAudioControls::HasMicrophoneVolumeOf(const std::string& deviceId, bool* has) {
    if (service_ == nullptr || deviceId.empty() || has == nullptr)
        return E_FAIL;
    Variant value;
    *has = SUCCEEDED(props_.ServiceGet(Kind::Microphone, deviceId, MicrophoneVolume.value, &value));
    return S_OK;
}

HRESULT CAudioControls::GetMicrophoneIdAt(int32_t index, std::string& id) {
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

HRESULT CAudioControls::GetMicrophoneLevelRange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Microphone, MicrophoneLevel, min, max, value);
}

HRESULT CAudioControls::GetMicrophoneLevel(int32_t* value) {
    return props_.GetLong(Kind::Microphone, MicrophoneLevel.value, value);
}

HRESULT CAudioControls::SetMicrophoneVolume(int32_t value) {
    return props_.SetLong(Kind::Microphone, MicrophoneVolume.value, value);
}

HRESULT CAudioControls::GetMicrophoneVolume(int32_t* value) {
    return props_.GetLong(Kind::Microphone, MicrophoneVolume.value, value);
}

HRESULT CAudioControls::GetMicrophoneVolumeRange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Microphone, MicrophoneVolume, min, max, value);
}

HRESULT CAudioControls::SetMicrophoneMute(int32_t muted) {
    return props_.SetLong(Kind::Microphone, MicrophoneMute, muted);
}

HRESULT CAudioControls::GetMicrophoneMuteByName(const std::string& deviceId, int32_t* muted) {
    return props_.GetOf(Kind::Microphone, deviceId, MicrophoneMute, muted);
}

HRESULT CAudioControls::GetMicrophoneMute(int32_t* muted) {
    return props_.GetSwitch(Kind::Microphone, MicrophoneMute, muted);
}

HRESULT CAudioControls::Reserved172(int32_t, int32_t, int32_t) {
    return E_FAIL;
}

HRESULT CAudioControls::StartMicrophoneMonitor() {
    const std::string* id = props_.CurrentDevice(Kind::Microphone);
    if (id == nullptr)
        return E_FAIL;
    const std::string copy = *id;
    service_->StartMicrophoneLevelMeter(copy);
    return service_->StartMicrophoneMonitor(copy);
}

HRESULT CAudioControls::StopMicrophoneMonitor() {
    const std::string* id = props_.CurrentDevice(Kind::Microphone);
    if (id == nullptr)
        return E_FAIL;
    const std::string copy = *id;
    service_->StopMicrophoneLevelMeter(copy);
    return service_->StopMicrophoneMonitor(copy);
}

HRESULT CAudioControls::StopMicrophoneMonitorOnly() {
    return props_.CallOnCurrent(Kind::Microphone, &IInProcDeviceManager::StopMicrophoneMonitor);
}

// --- speakers
// -----------------------------------------------------------------------------------------------

HRESULT CAudioControls::SetSpeakerVolume(int32_t value) {
    return props_.SetLong(Kind::Speaker, SpeakerVolume, value);
}

HRESULT CAudioControls::GetSpeakerVolume(int32_t* value) {
    return props_.GetLong(Kind::Speaker, SpeakerVolume, value);
}

HRESULT CAudioControls::Reserved175() {
    return S_OK;
}

HRESULT CAudioControls::SetSpeakerMute(int32_t muted) {
    return props_.SetLong(Kind::Speaker, SpeakerMute, muted);
}

HRESULT CAudioControls::GetSpeakerMute(int32_t* muted) {
    return props_.GetSwitch(Kind::Speaker, SpeakerMute, muted);
}

HRESULT CAudioControls::SpeakerCommand63() {
    return FAILED(props_.CallOnCurrent(Kind::Speaker, &IInProcDeviceManager::SpeakerCommand63)) ? E_FAIL
                                                                                                : S_OK;
}

HRESULT CAudioControls::SpeakerCommand64() {
    return FAILED(props_.CallOnCurrent(Kind::Speaker, &IInProcDeviceManager::SpeakerCommand64)) ? E_FAIL
                                                                                                : S_OK;
}

HRESULT CAudioControls::PlaySoundFile(const std::string& path) {
    const std::string* id = props_.CurrentDevice(Kind::Speaker);
    if (id == nullptr || path.empty())
        return E_FAIL;
    const std::string copy = *id;
    return FAILED(service_->PlaySoundFile(copy, path)) ? E_FAIL : S_OK;
}

HRESULT CAudioControls::StopSoundFile() {
    return props_.CallOnCurrent(Kind::Speaker, &IInProcDeviceManager::StopSoundFile);
}
