#pragma once
// The process-wide device-manager facade: wraps the maker's device-manager service, keeps the device lists
// and the current device of each kind, turns property numbers into typed operations and fans the service's
// events out to at most 25 listeners on the user-interface thread.
//
// Everything runs on the user-interface thread. Service events arrive on service threads and are moved here
// by CGDMEventSerializer; FireSeverityChanged goes through CFireEventSerializer so that listeners hear it
// after the caller's handler has returned. The lock is re-entrant, so listeners may call back into the
// facade; the last Release from inside a listener call frees the facade only once the outermost call into
// it has returned.
//
// The facade itself keeps the lifetime, the connection to the service, the listener registrations and the
// current device of each kind; the camera, audio and HID operations live in CCameraControls, CAudioControls
// and CHidControls, the handling of the service's events in CDeviceEventDispatcher, and the lists in
// CDeviceLists.
#include "services/CAudioControls.h"
#include "services/CCameraControls.h"
#include "services/CDeviceEventDispatcher.h"
#include "services/CDeviceLists.h"
#include "services/CDevicePropertyAccess.h"
#include "services/CFireEventSerializer.h"
#include "services/CGDMEventSerializer.h"
#include "services/CHidControls.h"
#include "services/CListenerTable.h"
#include "services/DeviceEntry.h"
#include "services/DeviceManagerProperties.h"
#include "services/IDeviceSelection.h"
#include "services/IFireEvent.h"
#include "services/IGraniteDeviceManager.h"
#include "services/IGraniteDeviceManagerEvent.h"
#include "services/IInProcDeviceManager.h"
#include "services/IInProcDeviceManagerEvents.h"

#include <array>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CGraniteDeviceManager final : public IGraniteDeviceManager,
                                    public IInProcDeviceManagerEvents,
                                    public IFireEvent,
                                    private IDeviceSelection {
public:
    CGraniteDeviceManager();
    ~CGraniteDeviceManager() override;
    CGraniteDeviceManager(const CGraniteDeviceManager&) = delete;
    CGraniteDeviceManager& operator=(const CGraniteDeviceManager&) = delete;

    // Connects to the service and lists the devices; E_FAIL when the service cannot be created, connected,
    // registered with or started.
    HRESULT Initialise();

    // The process-wide instance, or null (no reference added; for tests and diagnostics).
    static CGraniteDeviceManager* Instance();
    // References held by callers.
    uint32_t RefCount() const { return refCount_; }

    // --- IGraniteDeviceManager ---
    HRESULT AddRef() override;
    HRESULT Release() override;
    HRESULT RefreshVideoDevices() override;
    HRESULT RefreshMicrophones() override;
    HRESULT RefreshSpeakers() override;
    HRESULT RefreshHidDevices() override;
    HRESULT AddListener(IGraniteDeviceManagerEvent* listener, uint32_t cookie) override;
    HRESULT RemoveListener(IGraniteDeviceManagerEvent* listener) override;
    HRESULT SelectVideoDevice(int index) override;
    HRESULT GetSelectedVideoDeviceIndex(int* index) override;
    HRESULT SelectVideoDeviceById(const std::string& id) override;
    HRESULT SelectMicrophone(int index) override;
    HRESULT GetSelectedMicrophoneIndex(int* index) override;
    HRESULT SelectMicrophoneById(const std::string& id) override;
    HRESULT SelectSpeaker(int index) override;
    HRESULT GetSelectedSpeakerIndex(int* index) override;
    HRESULT SelectSpeakerById(const std::string& id) override;
    HRESULT SetServiceString1(const std::string& value) override;
    HRESULT GetServiceString1(std::string& value) override;
    HRESULT SetServiceString2(const std::string& value) override;
    HRESULT GetServiceString2(std::string& value) override;
    HRESULT SetServiceString3(const std::string& value) override;
    HRESULT GetServiceString3(std::string& value) override;
    HRESULT SetServiceString4(const std::string& value) override;
    HRESULT GetServiceString4(std::string& value) override;
    HRESULT GetServiceText66(std::string& text) override;
    HRESULT IsSameDevice(const std::string& a, const std::string& b, bool* same) override;
    int GetMicrophoneCount() override;
    HRESULT GetMicrophone(int index, DeviceInfo* out) override;
    HRESULT FindMicrophone(const std::string& id, DeviceInfo* out) override;
    HRESULT GetSelectedMicrophoneId(std::string& id) override;
    HRESULT GetSelectedSpeakerId(std::string& id) override;
    int GetSpeakerCount() override;
    HRESULT GetSpeaker(int index, DeviceInfo* out) override;
    HRESULT FindSpeaker(const std::string& id, DeviceInfo* out) override;
    int GetVideoDeviceCount() override;
    HRESULT GetVideoDevice(int index, VideoDeviceInfo* out) override;
    HRESULT FindVideoDevice(const std::string& id, VideoDeviceInfo* out) override;
    int GetHidDeviceCount() override;
    HRESULT GetHidDevice(int index, DeviceInfo* out) override;
    HRESULT FindHidDevice(const std::string& id, DeviceInfo* out) override;
    HRESULT SetVideoDeviceValue(const std::string& deviceId, const std::string& key, int32_t value) override;
    HRESULT GetVideoDeviceValue(const std::string& deviceId, const std::string& key, int32_t* value,
                                int32_t defaultValue = 0) override;
    HRESULT SetSharedState(int32_t value) override;
    HRESULT GetSharedState(int32_t* value) override;
    HRESULT FireSeverityChanged(const std::string& deviceId, int32_t newValue, int32_t oldValue) override;
    HRESULT NotifyCameraSwitched() override;
    HRESULT NotifyListeners4() override;
    HRESULT NotifyListeners7() override;

    // --- camera settings, forwarded to CCameraControls ---
    HRESULT GetPtzCapabilityOf(const std::string& deviceId, int32_t* value) override {
        return camera_.GetPtzCapabilityOf(deviceId, value);
    }
    HRESULT GetPtzCapability(int32_t* value) override { return camera_.GetPtzCapability(value); }
    HRESULT PtzCommand77(int32_t value) override { return camera_.PtzCommand77(value); }
    HRESULT PtzCommand78(int32_t value) override { return camera_.PtzCommand78(value); }
    HRESULT PtzCommand79(int32_t value) override { return camera_.PtzCommand79(value); }
    HRESULT PtzCommand80(int32_t value) override { return camera_.PtzCommand80(value); }
    HRESULT ClearProperty81() override { return camera_.ClearProperty81(); }
    HRESULT GetPtzSupportOf(const std::string& deviceId, bool* supported) override {
        return camera_.GetPtzSupportOf(deviceId, supported);
    }
    HRESULT GetPtzSupport(bool* supported) override { return camera_.GetPtzSupport(supported); }
    HRESULT GetTriStateModeRaw(int32_t* raw) override { return camera_.GetTriStateModeRaw(raw); }
    HRESULT GetTriStateMode(int32_t* mode) override { return camera_.GetTriStateMode(mode); }
    HRESULT GetTriStateModeCompanion(int32_t* value) override {
        return camera_.GetTriStateModeCompanion(value);
    }
    HRESULT GetAdvancedSwitchD(int32_t* value) override { return camera_.GetAdvancedSwitchD(value); }
    HRESULT GetAdvancedSwitchDCompanion(int32_t* value) override {
        return camera_.GetAdvancedSwitchDCompanion(value);
    }
    HRESULT GetColorBoostOf(const std::string& deviceId, int32_t* value) override {
        return camera_.GetColorBoostOf(deviceId, value);
    }
    HRESULT GetColorBoost(int32_t* value) override { return camera_.GetColorBoost(value); }
    HRESULT GetColorBoostCompanion(int32_t* value) override { return camera_.GetColorBoostCompanion(value); }
    HRESULT GetLowLightBoostOf(const std::string& deviceId, int32_t* value) override {
        return camera_.GetLowLightBoostOf(deviceId, value);
    }
    HRESULT GetLowLightBoost(int32_t* value) override { return camera_.GetLowLightBoost(value); }
    HRESULT GetLowLightBoostCompanion(int32_t* value) override {
        return camera_.GetLowLightBoostCompanion(value);
    }
    HRESULT GetAdvancedSwitchC(int32_t* value) override { return camera_.GetAdvancedSwitchC(value); }
    HRESULT GetAdvancedSwitchCCompanion(int32_t* value) override {
        return camera_.GetAdvancedSwitchCCompanion(value);
    }
    HRESULT GetAdvancedSwitchB(int32_t* value) override { return camera_.GetAdvancedSwitchB(value); }
    HRESULT GetAdvancedSwitchBCompanion(int32_t* value) override {
        return camera_.GetAdvancedSwitchBCompanion(value);
    }
    HRESULT GetAdvancedSwitchA(int32_t* value) override { return camera_.GetAdvancedSwitchA(value); }
    HRESULT GetAdvancedSwitchACompanion(int32_t* value) override {
        return camera_.GetAdvancedSwitchACompanion(value);
    }
    HRESULT GetVideoMute(int32_t* value) override { return camera_.GetVideoMute(value); }
    HRESULT GetSunTuneModeOf(const std::string& deviceId, int32_t* mode) override {
        return camera_.GetSunTuneModeOf(deviceId, mode);
    }
    HRESULT GetSunTuneMode(int32_t* mode) override { return camera_.GetSunTuneMode(mode); }
    HRESULT GetSunTuneModeCompanion(int32_t* value) override {
        return camera_.GetSunTuneModeCompanion(value);
    }
    HRESULT GetMechanicalPrivacyShadeOf(const std::string& deviceId, int32_t* value) override {
        return camera_.GetMechanicalPrivacyShadeOf(deviceId, value);
    }
    HRESULT GetMechanicalPrivacyShade(int32_t* value) override {
        return camera_.GetMechanicalPrivacyShade(value);
    }
    HRESULT GetProperty86Of(const std::string& deviceId, int32_t* value) override {
        return camera_.GetProperty86Of(deviceId, value);
    }
    HRESULT GetProperty86(int32_t* value) override { return camera_.GetProperty86(value); }
    HRESULT GetProperty87Of(const std::string& deviceId, int32_t* value) override {
        return camera_.GetProperty87Of(deviceId, value);
    }
    HRESULT GetProperty87(int32_t* value) override { return camera_.GetProperty87(value); }
    HRESULT GetAdvancedLevelB(int32_t* value) override { return camera_.GetAdvancedLevelB(value); }
    HRESULT GetAdvancedLevelBCompanion(int32_t* value) override {
        return camera_.GetAdvancedLevelBCompanion(value);
    }
    HRESULT GetAdvancedLevelBRange(int32_t* min, int32_t* max, int32_t* value) override {
        return camera_.GetAdvancedLevelBRange(min, max, value);
    }
    HRESULT GetAdvancedLevelA(int32_t* value) override { return camera_.GetAdvancedLevelA(value); }
    HRESULT GetAdvancedLevelACompanion(int32_t* value) override {
        return camera_.GetAdvancedLevelACompanion(value);
    }
    HRESULT GetAdvancedLevelARange(int32_t* min, int32_t* max, int32_t* value) override {
        return camera_.GetAdvancedLevelARange(min, max, value);
    }
    HRESULT GetZoom(int32_t* value) override { return camera_.GetZoom(value); }
    HRESULT GetZoomCompanion(int32_t* value) override { return camera_.GetZoomCompanion(value); }
    HRESULT GetZoomRange(int32_t* min, int32_t* max, int32_t* value) override {
        return camera_.GetZoomRange(min, max, value);
    }
    HRESULT GetPanTiltAxis2(int32_t* value) override { return camera_.GetPanTiltAxis2(value); }
    HRESULT GetPanTiltAxis2Companion(int32_t* value) override {
        return camera_.GetPanTiltAxis2Companion(value);
    }
    HRESULT GetPanTiltAxis2Range(int32_t* min, int32_t* max, int32_t* value) override {
        return camera_.GetPanTiltAxis2Range(min, max, value);
    }
    HRESULT GetPanTiltAxis1(int32_t* value) override { return camera_.GetPanTiltAxis1(value); }
    HRESULT GetPanTiltAxis1Companion(int32_t* value) override {
        return camera_.GetPanTiltAxis1Companion(value);
    }
    HRESULT GetPanTiltAxis1Range(int32_t* min, int32_t* max, int32_t* value) override {
        return camera_.GetPanTiltAxis1Range(min, max, value);
    }
    HRESULT GetWebcamLevelD(int32_t* value) override { return camera_.GetWebcamLevelD(value); }
    HRESULT GetWebcamLevelDCompanion(int32_t* value) override {
        return camera_.GetWebcamLevelDCompanion(value);
    }
    HRESULT GetWebcamLevelDRange(int32_t* min, int32_t* max, int32_t* value) override {
        return camera_.GetWebcamLevelDRange(min, max, value);
    }
    HRESULT GetWebcamLevelC(int32_t* value) override { return camera_.GetWebcamLevelC(value); }
    HRESULT GetWebcamLevelCCompanion(int32_t* value) override {
        return camera_.GetWebcamLevelCCompanion(value);
    }
    HRESULT GetWebcamLevelCRange(int32_t* min, int32_t* max, int32_t* value) override {
        return camera_.GetWebcamLevelCRange(min, max, value);
    }
    HRESULT GetWebcamLevelB(int32_t* value) override { return camera_.GetWebcamLevelB(value); }
    HRESULT GetWebcamLevelBCompanion(int32_t* value) override {
        return camera_.GetWebcamLevelBCompanion(value);
    }
    HRESULT GetWebcamLevelBRange(int32_t* min, int32_t* max, int32_t* value) override {
        return camera_.GetWebcamLevelBRange(min, max, value);
    }
    HRESULT GetWebcamLevelA(int32_t* value) override { return camera_.GetWebcamLevelA(value); }
    HRESULT GetWebcamLevelACompanion(int32_t* value) override {
        return camera_.GetWebcamLevelACompanion(value);
    }
    HRESULT GetWebcamLevelARange(int32_t* min, int32_t* max, int32_t* value) override {
        return camera_.GetWebcamLevelARange(min, max, value);
    }
    HRESULT GetSunTuneLevelB(int32_t* value) override { return camera_.GetSunTuneLevelB(value); }
    HRESULT GetSunTuneLevelBCompanion(int32_t* value) override {
        return camera_.GetSunTuneLevelBCompanion(value);
    }
    HRESULT GetSunTuneLevelBRange(int32_t* min, int32_t* max, int32_t* value) override {
        return camera_.GetSunTuneLevelBRange(min, max, value);
    }
    HRESULT GetSunTuneLevelA(int32_t* value) override { return camera_.GetSunTuneLevelA(value); }
    HRESULT GetSunTuneLevelACompanion(int32_t* value) override {
        return camera_.GetSunTuneLevelACompanion(value);
    }
    HRESULT GetSunTuneLevelARange(int32_t* min, int32_t* max, int32_t* value) override {
        return camera_.GetSunTuneLevelARange(min, max, value);
    }
    HRESULT GetSunTuneLevelC(int32_t* value) override { return camera_.GetSunTuneLevelC(value); }
    HRESULT GetSunTuneLevelCCompanion(int32_t* value) override {
        return camera_.GetSunTuneLevelCCompanion(value);
    }
    HRESULT GetSunTuneLevelCRange(int32_t* min, int32_t* max, int32_t* value) override {
        return camera_.GetSunTuneLevelCRange(min, max, value);
    }
    HRESULT GetSunTuneLevelD(int32_t* value) override { return camera_.GetSunTuneLevelD(value); }
    HRESULT GetSunTuneLevelDCompanion(int32_t* value) override {
        return camera_.GetSunTuneLevelDCompanion(value);
    }
    HRESULT GetSunTuneLevelDRange(int32_t* min, int32_t* max, int32_t* value) override {
        return camera_.GetSunTuneLevelDRange(min, max, value);
    }
    HRESULT GetBacklightOf(const std::string& deviceId, int32_t* value) override {
        return camera_.GetBacklightOf(deviceId, value);
    }
    HRESULT GetBacklight(int32_t* value) override { return camera_.GetBacklight(value); }
    HRESULT GetBacklightCompanion(int32_t* value) override { return camera_.GetBacklightCompanion(value); }
    HRESULT GetBacklightRange(int32_t* min, int32_t* max, int32_t* value) override {
        return camera_.GetBacklightRange(min, max, value);
    }
    HRESULT GetAutoFocusOf(const std::string& deviceId, bool* value) override {
        return camera_.GetAutoFocusOf(deviceId, value);
    }
    HRESULT GetAutoFocus(bool* value) override { return camera_.GetAutoFocus(value); }
    HRESULT GetWebcamValueG(int32_t* value) override { return camera_.GetWebcamValueG(value); }
    HRESULT GetWebcamValueGDetails(int32_t* value100, int32_t* value101, int32_t* value103,
                                   int32_t* value102) override {
        return camera_.GetWebcamValueGDetails(value100, value101, value103, value102);
    }
    HRESULT GetProperty105And104(bool* value105, int32_t* value104) override {
        return camera_.GetProperty105And104(value105, value104);
    }
    HRESULT GetFocusStatus(int32_t* value) override { return camera_.GetFocusStatus(value); }
    HRESULT GetWebcamSwitchE(bool* value) override { return camera_.GetWebcamSwitchE(value); }
    HRESULT GetProperty89(bool* value) override { return camera_.GetProperty89(value); }
    HRESULT GetProperty26Flag(bool* flag) override { return camera_.GetProperty26Flag(flag); }
    HRESULT IsFeatureSupportedOf(const std::string& deviceId, const std::string& feature,
                                 bool* supported) override {
        return camera_.IsFeatureSupportedOf(deviceId, feature, supported);
    }
    HRESULT IsFeatureSupported(const std::string& feature, bool* supported) override {
        return camera_.IsFeatureSupported(feature, supported);
    }
    HRESULT IsFaceTrackingSupportedOf(const std::string& deviceId, bool* supported) override {
        return camera_.IsFaceTrackingSupportedOf(deviceId, supported);
    }
    HRESULT IsFaceTrackingSupported(bool* supported) override {
        return camera_.IsFaceTrackingSupported(supported);
    }
    HRESULT IsMultipleFaceTrackingSupportedOf(const std::string& deviceId, bool* supported) override {
        return camera_.IsMultipleFaceTrackingSupportedOf(deviceId, supported);
    }
    HRESULT IsMultipleFaceTrackingSupported(bool* supported) override {
        return camera_.IsMultipleFaceTrackingSupported(supported);
    }
    HRESULT SetTriStateMode(int32_t mode) override { return camera_.SetTriStateMode(mode); }
    HRESULT SetAdvancedSwitchD(int32_t value) override { return camera_.SetAdvancedSwitchD(value); }
    HRESULT SetColorBoost(int32_t value) override { return camera_.SetColorBoost(value); }
    HRESULT SetLowLightBoost(int32_t value) override { return camera_.SetLowLightBoost(value); }
    HRESULT SetAdvancedSwitchC(int32_t value) override { return camera_.SetAdvancedSwitchC(value); }
    HRESULT SetAdvancedSwitchB(int32_t value) override { return camera_.SetAdvancedSwitchB(value); }
    HRESULT SetAdvancedLevelB(int32_t value) override { return camera_.SetAdvancedLevelB(value); }
    HRESULT SetAdvancedLevelA(int32_t value) override { return camera_.SetAdvancedLevelA(value); }
    HRESULT SetAdvancedSwitchA(int32_t value) override { return camera_.SetAdvancedSwitchA(value); }
    HRESULT SetAutoFocus(bool on) override { return camera_.SetAutoFocus(on); }
    HRESULT SetWebcamValueG(int32_t value) override { return camera_.SetWebcamValueG(value); }
    HRESULT SetZoom(int32_t value) override { return camera_.SetZoom(value); }
    HRESULT SetPanTiltAxis2(int32_t value) override { return camera_.SetPanTiltAxis2(value); }
    HRESULT SetPanTiltAxis1(int32_t value) override { return camera_.SetPanTiltAxis1(value); }
    HRESULT SetWebcamLevelD(int32_t value) override { return camera_.SetWebcamLevelD(value); }
    HRESULT SetWebcamLevelC(int32_t value) override { return camera_.SetWebcamLevelC(value); }
    HRESULT SetWebcamLevelB(int32_t value) override { return camera_.SetWebcamLevelB(value); }
    HRESULT SetWebcamLevelA(int32_t value) override { return camera_.SetWebcamLevelA(value); }
    HRESULT SetVideoMute(int32_t value) override { return camera_.SetVideoMute(value); }
    HRESULT SetSunTuneLevelB(int32_t value) override { return camera_.SetSunTuneLevelB(value); }
    HRESULT SetSunTuneLevelC(int32_t value) override { return camera_.SetSunTuneLevelC(value); }
    HRESULT SetSunTuneLevelA(int32_t value) override { return camera_.SetSunTuneLevelA(value); }
    HRESULT SetSunTuneLevelD(int32_t value) override { return camera_.SetSunTuneLevelD(value); }
    HRESULT SetSunTuneModeOf(const std::string& deviceId, int32_t mode) override {
        return camera_.SetSunTuneModeOf(deviceId, mode);
    }
    HRESULT SetSunTuneMode(int32_t mode) override { return camera_.SetSunTuneMode(mode); }
    HRESULT SetWebcamSwitchE(bool on) override { return camera_.SetWebcamSwitchE(on); }
    HRESULT SetBacklight(int32_t value) override { return camera_.SetBacklight(value); }
    HRESULT ResetProperty41() override { return camera_.ResetProperty41(); }
    HRESULT SetProperty94(int32_t value) override { return camera_.SetProperty94(value); }
    HRESULT IsLedControlSupported(bool* supported) override {
        return camera_.IsLedControlSupported(supported);
    }
    HRESULT IsLedModeSupported(bool* supported) override { return camera_.IsLedModeSupported(supported); }
    HRESULT SetLed(int32_t mode, int32_t a, int32_t b) override { return camera_.SetLed(mode, a, b); }
    HRESULT GetLed(int32_t* mode, int32_t* a, int32_t* b) override { return camera_.GetLed(mode, a, b); }
    HRESULT GetLedState(int32_t* mode, int32_t* a, int32_t* b) override {
        return camera_.GetLedState(mode, a, b);
    }
    HRESULT GetDeviceStrings(int32_t which, std::string& first, std::string& second) override {
        return camera_.GetDeviceStrings(which, first, second);
    }
    HRESULT GetDeviceStringsOf(const std::string& deviceId, int32_t which, std::string& first,
                               std::string& second) override {
        return camera_.GetDeviceStringsOf(deviceId, which, first, second);
    }
    HRESULT TranslateDeviceId(const std::string& in, std::string& out) override {
        return camera_.TranslateDeviceId(in, out);
    }

    // --- microphones, speakers and the global audio options, forwarded to CAudioControls ---
    HRESULT SetNoiseSuppression(int32_t on) override { return audio_.SetNoiseSuppression(on); }
    HRESULT GetNoiseSuppression(int32_t* on) override { return audio_.GetNoiseSuppression(on); }
    HRESULT SetEchoCancellation(int32_t on) override { return audio_.SetEchoCancellation(on); }
    HRESULT GetEchoCancellation(int32_t* on) override { return audio_.GetEchoCancellation(on); }
    HRESULT GetMicrophoneFlag11Of(const std::string& deviceId, bool* flag) override {
        return audio_.GetMicrophoneFlag11Of(deviceId, flag);
    }
    HRESULT GetMicrophoneFlag12Of(const std::string& deviceId, bool* flag) override {
        return audio_.GetMicrophoneFlag12Of(deviceId, flag);
    }
    HRESULT GetMicrophoneMuteOf(const std::string& deviceId, bool* muted) override {
        return audio_.GetMicrophoneMuteOf(deviceId, muted);
    }
    HRESULT HasMicrophoneVolumeOf(const std::string& deviceId, bool* has) override {
        return audio_.HasMicrophoneVolumeOf(deviceId, has);
    }
    HRESULT GetMicrophoneIdAt(int32_t index, std::string& id) override {
        return audio_.GetMicrophoneIdAt(index, id);
    }
    HRESULT GetMicrophoneLevelRange(int32_t* min, int32_t* max, int32_t* value) override {
        return audio_.GetMicrophoneLevelRange(min, max, value);
    }
    HRESULT GetMicrophoneLevel(int32_t* value) override { return audio_.GetMicrophoneLevel(value); }
    HRESULT SetMicrophoneVolume(int32_t value) override { return audio_.SetMicrophoneVolume(value); }
    HRESULT GetMicrophoneVolume(int32_t* value) override { return audio_.GetMicrophoneVolume(value); }
    HRESULT GetMicrophoneVolumeRange(int32_t* min, int32_t* max, int32_t* value) override {
        return audio_.GetMicrophoneVolumeRange(min, max, value);
    }
    HRESULT SetMicrophoneMute(int32_t muted) override { return audio_.SetMicrophoneMute(muted); }
    HRESULT GetMicrophoneMuteByName(const std::string& deviceId, int32_t* muted) override {
        return audio_.GetMicrophoneMuteByName(deviceId, muted);
    }
    HRESULT GetMicrophoneMute(int32_t* muted) override { return audio_.GetMicrophoneMute(muted); }
    HRESULT Reserved172(int32_t a, int32_t b, int32_t c) override { return audio_.Reserved172(a, b, c); }
    HRESULT StartMicrophoneMonitor() override { return audio_.StartMicrophoneMonitor(); }
    HRESULT StopMicrophoneMonitor() override { return audio_.StopMicrophoneMonitor(); }
    HRESULT StopMicrophoneMonitorOnly() override { return audio_.StopMicrophoneMonitorOnly(); }
    HRESULT SetSpeakerVolume(int32_t value) override { return audio_.SetSpeakerVolume(value); }
    HRESULT GetSpeakerVolume(int32_t* value) override { return audio_.GetSpeakerVolume(value); }
    HRESULT Reserved175() override { return audio_.Reserved175(); }
    HRESULT SetSpeakerMute(int32_t muted) override { return audio_.SetSpeakerMute(muted); }
    HRESULT GetSpeakerMute(int32_t* muted) override { return audio_.GetSpeakerMute(muted); }
    HRESULT SpeakerCommand63() override { return audio_.SpeakerCommand63(); }
    HRESULT SpeakerCommand64() override { return audio_.SpeakerCommand64(); }
    HRESULT PlaySoundFile(const std::string& path) override { return audio_.PlaySoundFile(path); }
    HRESULT StopSoundFile() override { return audio_.StopSoundFile(); }

    // --- HID devices, forwarded to CHidControls ---
    HRESULT DisableHidProperty5(const std::string& hidId) override { return hid_.DisableHidProperty5(hidId); }
    HRESULT EnableHidProperty5(const std::string& hidId) override { return hid_.EnableHidProperty5(hidId); }
    HRESULT SetHidProperty4(const std::string& hidId) override { return hid_.SetHidProperty4(hidId); }
    HRESULT SetHidProperty4b(const std::string& hidId) override { return hid_.SetHidProperty4b(hidId); }
    bool IsHidProperty5Supported(const std::string& hidId) override {
        return hid_.IsHidProperty5Supported(hidId);
    }
    bool GetHidProperty5(const std::string& hidId) override { return hid_.GetHidProperty5(hidId); }
    HRESULT SetHidProperty6(const std::string& hidId, int32_t value) override {
        return hid_.SetHidProperty6(hidId, value);
    }
    HRESULT GetHidProperty6(const std::string& hidId, int32_t* value) override {
        return hid_.GetHidProperty6(hidId, value);
    }

    // --- IInProcDeviceManagerEvents: the service's events, already on the user-interface thread ---
    void OnMicrophonePropertyChanged(const std::string& deviceId, int32_t kind, int32_t property,
                                     const Variant& newValue, const Variant& oldValue) override;
    void OnSpeakerPropertyChanged(const std::string& deviceId, int32_t kind, int32_t property,
                                  const Variant& newValue, const Variant& oldValue) override;
    void OnVideoPropertyChanged(const std::string& deviceId, int32_t kind, int32_t property,
                                const Variant& newValue, const Variant& oldValue) override;
    void OnHIDPropertyChanged(const std::string& deviceId, int32_t kind, int32_t property,
                              const Variant& data) override;
    void OnVideoDeviceEvent(const std::string& deviceId, int32_t code, int32_t param,
                            const Variant& value) override;
    void OnDeviceArrived(int32_t type, const std::string& deviceId) override;
    void OnDeviceRemoved(int32_t type, const std::string& deviceId) override;
    void OnVideoMotorStatus(const std::string& deviceId, uint32_t status) override;
    void OnPlaySoundFileStatus(const std::string& deviceId, uint32_t status) override;
    void OnHIDPropertyChanged2(const std::string& deviceId, int32_t kind, int32_t property,
                               const Variant& newValue, const Variant& oldValue) override;
    void OnGlobalPropertyChanged(int32_t option, const Variant& value) override;

    // --- IFireEvent ---
    void FireSeverityChangedEvent(const std::string& deviceId, int32_t newValue, int32_t oldValue) override;

    // Delivery queues, exposed so tests can see what is still waiting.
    const CGDMEventSerializer& DeviceEvents() const { return deviceEvents_; }
    const CFireEventSerializer& FireEvents() const { return fireEvents_; }

private:
    friend IGraniteDeviceManager* GetGraniteDeviceManager();

    using Kind = CDeviceLists::Kind;
    using DeviceList = CDeviceLists::DeviceList;

    // Keeps the facade alive while a call that reaches listeners runs; the last Release made inside such a
    // call frees the facade when the outermost one returns. Declare it before any lock guard.
    class CCallScope {
    public:
        explicit CCallScope(CGraniteDeviceManager* owner) : owner_(owner) { ++owner_->callDepth_; }
        ~CCallScope();
        CCallScope(const CCallScope&) = delete;
        CCallScope& operator=(const CCallScope&) = delete;

    private:
        CGraniteDeviceManager* owner_;
    };

    void Shutdown();
    bool TakeLock();
    // Runs `handle` the way every service event is handled: with the facade kept alive and the lock held.
    template <class F> void HandleLocked(F&& handle);
    // Calls `notify` on every listener, slot 0 to 24; a listener removed during the walk is not called
    // again, one added during the walk waits for the next event.
    template <class F> void ForEachListener(F&& notify);

    // --- IDeviceSelection, for the event handling ---
    HRESULT RefreshList(Kind kind) override;
    HRESULT SelectDevice(Kind kind, int index) override;
    // Detaches the current camera and drops its subscriptions (once: notificationsActive_ says whether it
    // is still attached).
    void ReleaseCurrentCamera() override;

    HRESULT SelectAudioDevice(Kind kind, int index);
    HRESULT SelectAudioDeviceById(Kind kind, const std::string& id);
    void AttachCurrentCamera();

    IInProcDeviceManager* service_ = nullptr;
    // The service calls this sink from its own threads; it posts into deviceEvents_.
    std::shared_ptr<IInProcDeviceManagerEvents> sink_;
    uint32_t sinkCookie_ = GDM_SINK_NOT_CONNECTED;
    CDeviceLists lists_;
    CDevicePropertyAccess props_{service_, lists_};
    CCameraControls camera_{service_, props_};
    CAudioControls audio_{service_, props_};
    CHidControls hid_{service_, props_};
    uint32_t refCount_ = 0;
    int32_t sharedState_ = 0;
    CDeviceEventDispatcher::Listeners listeners_;
    CDeviceEventDispatcher events_{service_, lists_, props_, listeners_, *this};
    bool notificationsActive_ = false;
    // Destroyed in reverse order: fireEvents_ first, then deviceEvents_.
    CGDMEventSerializer deviceEvents_;
    CFireEventSerializer fireEvents_;
    std::recursive_mutex lock_;
    int callDepth_ = 0;
    bool destroyPending_ = false;
    bool shutDown_ = false;
};

template <class F> void CGraniteDeviceManager::ForEachListener(F&& notify) {
    listeners_.ForEach(notify);
}

template <class F> void CGraniteDeviceManager::HandleLocked(F&& handle) {
    CCallScope scope(this);
    if (!TakeLock())
        return;
    std::lock_guard guard(lock_, std::adopt_lock);
    handle();
}
