#include "granite/capture/CV4l2Camera.h"

#include "granite/capture/CGstPipeline.h"
#include "granite/v4l2/CV4l2SysfsCamera.h"
#include "platform/TextUtil.h"

#include <fstream>

namespace Granite {
namespace {
const char kMarker[] = "&v4l2\\";

bool ReadHexId(const std::string& file, uint16_t* value) {
    std::ifstream in(file);
    std::string text;
    if (!(in >> text) || text.empty() || text.size() > 4)
        return false;
    try {
        size_t used = 0;
        const unsigned long v = std::stoul(text, &used, 16);
        if (used != text.size())
            return false;
        *value = static_cast<uint16_t>(v);
        return true;
    } catch (...) {
        return false;
    }
}
} // namespace

std::string CV4l2Camera::DevicePath(uint16_t vendorId, uint16_t productId, int index,
                                    const std::string& devnode) {
    return Text::Format("\\\\?\\usb#vid_%04x&pid_%04x&mi_00#%d", vendorId, productId, index) + kMarker +
           devnode;
}

std::string CV4l2Camera::PathOf(const std::string& sysfsRoot, const std::string& devnode, int index) {
    const size_t slash = devnode.rfind('/');
    V4l2SysfsCamera camera;
    if (CV4l2SysfsCamera::Read(sysfsRoot, slash == std::string::npos ? devnode : devnode.substr(slash + 1),
                               camera) &&
        !camera.id.empty()) {
        // The device service's id of the camera with the node in place of its last part: both name one
        // device (IsSameDevice compares what comes before the last backslash).
        const size_t cut = camera.id.rfind('\\');
        if (cut != std::string::npos && cut > 0)
            return camera.id.substr(0, cut + 1) + devnode;
    }
    uint16_t vid = 0, pid = 0;
    if (!UsbIds(sysfsRoot, devnode, &vid, &pid))
        vid = pid = 0;
    return DevicePath(vid, pid, index, devnode);
}

std::string CV4l2Camera::DevnodeOf(const std::string& devicePath) {
    const size_t at = devicePath.rfind('\\');
    if (at == std::string::npos)
        return {};
    std::string node = devicePath.substr(at + 1);
    return node.rfind("/dev/", 0) == 0 ? node : std::string();
}

bool CV4l2Camera::UsbIds(const std::string& sysfsRoot, const std::string& devnode, uint16_t* vendorId,
                         uint16_t* productId) {
    const size_t slash = devnode.rfind('/');
    const std::string name = slash == std::string::npos ? devnode : devnode.substr(slash + 1);
    if (name.empty() || name.find("..") != std::string::npos)
        return false;
    // The device link points at the USB interface; its parent is the USB device with the ids.
    const std::string usbDevice = sysfsRoot + "/class/video4linux/" + name + "/device/..";
    return ReadHexId(usbDevice + "/idVendor", vendorId) && ReadHexId(usbDevice + "/idProduct", productId);
}

std::vector<CameraInfo> CV4l2Camera::List(const std::string& sysfsRoot) {
    CGstPipeline::EnsureInitialised();
    std::vector<CameraInfo> cameras;
    GstObjectPtr<GstDeviceMonitor> monitor = AdoptObject(gst_device_monitor_new());
    GstCapsPtr raw(gst_caps_new_empty_simple("video/x-raw"));
    gst_device_monitor_add_filter(monitor.get(), "Video/Source", raw.get());
    GstObjectListPtr devices(gst_device_monitor_get_devices(monitor.get()));
    int index = 0;
    for (GList* item = devices.get(); item != nullptr; item = item->next) {
        auto* device = GST_DEVICE(item->data);
        GstStructure* props = gst_device_get_properties(device);
        if (props == nullptr)
            continue;
        const gchar* path = gst_structure_get_string(props, "api.v4l2.path");
        if (path == nullptr)
            path = gst_structure_get_string(props, "device.path");
        const std::string devnode = path != nullptr ? path : "";
        gst_structure_free(props);
        if (devnode.rfind("/dev/video", 0) != 0)
            continue;
        CameraInfo info;
        info.kind = CameraInfo::Kind::V4l2;
        info.name = TakeString(gst_device_get_display_name(device));
        info.devnode = devnode;
        info.devicePath = PathOf(sysfsRoot, devnode, index++);
        cameras.push_back(info);
    }
    return cameras;
}

GstElementPtr CV4l2Camera::MakeSource(const std::string& devnode, int32_t width, int32_t height,
                                      int32_t fps) {
    GstElementPtr bin = AdoptObject(gst_bin_new(nullptr));
    GstElementPtr src = MakeElement("v4l2src"), convert = MakeElement("videoconvert"),
                  scale = MakeElement("videoscale"), rate = MakeElement("videorate"),
                  caps = MakeElement("capsfilter");
    for (GstElement* e : {src.get(), convert.get(), scale.get(), rate.get(), caps.get()}) {
        if (e == nullptr || !gst_bin_add(GST_BIN(bin.get()), e))
            return nullptr;
    }
    g_object_set(src.get(), "device", devnode.c_str(), nullptr);
    GstCapsPtr want(gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "I420", "width", G_TYPE_INT,
                                        width, "height", G_TYPE_INT, height, "framerate", GST_TYPE_FRACTION,
                                        fps, 1, "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr));
    g_object_set(caps.get(), "caps", want.get(), nullptr);
    if (!gst_element_link_many(src.get(), convert.get(), scale.get(), rate.get(), caps.get(), nullptr))
        return nullptr;
    GstPadPtr out(gst_element_get_static_pad(caps.get(), "src"));
    GstPad* ghost = gst_ghost_pad_new("src", out.get());
    if (ghost == nullptr || !gst_element_add_pad(bin.get(), ghost))
        return nullptr;
    return bin;
}

} // namespace Granite
