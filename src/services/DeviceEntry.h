#pragma once
// One listed device of the device-manager facade. A camera entry keeps the service's list-wide event
// subscriptions of its camera (switch pairs and streaming) for as long as it exists, and a reference to the
// service to drop them with.
#include "platform/HResult.h"

#include <cstdint>
#include <map>
#include <string>

class IInProcDeviceManager;

class DeviceEntry {
public:
    DeviceEntry(std::string name, std::string id, int32_t productId, int32_t vendorId, int32_t revision);
    // Drops the camera subscriptions (if any) and the service reference.
    ~DeviceEntry();
    DeviceEntry(const DeviceEntry&) = delete;
    DeviceEntry& operator=(const DeviceEntry&) = delete;

    // Cameras only: takes a reference to the service and subscribes the event codes every listed camera
    // reports (8, 31, 9, 32, 15, 16). Results are not checked: a camera that cannot report them still works.
    void SubscribeListEvents(IInProcDeviceManager* service);

    // Per-camera values kept by the program (keys compare exactly).
    void SetValue(const std::string& key, int32_t value) { values_[key] = value; }
    bool GetValue(const std::string& key, int32_t* value) const;
    const std::map<std::string, int32_t>& Values() const { return values_; }
    void SetValues(std::map<std::string, int32_t> values) { values_ = std::move(values); }

    const std::string name;
    const std::string id;
    const int32_t productId;
    const int32_t vendorId;
    const int32_t revision;

    static constexpr int32_t kListEventCodes[] = {8, 31, 9, 32, 15, 16};

private:
    IInProcDeviceManager* service_ = nullptr;
    std::map<std::string, int32_t> values_;
};
