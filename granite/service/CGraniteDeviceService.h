#pragma once
// The device-manager service over the simulated hardware. One object per client: its own registration,
// sinks, subscriptions and worker thread; all objects share the process's hardware, so a change made by
// one client is reported to every client. Events reach the sinks on the object's worker thread only.
// Cameras attached through an object are its own: another object cannot detach them, and they are let go
// when the object goes away.
//
// Every operation first consults the hardware's failure table under its operation number, so a test or the
// vidora-sim tool can make any of them fail.
#include "granite/service/CServiceEventHub.h"
#include "platform/CRefCounted.h"
#include "services/IInProcDeviceManager.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace Granite {

class CAudioRoster;
class CSimulatorControlServer;

class CGraniteDeviceService : public CRefCounted<IInProcDeviceManager> {
public:
    // The simulated cameras only.
    explicit CGraniteDeviceService(std::shared_ptr<CSimulatedHardware> hardware);
    // Cameras through `cameras`; microphones, speakers and HID devices on the simulated hardware.
    CGraniteDeviceService(std::shared_ptr<CSimulatedHardware> hardware,
                          std::shared_ptr<ICameraDevices> cameras);
    // Cameras through `cameras`, microphones and speakers through `audio`; HID devices and the global audio
    // options on the simulated hardware. Sounds play on the simulated speakers, and on the real ones when
    // `audio` is a roster (CAudioRoster) with real speakers.
    CGraniteDeviceService(std::shared_ptr<CSimulatedHardware> hardware,
                          std::shared_ptr<ICameraDevices> cameras, std::shared_ptr<IAudioDevices> audio);

    // The object factory's creator: a new service over the process's hardware, or the creation failure the
    // hardware was told to answer.
    static HRESULT Create(const Guid& iid, void** object);

    // The thread on which this object's events are delivered (tests and benchmarks).
    std::thread::id EventThreadId() const { return hub_->WorkerThreadId(); }
    CSimulatedHardware& Hardware() { return *hardware_; }
    ICameraDevices& Cameras() { return *cameras_; }
    IAudioDevices& Audio() { return *audio_; }

    // IUnknown
    HRESULT QueryInterface(const Guid& iid, void** object) override;

    // IInProcDeviceManager
    HRESULT RegisterClient(const std::string& clientName, const std::string& modulePath) override;
    HRESULT Start() override;
    HRESULT Advise(IInProcDeviceManagerEvents* sink, uint32_t* cookie) override;
    HRESULT Unadvise(uint32_t cookie) override;

    HRESULT GetVideoDeviceCount(int32_t* count) override;
    HRESULT GetVideoDeviceId(int32_t index, std::string* id) override;
    HRESULT QueryVideoProperty(const std::string& id, int32_t property, int32_t* state) override;
    HRESULT GetVideoProperty(const std::string& id, int32_t property, Variant* value) override;
    HRESULT SetVideoProperty(const std::string& id, int32_t property, const Variant& value) override;
    HRESULT SubscribeVideoEvent(const std::string& id, int32_t eventCode, int32_t reserved) override;
    HRESULT UnsubscribeVideoEvent(const std::string& id, int32_t eventCode, int32_t reserved) override;
    HRESULT AttachVideoDevice(const std::string& id) override;
    HRESULT DetachVideoDevice(const std::string& id) override;
    HRESULT GetDeviceStrings(const std::string& id, int32_t which, std::string* first,
                             std::string* second) override;
    HRESULT GetPropertyFlag(const std::string& id, int32_t property, VARIANT_BOOL* flag) override;
    HRESULT IsFeatureSupported(const std::string& id, const std::string& featureName,
                               VARIANT_BOOL* supported) override;
    HRESULT IsFaceTrackingSupported(const std::string& id, VARIANT_BOOL* supported) override;
    HRESULT IsMultipleFaceTrackingSupported(const std::string& id, VARIANT_BOOL* supported) override;
    HRESULT TranslateDeviceId(const std::string& in, std::string* out) override;

    HRESULT GetMicrophoneCount(int32_t* count) override;
    HRESULT GetMicrophoneId(int32_t index, std::string* id) override;
    HRESULT QueryMicrophoneProperty(const std::string& id, int32_t property, int32_t* state) override;
    HRESULT GetMicrophoneProperty(const std::string& id, int32_t property, Variant* value) override;
    HRESULT SetMicrophoneProperty(const std::string& id, int32_t property, const Variant& value) override;
    HRESULT SelectMicrophone(const std::string& id) override;
    HRESULT StartMicrophoneMonitor(const std::string& microphoneId) override;
    HRESULT StopMicrophoneMonitor(const std::string& microphoneId) override;
    HRESULT StartMicrophoneLevelMeter(const std::string& microphoneId) override;
    HRESULT StopMicrophoneLevelMeter(const std::string& microphoneId) override;

    HRESULT GetSpeakerCount(int32_t* count) override;
    HRESULT GetSpeakerId(int32_t index, std::string* id) override;
    HRESULT QuerySpeakerProperty(const std::string& id, int32_t property, int32_t* state) override;
    HRESULT GetSpeakerProperty(const std::string& id, int32_t property, Variant* value) override;
    HRESULT SetSpeakerProperty(const std::string& id, int32_t property, const Variant& value) override;
    HRESULT SelectSpeaker(const std::string& id) override;
    HRESULT SpeakerCommand63(const std::string& speakerId) override;
    HRESULT SpeakerCommand64(const std::string& speakerId) override;
    HRESULT PlaySoundFile(const std::string& speakerId, const std::string& path) override;
    HRESULT StopSoundFile(const std::string& speakerId) override;

    HRESULT GetHidDeviceCount(int32_t* count) override;
    HRESULT GetHidDeviceId(int32_t index, std::string* id) override;
    HRESULT QueryHidProperty(const std::string& id, int32_t property, int32_t* state) override;
    HRESULT GetHidProperty(const std::string& id, int32_t property, Variant* value) override;
    HRESULT SetHidProperty(const std::string& id, int32_t property, const Variant& value) override;

    HRESULT QueryGlobalOption(int32_t option, int32_t* state) override;
    HRESULT SetGlobalOption(int32_t option, const Variant& value) override;
    HRESULT GetGlobalOption(int32_t option, Variant* value) override;

    HRESULT GetStringValue3(std::string* value) override;
    HRESULT SetStringValue3(const std::string& value) override;
    HRESULT GetStringValue4(std::string* value) override;
    HRESULT SetStringValue4(const std::string& value) override;
    HRESULT GetStringValue2(std::string* value) override;
    HRESULT SetStringValue2(const std::string& value) override;
    HRESULT GetStringValue1(std::string* value) override;
    HRESULT SetStringValue1(const std::string& value) override;

    HRESULT GetServiceText(std::string* text) override;

protected:
    // Reference counted: Release() deletes; tests derive stand-ins with odd answers.
    ~CGraniteDeviceService() override;

private:
    // The injected failure of an operation, else E_UNEXPECTED before the service has started, else S_OK.
    HRESULT Enter(int32_t operation) const;
    HRESULT Count(int32_t operation, DeviceKind kind, int32_t* count);
    HRESULT IdAt(int32_t operation, DeviceKind kind, int32_t index, std::string* id);
    HRESULT Query(int32_t operation, DeviceKind kind, const std::string& id, int32_t property,
                  int32_t* state);
    HRESULT Get(int32_t operation, DeviceKind kind, const std::string& id, int32_t property, Variant* value);
    HRESULT Set(int32_t operation, DeviceKind kind, const std::string& id, int32_t property,
                const Variant& value);
    HRESULT GetString(int32_t operation, int index, std::string* value);
    HRESULT SetString(int32_t operation, int index, const std::string& value);
    // Whether the speaker's sounds play on the sound server (through the roster) rather than on the
    // simulated hardware.
    bool SoundsThroughRoster(const std::string& speakerId) const;

    std::shared_ptr<CSimulatedHardware> hardware_;
    std::shared_ptr<ICameraDevices> cameras_;
    std::shared_ptr<IAudioDevices> audio_;
    std::shared_ptr<CAudioRoster> roster_; // `audio_` when it is a roster, else null
    std::shared_ptr<CServiceEventHub> hub_;
    const uint64_t clientId_;
    std::shared_ptr<CSimulatorControlServer> controlServer_;
    mutable std::mutex lock_;
    std::string clientName_;
    std::atomic<bool> registered_{false};
    std::atomic<bool> started_{false};
};

} // namespace Granite
