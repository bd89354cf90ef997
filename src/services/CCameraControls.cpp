// Most camera operations are one of the shapes of CDevicePropertyAccess applied to a number from
// DeviceManagerProperties.h.
#include "services/CCameraControls.h"

using namespace GdmProperty;

namespace {

int32_t PackLed(int32_t mode, int32_t a, int32_t b) {
    // Each part is one byte; wider values must not spill into their neighbours.
    return static_cast<int32_t>((static_cast<uint32_t>(b) & 0xFFu) << 16 |
                                (static_cast<uint32_t>(a) & 0xFFu) << 8 |
                                (static_cast<uint32_t>(mode) & 0xFFu));
}

} // namespace

CCameraControls::CCameraControls(IInProcDeviceManager* const& service, CDevicePropertyAccess& props)
    : service_(service), props_(props) {}

// --- pan, tilt and zoom
// -------------------------------------------------------------------------------------

HRESULT CCameraControls::GetPtzCapabilityOf(const std::string& deviceId, int32_t* value) {
    return props_.GetOf(Kind::Video, deviceId, PtzCapability, value);
}

HRESULT CCameraControls::GetPtzCapability(int32_t* value) {
    return props_.OnCurrentCamera([&](const std::string& id) { return GetPtzCapabilityOf(id, value); });
}

HRESULT CCameraControls::PtzCommand77(int32_t value) {
    return props_.SetLong(Kind::Video, GdmProperty::PtzCommand77, value);
}

HRESULT CCameraControls::PtzCommand78(int32_t value) {
    return props_.SetLong(Kind::Video, GdmProperty::PtzCommand78, value);
}

HRESULT CCameraControls::PtzCommand79(int32_t value) {
    return props_.SetLong(Kind::Video, GdmProperty::PtzCommand79, value);
}

HRESULT CCameraControls::PtzCommand80(int32_t value) {
    return props_.SetLong(Kind::Video, GdmProperty::PtzCommand80, value);
}

HRESULT CCameraControls::ClearProperty81() {
    return props_.SetBool(Kind::Video, Clear81, false);
}

HRESULT CCameraControls::GetPtzSupportOf(const std::string& deviceId, bool* supported) {
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

HRESULT CCameraControls::GetPtzSupport(bool* supported) {
    return props_.OnCurrentCamera([&](const std::string& id) { return GetPtzSupportOf(id, supported); });
}

// --- switches
// -----------------------------------------------------------------------------------------------

HRESULT CCameraControls::GetTriStateModeRaw(int32_t* raw) {
    return props_.GetSwitch(Kind::Video, TriStateMode.value, raw);
}

HRESULT CCameraControls::GetTriStateMode(int32_t* mode) {
    int32_t stored = 0;
    const HRESULT hr = props_.GetSwitch(Kind::Video, TriStateMode.value, &stored);
    if (FAILED(hr))
        return hr;
    *mode = TriStateOf(stored);
    return S_OK;
}

HRESULT CCameraControls::GetTriStateModeCompanion(int32_t* value) {
    return props_.GetSwitch(Kind::Video, TriStateMode.companion, value);
}

HRESULT CCameraControls::GetAdvancedSwitchD(int32_t* value) {
    return props_.GetSwitch(Kind::Video, AdvancedSwitchD.value, value);
}

HRESULT CCameraControls::GetAdvancedSwitchDCompanion(int32_t* value) {
    return props_.GetSwitch(Kind::Video, AdvancedSwitchD.companion, value);
}

HRESULT CCameraControls::GetColorBoostOf(const std::string& deviceId, int32_t* value) {
    return props_.GetOf(Kind::Video, deviceId, ColorBoost.value, value);
}

HRESULT CCameraControls::GetColorBoost(int32_t* value) {
    return props_.OnCurrentCamera([&](const std::string& id) { return GetColorBoostOf(id, value); });
}

HRESULT CCameraControls::GetColorBoostCompanion(int32_t* value) {
    return props_.GetSwitch(Kind::Video, ColorBoost.companion, value);
}

HRESULT CCameraControls::GetLowLightBoostOf(const std::string& deviceId, int32_t* value) {
    return props_.GetOf(Kind::Video, deviceId, LowLightBoost.value, value);
}

HRESULT CCameraControls::GetLowLightBoost(int32_t* value) {
    return props_.OnCurrentCamera([&](const std::string& id) { return GetLowLightBoostOf(id, value); });
}

HRESULT CCameraControls::GetLowLightBoostCompanion(int32_t* value) {
    return props_.GetSwitch(Kind::Video, LowLightBoost.companion, value);
}

HRESULT CCameraControls::GetAdvancedSwitchC(int32_t* value) {
    return props_.GetSwitch(Kind::Video, AdvancedSwitchC.value, value);
}

HRESULT CCameraControls::GetAdvancedSwitchCCompanion(int32_t* value) {
    return props_.GetSwitch(Kind::Video, AdvancedSwitchC.companion, value);
}

HRESULT CCameraControls::GetAdvancedSwitchB(int32_t* value) {
    return props_.GetSwitch(Kind::Video, AdvancedSwitchB.value, value);
}

HRESULT CCameraControls::GetAdvancedSwitchBCompanion(int32_t* value) {
    return props_.GetSwitch(Kind::Video, AdvancedSwitchB.companion, value);
}

HRESULT CCameraControls::GetAdvancedSwitchA(int32_t* value) {
    return props_.GetSwitch(Kind::Video, AdvancedSwitchA.value, value);
}

HRESULT CCameraControls::GetAdvancedSwitchACompanion(int32_t* value) {
    return props_.GetSwitch(Kind::Video, AdvancedSwitchA.companion, value);
}

HRESULT CCameraControls::GetVideoMute(int32_t* value) {
    return props_.GetSwitch(Kind::Video, VideoMute, value);
}

HRESULT CCameraControls::GetSunTuneModeOf(const std::string& deviceId, int32_t* mode) {
    return props_.GetOf(Kind::Video, deviceId, SunTuneMode.value, mode);
}

HRESULT CCameraControls::GetSunTuneMode(int32_t* mode) {
    return props_.OnCurrentCamera([&](const std::string& id) { return GetSunTuneModeOf(id, mode); });
}

HRESULT CCameraControls::GetSunTuneModeCompanion(int32_t* value) {
    return props_.GetSwitch(Kind::Video, SunTuneMode.companion, value);
}

HRESULT CCameraControls::GetMechanicalPrivacyShadeOf(const std::string& deviceId, int32_t* value) {
    return props_.GetOf(Kind::Video, deviceId, MechanicalPrivacyShade, value);
}

HRESULT CCameraControls::GetMechanicalPrivacyShade(int32_t* value) {
    return props_.OnCurrentCamera(
        [&](const std::string& id) { return GetMechanicalPrivacyShadeOf(id, value); });
}

HRESULT CCameraControls::GetProperty86Of(const std::string& deviceId, int32_t* value) {
    return props_.GetOf(Kind::Video, deviceId, Value86, value);
}

HRESULT CCameraControls::GetProperty86(int32_t* value) {
    return props_.OnCurrentCamera([&](const std::string& id) { return GetProperty86Of(id, value); });
}

HRESULT CCameraControls::GetProperty87Of(const std::string& deviceId, int32_t* value) {
    return props_.GetOf(Kind::Video, deviceId, Value87, value);
}

HRESULT CCameraControls::GetProperty87(int32_t* value) {
    return props_.OnCurrentCamera([&](const std::string& id) { return GetProperty87Of(id, value); });
}

// --- levels
// -------------------------------------------------------------------------------------------------

HRESULT CCameraControls::GetAdvancedLevelB(int32_t* value) {
    return props_.GetLong(Kind::Video, AdvancedLevelB.value, value);
}

HRESULT CCameraControls::GetAdvancedLevelBCompanion(int32_t* value) {
    return props_.GetLong(Kind::Video, AdvancedLevelB.companion, value);
}

HRESULT CCameraControls::GetAdvancedLevelBRange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, AdvancedLevelB, min, max, value);
}

HRESULT CCameraControls::GetAdvancedLevelA(int32_t* value) {
    return props_.GetLong(Kind::Video, AdvancedLevelA.value, value);
}

HRESULT CCameraControls::GetAdvancedLevelACompanion(int32_t* value) {
    return props_.GetLong(Kind::Video, AdvancedLevelA.companion, value);
}

HRESULT CCameraControls::GetAdvancedLevelARange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, AdvancedLevelA, min, max, value);
}

HRESULT CCameraControls::GetZoom(int32_t* value) {
    return props_.GetLong(Kind::Video, Zoom.value, value);
}

HRESULT CCameraControls::GetZoomCompanion(int32_t* value) {
    return props_.GetLong(Kind::Video, Zoom.companion, value);
}

HRESULT CCameraControls::GetZoomRange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, Zoom, min, max, value);
}

HRESULT CCameraControls::GetPanTiltAxis2(int32_t* value) {
    return props_.GetLong(Kind::Video, PanTiltAxis2.value, value);
}

HRESULT CCameraControls::GetPanTiltAxis2Companion(int32_t* value) {
    return props_.GetLong(Kind::Video, PanTiltAxis2.companion, value);
}

HRESULT CCameraControls::GetPanTiltAxis2Range(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, PanTiltAxis2, min, max, value);
}

HRESULT CCameraControls::GetPanTiltAxis1(int32_t* value) {
    return props_.GetLong(Kind::Video, PanTiltAxis1.value, value);
}

HRESULT CCameraControls::GetPanTiltAxis1Companion(int32_t* value) {
    return props_.GetLong(Kind::Video, PanTiltAxis1.companion, value);
}

HRESULT CCameraControls::GetPanTiltAxis1Range(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, PanTiltAxis1, min, max, value);
}

HRESULT CCameraControls::GetWebcamLevelD(int32_t* value) {
    return props_.GetLong(Kind::Video, WebcamLevelD.value, value);
}

HRESULT CCameraControls::GetWebcamLevelDCompanion(int32_t* value) {
    return props_.GetLong(Kind::Video, WebcamLevelD.companion, value);
}

HRESULT CCameraControls::GetWebcamLevelDRange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, WebcamLevelD, min, max, value);
}

HRESULT CCameraControls::GetWebcamLevelC(int32_t* value) {
    return props_.GetLong(Kind::Video, WebcamLevelC.value, value);
}

HRESULT CCameraControls::GetWebcamLevelCCompanion(int32_t* value) {
    return props_.GetLong(Kind::Video, WebcamLevelC.companion, value);
}

HRESULT CCameraControls::GetWebcamLevelCRange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, WebcamLevelC, min, max, value);
}

HRESULT CCameraControls::GetWebcamLevelB(int32_t* value) {
    return props_.GetLong(Kind::Video, WebcamLevelB.value, value);
}

HRESULT CCameraControls::GetWebcamLevelBCompanion(int32_t* value) {
    return props_.GetLong(Kind::Video, WebcamLevelB.companion, value);
}

HRESULT CCameraControls::GetWebcamLevelBRange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, WebcamLevelB, min, max, value);
}

HRESULT CCameraControls::GetWebcamLevelA(int32_t* value) {
    return props_.GetLong(Kind::Video, WebcamLevelA.value, value);
}

HRESULT CCameraControls::GetWebcamLevelACompanion(int32_t* value) {
    return props_.GetLong(Kind::Video, WebcamLevelA.companion, value);
}

HRESULT CCameraControls::GetWebcamLevelARange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, WebcamLevelA, min, max, value);
}

HRESULT CCameraControls::GetSunTuneLevelB(int32_t* value) {
    return props_.GetLong(Kind::Video, SunTuneLevelB.value, value);
}

HRESULT CCameraControls::GetSunTuneLevelBCompanion(int32_t* value) {
    return props_.GetLong(Kind::Video, SunTuneLevelB.companion, value);
}

HRESULT CCameraControls::GetSunTuneLevelBRange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, SunTuneLevelB, min, max, value);
}

HRESULT CCameraControls::GetSunTuneLevelA(int32_t* value) {
    return props_.GetLong(Kind::Video, SunTuneLevelA.value, value);
}

HRESULT CCameraControls::GetSunTuneLevelACompanion(int32_t* value) {
    return props_.GetLong(Kind::Video, SunTuneLevelA.companion, value);
}

HRESULT CCameraControls::GetSunTuneLevelARange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, SunTuneLevelA, min, max, value);
}

HRESULT CCameraControls::GetSunTuneLevelC(int32_t* value) {
    return props_.GetLong(Kind::Video, SunTuneLevelC.value, value);
}

HRESULT CCameraControls::GetSunTuneLevelCCompanion(int32_t* value) {
    return props_.GetLong(Kind::Video, SunTuneLevelC.companion, value);
}

HRESULT CCameraControls::GetSunTuneLevelCRange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, SunTuneLevelC, min, max, value);
}

HRESULT CCameraControls::GetSunTuneLevelD(int32_t* value) {
    return props_.GetLong(Kind::Video, SunTuneLevelD.value, value);
}

HRESULT CCameraControls::GetSunTuneLevelDCompanion(int32_t* value) {
    return props_.GetLong(Kind::Video, SunTuneLevelD.companion, value);
}

HRESULT CCameraControls::GetSunTuneLevelDRange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, SunTuneLevelD, min, max, value);
}

HRESULT CCameraControls::GetBacklightOf(const std::string& deviceId, int32_t* value) {
    if (service_ == nullptr || deviceId.empty() || value == nullptr)
        return E_FAIL;
    return props_.ReadLong(Kind::Video, deviceId, Backlight.value, value);
}

HRESULT CCameraControls::GetBacklight(int32_t* value) {
    return props_.GetLong(Kind::Video, Backlight.value, value);
}

HRESULT CCameraControls::GetBacklightCompanion(int32_t* value) {
    return props_.GetLong(Kind::Video, Backlight.companion, value);
}

HRESULT CCameraControls::GetBacklightRange(int32_t* min, int32_t* max, int32_t* value) {
    return props_.GetRange(Kind::Video, Backlight, min, max, value);
}

// --- other camera values
// ------------------------------------------------------------------------------------

HRESULT CCameraControls::GetAutoFocusOf(const std::string& deviceId, bool* value) {
    return props_.GetFlagOf(Kind::Video, deviceId, AutoFocus, value);
}

HRESULT CCameraControls::GetAutoFocus(bool* value) {
    return props_.GetBool(Kind::Video, AutoFocus, value);
}

HRESULT CCameraControls::GetWebcamValueG(int32_t* value) {
    return props_.GetLong(Kind::Video, Focus, value);
}

HRESULT CCameraControls::GetWebcamValueGDetails(int32_t* value100, int32_t* value101, int32_t* value103,
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

HRESULT CCameraControls::GetProperty105And104(bool* value105, int32_t* value104) {
    const HRESULT hr = props_.GetBool(Kind::Video, AutoFocusDefault, value105);
    if (FAILED(hr))
        return hr;
    return props_.GetLong(Kind::Video, FocusDefault, value104);
}

HRESULT CCameraControls::GetFocusStatus(int32_t* value) {
    int32_t status = 0;
    const HRESULT hr = props_.GetLong(Kind::Video, FocusStatus, &status);
    if (FAILED(hr))
        return hr;
    *value = (status >= 0 && status <= 3) ? status : 2;
    return S_OK;
}

HRESULT CCameraControls::GetWebcamSwitchE(bool* value) {
    return props_.GetBool(Kind::Video, WebcamSwitchE, value);
}

HRESULT CCameraControls::GetProperty89(bool* value) {
    return props_.GetBool(Kind::Video, Flag89, value);
}

HRESULT CCameraControls::GetProperty26Flag(bool* flag) {
    const std::string* id = props_.CurrentDevice(Kind::Video);
    if (id == nullptr || flag == nullptr)
        return E_FAIL;
    VARIANT_BOOL answer = VARIANT_FALSE;
    if (FAILED(service_->GetPropertyFlag(*id, Flag26, &answer)))
        return E_FAIL;
    *flag = answer == VARIANT_TRUE;
    return S_OK;
}

HRESULT CCameraControls::IsFeatureSupportedOf(const std::string& deviceId, const std::string& feature,
                                              bool* supported) {
    if (service_ == nullptr || deviceId.empty() || supported == nullptr)
        return E_FAIL;
    VARIANT_BOOL answer = VARIANT_FALSE;
    if (FAILED(service_->IsFeatureSupported(deviceId, feature, &answer)))
        return E_FAIL;
    *supported = answer == VARIANT_TRUE;
    return S_OK;
}

HRESULT CCameraControls::IsFeatureSupported(const std::string& feature, bool* supported) {
    return props_.OnCurrentCamera(
        [&](const std::string& id) { return IsFeatureSupportedOf(id, feature, supported); });
}

HRESULT CCameraControls::IsFaceTrackingSupportedOf(const std::string& deviceId, bool* supported) {
    if (service_ == nullptr || deviceId.empty() || supported == nullptr)
        return E_FAIL;
    VARIANT_BOOL answer = VARIANT_FALSE;
    if (FAILED(service_->IsFaceTrackingSupported(deviceId, &answer)))
        return E_FAIL;
    *supported = answer == VARIANT_TRUE;
    return S_OK;
}

HRESULT CCameraControls::IsFaceTrackingSupported(bool* supported) {
    return props_.OnCurrentCamera(
        [&](const std::string& id) { return IsFaceTrackingSupportedOf(id, supported); });
}

HRESULT CCameraControls::IsMultipleFaceTrackingSupportedOf(const std::string& deviceId, bool* supported) {
    if (service_ == nullptr || deviceId.empty() || supported == nullptr)
        return E_FAIL;
    VARIANT_BOOL answer = VARIANT_FALSE;
    if (FAILED(service_->IsMultipleFaceTrackingSupported(deviceId, &answer)))
        return E_FAIL;
    *supported = answer == VARIANT_TRUE;
    return S_OK;
}

HRESULT CCameraControls::IsMultipleFaceTrackingSupported(bool* supported) {
    return props_.OnCurrentCamera(
        [&](const std::string& id) { return IsMultipleFaceTrackingSupportedOf(id, supported); });
}

// --- writes
// -------------------------------------------------------------------------------------------------

HRESULT CCameraControls::SetTriStateMode(int32_t mode) {
    const int32_t stored = mode == 1 ? 1 : (mode == 2 ? 4 : 0);
    return props_.SetLong(Kind::Video, TriStateMode.value, stored);
}

HRESULT CCameraControls::SetAdvancedSwitchD(int32_t value) {
    if (value < 0 || value > 2)
        return E_FAIL;
    return props_.SetLong(Kind::Video, AdvancedSwitchD.value, value);
}

HRESULT CCameraControls::SetColorBoost(int32_t value) {
    return props_.SetLong(Kind::Video, ColorBoost.value, value);
}

HRESULT CCameraControls::SetLowLightBoost(int32_t value) {
    return props_.SetLong(Kind::Video, LowLightBoost.value, value);
}

HRESULT CCameraControls::SetAdvancedSwitchC(int32_t value) {
    return props_.SetLong(Kind::Video, AdvancedSwitchC.value, value);
}

HRESULT CCameraControls::SetAdvancedSwitchB(int32_t value) {
    return props_.SetLong(Kind::Video, AdvancedSwitchB.value, value);
}

HRESULT CCameraControls::SetAdvancedLevelB(int32_t value) {
    return props_.SetLong(Kind::Video, AdvancedLevelB.value, value);
}

HRESULT CCameraControls::SetAdvancedLevelA(int32_t value) {
    return props_.SetLong(Kind::Video, AdvancedLevelA.value, value);
}

HRESULT CCameraControls::SetAdvancedSwitchA(int32_t value) {
    return props_.SetLong(Kind::Video, AdvancedSwitchA.value, value);
}

HRESULT CCameraControls::SetAutoFocus(bool on) {
    return props_.SetBool(Kind::Video, AutoFocus, on);
}

HRESULT CCameraControls::SetWebcamValueG(int32_t value) {
    return props_.SetLong(Kind::Video, Focus, value);
}

HRESULT CCameraControls::SetZoom(int32_t value) {
    return props_.SetLong(Kind::Video, Zoom.value, value);
}

HRESULT CCameraControls::SetPanTiltAxis2(int32_t value) {
    return props_.SetLong(Kind::Video, PanTiltAxis2.value, value);
}

HRESULT CCameraControls::SetPanTiltAxis1(int32_t value) {
    return props_.SetLong(Kind::Video, PanTiltAxis1.value, value);
}

HRESULT CCameraControls::SetWebcamLevelD(int32_t value) {
    return props_.SetLong(Kind::Video, WebcamLevelD.value, value);
}

HRESULT CCameraControls::SetWebcamLevelC(int32_t value) {
    return props_.SetLong(Kind::Video, WebcamLevelC.value, value);
}

HRESULT CCameraControls::SetWebcamLevelB(int32_t value) {
    return props_.SetLong(Kind::Video, WebcamLevelB.value, value);
}

HRESULT CCameraControls::SetWebcamLevelA(int32_t value) {
    return props_.SetLong(Kind::Video, WebcamLevelA.value, value);
}

HRESULT CCameraControls::SetVideoMute(int32_t value) {
    return props_.SetLong(Kind::Video, VideoMute, value);
}

HRESULT CCameraControls::SetSunTuneLevelB(int32_t value) {
    return props_.SetLong(Kind::Video, SunTuneLevelB.value, value);
}

HRESULT CCameraControls::SetSunTuneLevelC(int32_t value) {
    return props_.SetLong(Kind::Video, SunTuneLevelC.value, value);
}

HRESULT CCameraControls::SetSunTuneLevelA(int32_t value) {
    return props_.SetLong(Kind::Video, SunTuneLevelA.value, value);
}

HRESULT CCameraControls::SetSunTuneLevelD(int32_t value) {
    return props_.SetLong(Kind::Video, SunTuneLevelD.value, value);
}

HRESULT CCameraControls::SetSunTuneModeOf(const std::string& deviceId, int32_t mode) {
    return props_.SetOf(Kind::Video, deviceId, SunTuneMode.value, mode);
}

HRESULT CCameraControls::SetSunTuneMode(int32_t mode) {
    return props_.OnCurrentCamera([&](const std::string& id) { return SetSunTuneModeOf(id, mode); });
}

HRESULT CCameraControls::SetWebcamSwitchE(bool on) {
    return props_.SetBool(Kind::Video, WebcamSwitchE, on);
}

HRESULT CCameraControls::SetBacklight(int32_t value) {
    return props_.SetLong(Kind::Video, Backlight.value, value);
}

HRESULT CCameraControls::ResetProperty41() {
    return props_.SetLong(Kind::Video, Reset41, 0);
}

HRESULT CCameraControls::SetProperty94(int32_t value) {
    const std::string* id = props_.CurrentDevice(Kind::Video);
    if (id == nullptr)
        return E_FAIL;
    // The advanced pane shows the service's own answer.
    return props_.ServiceSet(Kind::Video, *id, Value94, Variant::FromI4(value));
}

// --- LED
// ----------------------------------------------------------------------------------------------------

HRESULT CCameraControls::IsLedControlSupported(bool* supported) {
    const std::string* id = props_.CurrentDevice(Kind::Video);
    if (id == nullptr || supported == nullptr)
        return E_FAIL;
    *supported =
        props_.IsAvailable(Kind::Video, *id, LedMode) || props_.IsAvailable(Kind::Video, *id, LedModeOlder);
    return S_OK;
}

HRESULT CCameraControls::IsLedModeSupported(bool* supported) {
    const std::string* id = props_.CurrentDevice(Kind::Video);
    if (id == nullptr || supported == nullptr)
        return E_FAIL;
    *supported = props_.IsAvailable(Kind::Video, *id, LedMode);
    return S_OK;
}

HRESULT CCameraControls::SetLed(int32_t mode, int32_t a, int32_t b) {
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

HRESULT CCameraControls::GetLed(int32_t* mode, int32_t* a, int32_t* b) {
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

HRESULT CCameraControls::GetLedState(int32_t* mode, int32_t* a, int32_t* b) {
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

HRESULT CCameraControls::GetDeviceStrings(int32_t which, std::string& first, std::string& second) {
    return props_.OnCurrentCamera(
        [&](const std::string& id) { return GetDeviceStringsOf(id, which, first, second); });
}

HRESULT CCameraControls::GetDeviceStringsOf(const std::string& deviceId, int32_t which, std::string& first,
                                            std::string& second) {
    if (service_ == nullptr || deviceId.empty())
        return E_FAIL;
    std::string one, two;
    if (FAILED(service_->GetDeviceStrings(deviceId, which, &one, &two)))
        return E_FAIL;
    first = std::move(one);
    second = std::move(two);
    return S_OK;
}

HRESULT CCameraControls::TranslateDeviceId(const std::string& in, std::string& out) {
    std::string translated;
    if (service_ == nullptr || FAILED(service_->TranslateDeviceId(in, &translated))) {
        out.clear();
        return E_FAIL;
    }
    out = std::move(translated);
    return S_OK;
}
