#pragma once
// One camera the capture objects can open: a simulated one (its id is its device path) or a V4L2 device.
#include <string>

namespace Granite {

struct CameraInfo {
    enum class Kind { Simulated, V4l2 };
    Kind kind = Kind::Simulated;
    std::string name;
    std::string devicePath; // "\\?\usb#vid_XXXX&pid_YYYY&..." (lower-case ids)
    std::string devnode;    // "/dev/videoN" for V4L2 cameras
};

} // namespace Granite
