#pragma once
// An event sink for the service tests: records every event with the thread it arrived on, and lets a test
// wait (with a generous time-out) until the events it expects have come.
#include "services/IInProcDeviceManagerEvents.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct RecordedEvent {
    std::string name; // "video-property", "microphone-property", "camera-event", "arrived", ...
    std::string id;
    int32_t number = 0; // property, code, device type or option
    uint32_t status = 0;
    Variant newValue;
    Variant oldValue;
    std::thread::id thread;
};

class CRecordingSink : public IInProcDeviceManagerEvents {
public:
    void OnMicrophonePropertyChanged(const std::string& id, int32_t, int32_t property,
                                     const Variant& newValue, const Variant& oldValue) override;
    void OnSpeakerPropertyChanged(const std::string& id, int32_t, int32_t property, const Variant& newValue,
                                  const Variant& oldValue) override;
    void OnVideoPropertyChanged(const std::string& id, int32_t, int32_t property, const Variant& newValue,
                                const Variant& oldValue) override;
    void OnHIDPropertyChanged(const std::string& id, int32_t, int32_t property, const Variant& data) override;
    void OnVideoDeviceEvent(const std::string& id, int32_t code, int32_t, const Variant&) override;
    void OnDeviceArrived(int32_t type, const std::string& id) override;
    void OnDeviceRemoved(int32_t type, const std::string& id) override;
    void OnVideoMotorStatus(const std::string& id, uint32_t status) override;
    void OnPlaySoundFileStatus(const std::string& id, uint32_t status) override;
    void OnHIDPropertyChanged2(const std::string& id, int32_t, int32_t property, const Variant& newValue,
                               const Variant& oldValue) override;
    void OnGlobalPropertyChanged(int32_t option, const Variant& value) override;

    std::vector<RecordedEvent> Events() const;
    // Events of one name, in arrival order.
    std::vector<RecordedEvent> Named(const std::string& name) const;
    // Waits until `enough` holds for the recorded events; false after the time-out.
    bool WaitFor(const std::function<bool(const std::vector<RecordedEvent>&)>& enough,
                 std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
    bool WaitForCount(const std::string& name, size_t count,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
    void Clear();
    // Called inside every event, on the service's thread, after it was recorded.
    std::function<void(const RecordedEvent&)> onEvent;

private:
    void Record(RecordedEvent e);

    mutable std::mutex lock_;
    mutable std::condition_variable changed_;
    std::vector<RecordedEvent> events_;
};
