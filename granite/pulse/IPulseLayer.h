#pragma once
// The sound server as the real audio devices see it: a connection that lists the sources (microphones) and
// sinks (speakers), tells what changes, sets volumes, mutes and the default devices, measures the peak level
// of a source and plays a source on the speakers. CPulseLayer talks to the server; tests put a fake in its
// place.
//
// What the layer tells its events comes from the layer's own thread; the layer's operations return at once
// and never wait for the server. The layer must not be called from inside its events.
//
// A server that goes away (a restart, a crash, another user taking the session's sound) is looked for again
// until it answers, as is one that was not there at the start: when it comes, its devices and defaults are
// told as on the first connection.
#include "granite/devices/SimulatedDeviceConstants.h"

#include <cstdint>
#include <string>

namespace Granite {

// One source or sink as the server describes it.
struct PulseDevice {
    DeviceKind kind = DeviceKind::Microphone; // Microphone for a source, Speaker for a sink
    uint32_t index = 0;                       // the server's index, for removals; new after a restart
    std::string name;                         // stable across restarts and replugs: the device's id
    std::string description;                  // what users call it
    bool monitor = false;                     // a source that only repeats what a sink plays
    int32_t volume = 0;                       // 0..100, 100 being the device's normal volume
    bool mute = false;
};

class IPulseEvents {
public:
    // A device appeared or one of its values changed.
    virtual void OnDevice(const PulseDevice& device) = 0;
    // A device is gone. Its peak readings and its playing on the speakers ended with it.
    virtual void OnDeviceRemoved(DeviceKind kind, uint32_t index) = 0;
    // The server's default source and sink (names; empty when none).
    virtual void OnDefaults(const std::string& source, const std::string& sink) = 0;
    // A peak reading (0..1, linear) of a source whose peaks are measured.
    virtual void OnPeak(const std::string& source, float peak) = 0;
    // The connection to the server was lost: every device is gone, and with them every peak reading and
    // every source played on the speakers. The layer looks for the server again.
    virtual void OnDisconnected() = 0;

protected:
    ~IPulseEvents() = default;
};

class IPulseLayer {
public:
    virtual ~IPulseLayer() = default;

    // Starts talking to the server. When one answers soon, every device and the defaults are told before
    // this returns; otherwise they are told when a server answers. False only when the layer cannot run.
    // Events flow until the layer is destroyed.
    virtual bool Start(IPulseEvents* events) = 0;
    virtual void SetVolume(DeviceKind kind, const std::string& name, int32_t volume) = 0;
    virtual void SetMute(DeviceKind kind, const std::string& name, bool mute) = 0;
    virtual void SetDefault(DeviceKind kind, const std::string& name) = 0;
    // Peak readings of a source, at least ten a second, until StopPeaks or the source goes.
    virtual void StartPeaks(const std::string& source) = 0;
    virtual void StopPeaks(const std::string& source) = 0;
    // The source is heard on the default speaker until StopLoopback or the source goes; both idempotent.
    // Destroying the layer ends every loopback it started.
    virtual void StartLoopback(const std::string& source) = 0;
    virtual void StopLoopback(const std::string& source) = 0;
};

} // namespace Granite
