#pragma once
// The real microphones and speakers of the session's sound server: its sources (except the monitors of its
// sinks, which only repeat what a speaker plays) and its sinks, named by the server's device names, which
// stay the same across restarts and replugs. A device's display name is the server's description of it.
//
// What the device offers: its name, volume (0..100, 100 being the device's normal volume) and mute, and for
// a microphone its level while someone meters it. Echo cancellation and noise suppression are the sound
// server's business, not the device's: a real microphone reports neither.
//
// A microphone is heard on the default speaker while monitoring is on: on or off as the simulated hardware
// has it (not counted), through a loopback in the sound server. A microphone that goes (unplugged, or the
// server went away) takes its monitoring and its metering with it, as a simulated one does; whoever wants
// them again asks again when it is back.
//
// When the server goes away every device leaves; when a server answers again (or for the first time) its
// devices arrive, so a roster swaps the simulated devices out and in as with any hot-plug.
//
// Listeners are told without the devices' lock held, after the list has changed, as a roster expects.
#include "granite/devices/IAudioDevices.h"
#include "granite/pulse/IPulseLayer.h"

#include <memory>
#include <mutex>
#include <vector>

namespace Granite {

struct HardwareEvent;

class CPulseAudioDevices : public IAudioDevices, private IPulseEvents {
public:
    // Starts the layer: null only when it cannot run. Without a server the lists stay empty until one
    // answers.
    static std::shared_ptr<CPulseAudioDevices> Open(std::unique_ptr<IPulseLayer> layer);
    // The session's sound server, shared by the whole process.
    static std::shared_ptr<CPulseAudioDevices> Shared();
    ~CPulseAudioDevices() override;
    CPulseAudioDevices(const CPulseAudioDevices&) = delete;
    CPulseAudioDevices& operator=(const CPulseAudioDevices&) = delete;

    // A peak (0..1, linear) as the level property's 0..100, on a decibel scale as level meters show it:
    // -60 dB and quieter is 0, full scale is 100.
    static int32_t LevelFromPeak(float peak);
    // The device sound goes to or comes from; empty when the server names none.
    std::string DefaultDevice(DeviceKind kind) const;

    int32_t Count(DeviceKind kind) const override;
    bool IdAt(DeviceKind kind, int32_t index, std::string& id) const override;
    bool Exists(DeviceKind kind, const std::string& id) const override;
    HRESULT Query(DeviceKind kind, const std::string& id, int32_t property, int32_t* state) const override;
    HRESULT Get(DeviceKind kind, const std::string& id, int32_t property, Variant* value) const override;
    HRESULT Set(DeviceKind kind, const std::string& id, int32_t property, const Variant& value) override;
    HRESULT Select(DeviceKind kind, const std::string& id) override;
    HRESULT WatchLevel(const std::string& microphoneId, bool on) override;
    HRESULT SampleLevel(const std::string& microphoneId) override;
    HRESULT SetMonitoring(const std::string& microphoneId, bool on) override;
    void AddListener(IHardwareListener* listener) override;
    void RemoveListener(IHardwareListener* listener) override;

private:
    struct Entry {
        PulseDevice device;
        int watchers = 0;
        bool monitoring = false;
        int32_t peakLevel = 0; // the loudest reading since the last sample
        bool fresh = false;    // whether a reading came since the last sample
        int32_t level = 0;     // the level last reported
    };

    CPulseAudioDevices() = default;
    std::vector<Entry>* List(DeviceKind kind);
    const std::vector<Entry>* List(DeviceKind kind) const;
    Entry* Find(DeviceKind kind, const std::string& id);
    const Entry* Find(DeviceKind kind, const std::string& id) const;
    static int32_t State(DeviceKind kind, int32_t property);
    void Emit(const std::vector<HardwareEvent>& events);

    // IPulseEvents
    void OnDevice(const PulseDevice& device) override;
    void OnDeviceRemoved(DeviceKind kind, uint32_t index) override;
    void OnDefaults(const std::string& source, const std::string& sink) override;
    void OnPeak(const std::string& source, float peak) override;
    void OnDisconnected() override;

    // Held across a command's bookkeeping and its request to the layer, so that the server hears the
    // requests in the order their bookkeeping was done. Never taken on the layer's thread.
    std::mutex commandLock_;
    mutable std::mutex lock_;
    std::vector<Entry> microphones_;
    std::vector<Entry> speakers_;
    std::string defaultSource_;
    std::string defaultSink_;
    // Held while the listeners are told, so that a listener removed is never called again.
    std::mutex listenLock_;
    std::vector<IHardwareListener*> listeners_;
    std::unique_ptr<IPulseLayer> layer_; // stopped first when the devices go away
};

} // namespace Granite
