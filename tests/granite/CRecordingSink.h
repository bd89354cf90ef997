#pragma once
// The device-manager service's event sink: records every event with the thread it arrived on.
#include "CEventLog.h"
#include "services/IInProcDeviceManagerEvents.h"

#include <string>

struct RecordedEvent {
    std::string name; // "video-property", "microphone-property", "camera-event", "arrived", ...
    std::string id;
    int32_t number = 0; // property, code, device type or option
    uint32_t status = 0;
    Variant newValue;
    Variant oldValue;
    std::thread::id thread;
};

class CRecordingSink : public IInProcDeviceManagerEvents, public CEventLog<RecordedEvent> {
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

    // Events of one name, in arrival order.
    std::vector<RecordedEvent> Named(const std::string& name) const;
    bool WaitForCount(const std::string& name, size_t count,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
    // "name id" of every event, in arrival order.
    std::vector<std::string> NamesAndIds() const;
    // Called inside every event, on the service's thread, after it was recorded.
    std::function<void(const RecordedEvent&)> onEvent;

private:
    void Record(RecordedEvent e);
};
