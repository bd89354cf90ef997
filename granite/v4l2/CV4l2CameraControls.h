#pragma once
// The controls of one opened V4L2 camera under the service's property numbers: found with
// VIDIOC_QUERY_EXT_CTRL when the camera opens, their values read then and kept current from our own writes
// and from the control events the camera sends when another program (or the camera's automatic modes)
// changes them. A control whose automatic partner is on (V4L2_CTRL_FLAG_INACTIVE) reads as read-only and
// refuses writes, as the camera would ignore them.
//
// Besides the controls: pan and tilt moves (relative controls, else steps of the absolute ones), whether
// pan and tilt are motorised, and the picture mute, which the program applies to the picture itself.
//
// Thread-safe: the service's calls and the camera's event thread share one lock.
#include "granite/v4l2/CV4l2ControlMap.h"
#include "granite/v4l2/IV4l2Device.h"
#include "platform/HResult.h"
#include "platform/Variant.h"

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Granite {

struct V4l2PropertyChange {
    int32_t property = 0;
    Variant oldValue;
    Variant newValue;
};

class CV4l2CameraControls {
public:
    // Null when the node is not a video capture device.
    static std::unique_ptr<CV4l2CameraControls> Open(std::unique_ptr<IV4l2Device> device);

    const std::string& Driver() const { return driver_; }
    const std::string& Card() const { return card_; }
    bool Has(int32_t property) const;

    // kPropertyReadWrite, kPropertyReadOnly or kPropertyNotAvailable.
    int32_t State(int32_t property) const;
    HRESULT Get(int32_t property, Variant* value) const;
    // The changes the write caused (its own and those of controls that follow it) are appended.
    HRESULT Set(int32_t property, const Variant& value, std::vector<V4l2PropertyChange>& changes);
    // Waits up to `wait` for the camera's control events and appends the value changes they carry; false
    // when the device has gone.
    bool PumpEvents(std::chrono::milliseconds wait, std::vector<V4l2PropertyChange>& changes);

private:
    struct Control {
        const V4l2ControlMapping* mapping = nullptr;
        int64_t minimum = 0, maximum = 0, step = 1, defaultValue = 0;
        uint32_t flags = 0;
        int32_t value = 0;
        std::vector<int64_t> menu; // valid item numbers of a menu
    };

    explicit CV4l2CameraControls(std::unique_ptr<IV4l2Device> device) : device_(std::move(device)) {}
    void Enumerate();
    Control* ForProperty(int32_t property);
    const Control* ForProperty(int32_t property) const;
    Control* Find(uint32_t controlId);
    // The control's flags as the camera has them now.
    uint32_t LiveFlags(const Control& control) const;
    Variant Read(const Control& control, int32_t property) const;
    HRESULT WriteControl(Control& control, int32_t raw);
    HRESULT Move(int32_t property);
    // Reads every value again and records those that changed.
    void Reread(std::vector<V4l2PropertyChange>& changes);
    HRESULT Raw(const Control& control, const Variant& value, int32_t& raw) const;

    std::unique_ptr<IV4l2Device> device_;
    mutable std::mutex lock_;
    std::string driver_;
    std::string card_;
    std::map<uint32_t, Control> controls_;
    bool panRelative_ = false;
    bool tiltRelative_ = false;
    int32_t videoMute_ = 0;
};

} // namespace Granite
