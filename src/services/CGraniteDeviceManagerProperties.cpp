// Service access and the camera's settings as typed operations. Most operations are one of a few shapes
// (read a number, read a switch, read a level's range, write a value) applied to a property number from
// DeviceManagerProperties.h.
#include "services/CGraniteDeviceManager.h"

using namespace GdmProperty;

// --- service access
// -----------------------------------------------------------------------------------------

HRESULT CGraniteDeviceManager::ServiceQuery(Kind kind, const std::string& id, int32_t property,
                                            int32_t* state) {
    switch (kind) {
    case Kind::Video:
        return service_->QueryVideoProperty(id, property, state);
    case Kind::Microphone:
        return service_->QueryMicrophoneProperty(id, property, state);
    case Kind::Speaker:
        return service_->QuerySpeakerProperty(id, property, state);
    case Kind::Hid:
        break;
    }
    return service_->QueryHidProperty(id, property, state);
}

HRESULT CGraniteDeviceManager::ServiceGet(Kind kind, const std::string& id, int32_t property,
                                          Variant* value) {
    switch (kind) {
    case Kind::Video:
        return service_->GetVideoProperty(id, property, value);
    case Kind::Microphone:
        return service_->GetMicrophoneProperty(id, property, value);
    case Kind::Speaker:
        return service_->GetSpeakerProperty(id, property, value);
    case Kind::Hid:
        break;
    }
    return service_->GetHidProperty(id, property, value);
}

HRESULT CGraniteDeviceManager::ServiceSet(Kind kind, const std::string& id, int32_t property,
                                          const Variant& value) {
    switch (kind) {
    case Kind::Video:
        return service_->SetVideoProperty(id, property, value);
    case Kind::Microphone:
        return service_->SetMicrophoneProperty(id, property, value);
    case Kind::Speaker:
        return service_->SetSpeakerProperty(id, property, value);
    case Kind::Hid:
        break;
    }
    return service_->SetHidProperty(id, property, value);
}

bool CGraniteDeviceManager::IsAvailable(Kind kind, const std::string& id, int32_t property) {
    int32_t state = GDM_PROPERTY_NOT_AVAILABLE;
    return SUCCEEDED(ServiceQuery(kind, id, property, &state)) && state != GDM_PROPERTY_NOT_AVAILABLE;
}

HRESULT CGraniteDeviceManager::ReadLong(Kind kind, const std::string& id, int32_t property, int32_t* value) {
    Variant read;
    int32_t number = 0;
    if (FAILED(ServiceGet(kind, id, property, &read)) || !read.ToI4(number))
        return E_FAIL;
    *value = number;
    return S_OK;
}

const std::string* CGraniteDeviceManager::CurrentDevice(Kind kind) const {
    if (service_ == nullptr || kind == Kind::Hid)
        return nullptr;
    const std::string& id = const_cast<CGraniteDeviceManager*>(this)->CurrentIdOf(kind);
    return id.empty() ? nullptr : &id;
}

// --- the forwarding shapes
// ----------------------------------------------------------------------------------

HRESULT CGraniteDeviceManager::GetLong(Kind kind, int32_t property, int32_t* value) {
    const std::string* id = CurrentDevice(kind);
    if (id == nullptr || value == nullptr)
        return E_FAIL;
    return ReadLong(kind, *id, property, value);
}

HRESULT CGraniteDeviceManager::GetBool(Kind kind, int32_t property, bool* value) {
    const std::string* id = CurrentDevice(kind);
    if (id == nullptr || value == nullptr)
        return E_FAIL;
    return GetFlagOf(kind, *id, property, value);
}

HRESULT CGraniteDeviceManager::GetFlagOf(Kind kind, const std::string& deviceId, int32_t property,
                                         bool* value) {
    if (service_ == nullptr || deviceId.empty() || value == nullptr)
        return E_FAIL;
    Variant read;
    int32_t number = 0;
    if (FAILED(ServiceGet(kind, deviceId, property, &read)) || !read.ToI4(number))
        return E_FAIL;
    *value = IsVariantTrue(read);
    return S_OK;
}

HRESULT CGraniteDeviceManager::SetLong(Kind kind, int32_t property, int32_t value) {
    const std::string* id = CurrentDevice(kind);
    if (id == nullptr)
        return E_FAIL;
    return FAILED(ServiceSet(kind, *id, property, Variant::FromI4(value))) ? E_FAIL : S_OK;
}

HRESULT CGraniteDeviceManager::SetBool(Kind kind, int32_t property, bool value) {
    const std::string* id = CurrentDevice(kind);
    if (id == nullptr)
        return E_FAIL;
    return FAILED(ServiceSet(kind, *id, property, Variant::FromBool(value))) ? E_FAIL : S_OK;
}

HRESULT CGraniteDeviceManager::GetRange(Kind kind, const Level& level, int32_t* min, int32_t* max,
                                        int32_t* value) {
    const std::string* id = CurrentDevice(kind);
    if (id == nullptr || min == nullptr || max == nullptr || value == nullptr)
        return E_FAIL;
    if (!IsAvailable(kind, *id, level.value))
        return E_NOTIMPL;
    // All three or nothing: a half-read range would put a slider on made-up limits.
    int32_t readMin = 0, readMax = 0, readValue = 0;
    if (FAILED(ReadLong(kind, *id, level.min, &readMin)) ||
        FAILED(ReadLong(kind, *id, level.max, &readMax)) ||
        FAILED(ReadLong(kind, *id, level.value, &readValue)))
        return E_FAIL;
    *min = readMin;
    *max = readMax;
    *value = readValue;
    return S_OK;
}

HRESULT CGraniteDeviceManager::GetSwitch(Kind kind, int32_t property, int32_t* value) {
    const std::string* id = CurrentDevice(kind);
    if (id == nullptr || value == nullptr)
        return E_FAIL;
    return GetOf(kind, *id, property, value);
}

HRESULT CGraniteDeviceManager::GetOf(Kind kind, const std::string& deviceId, int32_t property,
                                     int32_t* value) {
    if (service_ == nullptr || deviceId.empty() || value == nullptr)
        return E_FAIL;
    if (!IsAvailable(kind, deviceId, property))
        return E_NOTIMPL;
    return ReadLong(kind, deviceId, property, value);
}

HRESULT CGraniteDeviceManager::SetOf(Kind kind, const std::string& deviceId, int32_t property,
                                     int32_t value) {
    if (service_ == nullptr || deviceId.empty())
        return E_FAIL;
    return FAILED(ServiceSet(kind, deviceId, property, Variant::FromI4(value))) ? E_FAIL : S_OK;
}

// --- pan, tilt and zoom
// -------------------------------------------------------------------------------------

HRESULT CGraniteDeviceManager::GetPtzCapabilityOf(const std::string& deviceId, int32_t* value) {
    return GetOf(Kind::Video, deviceId, PtzCapability, value);
}

HRESULT CGraniteDeviceManager::GetPtzCapability(int32_t* value) {
    return OnCurrentCamera([&](const std::string& id) { return GetPtzCapabilityOf(id, value); });
}

HRESULT CGraniteDeviceManager::PtzCommand77(int32_t value) {
    return SetLong(Kind::Video, GdmProperty::PtzCommand77, value);
}

HRESULT CGraniteDeviceManager::PtzCommand78(int32_t value) {
    return SetLong(Kind::Video, GdmProperty::PtzCommand78, value);
}

HRESULT CGraniteDeviceManager::PtzCommand79(int32_t value) {
    return SetLong(Kind::Video, GdmProperty::PtzCommand79, value);
}

HRESULT CGraniteDeviceManager::PtzCommand80(int32_t value) {
    return SetLong(Kind::Video, GdmProperty::PtzCommand80, value);
}

HRESULT CGraniteDeviceManager::ClearProperty81() {
    return SetBool(Kind::Video, Clear81, false);
}

HRESULT CGraniteDeviceManager::GetPtzSupportOf(const std::string& deviceId, bool* supported) {
    if (service_ == nullptr || deviceId.empty() || supported == nullptr)
        return E_FAIL;
    const bool pan = IsAvailable(Kind::Video, deviceId, PanTiltAxis1.value);
    const bool tilt = IsAvailable(Kind::Video, deviceId, PanTiltAxis2.value);
    const bool zoom = IsAvailable(Kind::Video, deviceId, Zoom.value);
    int32_t zoomMin = 0;
    const bool zoomReadable = SUCCEEDED(ReadLong(Kind::Video, deviceId, Zoom.min, &zoomMin));
    *supported = pan && tilt && zoom && zoomReadable;
    return S_OK;
}

HRESULT CGraniteDeviceManager::GetPtzSupport(bool* supported) {
    return OnCurrentCamera([&](const std::string& id) { return GetPtzSupportOf(id, supported); });
}

// --- switches
// -----------------------------------------------------------------------------------------------

HRESULT CGraniteDeviceManager::GetTriStateModeRaw(int32_t* raw) {
    return GetSwitch(Kind::Video, TriStateMode.value, raw);
}

HRESULT CGraniteDeviceManager::GetTriStateMode(int32_t* mode) {
    int32_t stored = 0;
    const HRESULT hr = GetSwitch(Kind::Video, TriStateMode.value, &stored);
    if (FAILED(hr))
        return hr;
    *mode = (stored == 0 || stored == 2) ? 0 : (stored == 4 ? 2 : 1);
    return S_OK;
}

HRESULT CGraniteDeviceManager::GetTriStateModeCompanion(int32_t* value) {
    return GetSwitch(Kind::Video, TriStateMode.companion, value);
}

HRESULT CGraniteDeviceManager::GetAdvancedSwitchD(int32_t* value) {
    return GetSwitch(Kind::Video, AdvancedSwitchD.value, value);
}

HRESULT CGraniteDeviceManager::GetAdvancedSwitchDCompanion(int32_t* value) {
    return GetSwitch(Kind::Video, AdvancedSwitchD.companion, value);
}

HRESULT CGraniteDeviceManager::GetColorBoostOf(const std::string& deviceId, int32_t* value) {
    return GetOf(Kind::Video, deviceId, ColorBoost.value, value);
}

HRESULT CGraniteDeviceManager::GetColorBoost(int32_t* value) {
    return OnCurrentCamera([&](const std::string& id) { return GetColorBoostOf(id, value); });
}

HRESULT CGraniteDeviceManager::GetColorBoostCompanion(int32_t* value) {
    return GetSwitch(Kind::Video, ColorBoost.companion, value);
}

HRESULT CGraniteDeviceManager::GetLowLightBoostOf(const std::string& deviceId, int32_t* value) {
    return GetOf(Kind::Video, deviceId, LowLightBoost.value, value);
}

HRESULT CGraniteDeviceManager::GetLowLightBoost(int32_t* value) {
    return OnCurrentCamera([&](const std::string& id) { return GetLowLightBoostOf(id, value); });
}

HRESULT CGraniteDeviceManager::GetLowLightBoostCompanion(int32_t* value) {
    return GetSwitch(Kind::Video, LowLightBoost.companion, value);
}

HRESULT CGraniteDeviceManager::GetAdvancedSwitchC(int32_t* value) {
    return GetSwitch(Kind::Video, AdvancedSwitchC.value, value);
}

HRESULT CGraniteDeviceManager::GetAdvancedSwitchCCompanion(int32_t* value) {
    return GetSwitch(Kind::Video, AdvancedSwitchC.companion, value);
}

HRESULT CGraniteDeviceManager::GetAdvancedSwitchB(int32_t* value) {
    return GetSwitch(Kind::Video, AdvancedSwitchB.value, value);
}

HRESULT CGraniteDeviceManager::GetAdvancedSwitchBCompanion(int32_t* value) {
    return GetSwitch(Kind::Video, AdvancedSwitchB.companion, value);
}

HRESULT CGraniteDeviceManager::GetAdvancedSwitchA(int32_t* value) {
    return GetSwitch(Kind::Video, AdvancedSwitchA.value, value);
}

HRESULT CGraniteDeviceManager::GetAdvancedSwitchACompanion(int32_t* value) {
    return GetSwitch(Kind::Video, AdvancedSwitchA.companion, value);
}

HRESULT CGraniteDeviceManager::GetVideoMute(int32_t* value) {
    return GetSwitch(Kind::Video, VideoMute, value);
}

HRESULT CGraniteDeviceManager::GetSunTuneModeOf(const std::string& deviceId, int32_t* mode) {
    return GetOf(Kind::Video, deviceId, SunTuneMode.value, mode);
}

HRESULT CGraniteDeviceManager::GetSunTuneMode(int32_t* mode) {
    return OnCurrentCamera([&](const std::string& id) { return GetSunTuneModeOf(id, mode); });
}

HRESULT CGraniteDeviceManager::GetSunTuneModeCompanion(int32_t* value) {
    return GetSwitch(Kind::Video, SunTuneMode.companion, value);
}

HRESULT CGraniteDeviceManager::GetMechanicalPrivacyShadeOf(const std::string& deviceId, int32_t* value) {
    return GetOf(Kind::Video, deviceId, MechanicalPrivacyShade, value);
}

HRESULT CGraniteDeviceManager::GetMechanicalPrivacyShade(int32_t* value) {
    return OnCurrentCamera([&](const std::string& id) { return GetMechanicalPrivacyShadeOf(id, value); });
}

HRESULT CGraniteDeviceManager::GetProperty86Of(const std::string& deviceId, int32_t* value) {
    return GetOf(Kind::Video, deviceId, Value86, value);
}

HRESULT CGraniteDeviceManager::GetProperty86(int32_t* value) {
    return OnCurrentCamera([&](const std::string& id) { return GetProperty86Of(id, value); });
}

HRESULT CGraniteDeviceManager::GetProperty87Of(const std::string& deviceId, int32_t* value) {
    return GetOf(Kind::Video, deviceId, Value87, value);
}

HRESULT CGraniteDeviceManager::GetProperty87(int32_t* value) {
    return OnCurrentCamera([&](const std::string& id) { return GetProperty87Of(id, value); });
}

// --- levels
// -------------------------------------------------------------------------------------------------

HRESULT CGraniteDeviceManager::GetAdvancedLevelB(int32_t* value) {
    return GetLong(Kind::Video, AdvancedLevelB.value, value);
}

HRESULT CGraniteDeviceManager::GetAdvancedLevelBCompanion(int32_t* value) {
    return GetLong(Kind::Video, AdvancedLevelB.companion, value);
}

HRESULT CGraniteDeviceManager::GetAdvancedLevelBRange(int32_t* min, int32_t* max, int32_t* value) {
    return GetRange(Kind::Video, AdvancedLevelB, min, max, value);
}

HRESULT CGraniteDeviceManager::GetAdvancedLevelA(int32_t* value) {
    return GetLong(Kind::Video, AdvancedLevelA.value, value);
}

HRESULT CGraniteDeviceManager::GetAdvancedLevelACompanion(int32_t* value) {
    return GetLong(Kind::Video, AdvancedLevelA.companion, value);
}

HRESULT CGraniteDeviceManager::GetAdvancedLevelARange(int32_t* min, int32_t* max, int32_t* value) {
    return GetRange(Kind::Video, AdvancedLevelA, min, max, value);
}

HRESULT CGraniteDeviceManager::GetZoom(int32_t* value) {
    return GetLong(Kind::Video, Zoom.value, value);
}

HRESULT CGraniteDeviceManager::GetZoomCompanion(int32_t* value) {
    return GetLong(Kind::Video, Zoom.companion, value);
}

HRESULT CGraniteDeviceManager::GetZoomRange(int32_t* min, int32_t* max, int32_t* value) {
    return GetRange(Kind::Video, Zoom, min, max, value);
}

HRESULT CGraniteDeviceManager::GetPanTiltAxis2(int32_t* value) {
    return GetLong(Kind::Video, PanTiltAxis2.value, value);
}

HRESULT CGraniteDeviceManager::GetPanTiltAxis2Companion(int32_t* value) {
    return GetLong(Kind::Video, PanTiltAxis2.companion, value);
}

HRESULT CGraniteDeviceManager::GetPanTiltAxis2Range(int32_t* min, int32_t* max, int32_t* value) {
    return GetRange(Kind::Video, PanTiltAxis2, min, max, value);
}

HRESULT CGraniteDeviceManager::GetPanTiltAxis1(int32_t* value) {
    return GetLong(Kind::Video, PanTiltAxis1.value, value);
}

HRESULT CGraniteDeviceManager::GetPanTiltAxis1Companion(int32_t* value) {
    return GetLong(Kind::Video, PanTiltAxis1.companion, value);
}

HRESULT CGraniteDeviceManager::GetPanTiltAxis1Range(int32_t* min, int32_t* max, int32_t* value) {
    return GetRange(Kind::Video, PanTiltAxis1, min, max, value);
}

HRESULT CGraniteDeviceManager::GetWebcamLevelD(int32_t* value) {
    return GetLong(Kind::Video, WebcamLevelD.value, value);
}

HRESULT CGraniteDeviceManager::GetWebcamLevelDCompanion(int32_t* value) {
    return GetLong(Kind::Video, WebcamLevelD.companion, value);
}

HRESULT CGraniteDeviceManager::GetWebcamLevelDRange(int32_t* min, int32_t* max, int32_t* value) {
    return GetRange(Kind::Video, WebcamLevelD, min, max, value);
}

HRESULT CGraniteDeviceManager::GetWebcamLevelC(int32_t* value) {
    return GetLong(Kind::Video, WebcamLevelC.value, value);
}

HRESULT CGraniteDeviceManager::GetWebcamLevelCCompanion(int32_t* value) {
    return GetLong(Kind::Video, WebcamLevelC.companion, value);
}

HRESULT CGraniteDeviceManager::GetWebcamLevelCRange(int32_t* min, int32_t* max, int32_t* value) {
    return GetRange(Kind::Video, WebcamLevelC, min, max, value);
}

HRESULT CGraniteDeviceManager::GetWebcamLevelB(int32_t* value) {
    return GetLong(Kind::Video, WebcamLevelB.value, value);
}

HRESULT CGraniteDeviceManager::GetWebcamLevelBCompanion(int32_t* value) {
    return GetLong(Kind::Video, WebcamLevelB.companion, value);
}

HRESULT CGraniteDeviceManager::GetWebcamLevelBRange(int32_t* min, int32_t* max, int32_t* value) {
    return GetRange(Kind::Video, WebcamLevelB, min, max, value);
}

HRESULT CGraniteDeviceManager::GetWebcamLevelA(int32_t* value) {
    return GetLong(Kind::Video, WebcamLevelA.value, value);
}

HRESULT CGraniteDeviceManager::GetWebcamLevelACompanion(int32_t* value) {
    return GetLong(Kind::Video, WebcamLevelA.companion, value);
}

HRESULT CGraniteDeviceManager::GetWebcamLevelARange(int32_t* min, int32_t* max, int32_t* value) {
    return GetRange(Kind::Video, WebcamLevelA, min, max, value);
}

HRESULT CGraniteDeviceManager::GetSunTuneLevelB(int32_t* value) {
    return GetLong(Kind::Video, SunTuneLevelB.value, value);
}

HRESULT CGraniteDeviceManager::GetSunTuneLevelBCompanion(int32_t* value) {
    return GetLong(Kind::Video, SunTuneLevelB.companion, value);
}

HRESULT CGraniteDeviceManager::GetSunTuneLevelBRange(int32_t* min, int32_t* max, int32_t* value) {
    return GetRange(Kind::Video, SunTuneLevelB, min, max, value);
}

HRESULT CGraniteDeviceManager::GetSunTuneLevelA(int32_t* value) {
    return GetLong(Kind::Video, SunTuneLevelA.value, value);
}

HRESULT CGraniteDeviceManager::GetSunTuneLevelACompanion(int32_t* value) {
    return GetLong(Kind::Video, SunTuneLevelA.companion, value);
}

HRESULT CGraniteDeviceManager::GetSunTuneLevelARange(int32_t* min, int32_t* max, int32_t* value) {
    return GetRange(Kind::Video, SunTuneLevelA, min, max, value);
}

HRESULT CGraniteDeviceManager::GetSunTuneLevelC(int32_t* value) {
    return GetLong(Kind::Video, SunTuneLevelC.value, value);
}

HRESULT CGraniteDeviceManager::GetSunTuneLevelCCompanion(int32_t* value) {
    return GetLong(Kind::Video, SunTuneLevelC.companion, value);
}

HRESULT CGraniteDeviceManager::GetSunTuneLevelCRange(int32_t* min, int32_t* max, int32_t* value) {
    return GetRange(Kind::Video, SunTuneLevelC, min, max, value);
}

HRESULT CGraniteDeviceManager::GetSunTuneLevelD(int32_t* value) {
    return GetLong(Kind::Video, SunTuneLevelD.value, value);
}

HRESULT CGraniteDeviceManager::GetSunTuneLevelDCompanion(int32_t* value) {
    return GetLong(Kind::Video, SunTuneLevelD.companion, value);
}

HRESULT CGraniteDeviceManager::GetSunTuneLevelDRange(int32_t* min, int32_t* max, int32_t* value) {
    return GetRange(Kind::Video, SunTuneLevelD, min, max, value);
}

HRESULT CGraniteDeviceManager::GetBacklightOf(const std::string& deviceId, int32_t* value) {
    if (service_ == nullptr || deviceId.empty() || value == nullptr)
        return E_FAIL;
    return ReadLong(Kind::Video, deviceId, Backlight.value, value);
}

HRESULT CGraniteDeviceManager::GetBacklight(int32_t* value) {
    return GetLong(Kind::Video, Backlight.value, value);
}

HRESULT CGraniteDeviceManager::GetBacklightCompanion(int32_t* value) {
    return GetLong(Kind::Video, Backlight.companion, value);
}

HRESULT CGraniteDeviceManager::GetBacklightRange(int32_t* min, int32_t* max, int32_t* value) {
    return GetRange(Kind::Video, Backlight, min, max, value);
}
