#pragma once
// The microphones and speakers a device-manager service reaches: the simulated ones, the real ones, or a
// roster of both. `kind` is DeviceKind::Microphone or DeviceKind::Speaker; any other kind has no devices.
// Every answer and failure is the one the simulated hardware gives (see CSimulatedHardware): an unknown id
// fails with E_DEVICE_NOT_CONNECTED, a property the device lacks with E_NOTIMPL, a read-only one with
// E_ACCESSDENIED, a value it refuses with E_INVALIDARG.
//
// Listeners hear the devices' events (property changes, arrivals and removals) as the hardware's listeners
// do: in order, from whatever thread noticed them, with a lock held, so they only copy and queue.
#include "granite/devices/SimulatedDeviceConstants.h"
#include "platform/Variant.h"

#include <cstdint>
#include <string>

namespace Granite {

class IHardwareListener;

class IAudioDevices {
public:
    virtual ~IAudioDevices() = default;

    virtual int32_t Count(DeviceKind kind) const = 0;
    virtual bool IdAt(DeviceKind kind, int32_t index, std::string& id) const = 0;
    virtual bool Exists(DeviceKind kind, const std::string& id) const = 0;
    virtual HRESULT Query(DeviceKind kind, const std::string& id, int32_t property, int32_t* state) const = 0;
    virtual HRESULT Get(DeviceKind kind, const std::string& id, int32_t property, Variant* value) const = 0;
    virtual HRESULT Set(DeviceKind kind, const std::string& id, int32_t property, const Variant& value) = 0;
    // Makes the device the one sound goes to or comes from.
    virtual HRESULT Select(DeviceKind kind, const std::string& id) = 0;

    // Someone wants the microphone's level (a meter or a monitor runs): counted, so that every Watch(true)
    // is matched by a Watch(false).
    virtual HRESULT WatchLevel(const std::string& microphoneId, bool on) = 0;
    // Reports the microphone's present level as its level property (even when it has not changed: a level
    // meter wants every reading). Never waits for the device.
    virtual HRESULT SampleLevel(const std::string& microphoneId) = 0;
    // The microphone is heard on the speakers (or no longer).
    virtual HRESULT SetMonitoring(const std::string& microphoneId, bool on) = 0;

    virtual void AddListener(IHardwareListener* listener) = 0;
    virtual void RemoveListener(IHardwareListener* listener) = 0;
};

} // namespace Granite
