#pragma once
// A fake kernel video device for the V4L2 camera tests: the controls of a typical USB camera with their
// ranges, defaults and automatic modes (which make their manual partner inactive, as the kernel does),
// control events for the subscribed controls when another program changes one or the driver changes a
// control's range or flags, and unplugging.
#include "granite/v4l2/IV4l2Device.h"

#include <linux/videodev2.h>

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

class CFakeV4l2Camera {
public:
    struct Control {
        uint32_t type = V4L2_CTRL_TYPE_INTEGER;
        int32_t minimum = 0, maximum = 255, step = 1, defaultValue = 0, value = 0;
        std::set<uint32_t> menu; // valid items of a menu
        uint32_t flags = 0;
        std::string name;
    };

    // A camera with the picture levels, white balance, exposure, focus, power line and relative pan and
    // tilt; `capture` false makes it a metadata node.
    explicit CFakeV4l2Camera(bool capture = true);

    // Another program writes a control: the value changes and a subscribed control sends an event.
    void ChangeFromOutside(uint32_t id, int32_t value);
    // The driver gives a control a new range: a value outside it moves to the nearest bound, and one event
    // tells of both.
    void ChangeRange(uint32_t id, int32_t minimum, int32_t maximum, int32_t step, int32_t defaultValue);
    // The driver sets and clears flags of a control (read-only, grabbed, disabled, inactive).
    void ChangeFlags(uint32_t id, uint32_t set, uint32_t clear);
    void Unplug();
    int32_t Value(uint32_t id);
    // The last value written to a control (relative pan and tilt keep none).
    int32_t LastWritten(uint32_t id);
    void Remove(uint32_t id);
    // A further control. Old private ids (from V4L2_CID_PRIVATE_BASE) are left out of the walk with
    // V4L2_CTRL_FLAG_NEXT_CTRL, as the kernel's control framework does, and answer only when asked by id.
    void Add(uint32_t id, Control control);

    int Ioctl(unsigned long request, void* argument);
    bool WaitForEvent(std::chrono::milliseconds timeout);

private:
    void ApplyLinks();
    void Queue(uint32_t id, uint32_t changes);

    std::mutex lock_;
    std::condition_variable eventQueued_;
    bool capture_;
    bool gone_ = false;
    std::map<uint32_t, Control> controls_;
    std::map<uint32_t, int32_t> written_;
    std::set<uint32_t> subscribed_;
    std::deque<v4l2_event> events_;
};

// Opens /dev/<node> for the nodes it was given.
class CFakeV4l2Opener : public Granite::IV4l2DeviceOpener {
public:
    std::map<std::string, std::shared_ptr<CFakeV4l2Camera>> nodes; // "/dev/video0" -> camera
    std::unique_ptr<Granite::IV4l2Device> Open(const std::string& devnode) override;
};

// A sysfs tree in a temporary folder: class/video4linux/<node> with its name, linked to a USB interface
// under a USB device with ids, serial and port.
void WriteFakeSysfsNode(const std::string& root, const std::string& node, const std::string& name,
                        const std::string& port, const std::string& vendor, const std::string& product,
                        const std::string& serial);
