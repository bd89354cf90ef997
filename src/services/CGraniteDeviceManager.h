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
#include "services/CDeviceLists.h"
#include "services/CDevicePropertyAccess.h"
#include "services/CFireEventSerializer.h"
#include "services/CGDMEventSerializer.h"
#include "services/CListenerTable.h"
#include "services/DeviceEntry.h"
#include "services/DeviceManagerProperties.h"
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
                                    public IFireEvent {
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
    HRESULT GetPtzCapabilityOf(const std::string& deviceId, int32_t* value) override;
    HRESULT GetPtzCapability(int32_t* value) override;
    HRESULT PtzCommand77(int32_t value) override;
    HRESULT PtzCommand78(int32_t value) override;
    HRESULT PtzCommand79(int32_t value) override;
    HRESULT PtzCommand80(int32_t value) override;
    HRESULT ClearProperty81() override;
    HRESULT GetPtzSupportOf(const std::string& deviceId, bool* supported) override;
    HRESULT GetPtzSupport(bool* supported) override;
    HRESULT GetTriStateModeRaw(int32_t* raw) override;
    HRESULT GetTriStateMode(int32_t* mode) override;
    HRESULT GetTriStateModeCompanion(int32_t* value) override;
    HRESULT GetAdvancedSwitchD(int32_t* value) override;
    HRESULT GetAdvancedSwitchDCompanion(int32_t* value) override;
    HRESULT GetColorBoostOf(const std::string& deviceId, int32_t* value) override;
    HRESULT GetColorBoost(int32_t* value) override;
    HRESULT GetColorBoostCompanion(int32_t* value) override;
    HRESULT GetLowLightBoostOf(const std::string& deviceId, int32_t* value) override;
    HRESULT GetLowLightBoost(int32_t* value) override;
    HRESULT GetLowLightBoostCompanion(int32_t* value) override;
    HRESULT GetAdvancedSwitchC(int32_t* value) override;
    HRESULT GetAdvancedSwitchCCompanion(int32_t* value) override;
    HRESULT GetAdvancedSwitchB(int32_t* value) override;
    HRESULT GetAdvancedSwitchBCompanion(int32_t* value) override;
    HRESULT GetAdvancedLevelB(int32_t* value) override;
    HRESULT GetAdvancedLevelBCompanion(int32_t* value) override;
    HRESULT GetAdvancedLevelBRange(int32_t* min, int32_t* max, int32_t* value) override;
    HRESULT GetAdvancedLevelA(int32_t* value) override;
    HRESULT GetAdvancedLevelACompanion(int32_t* value) override;
    HRESULT GetAdvancedLevelARange(int32_t* min, int32_t* max, int32_t* value) override;
    HRESULT GetAdvancedSwitchA(int32_t* value) override;
    HRESULT GetAdvancedSwitchACompanion(int32_t* value) override;
    HRESULT GetAutoFocusOf(const std::string& deviceId, bool* value) override;
    HRESULT GetAutoFocus(bool* value) override;
    HRESULT GetWebcamValueG(int32_t* value) override;
    HRESULT GetWebcamValueGDetails(int32_t* value100, int32_t* value101, int32_t* value103,
                                   int32_t* value102) override;
    HRESULT GetProperty105And104(bool* value105, int32_t* value104) override;
    HRESULT GetFocusStatus(int32_t* value) override;
    HRESULT GetZoom(int32_t* value) override;
    HRESULT GetZoomCompanion(int32_t* value) override;
    HRESULT GetZoomRange(int32_t* min, int32_t* max, int32_t* value) override;
    HRESULT GetPanTiltAxis2(int32_t* value) override;
    HRESULT GetPanTiltAxis2Companion(int32_t* value) override;
    HRESULT GetPanTiltAxis2Range(int32_t* min, int32_t* max, int32_t* value) override;
    HRESULT GetPanTiltAxis1(int32_t* value) override;
    HRESULT GetPanTiltAxis1Companion(int32_t* value) override;
    HRESULT GetPanTiltAxis1Range(int32_t* min, int32_t* max, int32_t* value) override;
    HRESULT GetWebcamLevelD(int32_t* value) override;
    HRESULT GetWebcamLevelDCompanion(int32_t* value) override;
    HRESULT GetWebcamLevelDRange(int32_t* min, int32_t* max, int32_t* value) override;
    HRESULT GetWebcamSwitchE(bool* value) override;
    HRESULT GetProperty89(bool* value) override;
    HRESULT GetWebcamLevelC(int32_t* value) override;
    HRESULT GetWebcamLevelCCompanion(int32_t* value) override;
    HRESULT GetWebcamLevelCRange(int32_t* min, int32_t* max, int32_t* value) override;
    HRESULT GetWebcamLevelB(int32_t* value) override;
    HRESULT GetWebcamLevelBCompanion(int32_t* value) override;
    HRESULT GetWebcamLevelBRange(int32_t* min, int32_t* max, int32_t* value) override;
    HRESULT GetWebcamLevelA(int32_t* value) override;
    HRESULT GetWebcamLevelACompanion(int32_t* value) override;
    HRESULT GetWebcamLevelARange(int32_t* min, int32_t* max, int32_t* value) override;
    HRESULT GetVideoMute(int32_t* value) override;
    HRESULT GetSunTuneLevelB(int32_t* value) override;
    HRESULT GetSunTuneLevelBCompanion(int32_t* value) override;
    HRESULT GetSunTuneLevelBRange(int32_t* min, int32_t* max, int32_t* value) override;
    HRESULT GetSunTuneLevelA(int32_t* value) override;
    HRESULT GetSunTuneLevelACompanion(int32_t* value) override;
    HRESULT GetSunTuneLevelARange(int32_t* min, int32_t* max, int32_t* value) override;
    HRESULT GetSunTuneLevelC(int32_t* value) override;
    HRESULT GetSunTuneLevelCCompanion(int32_t* value) override;
    HRESULT GetSunTuneLevelCRange(int32_t* min, int32_t* max, int32_t* value) override;
    HRESULT GetSunTuneLevelD(int32_t* value) override;
    HRESULT GetSunTuneLevelDCompanion(int32_t* value) override;
    HRESULT GetSunTuneLevelDRange(int32_t* min, int32_t* max, int32_t* value) override;
    HRESULT GetSunTuneModeOf(const std::string& deviceId, int32_t* mode) override;
    HRESULT GetSunTuneMode(int32_t* mode) override;
    HRESULT GetSunTuneModeCompanion(int32_t* value) override;
    HRESULT GetBacklightOf(const std::string& deviceId, int32_t* value) override;
    HRESULT GetBacklight(int32_t* value) override;
    HRESULT GetBacklightCompanion(int32_t* value) override;
    HRESULT GetBacklightRange(int32_t* min, int32_t* max, int32_t* value) override;
    HRESULT GetMechanicalPrivacyShadeOf(const std::string& deviceId, int32_t* value) override;
    HRESULT GetMechanicalPrivacyShade(int32_t* value) override;
    HRESULT GetProperty86Of(const std::string& deviceId, int32_t* value) override;
    HRESULT GetProperty86(int32_t* value) override;
    HRESULT GetProperty87Of(const std::string& deviceId, int32_t* value) override;
    HRESULT GetProperty87(int32_t* value) override;
    HRESULT GetProperty26Flag(bool* flag) override;
    HRESULT IsFeatureSupportedOf(const std::string& deviceId, const std::string& feature,
                                 bool* supported) override;
    HRESULT IsFeatureSupported(const std::string& feature, bool* supported) override;
    HRESULT IsFaceTrackingSupportedOf(const std::string& deviceId, bool* supported) override;
    HRESULT IsFaceTrackingSupported(bool* supported) override;
    HRESULT IsMultipleFaceTrackingSupportedOf(const std::string& deviceId, bool* supported) override;
    HRESULT IsMultipleFaceTrackingSupported(bool* supported) override;
    HRESULT SetTriStateMode(int32_t mode) override;
    HRESULT SetAdvancedSwitchD(int32_t value) override;
    HRESULT SetColorBoost(int32_t value) override;
    HRESULT SetLowLightBoost(int32_t value) override;
    HRESULT SetAdvancedSwitchC(int32_t value) override;
    HRESULT SetAdvancedSwitchB(int32_t value) override;
    HRESULT SetAdvancedLevelB(int32_t value) override;
    HRESULT SetAdvancedLevelA(int32_t value) override;
    HRESULT SetAdvancedSwitchA(int32_t value) override;
    HRESULT SetAutoFocus(bool on) override;
    HRESULT SetWebcamValueG(int32_t value) override;
    HRESULT SetZoom(int32_t value) override;
    HRESULT SetPanTiltAxis2(int32_t value) override;
    HRESULT SetPanTiltAxis1(int32_t value) override;
    HRESULT SetWebcamLevelD(int32_t value) override;
    HRESULT SetWebcamLevelC(int32_t value) override;
    HRESULT SetWebcamLevelB(int32_t value) override;
    HRESULT SetWebcamLevelA(int32_t value) override;
    HRESULT SetVideoMute(int32_t value) override;
    HRESULT SetSunTuneLevelB(int32_t value) override;
    HRESULT SetSunTuneLevelC(int32_t value) override;
    HRESULT SetSunTuneLevelA(int32_t value) override;
    HRESULT SetSunTuneLevelD(int32_t value) override;
    HRESULT SetSunTuneModeOf(const std::string& deviceId, int32_t mode) override;
    HRESULT SetSunTuneMode(int32_t mode) override;
    HRESULT SetWebcamSwitchE(bool on) override;
    HRESULT SetBacklight(int32_t value) override;
    HRESULT IsLedControlSupported(bool* supported) override;
    HRESULT IsLedModeSupported(bool* supported) override;
    HRESULT SetLed(int32_t mode, int32_t a, int32_t b) override;
    HRESULT GetLed(int32_t* mode, int32_t* a, int32_t* b) override;
    HRESULT GetLedState(int32_t* mode, int32_t* a, int32_t* b) override;
    HRESULT GetDeviceStrings(int32_t which, std::string& first, std::string& second) override;
    HRESULT GetDeviceStringsOf(const std::string& deviceId, int32_t which, std::string& first,
                               std::string& second) override;
    HRESULT GetServiceText66(std::string& text) override;
    HRESULT ResetProperty41() override;
    HRESULT SetNoiseSuppression(int32_t on) override;
    HRESULT GetNoiseSuppression(int32_t* on) override;
    HRESULT SetEchoCancellation(int32_t on) override;
    HRESULT GetEchoCancellation(int32_t* on) override;
    HRESULT GetMicrophoneFlag11Of(const std::string& deviceId, bool* flag) override;
    HRESULT GetMicrophoneFlag12Of(const std::string& deviceId, bool* flag) override;
    HRESULT GetMicrophoneMuteOf(const std::string& deviceId, bool* muted) override;
    HRESULT HasMicrophoneVolumeOf(const std::string& deviceId, bool* has) override;
    HRESULT GetMicrophoneIdAt(int32_t index, std::string& id) override;
    HRESULT GetMicrophoneLevelRange(int32_t* min, int32_t* max, int32_t* value) override;
    HRESULT GetMicrophoneLevel(int32_t* value) override;
    HRESULT SetMicrophoneVolume(int32_t value) override;
    HRESULT GetMicrophoneVolume(int32_t* value) override;
    HRESULT GetMicrophoneVolumeRange(int32_t* min, int32_t* max, int32_t* value) override;
    HRESULT SetMicrophoneMute(int32_t muted) override;
    HRESULT GetMicrophoneMuteByName(const std::string& deviceId, int32_t* muted) override;
    HRESULT GetMicrophoneMute(int32_t* muted) override;
    HRESULT Reserved172(int32_t a, int32_t b, int32_t c) override;
    HRESULT SetSpeakerVolume(int32_t value) override;
    HRESULT GetSpeakerVolume(int32_t* value) override;
    HRESULT Reserved175() override;
    HRESULT SetSpeakerMute(int32_t muted) override;
    HRESULT GetSpeakerMute(int32_t* muted) override;
    HRESULT StartMicrophoneMonitor() override;
    HRESULT StopMicrophoneMonitor() override;
    HRESULT StopMicrophoneMonitorOnly() override;
    HRESULT SpeakerCommand63() override;
    HRESULT SpeakerCommand64() override;
    HRESULT PlaySoundFile(const std::string& path) override;
    HRESULT StopSoundFile() override;
    HRESULT IsSameDevice(const std::string& a, const std::string& b, bool* same) override;
    HRESULT TranslateDeviceId(const std::string& in, std::string& out) override;
    HRESULT SetProperty94(int32_t value) override;
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
    HRESULT DisableHidProperty5(const std::string& hidId) override;
    HRESULT EnableHidProperty5(const std::string& hidId) override;
    HRESULT SetHidProperty4(const std::string& hidId) override;
    HRESULT SetHidProperty4b(const std::string& hidId) override;
    bool IsHidProperty5Supported(const std::string& hidId) override;
    bool GetHidProperty5(const std::string& hidId) override;
    HRESULT SetHidProperty6(const std::string& hidId, int32_t value) override;
    HRESULT GetHidProperty6(const std::string& hidId, int32_t* value) override;
    HRESULT FireSeverityChanged(const std::string& deviceId, int32_t newValue, int32_t oldValue) override;
    HRESULT NotifyCameraSwitched() override;
    HRESULT NotifyListeners4() override;
    HRESULT NotifyListeners7() override;

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

    // --- lifetime (CGraniteDeviceManager.cpp) ---
    void Shutdown();
    bool TakeLock();
    // Calls `notify` on every listener, slot 0 to 24; a listener removed during the walk is not called
    // again, one added during the walk waits for the next event.
    template <class F> void ForEachListener(F&& notify);

    // --- lists and selection (CGraniteDeviceManager.cpp) ---
    // Rebuilds the list from the service; a current device that is no longer listed is let go of.
    HRESULT RefreshList(Kind kind);
    HRESULT SelectAudioDevice(Kind kind, int index);
    HRESULT SelectAudioDeviceById(Kind kind, const std::string& id);
    // Detaches the current camera and drops its subscriptions (once: notificationsActive_ says whether it
    // is still attached).
    void ReleaseCurrentCamera();
    void AttachCurrentCamera();

    // --- event handling (CGraniteDeviceManagerEvents.cpp) ---
    void NotifyVideoProperty(int32_t property, const Variant& value);
    void HandleRemoval(Kind kind, const std::string& id, std::string& previousCurrentId);

    IInProcDeviceManager* service_ = nullptr;
    // The service calls this sink from its own threads; it posts into deviceEvents_.
    std::shared_ptr<IInProcDeviceManagerEvents> sink_;
    uint32_t sinkCookie_ = GDM_SINK_NOT_CONNECTED;
    CDeviceLists lists_;
    CDevicePropertyAccess props_{service_, lists_};
    uint32_t refCount_ = 0;
    int32_t sharedState_ = 0;
    CListenerTable<IGraniteDeviceManagerEvent, kMaxDeviceManagerListeners> listeners_;
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
