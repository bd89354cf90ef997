#pragma once
// The camera's settings as typed operations for the device-manager facade: pan, tilt and zoom, levels and
// switches, the other values, writes, the LED and the camera's strings. They act on the current camera of
// the facade's lists (or the one named) and never reach the listeners.
#include "services/CDevicePropertyAccess.h"
#include "services/IInProcDeviceManager.h"

#include <string>

class CCameraControls {
public:
    using Kind = CDeviceLists::Kind;

    // `service` is the facade's own pointer, read at each call (it goes null at shutdown).
    CCameraControls(IInProcDeviceManager* const& service, CDevicePropertyAccess& props);

    // Face tracking as the camera stores it (0 or 2 off, 1 one face, 4 several faces) turned into the mode
    // the getter gives (0 off, 1 one face, 2 several faces); other stored values count as one face.
    static int32_t TriStateOf(int32_t stored) {
        return (stored == 0 || stored == 2) ? 0 : (stored == 4 ? 2 : 1);
    }

    HRESULT GetPtzCapabilityOf(const std::string& deviceId, int32_t* value);
    HRESULT GetPtzCapability(int32_t* value);
    HRESULT PtzCommand77(int32_t value);
    HRESULT PtzCommand78(int32_t value);
    HRESULT PtzCommand79(int32_t value);
    HRESULT PtzCommand80(int32_t value);
    HRESULT ClearProperty81();
    HRESULT GetPtzSupportOf(const std::string& deviceId, bool* supported);
    HRESULT GetPtzSupport(bool* supported);
    HRESULT GetTriStateModeRaw(int32_t* raw);
    HRESULT GetTriStateMode(int32_t* mode);
    HRESULT GetTriStateModeCompanion(int32_t* value);
    HRESULT GetAdvancedSwitchD(int32_t* value);
    HRESULT GetAdvancedSwitchDCompanion(int32_t* value);
    HRESULT GetColorBoostOf(const std::string& deviceId, int32_t* value);
    HRESULT GetColorBoost(int32_t* value);
    HRESULT GetColorBoostCompanion(int32_t* value);
    HRESULT GetLowLightBoostOf(const std::string& deviceId, int32_t* value);
    HRESULT GetLowLightBoost(int32_t* value);
    HRESULT GetLowLightBoostCompanion(int32_t* value);
    HRESULT GetAdvancedSwitchC(int32_t* value);
    HRESULT GetAdvancedSwitchCCompanion(int32_t* value);
    HRESULT GetAdvancedSwitchB(int32_t* value);
    HRESULT GetAdvancedSwitchBCompanion(int32_t* value);
    HRESULT GetAdvancedSwitchA(int32_t* value);
    HRESULT GetAdvancedSwitchACompanion(int32_t* value);
    HRESULT GetVideoMute(int32_t* value);
    HRESULT GetSunTuneModeOf(const std::string& deviceId, int32_t* mode);
    HRESULT GetSunTuneMode(int32_t* mode);
    HRESULT GetSunTuneModeCompanion(int32_t* value);
    HRESULT GetMechanicalPrivacyShadeOf(const std::string& deviceId, int32_t* value);
    HRESULT GetMechanicalPrivacyShade(int32_t* value);
    HRESULT GetProperty86Of(const std::string& deviceId, int32_t* value);
    HRESULT GetProperty86(int32_t* value);
    HRESULT GetProperty87Of(const std::string& deviceId, int32_t* value);
    HRESULT GetProperty87(int32_t* value);
    HRESULT GetAdvancedLevelB(int32_t* value);
    HRESULT GetAdvancedLevelBCompanion(int32_t* value);
    HRESULT GetAdvancedLevelBRange(int32_t* min, int32_t* max, int32_t* value);
    HRESULT GetAdvancedLevelA(int32_t* value);
    HRESULT GetAdvancedLevelACompanion(int32_t* value);
    HRESULT GetAdvancedLevelARange(int32_t* min, int32_t* max, int32_t* value);
    HRESULT GetZoom(int32_t* value);
    HRESULT GetZoomCompanion(int32_t* value);
    HRESULT GetZoomRange(int32_t* min, int32_t* max, int32_t* value);
    HRESULT GetPanTiltAxis2(int32_t* value);
    HRESULT GetPanTiltAxis2Companion(int32_t* value);
    HRESULT GetPanTiltAxis2Range(int32_t* min, int32_t* max, int32_t* value);
    HRESULT GetPanTiltAxis1(int32_t* value);
    HRESULT GetPanTiltAxis1Companion(int32_t* value);
    HRESULT GetPanTiltAxis1Range(int32_t* min, int32_t* max, int32_t* value);
    HRESULT GetWebcamLevelD(int32_t* value);
    HRESULT GetWebcamLevelDCompanion(int32_t* value);
    HRESULT GetWebcamLevelDRange(int32_t* min, int32_t* max, int32_t* value);
    HRESULT GetWebcamLevelC(int32_t* value);
    HRESULT GetWebcamLevelCCompanion(int32_t* value);
    HRESULT GetWebcamLevelCRange(int32_t* min, int32_t* max, int32_t* value);
    HRESULT GetWebcamLevelB(int32_t* value);
    HRESULT GetWebcamLevelBCompanion(int32_t* value);
    HRESULT GetWebcamLevelBRange(int32_t* min, int32_t* max, int32_t* value);
    HRESULT GetWebcamLevelA(int32_t* value);
    HRESULT GetWebcamLevelACompanion(int32_t* value);
    HRESULT GetWebcamLevelARange(int32_t* min, int32_t* max, int32_t* value);
    HRESULT GetSunTuneLevelB(int32_t* value);
    HRESULT GetSunTuneLevelBCompanion(int32_t* value);
    HRESULT GetSunTuneLevelBRange(int32_t* min, int32_t* max, int32_t* value);
    HRESULT GetSunTuneLevelA(int32_t* value);
    HRESULT GetSunTuneLevelACompanion(int32_t* value);
    HRESULT GetSunTuneLevelARange(int32_t* min, int32_t* max, int32_t* value);
    HRESULT GetSunTuneLevelC(int32_t* value);
    HRESULT GetSunTuneLevelCCompanion(int32_t* value);
    HRESULT GetSunTuneLevelCRange(int32_t* min, int32_t* max, int32_t* value);
    HRESULT GetSunTuneLevelD(int32_t* value);
    HRESULT GetSunTuneLevelDCompanion(int32_t* value);
    HRESULT GetSunTuneLevelDRange(int32_t* min, int32_t* max, int32_t* value);
    HRESULT GetBacklightOf(const std::string& deviceId, int32_t* value);
    HRESULT GetBacklight(int32_t* value);
    HRESULT GetBacklightCompanion(int32_t* value);
    HRESULT GetBacklightRange(int32_t* min, int32_t* max, int32_t* value);
    HRESULT GetAutoFocusOf(const std::string& deviceId, bool* value);
    HRESULT GetAutoFocus(bool* value);
    HRESULT GetWebcamValueG(int32_t* value);
    HRESULT GetWebcamValueGDetails(int32_t* value100, int32_t* value101, int32_t* value103,
                                   int32_t* value102);
    HRESULT GetProperty105And104(bool* value105, int32_t* value104);
    HRESULT GetFocusStatus(int32_t* value);
    HRESULT GetWebcamSwitchE(bool* value);
    HRESULT GetProperty89(bool* value);
    HRESULT GetProperty26Flag(bool* flag);
    HRESULT IsFeatureSupportedOf(const std::string& deviceId, const std::string& feature, bool* supported);
    HRESULT IsFeatureSupported(const std::string& feature, bool* supported);
    HRESULT IsFaceTrackingSupportedOf(const std::string& deviceId, bool* supported);
    HRESULT IsFaceTrackingSupported(bool* supported);
    HRESULT IsMultipleFaceTrackingSupportedOf(const std::string& deviceId, bool* supported);
    HRESULT IsMultipleFaceTrackingSupported(bool* supported);
    HRESULT SetTriStateMode(int32_t mode);
    HRESULT SetAdvancedSwitchD(int32_t value);
    HRESULT SetColorBoost(int32_t value);
    HRESULT SetLowLightBoost(int32_t value);
    HRESULT SetAdvancedSwitchC(int32_t value);
    HRESULT SetAdvancedSwitchB(int32_t value);
    HRESULT SetAdvancedLevelB(int32_t value);
    HRESULT SetAdvancedLevelA(int32_t value);
    HRESULT SetAdvancedSwitchA(int32_t value);
    HRESULT SetAutoFocus(bool on);
    HRESULT SetWebcamValueG(int32_t value);
    HRESULT SetZoom(int32_t value);
    HRESULT SetPanTiltAxis2(int32_t value);
    HRESULT SetPanTiltAxis1(int32_t value);
    HRESULT SetWebcamLevelD(int32_t value);
    HRESULT SetWebcamLevelC(int32_t value);
    HRESULT SetWebcamLevelB(int32_t value);
    HRESULT SetWebcamLevelA(int32_t value);
    HRESULT SetVideoMute(int32_t value);
    HRESULT SetSunTuneLevelB(int32_t value);
    HRESULT SetSunTuneLevelC(int32_t value);
    HRESULT SetSunTuneLevelA(int32_t value);
    HRESULT SetSunTuneLevelD(int32_t value);
    HRESULT SetSunTuneModeOf(const std::string& deviceId, int32_t mode);
    HRESULT SetSunTuneMode(int32_t mode);
    HRESULT SetWebcamSwitchE(bool on);
    HRESULT SetBacklight(int32_t value);
    HRESULT ResetProperty41();
    HRESULT SetProperty94(int32_t value);
    HRESULT IsLedControlSupported(bool* supported);
    HRESULT IsLedModeSupported(bool* supported);
    HRESULT SetLed(int32_t mode, int32_t a, int32_t b);
    HRESULT GetLed(int32_t* mode, int32_t* a, int32_t* b);
    HRESULT GetLedState(int32_t* mode, int32_t* a, int32_t* b);
    HRESULT GetDeviceStrings(int32_t which, std::string& first, std::string& second);
    HRESULT GetDeviceStringsOf(const std::string& deviceId, int32_t which, std::string& first,
                               std::string& second);
    HRESULT TranslateDeviceId(const std::string& in, std::string& out);

private:
    IInProcDeviceManager* const& service_;
    CDevicePropertyAccess& props_;
};
