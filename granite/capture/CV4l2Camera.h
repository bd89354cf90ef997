#pragma once
// Real cameras: V4L2 capture devices found through GStreamer's device monitor, named by a device path in
// the same form the simulated cameras use, with the USB vendor and product ids read from sysfs (0000 when
// the device is not on USB or sysfs does not say).
#include "granite/capture/CameraInfo.h"
#include "granite/capture/GstRef.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Granite {

class CV4l2Camera {
public:
    // The video sources the device monitor lists, in its order.
    static std::vector<CameraInfo> List(const std::string& sysfsRoot = "/sys");
    // "\\?\usb#vid_%04x&pid_%04x&mi_00#<index>&v4l2\<devnode>".
    static std::string DevicePath(uint16_t vendorId, uint16_t productId, int index,
                                  const std::string& devnode);
    // The path of a node: the device service's id of the camera (from sysfs) with the node as its last part,
    // so that both name the same device; DevicePath when sysfs does not describe the node.
    static std::string PathOf(const std::string& sysfsRoot, const std::string& devnode, int index);
    // The device node at the end of either path; empty when the path is not one.
    static std::string DevnodeOf(const std::string& devicePath);
    // The USB ids of /dev/videoN from <sysfsRoot>/class/video4linux/videoN/device/../id{Vendor,Product};
    // false when they cannot be read.
    static bool UsbIds(const std::string& sysfsRoot, const std::string& devnode, uint16_t* vendorId,
                       uint16_t* productId);
    // A bin with one source pad giving I420 at the size and rate asked for; null when an element is missing.
    static GstElementPtr MakeSource(const std::string& devnode, int32_t width, int32_t height, int32_t fps);
};

} // namespace Granite
