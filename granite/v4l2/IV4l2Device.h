#pragma once
// The kernel's video devices behind a small interface, so that everything above the ioctls (control
// mapping, events, hotplug handling) is tested against a fake device layer. The real layer calls ::open,
// ::ioctl and ::poll.
#include <chrono>
#include <memory>
#include <string>

namespace Granite {

// One opened /dev/videoN.
class IV4l2Device {
public:
    virtual ~IV4l2Device() = default;
    // The ioctl's result: 0, or the errno it failed with.
    virtual int Ioctl(unsigned long request, void* argument) = 0;
    // Waits up to `timeout` for a pending event (VIDIOC_DQEVENT then has one); false when none came.
    virtual bool WaitForEvent(std::chrono::milliseconds timeout) = 0;
};

// Opens device nodes.
class IV4l2DeviceOpener {
public:
    virtual ~IV4l2DeviceOpener() = default;
    // Null when the node cannot be opened (gone, or no permission).
    virtual std::unique_ptr<IV4l2Device> Open(const std::string& devnode) = 0;
};

} // namespace Granite
