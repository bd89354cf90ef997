#pragma once
// The microphones and speakers a device-manager service lists: for each kind, the real devices when there
// are any, else the simulated ones. Asking for simulated devices (VIDORA_SIMULATED_DEVICES, or a test handing
// in its own hardware) lists the simulated devices only, as the camera roster does.
//
// When the first real device of a kind arrives the simulated ones of that kind leave (each with a removal),
// and when the last real one leaves they come back (each with an arrival), so a client's list follows
// without a restart. Listeners hear the audio devices' own events (see IsDeviceEvent) and the sound statuses
// of the real speakers (see PlaySound); the sounds of the simulated speakers and the global audio options
// stay with the simulated hardware, whose listeners hear them.
#include "granite/devices/CSimulatedHardware.h"
#include "granite/devices/IAudioDevices.h"

#include <memory>
#include <mutex>
#include <vector>

namespace Granite {

class CPulseSoundPlayer;

class CAudioRoster : public IAudioDevices {
public:
    // `real` may be null (no real audio backend: the simulated devices only). With real devices the roster
    // plays and hears sounds through the process's sound player.
    static std::shared_ptr<CAudioRoster> Create(std::shared_ptr<CSimulatedHardware> hardware,
                                                std::shared_ptr<IAudioDevices> real);
    ~CAudioRoster() override;
    CAudioRoster(const CAudioRoster&) = delete;
    CAudioRoster& operator=(const CAudioRoster&) = delete;

    // Whether an event is a microphone's or a speaker's own (a property, an arrival, a removal), the events
    // this roster tells.
    static bool IsDeviceEvent(const HardwareEvent& event);
    // Whether the real devices of a kind are the ones listed now.
    bool RealListed(DeviceKind kind) const;
    // Whether the speaker is a real one: its sounds play on the sound server through the roster.
    bool IsRealSpeaker(const std::string& speakerId) const;

    // Sounds on a real speaker. Their statuses (Started, Finished, Stopped) reach this roster's listeners as
    // SoundStatus events; the answers are those of the simulated speakers: E_DEVICE_NOT_CONNECTED for a
    // speaker that is not a real one, the wave file's own failure for a file that cannot be played (nothing
    // starts), S_FALSE from StopSound when nothing plays.
    HRESULT PlaySound(const std::string& speakerId, const std::string& path);
    HRESULT PlayTestTone(const std::string& speakerId);
    HRESULT StopSound(const std::string& speakerId);

    int32_t Count(DeviceKind kind) const override { return Active(kind).Count(kind); }
    bool IdAt(DeviceKind kind, int32_t index, std::string& id) const override {
        return Active(kind).IdAt(kind, index, id);
    }
    bool Exists(DeviceKind kind, const std::string& id) const override {
        return Active(kind).Exists(kind, id);
    }
    HRESULT Query(DeviceKind kind, const std::string& id, int32_t property, int32_t* state) const override {
        return Active(kind).Query(kind, id, property, state);
    }
    HRESULT Get(DeviceKind kind, const std::string& id, int32_t property, Variant* value) const override {
        return Active(kind).Get(kind, id, property, value);
    }
    HRESULT Set(DeviceKind kind, const std::string& id, int32_t property, const Variant& value) override {
        return Active(kind).Set(kind, id, property, value);
    }
    HRESULT Select(DeviceKind kind, const std::string& id) override { return Active(kind).Select(kind, id); }
    HRESULT WatchLevel(const std::string& microphoneId, bool on) override;
    HRESULT SampleLevel(const std::string& microphoneId) override {
        return Active(DeviceKind::Microphone).SampleLevel(microphoneId);
    }
    HRESULT SetMonitoring(const std::string& microphoneId, bool on) override;

    void AddListener(IHardwareListener* listener) override;
    void RemoveListener(IHardwareListener* listener) override;

private:
    // Hears one source and tells the roster which one it was.
    class Tap : public IHardwareListener {
    public:
        Tap(CAudioRoster& roster, bool real) : roster_(roster), real_(real) {}
        void OnHardwareEvent(const HardwareEvent& event) override { roster_.OnSourceEvent(event, real_); }

    private:
        CAudioRoster& roster_;
        bool real_;
    };

    // Passes on the player's sound statuses.
    class SoundTap : public IHardwareListener {
    public:
        explicit SoundTap(CAudioRoster& roster) : roster_(roster) {}
        void OnHardwareEvent(const HardwareEvent& event) override { roster_.Tell({event}); }

    private:
        CAudioRoster& roster_;
    };

    CAudioRoster(std::shared_ptr<CSimulatedHardware> hardware, std::shared_ptr<IAudioDevices> real);
    IAudioDevices& Active(DeviceKind kind) const;
    // The source a device lives in, whichever is listed: a device in use before the lists changed over is
    // still let go where it lives.
    IAudioDevices& Home(const std::string& microphoneId) const;
    void OnSourceEvent(const HardwareEvent& event, bool real);
    void Tell(const std::vector<HardwareEvent>& events);
    std::vector<HardwareEvent> SimulatedEvents(DeviceKind kind, HardwareEvent::Type type) const;

    std::shared_ptr<CSimulatedHardware> hardware_;
    std::unique_ptr<IAudioDevices> simulated_;
    std::shared_ptr<IAudioDevices> real_;
    Tap simulatedTap_{*this, false};
    Tap realTap_{*this, true};
    SoundTap soundTap_{*this};
    std::shared_ptr<CPulseSoundPlayer> player_; // with real devices only: every client hears every sound
    mutable std::mutex lock_;
    std::vector<IHardwareListener*> listeners_;
};

} // namespace Granite
