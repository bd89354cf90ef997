#include "settings/CAudioDeviceList.h"

#include "services/IGraniteDeviceManager.h"

#include <map>

CAudioDeviceList::CAudioDeviceList(const std::vector<Device>& devices, const std::string& currentId) {
    std::map<std::string, int> seenNames;
    for (const Device& device : devices) {
        if (device.id.empty() || RowOf(device.id) >= 0)
            continue;
        // A device without a name still needs a line the user can pick.
        const std::string name = device.name.empty() ? device.id : device.name;
        const int seen = ++seenNames[name];
        entries_.push_back({seen == 1 ? name : name + " (" + std::to_string(seen) + ")", device.id});
    }
    current_ = currentId.empty() ? -1 : RowOf(currentId);
}

CAudioDeviceList CAudioDeviceList::Read(IGraniteDeviceManager& devices, Kind kind) {
    const bool microphones = kind == Kind::Microphones;
    const int count = microphones ? devices.GetMicrophoneCount() : devices.GetSpeakerCount();
    std::vector<Device> listed;
    for (int i = 0; i < count; ++i) {
        DeviceInfo info;
        if (SUCCEEDED(microphones ? devices.GetMicrophone(i, &info) : devices.GetSpeaker(i, &info)))
            listed.push_back({info.name, info.id});
    }
    std::string current;
    if (FAILED(microphones ? devices.GetSelectedMicrophoneId(current)
                           : devices.GetSelectedSpeakerId(current)))
        current.clear();
    return CAudioDeviceList(listed, current);
}

int CAudioDeviceList::RowOf(const std::string& id) const {
    for (size_t row = 0; row < entries_.size(); ++row) {
        if (entries_[row].id == id)
            return static_cast<int>(row);
    }
    return -1;
}
