#pragma once
// The entries of a microphone or speaker list: every device's name with its id beside it, and which entry
// is the current device. Devices are told apart by id only. Two devices with the same name stay two entries;
// the second and later ones are labelled "Name (2)", "Name (3)" so that the user can tell them apart too.
#include <string>
#include <vector>

class IGraniteDeviceManager;

class CAudioDeviceList {
public:
    enum class Kind { Microphones, Speakers };
    struct Device {
        std::string name;
        std::string id;
    };
    struct Entry {
        std::string label;
        std::string id;
    };

    CAudioDeviceList() = default;
    // Devices in the facade's order and the id of the current one (empty when none is current). A device
    // without an id cannot be chosen and is left out, as is a second device with the same id.
    CAudioDeviceList(const std::vector<Device>& devices, const std::string& currentId);
    // The facade's devices of the kind as they are now; one the facade cannot give is left out.
    static CAudioDeviceList Read(IGraniteDeviceManager& devices, Kind kind);

    bool Empty() const { return entries_.empty(); }
    const std::vector<Entry>& Entries() const { return entries_; }
    // The current device's row; -1 when no entry is the current device.
    int CurrentRow() const { return current_; }
    // The row of the device with exactly this id; -1 when it is not listed.
    int RowOf(const std::string& id) const;

private:
    std::vector<Entry> entries_;
    int current_ = -1;
};
