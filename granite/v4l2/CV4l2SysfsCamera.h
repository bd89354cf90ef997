#pragma once
// What sysfs says about a video node: its name, the USB vendor and product ids, the release number, the
// serial number and the port the camera is plugged into, and from these the camera's id for the service:
// "\\?\usb#vid_XXXX&pid_YYYY&mi_II#<instance>\v4l2", where the instance is the serial number, else the USB
// port path. The id stays the same when the kernel hands out another /dev/videoN.
#include <cstdint>
#include <string>

namespace Granite {

struct V4l2SysfsCamera {
    std::string node; // "video0"
    std::string name;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t release = 0; // bcdDevice
    int interfaceNumber = 0;
    std::string serial;
    std::string port; // "1-1.2"; empty when not on USB
    std::string id;
};

class CV4l2SysfsCamera {
public:
    // The node "videoN" under <sysfsRoot>/class/video4linux; false when sysfs has no such node.
    static bool Read(const std::string& sysfsRoot, const std::string& node, V4l2SysfsCamera& camera);
    static std::string MakeId(const V4l2SysfsCamera& camera);
};

} // namespace Granite
