#pragma once
// The device-manager facade as windows see it: cameras, microphones, speakers and HID devices, their
// settings as typed operations, and the listener table. Obtain it with GetGraniteDeviceManager() and give
// the reference back with Release(); call it on the user-interface thread only.
//
// Results: S_OK; E_FAIL when there is no service, no current device of the kind asked about, an empty id,
// a missing out-pointer or a failed service call; E_INVALIDARG for an index out of range; E_NOTIMPL when
// the device lacks the property. Operations ending in "Of" work on the named camera (or microphone or
// HID device), the others on the current one. Out-values are written only on success unless stated.
#include "platform/HResult.h"

#include <cstdint>
#include <string>

class IGraniteDeviceManagerEvent;

// Device kinds in arrival and removal events.
constexpr int32_t kDeviceTypeVideo = 1;
constexpr int32_t kDeviceTypeMicrophone = 2;
constexpr int32_t kDeviceTypeSpeaker = 3;
constexpr int32_t kDeviceTypeHid = 4;

// Listeners the facade keeps at most; further registrations are accepted but never called.
constexpr int kMaxDeviceManagerListeners = 25;

// A microphone, speaker or HID device as listed.
struct DeviceInfo {
    std::string name;
    std::string id;
    int32_t productId = 0; // USB product id (info1)
    int32_t vendorId = 0;  // USB vendor id (info2)
    int32_t revision = 0;  // (info3)
};

// A camera as listed.
struct VideoDeviceInfo {
    std::string name;
    std::string id;
    int32_t productId = 0;
    int32_t vendorId = 0;
    int32_t revision = 0;
    int32_t reserved = 0; // always 0
};

class IGraniteDeviceManager {
public:
    // --- references, lists, listeners ---
    virtual HRESULT AddRef() = 0;
    // At the last reference the facade shuts down and is freed.
    virtual HRESULT Release() = 0;
    virtual HRESULT RefreshVideoDevices() = 0;
    virtual HRESULT RefreshMicrophones() = 0;
    virtual HRESULT RefreshSpeakers() = 0;
    virtual HRESULT RefreshHidDevices() = 0;
    // Takes the first free slot; when all are taken the call still succeeds and the listener is not kept.
    virtual HRESULT AddListener(IGraniteDeviceManagerEvent* listener, uint32_t cookie) = 0;
    // Clears every slot holding the listener; it is not called again, not even later in a walk under way.
    virtual HRESULT RemoveListener(IGraniteDeviceManagerEvent* listener) = 0;

    // --- current devices ---
    virtual HRESULT SelectVideoDevice(int index) = 0;
    virtual HRESULT GetSelectedVideoDeviceIndex(int* index) = 0;
    virtual HRESULT SelectVideoDeviceById(const std::string& id) = 0;
    virtual HRESULT SelectMicrophone(int index) = 0;
    virtual HRESULT GetSelectedMicrophoneIndex(int* index) = 0;
    virtual HRESULT SelectMicrophoneById(const std::string& id) = 0;
    virtual HRESULT SelectSpeaker(int index) = 0;
    virtual HRESULT GetSelectedSpeakerIndex(int* index) = 0;
    virtual HRESULT SelectSpeakerById(const std::string& id) = 0;

    // --- the service's stored strings (3: preferred call speaker, 4: preferred call microphone) ---
    virtual HRESULT SetServiceString1(const std::string& value) = 0;
    virtual HRESULT GetServiceString1(std::string& value) = 0;
    virtual HRESULT SetServiceString2(const std::string& value) = 0;
    virtual HRESULT GetServiceString2(std::string& value) = 0;
    virtual HRESULT SetServiceString3(const std::string& value) = 0;
    virtual HRESULT GetServiceString3(std::string& value) = 0;
    virtual HRESULT SetServiceString4(const std::string& value) = 0;
    virtual HRESULT GetServiceString4(std::string& value) = 0;

    // --- pan, tilt and zoom ---
    virtual HRESULT GetPtzCapabilityOf(const std::string& deviceId, int32_t* value) = 0;
    virtual HRESULT GetPtzCapability(int32_t* value) = 0;
    virtual HRESULT PtzCommand77(int32_t value) = 0;
    virtual HRESULT PtzCommand78(int32_t value) = 0;
    virtual HRESULT PtzCommand79(int32_t value) = 0;
    virtual HRESULT PtzCommand80(int32_t value) = 0;
    virtual HRESULT ClearProperty81() = 0;
    // True when pan, tilt and zoom are all available.
    virtual HRESULT GetPtzSupportOf(const std::string& deviceId, bool* supported) = 0;
    virtual HRESULT GetPtzSupport(bool* supported) = 0;

    // --- camera switches and levels (reads) ---
    virtual HRESULT GetTriStateModeRaw(int32_t* raw) = 0;
    // 0 off, 1 on, 2 automatic.
    virtual HRESULT GetTriStateMode(int32_t* mode) = 0;
    virtual HRESULT GetTriStateModeCompanion(int32_t* value) = 0;
    virtual HRESULT GetAdvancedSwitchD(int32_t* value) = 0;
    virtual HRESULT GetAdvancedSwitchDCompanion(int32_t* value) = 0;
    virtual HRESULT GetColorBoostOf(const std::string& deviceId, int32_t* value) = 0;
    virtual HRESULT GetColorBoost(int32_t* value) = 0;
    virtual HRESULT GetColorBoostCompanion(int32_t* value) = 0;
    virtual HRESULT GetLowLightBoostOf(const std::string& deviceId, int32_t* value) = 0;
    virtual HRESULT GetLowLightBoost(int32_t* value) = 0;
    virtual HRESULT GetLowLightBoostCompanion(int32_t* value) = 0;
    virtual HRESULT GetAdvancedSwitchC(int32_t* value) = 0;
    virtual HRESULT GetAdvancedSwitchCCompanion(int32_t* value) = 0;
    virtual HRESULT GetAdvancedSwitchB(int32_t* value) = 0;
    virtual HRESULT GetAdvancedSwitchBCompanion(int32_t* value) = 0;
    virtual HRESULT GetAdvancedLevelB(int32_t* value) = 0;
    virtual HRESULT GetAdvancedLevelBCompanion(int32_t* value) = 0;
    virtual HRESULT GetAdvancedLevelBRange(int32_t* min, int32_t* max, int32_t* value) = 0;
    virtual HRESULT GetAdvancedLevelA(int32_t* value) = 0;
    virtual HRESULT GetAdvancedLevelACompanion(int32_t* value) = 0;
    virtual HRESULT GetAdvancedLevelARange(int32_t* min, int32_t* max, int32_t* value) = 0;
    virtual HRESULT GetAdvancedSwitchA(int32_t* value) = 0;
    virtual HRESULT GetAdvancedSwitchACompanion(int32_t* value) = 0;
    // Auto-focus on the named camera (was GetAutoFocusOf).
    virtual HRESULT GetAutoFocusOf(const std::string& deviceId, bool* value) = 0;
    // Auto-focus on the current camera (was GetAutoFocus; SetAutoFocus was SetAutoFocus).
    virtual HRESULT GetAutoFocus(bool* value) = 0;
    virtual HRESULT GetWebcamValueG(int32_t* value) = 0;
    // Reads properties 100, 101, 103 and 102 into the four outputs, in that order.
    virtual HRESULT GetWebcamValueGDetails(int32_t* value100, int32_t* value101, int32_t* value103,
                                           int32_t* value102) = 0;
    virtual HRESULT GetProperty105And104(bool* value105, int32_t* value104) = 0;
    // Focus status: 0 idle, 1 settled, 2 searching, 3 failed; other readings come back as 2 (was
    // GetFocusStatus).
    virtual HRESULT GetFocusStatus(int32_t* value) = 0;
    virtual HRESULT GetZoom(int32_t* value) = 0;
    virtual HRESULT GetZoomCompanion(int32_t* value) = 0;
    virtual HRESULT GetZoomRange(int32_t* min, int32_t* max, int32_t* value) = 0;
    virtual HRESULT GetPanTiltAxis2(int32_t* value) = 0;
    virtual HRESULT GetPanTiltAxis2Companion(int32_t* value) = 0;
    virtual HRESULT GetPanTiltAxis2Range(int32_t* min, int32_t* max, int32_t* value) = 0;
    virtual HRESULT GetPanTiltAxis1(int32_t* value) = 0;
    virtual HRESULT GetPanTiltAxis1Companion(int32_t* value) = 0;
    virtual HRESULT GetPanTiltAxis1Range(int32_t* min, int32_t* max, int32_t* value) = 0;
    virtual HRESULT GetWebcamLevelD(int32_t* value) = 0;
    virtual HRESULT GetWebcamLevelDCompanion(int32_t* value) = 0;
    virtual HRESULT GetWebcamLevelDRange(int32_t* min, int32_t* max, int32_t* value) = 0;
    virtual HRESULT GetWebcamSwitchE(bool* value) = 0;
    virtual HRESULT GetProperty89(bool* value) = 0;
    virtual HRESULT GetWebcamLevelC(int32_t* value) = 0;
    virtual HRESULT GetWebcamLevelCCompanion(int32_t* value) = 0;
    virtual HRESULT GetWebcamLevelCRange(int32_t* min, int32_t* max, int32_t* value) = 0;
    virtual HRESULT GetWebcamLevelB(int32_t* value) = 0;
    virtual HRESULT GetWebcamLevelBCompanion(int32_t* value) = 0;
    virtual HRESULT GetWebcamLevelBRange(int32_t* min, int32_t* max, int32_t* value) = 0;
    virtual HRESULT GetWebcamLevelA(int32_t* value) = 0;
    virtual HRESULT GetWebcamLevelACompanion(int32_t* value) = 0;
    virtual HRESULT GetWebcamLevelARange(int32_t* min, int32_t* max, int32_t* value) = 0;
    virtual HRESULT GetVideoMute(int32_t* value) = 0;
    virtual HRESULT GetSunTuneLevelB(int32_t* value) = 0;
    virtual HRESULT GetSunTuneLevelBCompanion(int32_t* value) = 0;
    virtual HRESULT GetSunTuneLevelBRange(int32_t* min, int32_t* max, int32_t* value) = 0;
    virtual HRESULT GetSunTuneLevelA(int32_t* value) = 0;
    virtual HRESULT GetSunTuneLevelACompanion(int32_t* value) = 0;
    virtual HRESULT GetSunTuneLevelARange(int32_t* min, int32_t* max, int32_t* value) = 0;
    virtual HRESULT GetSunTuneLevelC(int32_t* value) = 0;
    virtual HRESULT GetSunTuneLevelCCompanion(int32_t* value) = 0;
    virtual HRESULT GetSunTuneLevelCRange(int32_t* min, int32_t* max, int32_t* value) = 0;
    virtual HRESULT GetSunTuneLevelD(int32_t* value) = 0;
    virtual HRESULT GetSunTuneLevelDCompanion(int32_t* value) = 0;
    virtual HRESULT GetSunTuneLevelDRange(int32_t* min, int32_t* max, int32_t* value) = 0;
    virtual HRESULT GetSunTuneModeOf(const std::string& deviceId, int32_t* mode) = 0;
    virtual HRESULT GetSunTuneMode(int32_t* mode) = 0;
    virtual HRESULT GetSunTuneModeCompanion(int32_t* value) = 0;
    virtual HRESULT GetBacklightOf(const std::string& deviceId, int32_t* value) = 0;
    virtual HRESULT GetBacklight(int32_t* value) = 0;
    virtual HRESULT GetBacklightCompanion(int32_t* value) = 0;
    virtual HRESULT GetBacklightRange(int32_t* min, int32_t* max, int32_t* value) = 0;
    virtual HRESULT GetMechanicalPrivacyShadeOf(const std::string& deviceId, int32_t* value) = 0;
    virtual HRESULT GetMechanicalPrivacyShade(int32_t* value) = 0;
    virtual HRESULT GetProperty86Of(const std::string& deviceId, int32_t* value) = 0;
    virtual HRESULT GetProperty86(int32_t* value) = 0;
    virtual HRESULT GetProperty87Of(const std::string& deviceId, int32_t* value) = 0;
    virtual HRESULT GetProperty87(int32_t* value) = 0;
    virtual HRESULT GetProperty26Flag(bool* flag) = 0;
    virtual HRESULT IsFeatureSupportedOf(const std::string& deviceId, const std::string& feature,
                                         bool* supported) = 0;
    virtual HRESULT IsFeatureSupported(const std::string& feature, bool* supported) = 0;
    virtual HRESULT IsFaceTrackingSupportedOf(const std::string& deviceId, bool* supported) = 0;
    virtual HRESULT IsFaceTrackingSupported(bool* supported) = 0;
    virtual HRESULT IsMultipleFaceTrackingSupportedOf(const std::string& deviceId, bool* supported) = 0;
    virtual HRESULT IsMultipleFaceTrackingSupported(bool* supported) = 0;

    // --- camera switches and levels (writes) ---
    // 0 off, 1 on, 2 automatic; anything else is taken as off.
    virtual HRESULT SetTriStateMode(int32_t mode) = 0;
    // 0, 1 or 2; anything else fails without reaching the camera.
    virtual HRESULT SetAdvancedSwitchD(int32_t value) = 0;
    virtual HRESULT SetColorBoost(int32_t value) = 0;
    virtual HRESULT SetLowLightBoost(int32_t value) = 0;
    virtual HRESULT SetAdvancedSwitchC(int32_t value) = 0;
    virtual HRESULT SetAdvancedSwitchB(int32_t value) = 0;
    virtual HRESULT SetAdvancedLevelB(int32_t value) = 0;
    virtual HRESULT SetAdvancedLevelA(int32_t value) = 0;
    virtual HRESULT SetAdvancedSwitchA(int32_t value) = 0;
    virtual HRESULT SetAutoFocus(bool on) = 0;
    virtual HRESULT SetWebcamValueG(int32_t value) = 0;
    virtual HRESULT SetZoom(int32_t value) = 0;
    virtual HRESULT SetPanTiltAxis2(int32_t value) = 0;
    virtual HRESULT SetPanTiltAxis1(int32_t value) = 0;
    virtual HRESULT SetWebcamLevelD(int32_t value) = 0;
    virtual HRESULT SetWebcamLevelC(int32_t value) = 0;
    virtual HRESULT SetWebcamLevelB(int32_t value) = 0;
    virtual HRESULT SetWebcamLevelA(int32_t value) = 0;
    virtual HRESULT SetVideoMute(int32_t value) = 0;
    virtual HRESULT SetSunTuneLevelB(int32_t value) = 0;
    virtual HRESULT SetSunTuneLevelC(int32_t value) = 0;
    virtual HRESULT SetSunTuneLevelA(int32_t value) = 0;
    virtual HRESULT SetSunTuneLevelD(int32_t value) = 0;
    virtual HRESULT SetSunTuneModeOf(const std::string& deviceId, int32_t mode) = 0;
    virtual HRESULT SetSunTuneMode(int32_t mode) = 0;
    virtual HRESULT SetWebcamSwitchE(bool on) = 0;
    virtual HRESULT SetBacklight(int32_t value) = 0;

    // --- LED ---
    virtual HRESULT IsLedControlSupported(bool* supported) = 0;
    virtual HRESULT IsLedModeSupported(bool* supported) = 0;
    // mode, a and b are one byte each.
    virtual HRESULT SetLed(int32_t mode, int32_t a, int32_t b) = 0;
    virtual HRESULT GetLed(int32_t* mode, int32_t* a, int32_t* b) = 0;
    // mode is 0, 1 or 4.
    virtual HRESULT GetLedState(int32_t* mode, int32_t* a, int32_t* b) = 0;

    // --- camera strings and misc ---
    // which = 0: the application holding the camera (first) and its executable (second).
    virtual HRESULT GetDeviceStrings(int32_t which, std::string& first, std::string& second) = 0;
    virtual HRESULT GetDeviceStringsOf(const std::string& deviceId, int32_t which, std::string& first,
                                       std::string& second) = 0;
    virtual HRESULT GetServiceText66(std::string& text) = 0;
    virtual HRESULT ResetProperty41() = 0;

    // --- audio ---
    virtual HRESULT SetNoiseSuppression(int32_t on) = 0;
    virtual HRESULT GetNoiseSuppression(int32_t* on) = 0;
    virtual HRESULT SetEchoCancellation(int32_t on) = 0;
    virtual HRESULT GetEchoCancellation(int32_t* on) = 0;
    virtual HRESULT GetMicrophoneFlag11Of(const std::string& deviceId, bool* flag) = 0;
    virtual HRESULT GetMicrophoneFlag12Of(const std::string& deviceId, bool* flag) = 0;
    virtual HRESULT GetMicrophoneMuteOf(const std::string& deviceId, bool* muted) = 0;
    virtual HRESULT HasMicrophoneVolumeOf(const std::string& deviceId, bool* has) = 0;
    virtual HRESULT GetMicrophoneIdAt(int32_t index, std::string& id) = 0;
    virtual HRESULT GetMicrophoneLevelRange(int32_t* min, int32_t* max, int32_t* value) = 0;
    virtual HRESULT GetMicrophoneLevel(int32_t* value) = 0;
    virtual HRESULT SetMicrophoneVolume(int32_t value) = 0;
    virtual HRESULT GetMicrophoneVolume(int32_t* value) = 0;
    virtual HRESULT GetMicrophoneVolumeRange(int32_t* min, int32_t* max, int32_t* value) = 0;
    virtual HRESULT SetMicrophoneMute(int32_t muted) = 0;
    virtual HRESULT GetMicrophoneMuteByName(const std::string& deviceId, int32_t* muted) = 0;
    virtual HRESULT GetMicrophoneMute(int32_t* muted) = 0;
    virtual HRESULT Reserved172(int32_t a, int32_t b, int32_t c) = 0;
    virtual HRESULT SetSpeakerVolume(int32_t value) = 0;
    virtual HRESULT GetSpeakerVolume(int32_t* value) = 0;
    virtual HRESULT Reserved175() = 0;
    virtual HRESULT SetSpeakerMute(int32_t muted) = 0;
    virtual HRESULT GetSpeakerMute(int32_t* muted) = 0;
    virtual HRESULT StartMicrophoneMonitor() = 0;
    virtual HRESULT StopMicrophoneMonitor() = 0;
    virtual HRESULT StopMicrophoneMonitorOnly() = 0;
    virtual HRESULT SpeakerCommand63() = 0;
    virtual HRESULT SpeakerCommand64() = 0;
    virtual HRESULT PlaySoundFile(const std::string& path) = 0;
    virtual HRESULT StopSoundFile() = 0;

    // --- identity ---
    // Equal ignoring case, or equal ignoring case up to the last backslash. Always S_OK.
    virtual HRESULT IsSameDevice(const std::string& a, const std::string& b, bool* same) = 0;
    // out is emptied on failure.
    virtual HRESULT TranslateDeviceId(const std::string& in, std::string& out) = 0;
    virtual HRESULT SetProperty94(int32_t value) = 0;

    // --- lists ---
    virtual int GetMicrophoneCount() = 0;
    // E_INVALIDARG for a null record or a negative index, E_FAIL for an index past the end.
    virtual HRESULT GetMicrophone(int index, DeviceInfo* out) = 0;
    virtual HRESULT FindMicrophone(const std::string& id, DeviceInfo* out) = 0;
    virtual HRESULT GetSelectedMicrophoneId(std::string& id) = 0;
    virtual HRESULT GetSelectedSpeakerId(std::string& id) = 0;
    virtual int GetSpeakerCount() = 0;
    virtual HRESULT GetSpeaker(int index, DeviceInfo* out) = 0;
    virtual HRESULT FindSpeaker(const std::string& id, DeviceInfo* out) = 0;
    virtual int GetVideoDeviceCount() = 0;
    virtual HRESULT GetVideoDevice(int index, VideoDeviceInfo* out) = 0;
    virtual HRESULT FindVideoDevice(const std::string& id, VideoDeviceInfo* out) = 0;
    virtual int GetHidDeviceCount() = 0;
    virtual HRESULT GetHidDevice(int index, DeviceInfo* out) = 0;
    virtual HRESULT FindHidDevice(const std::string& id, DeviceInfo* out) = 0;

    // --- values kept per listed camera for the life of the process ---
    virtual HRESULT SetVideoDeviceValue(const std::string& deviceId, const std::string& key,
                                        int32_t value) = 0;
    // *value is defaultValue when the key was never set for that camera (and on failure).
    virtual HRESULT GetVideoDeviceValue(const std::string& deviceId, const std::string& key, int32_t* value,
                                        int32_t defaultValue = 0) = 0;

    // --- shared state and notifications ---
    // Stored and told to every listener (OnSharedStateChanged).
    virtual HRESULT SetSharedState(int32_t value) = 0;
    virtual HRESULT GetSharedState(int32_t* value) = 0;

    // --- HID devices ---
    virtual HRESULT DisableHidProperty5(const std::string& hidId) = 0;
    virtual HRESULT EnableHidProperty5(const std::string& hidId) = 0;
    virtual HRESULT SetHidProperty4(const std::string& hidId) = 0;
    virtual HRESULT SetHidProperty4b(const std::string& hidId) = 0;
    virtual bool IsHidProperty5Supported(const std::string& hidId) = 0;
    virtual bool GetHidProperty5(const std::string& hidId) = 0;
    virtual HRESULT SetHidProperty6(const std::string& hidId, int32_t value) = 0;
    virtual HRESULT GetHidProperty6(const std::string& hidId, int32_t* value) = 0;

    // Announces a SunTune mode a window set on a camera: listeners hear OnSunTuneModeChanged later, from
    // the message loop, exactly as if the camera had reported it.
    virtual HRESULT FireSeverityChanged(const std::string& deviceId, int32_t newValue, int32_t oldValue) = 0;
    // Tells every listener that a window switched the camera (was NotifyCameraSwitched).
    virtual HRESULT NotifyCameraSwitched() = 0;
    virtual HRESULT NotifyListeners4() = 0;
    virtual HRESULT NotifyListeners7() = 0;

protected:
    virtual ~IGraniteDeviceManager() = default;
};

// The process-wide facade with one reference added for the caller, created and initialised on first use;
// null when the service cannot be reached (a later call tries again). User-interface thread only.
IGraniteDeviceManager* GetGraniteDeviceManager();
