#pragma once
// The cameras a device-manager service reaches: the simulated ones, the real ones, or a roster of both.
// Every answer and failure is the one the simulated hardware gives (see CSimulatedHardware): an unknown id
// fails with E_DEVICE_NOT_CONNECTED, a property the camera lacks with E_NOTIMPL, a read-only one with
// E_ACCESSDENIED, a value it refuses with E_INVALIDARG.
//
// Listeners hear the cameras' events (property changes, camera events, arrivals and removals) as the
// hardware's listeners do: in order, from whatever thread noticed them, with a lock held, so they only copy
// and queue.
#include "granite/devices/SimulatedDeviceConstants.h"
#include "platform/Variant.h"

#include <cstdint>
#include <string>

namespace Granite {

class IHardwareListener;

class ICameraDevices {
public:
    virtual ~ICameraDevices() = default;

    virtual int32_t Count() const = 0;
    virtual bool IdAt(int32_t index, std::string& id) const = 0;
    virtual bool Exists(const std::string& id) const = 0;
    virtual HRESULT Query(const std::string& id, int32_t property, int32_t* state) const = 0;
    virtual HRESULT Get(const std::string& id, int32_t property, Variant* value) const = 0;
    virtual HRESULT Set(const std::string& id, int32_t property, const Variant& value) = 0;

    virtual HRESULT HasFeature(const std::string& id, const std::string& feature, bool* supported) const = 0;
    virtual HRESULT HasFaceTracking(const std::string& id, bool multiple, bool* supported) const = 0;
    virtual HRESULT PropertyFlag(const std::string& id, int32_t property, bool* flag) const = 0;
    virtual HRESULT DriverName(const std::string& id, std::string* driver) const = 0;
    virtual HRESULT DeviceStrings(const std::string& id, int32_t which, std::string* first,
                                  std::string* second) const = 0;
    // The camera in use; E_FAIL when none.
    virtual HRESULT CameraInUse(std::string* id) const = 0;
    // Attachments are counted per client, as CSimulatedHardware counts them.
    virtual HRESULT Attach(uint64_t client, const std::string& id) = 0;
    virtual HRESULT Detach(uint64_t client, const std::string& id) = 0;
    virtual void DetachAll(uint64_t client) = 0;

    virtual void AddListener(IHardwareListener* listener) = 0;
    virtual void RemoveListener(IHardwareListener* listener) = 0;
};

} // namespace Granite
