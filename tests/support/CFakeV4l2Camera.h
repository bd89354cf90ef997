#pragma once
// A fake kernel video device (a typical USB camera's controls, their events, unplugging) and a sysfs tree
// in a temporary folder that lists it.
#include "granite/v4l2/IV4l2Device.h"

#include <linux/videodev2.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <tuple>

class CFakeV4l2Camera {
public:
    struct Control {
        uint32_t type = V4L2_CTRL_TYPE_INTEGER;
        int32_t minimum = 0, maximum = 255, step = 1, defaultValue = 0, value = 0;
        std::set<uint32_t> menu; // valid items of a menu
        uint32_t flags = 0;
        std::string name;

        static Control Of(uint32_t type, int32_t min, int32_t max, int32_t step, int32_t def, int32_t value,
                          std::string name = {}) {
            Control c;
            std::tie(c.type, c.minimum, c.maximum, c.step, c.defaultValue, c.value, c.name) =
                std::tie(type, min, max, step, def, value, name);
            return c;
        }
    };

    // `capture` false makes it a metadata node.
    explicit CFakeV4l2Camera(bool capture = true) : capture_(capture) {
        const int32_t integer = V4L2_CTRL_TYPE_INTEGER, boolean = V4L2_CTRL_TYPE_BOOLEAN,
                      menu = V4L2_CTRL_TYPE_MENU;
        const std::array<int32_t, 7> table[] = {
            {V4L2_CID_BRIGHTNESS, integer, 0, 255, 1, 128, 140},
            {V4L2_CID_CONTRAST, integer, 0, 255, 1, 32, 32},
            {V4L2_CID_SATURATION, integer, 0, 255, 1, 32, 40},
            {V4L2_CID_AUTO_WHITE_BALANCE, boolean, 0, 1, 1, 1, 1},
            {V4L2_CID_WHITE_BALANCE_TEMPERATURE, integer, 2000, 6500, 1, 4000, 4600},
            {V4L2_CID_GAIN, integer, 0, 255, 1, 0, 10},
            {V4L2_CID_POWER_LINE_FREQUENCY, menu, 0, 2, 1, 2, 1},
            {V4L2_CID_BACKLIGHT_COMPENSATION, integer, 0, 1, 1, 0, 0},
            {V4L2_CID_EXPOSURE_AUTO, menu, V4L2_EXPOSURE_MANUAL, V4L2_EXPOSURE_APERTURE_PRIORITY, 1, 3, 3},
            {V4L2_CID_EXPOSURE_ABSOLUTE, integer, 3, 2047, 1, 250, 250},
            {V4L2_CID_HFLIP, boolean, 0, 1, 1, 0, 0},
            {V4L2_CID_FOCUS_AUTO, boolean, 0, 1, 1, 1, 1},
            {V4L2_CID_FOCUS_ABSOLUTE, integer, 0, 250, 5, 0, 30},
            {V4L2_CID_PAN_RELATIVE, integer, -1, 1, 1, 0, 0},
            {V4L2_CID_TILT_RELATIVE, integer, -1, 1, 1, 0, 0},
        };
        for (const auto& [id, type, min, max, step, def, value] : table)
            controls_[static_cast<uint32_t>(id)] =
                Control::Of(static_cast<uint32_t>(type), min, max, step, def, value);
        controls_[V4L2_CID_POWER_LINE_FREQUENCY].menu = {0, 1, 2};
        controls_[V4L2_CID_EXPOSURE_AUTO].menu = {V4L2_EXPOSURE_MANUAL, V4L2_EXPOSURE_APERTURE_PRIORITY};
        ApplyLinks();
    }

    // Another program writes a control: the value changes and a subscribed control sends an event.
    void ChangeFromOutside(uint32_t id, int32_t value) {
        std::lock_guard guard(lock_);
        controls_[id].value = value;
        Queue(id, V4L2_EVENT_CTRL_CH_VALUE);
        ApplyLinks();
    }
    // The driver gives a control a new range: a value outside moves to the nearest bound; one event tells.
    void ChangeRange(uint32_t id, int32_t minimum, int32_t maximum, int32_t step, int32_t defaultValue) {
        std::lock_guard guard(lock_);
        Control& c = controls_[id];
        const int32_t was = c.value;
        std::tie(c.minimum, c.maximum, c.step, c.defaultValue) =
            std::tie(minimum, maximum, step, defaultValue);
        c.value = std::clamp(c.value, minimum, maximum);
        Queue(id, V4L2_EVENT_CTRL_CH_RANGE | (c.value != was ? V4L2_EVENT_CTRL_CH_VALUE : 0u));
    }
    // The driver sets and clears flags of a control (read-only, grabbed, disabled, inactive).
    void ChangeFlags(uint32_t id, uint32_t set, uint32_t clear) {
        std::lock_guard guard(lock_);
        controls_[id].flags = (controls_[id].flags | set) & ~clear;
        Queue(id, V4L2_EVENT_CTRL_CH_FLAGS);
    }
    void Unplug() {
        std::lock_guard guard(lock_);
        gone_ = true;
        eventQueued_.notify_all();
    }
    int32_t Value(uint32_t id) {
        std::lock_guard guard(lock_);
        return controls_[id].value;
    }
    // The last value written to a control (relative pan and tilt keep none).
    int32_t LastWritten(uint32_t id) {
        std::lock_guard guard(lock_);
        return written_.count(id) ? written_[id] : -999;
    }
    // A further control; old private ids (V4L2_CID_PRIVATE_BASE on) answer only when asked by id.
    void Add(uint32_t id, Control control) {
        std::lock_guard guard(lock_);
        controls_[id] = std::move(control);
    }

    bool WaitForEvent(std::chrono::milliseconds timeout) {
        std::unique_lock guard(lock_);
        return eventQueued_.wait_for(guard, timeout, [this] { return gone_ || !events_.empty(); });
    }
    int Ioctl(unsigned long request, void* argument) {
        std::lock_guard guard(lock_);
        if (gone_)
            return ENODEV;
        switch (request) {
        case VIDIOC_QUERYCAP: {
            auto* caps = static_cast<v4l2_capability*>(argument);
            *caps = v4l2_capability{};
            std::strcpy(reinterpret_cast<char*>(caps->driver), "uvcvideo");
            std::strcpy(reinterpret_cast<char*>(caps->card), "Fake Camera");
            caps->device_caps =
                capture_ ? V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING : V4L2_CAP_META_CAPTURE;
            caps->capabilities = caps->device_caps | V4L2_CAP_DEVICE_CAPS;
            return 0;
        }
        case VIDIOC_QUERY_EXT_CTRL: {
            auto* q = static_cast<v4l2_query_ext_ctrl*>(argument);
            const bool next = (q->id & V4L2_CTRL_FLAG_NEXT_CTRL) != 0;
            const uint32_t id = q->id & ~(V4L2_CTRL_FLAG_NEXT_CTRL | V4L2_CTRL_FLAG_NEXT_COMPOUND);
            auto it = next ? controls_.upper_bound(id) : controls_.find(id);
            if (it == controls_.end() || (next && it->first >= V4L2_CID_PRIVATE_BASE))
                return EINVAL;
            const Control& c = it->second;
            *q = v4l2_query_ext_ctrl{};
            std::tie(q->id, q->type, q->minimum, q->maximum, q->step, q->default_value, q->flags) =
                std::tuple(it->first, c.type, c.minimum, c.maximum, uint64_t(c.step), c.defaultValue,
                           c.flags);
            std::strncpy(q->name, c.name.c_str(), sizeof(q->name) - 1);
            return 0;
        }
        case VIDIOC_QUERYMENU: {
            auto* m = static_cast<v4l2_querymenu*>(argument);
            auto it = controls_.find(m->id);
            return it != controls_.end() && it->second.menu.count(m->index) ? 0 : EINVAL;
        }
        case VIDIOC_G_CTRL: {
            auto* c = static_cast<v4l2_control*>(argument);
            auto it = controls_.find(c->id);
            if (it == controls_.end())
                return EINVAL;
            c->value = it->second.value;
            return 0;
        }
        case VIDIOC_S_CTRL: {
            auto* c = static_cast<v4l2_control*>(argument);
            auto it = controls_.find(c->id);
            if (it == controls_.end() || (it->second.flags & V4L2_CTRL_FLAG_DISABLED) != 0)
                return EINVAL;
            Control& control = it->second;
            if ((control.flags & V4L2_CTRL_FLAG_READ_ONLY) != 0)
                return EACCES;
            if ((control.flags & V4L2_CTRL_FLAG_GRABBED) != 0)
                return EBUSY;
            if (c->value < control.minimum || c->value > control.maximum)
                return ERANGE;
            if (!control.menu.empty() && !control.menu.count(static_cast<uint32_t>(c->value)))
                return EINVAL;
            written_[c->id] = c->value;
            // The camera keeps positions on its step; relative moves are commands and keep no value.
            if (c->id != V4L2_CID_PAN_RELATIVE && c->id != V4L2_CID_TILT_RELATIVE)
                control.value = control.minimum + (c->value - control.minimum) / control.step * control.step;
            ApplyLinks();
            return 0;
        }
        case VIDIOC_SUBSCRIBE_EVENT:
            subscribed_.insert(static_cast<v4l2_event_subscription*>(argument)->id);
            return 0;
        case VIDIOC_DQEVENT:
            if (events_.empty())
                return ENOENT;
            *static_cast<v4l2_event*>(argument) = events_.front();
            events_.pop_front();
            return 0;
        default:
            return ENOTTY;
        }
    }

private:
    // Each automatic mode leaves its manual partner inactive while it is on.
    void ApplyLinks() {
        for (auto [automatic, manual] :
             {std::pair{V4L2_CID_AUTO_WHITE_BALANCE, V4L2_CID_WHITE_BALANCE_TEMPERATURE},
              std::pair{V4L2_CID_EXPOSURE_AUTO, V4L2_CID_EXPOSURE_ABSOLUTE},
              std::pair{V4L2_CID_FOCUS_AUTO, V4L2_CID_FOCUS_ABSOLUTE}}) {
            if (!controls_.count(automatic) || !controls_.count(manual))
                continue;
            const int32_t v = controls_[automatic].value;
            const bool on = automatic == V4L2_CID_EXPOSURE_AUTO ? v != V4L2_EXPOSURE_MANUAL : v != 0;
            uint32_t& flags = controls_[manual].flags;
            const uint32_t was = flags;
            flags = on ? (flags | V4L2_CTRL_FLAG_INACTIVE) : (flags & ~uint32_t{V4L2_CTRL_FLAG_INACTIVE});
            if (flags != was)
                Queue(manual, V4L2_EVENT_CTRL_CH_FLAGS);
        }
    }
    // As the kernel's: every event carries the control's whole present description.
    void Queue(uint32_t id, uint32_t changes) {
        if (!subscribed_.count(id))
            return;
        const Control& c = controls_[id];
        v4l2_event e{};
        e.type = V4L2_EVENT_CTRL;
        e.id = id;
        auto& x = e.u.ctrl;
        std::tie(x.changes, x.type, x.value, x.flags, x.minimum, x.maximum, x.step, x.default_value) =
            std::tuple(changes, c.type, c.value, c.flags, c.minimum, c.maximum, c.step, c.defaultValue);
        events_.push_back(e);
        eventQueued_.notify_all();
    }

    std::mutex lock_;
    std::condition_variable eventQueued_;
    bool capture_;
    bool gone_ = false;
    std::map<uint32_t, Control> controls_;
    std::map<uint32_t, int32_t> written_;
    std::set<uint32_t> subscribed_;
    std::deque<v4l2_event> events_;
};

class CFakeV4l2Opener : public Granite::IV4l2DeviceOpener {
public:
    std::map<std::string, std::shared_ptr<CFakeV4l2Camera>> nodes; // "/dev/video0" -> camera
    std::unique_ptr<Granite::IV4l2Device> Open(const std::string& devnode) override;
};

// class/video4linux/<node>, linked to a USB interface of a USB device with ids, serial and port.
void WriteFakeSysfsNode(const std::string& root, const std::string& node, const std::string& name,
                        const std::string& port, const std::string& vendor, const std::string& product,
                        const std::string& serial);
