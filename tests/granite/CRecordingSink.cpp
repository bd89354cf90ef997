#include "CRecordingSink.h"

#include <algorithm>

void CRecordingSink::Record(RecordedEvent e) {
    e.thread = std::this_thread::get_id();
    Add(e);
    if (onEvent)
        onEvent(e);
}

void CRecordingSink::OnMicrophonePropertyChanged(const std::string& id, int32_t, int32_t property,
                                                 const Variant& newValue, const Variant& oldValue) {
    Record({"microphone-property", id, property, 0, newValue, oldValue, {}});
}

void CRecordingSink::OnSpeakerPropertyChanged(const std::string& id, int32_t, int32_t property,
                                              const Variant& newValue, const Variant& oldValue) {
    Record({"speaker-property", id, property, 0, newValue, oldValue, {}});
}

void CRecordingSink::OnVideoPropertyChanged(const std::string& id, int32_t, int32_t property,
                                            const Variant& newValue, const Variant& oldValue) {
    Record({"video-property", id, property, 0, newValue, oldValue, {}});
}

void CRecordingSink::OnHIDPropertyChanged(const std::string& id, int32_t, int32_t property,
                                          const Variant& data) {
    Record({"hid-data", id, property, 0, data, {}, {}});
}

void CRecordingSink::OnVideoDeviceEvent(const std::string& id, int32_t code, int32_t, const Variant&) {
    Record({"camera-event", id, code, 0, {}, {}, {}});
}

void CRecordingSink::OnDeviceArrived(int32_t type, const std::string& id) {
    Record({"arrived", id, type, 0, {}, {}, {}});
}

void CRecordingSink::OnDeviceRemoved(int32_t type, const std::string& id) {
    Record({"removed", id, type, 0, {}, {}, {}});
}

void CRecordingSink::OnVideoMotorStatus(const std::string& id, uint32_t status) {
    Record({"motor", id, 0, status, {}, {}, {}});
}

void CRecordingSink::OnPlaySoundFileStatus(const std::string& id, uint32_t status) {
    Record({"sound", id, 0, status, {}, {}, {}});
}

void CRecordingSink::OnHIDPropertyChanged2(const std::string& id, int32_t, int32_t property,
                                           const Variant& newValue, const Variant& oldValue) {
    Record({"hid-property", id, property, 0, newValue, oldValue, {}});
}

void CRecordingSink::OnGlobalPropertyChanged(int32_t option, const Variant& value) {
    Record({"option", {}, option, 0, value, {}, {}});
}

std::vector<RecordedEvent> CRecordingSink::Named(const std::string& name) const {
    std::vector<RecordedEvent> out;
    for (const RecordedEvent& e : Events()) {
        if (e.name == name)
            out.push_back(e);
    }
    return out;
}

bool CRecordingSink::WaitForCount(const std::string& name, size_t count,
                                  std::chrono::milliseconds timeout) const {
    return WaitFor(
        [&](const std::vector<RecordedEvent>& events) {
            return static_cast<size_t>(
                       std::count_if(events.begin(), events.end(),
                                     [&](const RecordedEvent& e) { return e.name == name; })) >= count;
        },
        timeout);
}

std::vector<std::string> CRecordingSink::NamesAndIds() const {
    std::vector<std::string> out;
    for (const RecordedEvent& e : Events())
        out.push_back(e.name + " " + e.id);
    return out;
}
