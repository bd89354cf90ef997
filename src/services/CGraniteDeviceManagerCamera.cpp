// The camera's settings as typed operations: pan, tilt and zoom, levels and switches, the other values,
// writes, the LED and the camera's strings. Most are one of the shapes of CDevicePropertyAccess applied to a
// number from DeviceManagerProperties.h.
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

// --- pan, tilt and zoom
// -------------------------------------------------------------------------------------

HRESULT CGraniteDeviceManager::GetPtzCapabilityOf(const std::string& deviceId, int32_t* value) {
    return props_.GetOf(Kind::Video, deviceId, PtzCapability, value);
}

HRESULT CGraniteDeviceManager::GetPtzCapability(int32_t* value) {
    return props_.OnCurrentCamera([&](const std::string& id) { return GetPtzCapabilityOf(id, value); });
}

HRESULT CGraniteDeviceManager::PtzCommand77(int32_t value) {
    return props_.SetLong(Kind::Video, GdmProperty::PtzCommand77, value);
}

HRESULT CGraniteDeviceManager::PtzCommand78(int32_t value) {
    return props_.SetLong(Kind::Video, GdmProperty::PtzCommand78, value);
}

HRESULT CGraniteDeviceManager::PtzCommand79(int32_t value) {
    return props_.SetLong(Kind::Video, GdmProperty::PtzCommand79, value);
}

HRESULT CGraniteDeviceManager::PtzCommand80(int32_t value) {
    return props_.SetLong(Kind::Video, GdmProperty::PtzCommand80, value);
}

HRESULT CGraniteDeviceManager::ClearProperty81() {
    return props_.SetBool(Kind::Video, Clear81, false);
}

HRESULT CGraniteDeviceManager::GetPtzSupportOf(const std::string& deviceId, bool* supported) {
    if (service_ == nullptr || deviceId.empty() || supported == nullptr)
        return E_FAIL;
    const bool pan = props_.IsAvailable(Kind::Video, deviceId, PanTiltAxis1.value);
    const bool tilt = props_.IsAvailable(Kind::Video, deviceId, PanTiltAxis2.value);
    const bool zoom = props_.IsAvailable(Kind::Video, deviceId, Zoom.value);
    int32_t zoomMin = 0;
    const bool zoomReadable = SUCCEEDED(props_.ReadLong(Kind::Video, deviceId, Zoom.min, &zoomMin));
    *supported = pan && tilt && zoom && zoomReadable;
    return S_OK;
}

HRESULT CGraniteDeviceManager::GetPtzSupport(bool* supported) {
    return props_.OnCurrentCamera([&](const std::string& id) { return GetPtzSupportOf(id, supported); });
}

// --- switches
// -----------------------------------------------------------------------------------------------

HRESULT CGraniteDeviceManager::GetTriStateModeRaw(int32_t* raw) {
    return props_.GetSwitch(Kind::Video, TriStateMode.value, raw);
}

HRESULT CGraniteDeviceManager::GetTriStateMode(int32_t* mode) {
    int32_t stored = 0;
    const HRESULT hr = props_.GetSwitch(Kind::Video, TriStateMode.value, &stored);
    if (FAILED(hr))
        return hr;
    *mode = (stored == 0 || stored == 2) ? 0 : (stored == 4 ? 2 : 1);
    return S_OK;
}

HRESULT CGraniteDeviceManager::GetTriStateModeCompanion(int32_t* value) {
    return props_.GetSwitch(Kind::Video, TriStateMode.companion, value);
}

HRESULT CGraniteDeviceManager::GetAdvancedSwitchD(int32_t* value) {
    return props_.GetSwitch(Kind::Video, AdvancedSwitchD.value, value);
}

HRESULT CGraniteDeviceManager::GetAdvancedSwitchDCompanion(int32_t* value) {
    return props_.GetSwitch(Kind::Video, AdvancedSwitchD.companion, value);
}

HRESULT CGraniteDeviceManager::GetColorBoostOf(const std::string& deviceId, int32_t* value) {
    return props_.GetOf(Kind::Video, deviceId, ColorBoost.value, value);
}

HRESULT CGraniteDeviceManager::GetColorBoost(int32_t* value) {
    return props_.OnCurrentCamera([&](const std::string& id) { return GetColorBoostOf(id, value); });
}

HRESULT CGraniteDeviceManager::GetColorBoostCompanion(int32_t* value) {
    return props_.GetSwitch(Kind::Video, ColorBoost.companion, value);
}

HRESULT CGraniteDeviceManager::GetLowLightBoostOf(const std::string& deviceId, int32_t* value) {
    return props_.GetOf(Kind::Video, deviceId, LowLightBoost.value, value);
}

HRESULT CGraniteDeviceManager::GetLowLightBoost(int32_t* value) {
    return props_.OnCurrentCamera([&](const std::string& id) { return GetLowLightBoostOf(id, value); });
}

HRESULT CGraniteDeviceManager::GetLowLightBoostCompanion(int32_t* value) {
    return props_.GetSwitch(Kind::Video, LowLightBoost.companion, value);
}

HRESULT CGraniteDeviceManager::GetAdvancedSwitchC(int32_t* value) {
    return props_.GetSwitch(Kind::Video, AdvancedSwitchC.value, value);
}

HRESULT CGraniteDeviceManager::GetAdvancedSwitchCCompanion(int32_t* value) {
    return props_.GetSwitch(Kind::Video, AdvancedSwitchC.companion, value);
}

HRESULT CGraniteDeviceManager::GetAdvancedSwitchB(int32_t* value) {
    return props_.GetSwitch(Kind::Video, AdvancedSwitchB.value, value);
}

HRESULT CGraniteDeviceManager::GetAdvancedSwitchBCompanion(int32_t* value) {
    return props_.GetSwitch(Kind::Video, AdvancedSwitchB.companion, value);
}

HRESULT CGraniteDeviceManager::GetAdvancedSwitchA(int32_t* value) {
    return props_.GetSwitch(Kind::Video, AdvancedSwitchA.value, value);
}

HRESULT CGraniteDeviceManager::GetAdvancedSwitchACompanion(int32_t* value) {
    return props_.GetSwitch(Kind::Video, AdvancedSwitchA.companion, value);
}

HRESULT CGraniteDeviceManager::GetVideoMute(int32_t* value) {
    return props_.GetSwitch(Kind::Video, VideoMute, value);
}

HRESULT CGraniteDeviceManager::GetSunTuneModeOf(const std::string& deviceId, int32_t* mode) {
    return props_.GetOf(Kind::Video, deviceId, SunTuneMode.value, mode);
}

HRESULT CGraniteDeviceManager::GetSunTuneMode(int32_t* mode) {
    return props_.OnCurrentCamera([&](const std::string& id) { return GetSunTuneModeOf(id, mode); });
}

HRESULT CGraniteDeviceManager::GetSunTuneModeCompanion(int32_t* value) {
    return props_.GetSwitch(Kind::Video, SunTuneMode.companion, value);
}

HRESULT CGraniteDeviceManager::GetMechanicalPrivacyShadeOf(const std::string& deviceId, int32_t* value) {
    return props_.GetOf(Kind::Video, deviceId, MechanicalPrivacyShade, value);
}

HRESULT CGraniteDeviceManager::GetMechanicalPrivacyShade(int32_t* value) {
    return props_.OnCurrentCamera(
        [&](const std::string& id) { return GetMechanicalPrivacyShadeOf(id, value); });
}

HRESULT CGraniteDeviceManager::GetProperty86Of(const std::string& deviceId, int32_t* value) {
    return props_.GetOf(Kind::Video, deviceId, Value86, value);
}

HRESULT CGraniteDeviceManager::GetProperty86(int32_t* value) {
    return props_.OnCurrentCamera([&](const std::string& id) { return GetProperty86Of(id, value); });
}

HRESULT CGraniteDeviceManager::GetProperty87Of(const std::string& deviceId, int32_t* value) {
    return props_.GetOf(Kind::Video, deviceId, Value87, value);
}

HRESULT CGraniteDeviceManager::GetProperty87(int32_t* value) {
    return props_.OnCurrentCamera([&](const std::string& id) { return GetProperty87Of(id, value); });
}

// --- levels
// -------------------------------------------------------------------------------------------------

HRESULT CGraniteDeviceManager::GetAdvancedLevelB(int32_t* value) {
    return props_.GetLong(Kind::Video, AdvancedLevelB.value, value);
}

HRESULT CGraniteDeviceManager::GetAdvancedLevelBCompanion(int32_t* value) {
    return props_.GetLong(Kind::Video, AdvancedLevelB.companion, value);
}

HRESULT CGraniteDeviceManager::GetAdvancedLevelBRange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, AdvancedLevelB, min, max, value);
}

HRESULT CGraniteDeviceManager::GetAdvancedLevelA(int32_t* value) {
    return props_.GetLong(Kind::Video, AdvancedLevelA.value, value);
}

HRESULT CGraniteDeviceManager::GetAdvancedLevelACompanion(int32_t* value) {
    return props_.GetLong(Kind::Video, AdvancedLevelA.companion, value);
}

HRESULT CGraniteDeviceManager::GetAdvancedLevelARange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, AdvancedLevelA, min, max, value);
}

HRESULT CGraniteDeviceManager::GetZoom(int32_t* value) {
    return props_.GetLong(Kind::Video, Zoom.value, value);
}

HRESULT CGraniteDeviceManager::GetZoomCompanion(int32_t* value) {
    return props_.GetLong(Kind::Video, Zoom.companion, value);
}

HRESULT CGraniteDeviceManager::GetZoomRange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, Zoom, min, max, value);
}

HRESULT CGraniteDeviceManager::GetPanTiltAxis2(int32_t* value) {
    return props_.GetLong(Kind::Video, PanTiltAxis2.value, value);
}

HRESULT CGraniteDeviceManager::GetPanTiltAxis2Companion(int32_t* value) {
    return props_.GetLong(Kind::Video, PanTiltAxis2.companion, value);
}

HRESULT CGraniteDeviceManager::GetPanTiltAxis2Range(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, PanTiltAxis2, min, max, value);
}

HRESULT CGraniteDeviceManager::GetPanTiltAxis1(int32_t* value) {
    return props_.GetLong(Kind::Video, PanTiltAxis1.value, value);
}

HRESULT CGraniteDeviceManager::GetPanTiltAxis1Companion(int32_t* value) {
    return props_.GetLong(Kind::Video, PanTiltAxis1.companion, value);
}

HRESULT CGraniteDeviceManager::GetPanTiltAxis1Range(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, PanTiltAxis1, min, max, value);
}

HRESULT CGraniteDeviceManager::GetWebcamLevelD(int32_t* value) {
    return props_.GetLong(Kind::Video, WebcamLevelD.value, value);
}

HRESULT CGraniteDeviceManager::GetWebcamLevelDCompanion(int32_t* value) {
    return props_.GetLong(Kind::Video, WebcamLevelD.companion, value);
}

HRESULT CGraniteDeviceManager::GetWebcamLevelDRange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, WebcamLevelD, min, max, value);
}

HRESULT CGraniteDeviceManager::GetWebcamLevelC(int32_t* value) {
    return props_.GetLong(Kind::Video, WebcamLevelC.value, value);
}

HRESULT CGraniteDeviceManager::GetWebcamLevelCCompanion(int32_t* value) {
    return props_.GetLong(Kind::Video, WebcamLevelC.companion, value);
}

HRESULT CGraniteDeviceManager::GetWebcamLevelCRange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, WebcamLevelC, min, max, value);
}

HRESULT CGraniteDeviceManager::GetWebcamLevelB(int32_t* value) {
    return props_.GetLong(Kind::Video, WebcamLevelB.value, value);
}

HRESULT CGraniteDeviceManager::GetWebcamLevelBCompanion(int32_t* value) {
    return props_.GetLong(Kind::Video, WebcamLevelB.companion, value);
}

HRESULT CGraniteDeviceManager::GetWebcamLevelBRange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, WebcamLevelB, min, max, value);
}

HRESULT CGraniteDeviceManager::GetWebcamLevelA(int32_t* value) {
    return props_.GetLong(Kind::Video, WebcamLevelA.value, value);
}

HRESULT CGraniteDeviceManager::GetWebcamLevelACompanion(int32_t* value) {
    return props_.GetLong(Kind::Video, WebcamLevelA.companion, value);
}

HRESULT CGraniteDeviceManager::GetWebcamLevelARange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, WebcamLevelA, min, max, value);
}

HRESULT CGraniteDeviceManager::GetSunTuneLevelB(int32_t* value) {
    return props_.GetLong(Kind::Video, SunTuneLevelB.value, value);
}

HRESULT CGraniteDeviceManager::GetSunTuneLevelBCompanion(int32_t* value) {
    return props_.GetLong(Kind::Video, SunTuneLevelB.companion, value);
}

HRESULT CGraniteDeviceManager::GetSunTuneLevelBRange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, SunTuneLevelB, min, max, value);
}

HRESULT CGraniteDeviceManager::GetSunTuneLevelA(int32_t* value) {
    return props_.GetLong(Kind::Video, SunTuneLevelA.value, value);
}

HRESULT CGraniteDeviceManager::GetSunTuneLevelACompanion(int32_t* value) {
    return props_.GetLong(Kind::Video, SunTuneLevelA.companion, value);
}

HRESULT CGraniteDeviceManager::GetSunTuneLevelARange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, SunTuneLevelA, min, max, value);
}

HRESULT CGraniteDeviceManager::GetSunTuneLevelC(int32_t* value) {
    return props_.GetLong(Kind::Video, SunTuneLevelC.value, value);
}

HRESULT CGraniteDeviceManager::GetSunTuneLevelCCompanion(int32_t* value) {
    return props_.GetLong(Kind::Video, SunTuneLevelC.companion, value);
}

HRESULT CGraniteDeviceManager::GetSunTuneLevelCRange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, SunTuneLevelC, min, max, value);
}

HRESULT CGraniteDeviceManager::GetSunTuneLevelD(int32_t* value) {
    return props_.GetLong(Kind::Video, SunTuneLevelD.value, value);
}

HRESULT CGraniteDeviceManager::GetSunTuneLevelDCompanion(int32_t* value) {
    return props_.GetLong(Kind::Video, SunTuneLevelD.companion, value);
}

HRESULT CGraniteDeviceManager::GetSunTuneLevelDRange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, SunTuneLevelD, min, max, value);
}

HRESULT CGraniteDeviceManager::GetBacklightOf(const std::string& deviceId, int32_t* value) {
    if (service_ == nullptr || deviceId.empty() || value == nullptr)
        return E_FAIL;
    return props_.ReadLong(Kind::Video, deviceId, Backlight.value, value);
}

HRESULT CGraniteDeviceManager::GetBacklight(int32_t* value) {
    return props_.GetLong(Kind::Video, Backlight.value, value);
}

HRESULT CGraniteDeviceManager::GetBacklightCompanion(int32_t* value) {
    return props_.GetLong(Kind::Video, Backlight.companion, value);
}

HRESULT CGraniteDeviceManager::GetBacklightRange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, Backlight, min, max, value);
}

// --- other camera values
// ------------------------------------------------------------------------------------

HRESULT CGraniteDeviceManager::GetAutoFocusOf(const std::string& deviceId, bool* value) {
    return props_.GetFlagOf(Kind::Video, deviceId, AutoFocus, value);
}

HRESULT CGraniteDeviceManager::GetAutoFocus(bool* value) {
    return props_.GetBool(Kind::Video, AutoFocus, value);
}

HRESULT CGraniteDeviceManager::GetWebcamValueG(int32_t* value) {
    return props_.GetLong(Kind::Video, Focus, value);
}

HRESULT CGraniteDeviceManager::GetWebcamValueGDetails(int32_t* value100, int32_t* value101, int32_t* value103,
                                                      int32_t* value102) {
    const std::string* id = props_.CurrentDevice(Kind::Video);
    if (id == nullptr || value100 == nullptr || value101 == nullptr || value103 == nullptr ||
        value102 == nullptr)
        return E_FAIL;
    if (!props_.IsAvailable(Kind::Video, *id, Focus))
        return E_NOTIMPL;
    int32_t v100 = 0, v101 = 0, v103 = 0, v102 = 0;
    if (FAILED(props_.ReadLong(Kind::Video, *id, FocusMin, &v100)) ||
        FAILED(props_.ReadLong(Kind::Video, *id, FocusMax, &v101)) ||
        FAILED(props_.ReadLong(Kind::Video, *id, FocusStep, &v103)) ||
        FAILED(props_.ReadLong(Kind::Video, *id, Focus, &v102)))
        return E_FAIL;
    *value100 = v100;
    *value101 = v101;
    *value103 = v103;
    *value102 = v102;
    return S_OK;
}

HRESULT CGraniteDeviceManager::GetProperty105And104(bool* value105, int32_t* value104) {
    const HRESULT hr = props_.GetBool(Kind::Video, AutoFocusDefault, value105);
    if (FAILED(hr))
        return hr;
    return props_.GetLong(Kind::Video, FocusDefault, value104);
}

HRESULT CGraniteDeviceManager::GetFocusStatus(int32_t* value) {
    int32_t status = 0;
    const HRESULT hr = props_.GetLong(Kind::Video, FocusStatus, &status);
    if (FAILED(hr))
        return hr;
    *value = (status >= 0 && status <= 3) ? status : 2;
    return S_OK;
}

HRESULT CGraniteDeviceManager::GetWebcamSwitchE(bool* value) {
    return props_.GetBool(Kind::Video, WebcamSwitchE, value);
}

HRESULT CGraniteDeviceManager::GetProperty89(bool* value) {
    return props_.GetBool(Kind::Video, Flag89, value);
}

HRESULT CGraniteDeviceManager::GetProperty26Flag(bool* flag) {
    const std::string* id = props_.CurrentDevice(Kind::Video);
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
    return props_.OnCurrentCamera(
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
    return props_.OnCurrentCamera(
        [&](const std::string& id) { return IsFaceTrackingSupportedOf(id, supported); });
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
    return props_.OnCurrentCamera(
        [&](const std::string& id) { return IsMultipleFaceTrackingSupportedOf(id, supported); });
}

// --- writes
// -------------------------------------------------------------------------------------------------

HRESULT CGraniteDeviceManager::SetTriStateMode(int32_t mode) {
    const int32_t stored = mode == 1 ? 1 : (mode == 2 ? 4 : 0);
    return props_.SetLong(Kind::Video, TriStateMode.value, stored);
}

HRESULT CGraniteDeviceManager::SetAdvancedSwitchD(int32_t value) {
    if (value < 0 || value > 2)
        return E_FAIL;
    return props_.SetLong(Kind::Video, AdvancedSwitchD.value, value);
}

HRESULT CGraniteDeviceManager::SetColorBoost(int32_t value) {
    return props_.SetLong(Kind::Video, ColorBoost.value, value);
}

HRESULT CGraniteDeviceManager::SetLowLightBoost(int32_t value) {
    return props_.SetLong(Kind::Video, LowLightBoost.value, value);
}

HRESULT CGraniteDeviceManager::SetAdvancedSwitchC(int32_t value) {
    return props_.SetLong(Kind::Video, AdvancedSwitchC.value, value);
}

HRESULT CGraniteDeviceManager::SetAdvancedSwitchB(int32_t value) {
    return props_.SetLong(Kind::Video, AdvancedSwitchB.value, value);
}

HRESULT CGraniteDeviceManager::SetAdvancedLevelB(int32_t value) {
    return props_.SetLong(Kind::Video, AdvancedLevelB.value, value);
}

HRESULT CGraniteDeviceManager::SetAdvancedLevelA(int32_t value) {
    return props_.SetLong(Kind::Video, AdvancedLevelA.value, value);
}

HRESULT CGraniteDeviceManager::SetAdvancedSwitchA(int32_t value) {
    return props_.SetLong(Kind::Video, AdvancedSwitchA.value, value);
}

HRESULT CGraniteDeviceManager::SetAutoFocus(bool on) {
    return props_.SetBool(Kind::Video, AutoFocus, on);
}

HRESULT CGraniteDeviceManager::SetWebcamValueG(int32_t value) {
    return props_.SetLong(Kind::Video, Focus, value);
}

HRESULT CGraniteDeviceManager::SetZoom(int32_t value) {
    return props_.SetLong(Kind::Video, Zoom.value, value);
}

HRESULT CGraniteDeviceManager::SetPanTiltAxis2(int32_t value) {
    return props_.SetLong(Kind::Video, PanTiltAxis2.value, value);
}

HRESULT CGraniteDeviceManager::SetPanTiltAxis1(int32_t value) {
    return props_.SetLong(Kind::Video, PanTiltAxis1.value, value);
}

HRESULT CGraniteDeviceManager::SetWebcamLevelD(int32_t value) {
    return props_.SetLong(Kind::Video, WebcamLevelD.value, value);
}

HRESULT CGraniteDeviceManager::SetWebcamLevelC(int32_t value) {
    return props_.SetLong(Kind::Video, WebcamLevelC.value, value);
}

HRESULT CGraniteDeviceManager::SetWebcamLevelB(int32_t value) {
    return props_.SetLong(Kind::Video, WebcamLevelB.value, value);
}

HRESULT CGraniteDeviceManager::SetWebcamLevelA(int32_t value) {
    return props_.SetLong(Kind::Video, WebcamLevelA.value, value);
}

HRESULT CGraniteDeviceManager::SetVideoMute(int32_t value) {
    return props_.SetLong(Kind::Video, VideoMute, value);
}

HRESULT CGraniteDeviceManager::SetSunTuneLevelB(int32_t value) {
    return props_.SetLong(Kind::Video, SunTuneLevelB.value, value);
}

HRESULT CGraniteDeviceManager::SetSunTuneLevelC(int32_t value) {
    return props_.SetLong(Kind::Video, SunTuneLevelC.value, value);
}

HRESULT CGraniteDeviceManager::SetSunTuneLevelA(int32_t value) {
    return props_.SetLong(Kind::Video, SunTuneLevelA.value, value);
}

HRESULT CGraniteDeviceManager::SetSunTuneLevelD(int32_t value) {
    return props_.SetLong(Kind::Video, SunTuneLevelD.value, value);
}

HRESULT CGraniteDeviceManager::SetSunTuneModeOf(const std::string& deviceId, int32_t mode) {
    return props_.SetOf(Kind::Video, deviceId, SunTuneMode.value, mode);
}

HRESULT CGraniteDeviceManager::SetSunTuneMode(int32_t mode) {
    return props_.OnCurrentCamera([&](const std::string& id) { return SetSunTuneModeOf(id, mode); });
}

HRESULT CGraniteDeviceManager::SetWebcamSwitchE(bool on) {
    return props_.SetBool(Kind::Video, WebcamSwitchE, on);
}

HRESULT CGraniteDeviceManager::SetBacklight(int32_t value) {
    return props_.SetLong(Kind::Video, Backlight.value, value);
}

HRESULT CGraniteDeviceManager::ResetProperty41() {
    return props_.SetLong(Kind::Video, Reset41, 0);
}

HRESULT CGraniteDeviceManager::SetProperty94(int32_t value) {
    const std::string* id = props_.CurrentDevice(Kind::Video);
    if (id == nullptr)
        return E_FAIL;
    // The advanced pane shows the service's own answer.
    return props_.ServiceSet(Kind::Video, *id, Value94, Variant::FromI4(value));
}

// --- LED
// ----------------------------------------------------------------------------------------------------

HRESULT CGraniteDeviceManager::IsLedControlSupported(bool* supported) {
    const std::string* id = props_.CurrentDevice(Kind::Video);
    if (id == nullptr || supported == nullptr)
        return E_FAIL;
    *supported =
        props_.IsAvailable(Kind::Video, *id, LedMode) || props_.IsAvailable(Kind::Video, *id, LedModeOlder);
    return S_OK;
}

HRESULT CGraniteDeviceManager::IsLedModeSupported(bool* supported) {
    const std::string* id = props_.CurrentDevice(Kind::Video);
    if (id == nullptr || supported == nullptr)
        return E_FAIL;
    *supported = props_.IsAvailable(Kind::Video, *id, LedMode);
    return S_OK;
}

HRESULT CGraniteDeviceManager::SetLed(int32_t mode, int32_t a, int32_t b) {
    const std::string* id = props_.CurrentDevice(Kind::Video);
    if (id == nullptr)
        return E_FAIL;
    if (SUCCEEDED(props_.ServiceSet(Kind::Video, *id, LedMode, Variant::FromI4(PackLed(mode, a, b)))))
        return S_OK;
    // Older cameras know only off, on and blinking.
    const int32_t olderMode = mode == 0 ? 0 : (mode == 1 ? 1 : 2);
    return FAILED(
               props_.ServiceSet(Kind::Video, *id, LedModeOlder, Variant::FromI4(PackLed(olderMode, a, b))))
               ? E_FAIL
               : S_OK;
}

HRESULT CGraniteDeviceManager::GetLed(int32_t* mode, int32_t* a, int32_t* b) {
    const std::string* id = props_.CurrentDevice(Kind::Video);
    if (id == nullptr || mode == nullptr || a == nullptr || b == nullptr)
        return E_FAIL;
    int32_t packed = 0;
    if (FAILED(props_.ReadLong(Kind::Video, *id, LedMode, &packed)) &&
        FAILED(props_.ReadLong(Kind::Video, *id, LedModeOlder, &packed)))
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
    const HRESULT hr = props_.GetLong(Kind::Video, LedState, &state);
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
    return props_.OnCurrentCamera(
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
