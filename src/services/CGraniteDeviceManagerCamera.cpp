// The camera's other values, its writes, LED and strings.
#include "services/CGraniteDeviceManager.h"

using namespace GdmProperty;

namespace {

int32_t PackLed(int32_t mode, int32_t a, int32_t b) {
    // Each part is one byte; wider values must not spill into their neighbours.
    return static_cast<int32_t>((static_cast<uint32_t>(b) & 0xFFu) << 16 |
                                (static_cast<uint32_t>(a) & 0xFFu) << 8 |
                                (static_cast<uint32_t>(mode) & 0xFFu));
}

} // namespace

// --- other camera values
// ------------------------------------------------------------------------------------

HRESULT CGraniteDeviceManager::GetProperty99Of(const std::string& deviceId, bool* value) {
    return GetFlagOf(Kind::Video, deviceId, WebcamSwitchF, value);
}

HRESULT CGraniteDeviceManager::GetWebcamSwitchF(bool* value) {
    return GetBool(Kind::Video, WebcamSwitchF, value);
}

HRESULT CGraniteDeviceManager::GetWebcamValueG(int32_t* value) {
    return GetLong(Kind::Video, WebcamValueG, value);
}

HRESULT CGraniteDeviceManager::GetWebcamValueGDetails(int32_t* value100, int32_t* value101, int32_t* value103,
                                                      int32_t* value102) {
    const std::string* id = CurrentDevice(Kind::Video);
    if (id == nullptr || value100 == nullptr || value101 == nullptr || value103 == nullptr ||
        value102 == nullptr)
        return E_FAIL;
    if (!IsAvailable(Kind::Video, *id, WebcamValueG))
        return E_NOTIMPL;
    int32_t v100 = 0, v101 = 0, v103 = 0, v102 = 0;
    if (FAILED(ReadLong(Kind::Video, *id, WebcamValueGDetail100, &v100)) ||
        FAILED(ReadLong(Kind::Video, *id, WebcamValueGDetail101, &v101)) ||
        FAILED(ReadLong(Kind::Video, *id, WebcamValueGDetail103, &v103)) ||
        FAILED(ReadLong(Kind::Video, *id, WebcamValueG, &v102)))
        return E_FAIL;
    *value100 = v100;
    *value101 = v101;
    *value103 = v103;
    *value102 = v102;
    return S_OK;
}

HRESULT CGraniteDeviceManager::GetProperty105And104(bool* value105, int32_t* value104) {
    const HRESULT hr = GetBool(Kind::Video, Flag105, value105);
    if (FAILED(hr))
        return hr;
    return GetLong(Kind::Video, Value104, value104);
}

HRESULT CGraniteDeviceManager::GetProperty106(int32_t* value) {
    int32_t status = 0;
    const HRESULT hr = GetLong(Kind::Video, FocusStatus106, &status);
    if (FAILED(hr))
        return hr;
    *value = (status >= 0 && status <= 3) ? status : 2;
    return S_OK;
}

HRESULT CGraniteDeviceManager::GetWebcamSwitchE(bool* value) {
    return GetBool(Kind::Video, WebcamSwitchE, value);
}

HRESULT CGraniteDeviceManager::GetProperty89(bool* value) {
    return GetBool(Kind::Video, Flag89, value);
}

HRESULT CGraniteDeviceManager::GetProperty26Flag(bool* flag) {
    const std::string* id = CurrentDevice(Kind::Video);
    if (id == nullptr || flag == nullptr)
        return E_FAIL;
    VARIANT_BOOL answer = VARIANT_FALSE;
    if (FAILED(service_->GetPropertyFlag(*id, Flag26, &answer)))
        return E_FAIL;
    *flag = answer == VARIANT_TRUE;
    return S_OK;
}

HRESULT CGraniteDeviceManager::IsFeatureSupportedOf(const std::string& deviceId, const std::string& feature,
                                                    bool* supported) {
    if (service_ == nullptr || deviceId.empty() || supported == nullptr)
        return E_FAIL;
    VARIANT_BOOL answer = VARIANT_FALSE;
    if (FAILED(service_->IsFeatureSupported(deviceId, feature, &answer)))
        return E_FAIL;
    *supported = answer == VARIANT_TRUE;
    return S_OK;
}

HRESULT CGraniteDeviceManager::IsFeatureSupported(const std::string& feature, bool* supported) {
    return OnCurrentCamera(
        [&](const std::string& id) { return IsFeatureSupportedOf(id, feature, supported); });
}

HRESULT CGraniteDeviceManager::IsFaceTrackingSupportedOf(const std::string& deviceId, bool* supported) {
    if (service_ == nullptr || deviceId.empty() || supported == nullptr)
        return E_FAIL;
    VARIANT_BOOL answer = VARIANT_FALSE;
    if (FAILED(service_->IsFaceTrackingSupported(deviceId, &answer)))
        return E_FAIL;
    *supported = answer == VARIANT_TRUE;
    return S_OK;
}

HRESULT CGraniteDeviceManager::IsFaceTrackingSupported(bool* supported) {
    return OnCurrentCamera([&](const std::string& id) { return IsFaceTrackingSupportedOf(id, supported); });
}

HRESULT CGraniteDeviceManager::IsMultipleFaceTrackingSupportedOf(const std::string& deviceId,
                                                                 bool* supported) {
    if (service_ == nullptr || deviceId.empty() || supported == nullptr)
        return E_FAIL;
    VARIANT_BOOL answer = VARIANT_FALSE;
    if (FAILED(service_->IsMultipleFaceTrackingSupported(deviceId, &answer)))
        return E_FAIL;
    *supported = answer == VARIANT_TRUE;
    return S_OK;
}

HRESULT CGraniteDeviceManager::IsMultipleFaceTrackingSupported(bool* supported) {
    return OnCurrentCamera(
        [&](const std::string& id) { return IsMultipleFaceTrackingSupportedOf(id, supported); });
}

// --- writes
// -------------------------------------------------------------------------------------------------

HRESULT CGraniteDeviceManager::SetTriStateMode(int32_t mode) {
    const int32_t stored = mode == 1 ? 1 : (mode == 2 ? 4 : 0);
    return SetLong(Kind::Video, TriStateMode.value, stored);
}

HRESULT CGraniteDeviceManager::SetAdvancedSwitchD(int32_t value) {
    if (value < 0 || value > 2)
        return E_FAIL;
    return SetLong(Kind::Video, AdvancedSwitchD.value, value);
}

HRESULT CGraniteDeviceManager::SetColorBoost(int32_t value) {
    return SetLong(Kind::Video, ColorBoost.value, value);
}

HRESULT CGraniteDeviceManager::SetLowLightBoost(int32_t value) {
    return SetLong(Kind::Video, LowLightBoost.value, value);
}

HRESULT CGraniteDeviceManager::SetAdvancedSwitchC(int32_t value) {
    return SetLong(Kind::Video, AdvancedSwitchC.value, value);
}

HRESULT CGraniteDeviceManager::SetAdvancedSwitchB(int32_t value) {
    return SetLong(Kind::Video, AdvancedSwitchB.value, value);
}

HRESULT CGraniteDeviceManager::SetAdvancedLevelB(int32_t value) {
    return SetLong(Kind::Video, AdvancedLevelB.value, value);
}

HRESULT CGraniteDeviceManager::SetAdvancedLevelA(int32_t value) {
    return SetLong(Kind::Video, AdvancedLevelA.value, value);
}

HRESULT CGraniteDeviceManager::SetAdvancedSwitchA(int32_t value) {
    return SetLong(Kind::Video, AdvancedSwitchA.value, value);
}

HRESULT CGraniteDeviceManager::SetWebcamSwitchF(bool on) {
    return SetBool(Kind::Video, WebcamSwitchF, on);
}

HRESULT CGraniteDeviceManager::SetWebcamValueG(int32_t value) {
    return SetLong(Kind::Video, WebcamValueG, value);
}

HRESULT CGraniteDeviceManager::SetZoom(int32_t value) {
    return SetLong(Kind::Video, Zoom.value, value);
}

HRESULT CGraniteDeviceManager::SetPanTiltAxis2(int32_t value) {
    return SetLong(Kind::Video, PanTiltAxis2.value, value);
}

HRESULT CGraniteDeviceManager::SetPanTiltAxis1(int32_t value) {
    return SetLong(Kind::Video, PanTiltAxis1.value, value);
}

HRESULT CGraniteDeviceManager::SetWebcamLevelD(int32_t value) {
    return SetLong(Kind::Video, WebcamLevelD.value, value);
}

HRESULT CGraniteDeviceManager::SetWebcamLevelC(int32_t value) {
    return SetLong(Kind::Video, WebcamLevelC.value, value);
}

HRESULT CGraniteDeviceManager::SetWebcamLevelB(int32_t value) {
    return SetLong(Kind::Video, WebcamLevelB.value, value);
}

HRESULT CGraniteDeviceManager::SetWebcamLevelA(int32_t value) {
    return SetLong(Kind::Video, WebcamLevelA.value, value);
}

HRESULT CGraniteDeviceManager::SetVideoMute(int32_t value) {
    return SetLong(Kind::Video, VideoMute, value);
}

HRESULT CGraniteDeviceManager::SetSunTuneLevelB(int32_t value) {
    return SetLong(Kind::Video, SunTuneLevelB.value, value);
}

HRESULT CGraniteDeviceManager::SetSunTuneLevelC(int32_t value) {
    return SetLong(Kind::Video, SunTuneLevelC.value, value);
}

HRESULT CGraniteDeviceManager::SetSunTuneLevelA(int32_t value) {
    return SetLong(Kind::Video, SunTuneLevelA.value, value);
}

HRESULT CGraniteDeviceManager::SetSunTuneLevelD(int32_t value) {
    return SetLong(Kind::Video, SunTuneLevelD.value, value);
}

HRESULT CGraniteDeviceManager::SetSunTuneModeOf(const std::string& deviceId, int32_t mode) {
    return SetOf(Kind::Video, deviceId, SunTuneMode.value, mode);
}

HRESULT CGraniteDeviceManager::SetSunTuneMode(int32_t mode) {
    return OnCurrentCamera([&](const std::string& id) { return SetSunTuneModeOf(id, mode); });
}

HRESULT CGraniteDeviceManager::SetWebcamSwitchE(bool on) {
    return SetBool(Kind::Video, WebcamSwitchE, on);
}

HRESULT CGraniteDeviceManager::SetBacklight(int32_t value) {
    return SetLong(Kind::Video, Backlight.value, value);
}

HRESULT CGraniteDeviceManager::ResetProperty41() {
    return SetLong(Kind::Video, Reset41, 0);
}

HRESULT CGraniteDeviceManager::SetProperty94(int32_t value) {
    const std::string* id = CurrentDevice(Kind::Video);
    if (id == nullptr)
        return E_FAIL;
    // The advanced pane shows the service's own answer.
    return ServiceSet(Kind::Video, *id, Value94, Variant::FromI4(value));
}

// --- LED
// ----------------------------------------------------------------------------------------------------

HRESULT CGraniteDeviceManager::IsLedControlSupported(bool* supported) {
    const std::string* id = CurrentDevice(Kind::Video);
    if (id == nullptr || supported == nullptr)
        return E_FAIL;
    *supported = IsAvailable(Kind::Video, *id, LedMode) || IsAvailable(Kind::Video, *id, LedModeOlder);
    return S_OK;
}

HRESULT CGraniteDeviceManager::IsLedModeSupported(bool* supported) {
    const std::string* id = CurrentDevice(Kind::Video);
    if (id == nullptr || supported == nullptr)
        return E_FAIL;
    *supported = IsAvailable(Kind::Video, *id, LedMode);
    return S_OK;
}

HRESULT CGraniteDeviceManager::SetLed(int32_t mode, int32_t a, int32_t b) {
    const std::string* id = CurrentDevice(Kind::Video);
    if (id == nullptr)
        return E_FAIL;
    if (SUCCEEDED(ServiceSet(Kind::Video, *id, LedMode, Variant::FromI4(PackLed(mode, a, b)))))
        return S_OK;
    // Older cameras know only off, on and blinking.
    const int32_t olderMode = mode == 0 ? 0 : (mode == 1 ? 1 : 2);
    return FAILED(ServiceSet(Kind::Video, *id, LedModeOlder, Variant::FromI4(PackLed(olderMode, a, b))))
               ? E_FAIL
               : S_OK;
}

HRESULT CGraniteDeviceManager::GetLed(int32_t* mode, int32_t* a, int32_t* b) {
    const std::string* id = CurrentDevice(Kind::Video);
    if (id == nullptr || mode == nullptr || a == nullptr || b == nullptr)
        return E_FAIL;
    int32_t packed = 0;
    if (FAILED(ReadLong(Kind::Video, *id, LedMode, &packed)) &&
        FAILED(ReadLong(Kind::Video, *id, LedModeOlder, &packed)))
        return E_FAIL;
    *mode = packed & 0xFF;
    *a = (packed >> 8) & 0xFF;
    *b = (packed >> 16) & 0xFF;
    return S_OK;
}

HRESULT CGraniteDeviceManager::GetLedState(int32_t* mode, int32_t* a, int32_t* b) {
    if (mode == nullptr || a == nullptr || b == nullptr)
        return E_FAIL;
    *mode = 0;
    *a = 0;
    *b = 0;
    int32_t state = 0;
    const HRESULT hr = GetLong(Kind::Video, LedState, &state);
    if (FAILED(hr))
        return hr;
    const int32_t rawMode = state & 0xFF;
    *mode = rawMode == 0 ? 0 : (rawMode == 1 ? 1 : 4);
    *a = (state >> 8) & 0xFF;
    *b = (state >> 16) & 0xFF;
    return S_OK;
}

// --- camera strings
// -----------------------------------------------------------------------------------------

HRESULT CGraniteDeviceManager::GetDeviceStrings(int32_t which, std::string& first, std::string& second) {
    return OnCurrentCamera(
        [&](const std::string& id) { return GetDeviceStringsOf(id, which, first, second); });
}

HRESULT CGraniteDeviceManager::GetDeviceStringsOf(const std::string& deviceId, int32_t which,
                                                  std::string& first, std::string& second) {
    if (service_ == nullptr || deviceId.empty())
        return E_FAIL;
    std::string one, two;
    if (FAILED(service_->GetDeviceStrings(deviceId, which, &one, &two)))
        return E_FAIL;
    first = std::move(one);
    second = std::move(two);
    return S_OK;
}

HRESULT CGraniteDeviceManager::TranslateDeviceId(const std::string& in, std::string& out) {
    std::string translated;
    if (service_ == nullptr || FAILED(service_->TranslateDeviceId(in, &translated))) {
        out.clear();
        return E_FAIL;
    }
    out = std::move(translated);
    return S_OK;
}
