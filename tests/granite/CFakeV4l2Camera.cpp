#include "CFakeV4l2Camera.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {
class FakeHandle : public Granite::IV4l2Device {
public:
    explicit FakeHandle(std::shared_ptr<CFakeV4l2Camera> camera) : camera_(std::move(camera)) {}
    int Ioctl(unsigned long request, void* argument) override { return camera_->Ioctl(request, argument); }
    bool WaitForEvent(std::chrono::milliseconds timeout) override { return camera_->WaitForEvent(timeout); }

private:
    std::shared_ptr<CFakeV4l2Camera> camera_;
};

void Write(const std::filesystem::path& file, const std::string& text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << text << "\n";
}
} // namespace

CFakeV4l2Camera::CFakeV4l2Camera(bool capture) : capture_(capture) {
    auto level = [](int32_t min, int32_t max, int32_t step, int32_t def, int32_t value) {
        Control c;
        c.minimum = min;
        c.maximum = max;
        c.step = step;
        c.defaultValue = def;
        c.value = value;
        return c;
    };
    auto boolean = [](int32_t def, int32_t value) {
        Control c;
        c.type = V4L2_CTRL_TYPE_BOOLEAN;
        c.maximum = 1;
        c.defaultValue = def;
        c.value = value;
        return c;
    };
    auto menu = [](std::set<uint32_t> items, int32_t def, int32_t value) {
        Control c;
        c.type = V4L2_CTRL_TYPE_MENU;
        c.minimum = static_cast<int32_t>(*items.begin());
        c.maximum = static_cast<int32_t>(*items.rbegin());
        c.menu = std::move(items);
        c.defaultValue = def;
        c.value = value;
        return c;
    };
    controls_[V4L2_CID_BRIGHTNESS] = level(0, 255, 1, 128, 140);
    controls_[V4L2_CID_CONTRAST] = level(0, 255, 1, 32, 32);
    controls_[V4L2_CID_SATURATION] = level(0, 255, 1, 32, 40);
    controls_[V4L2_CID_AUTO_WHITE_BALANCE] = boolean(1, 1);
    controls_[V4L2_CID_WHITE_BALANCE_TEMPERATURE] = level(2000, 6500, 1, 4000, 4600);
    controls_[V4L2_CID_GAIN] = level(0, 255, 1, 0, 10);
    controls_[V4L2_CID_POWER_LINE_FREQUENCY] = menu({0, 1, 2}, 2, 1);
    controls_[V4L2_CID_BACKLIGHT_COMPENSATION] = level(0, 1, 1, 0, 0);
    controls_[V4L2_CID_EXPOSURE_AUTO] = menu({V4L2_EXPOSURE_MANUAL, V4L2_EXPOSURE_APERTURE_PRIORITY}, 3, 3);
    controls_[V4L2_CID_EXPOSURE_ABSOLUTE] = level(3, 2047, 1, 250, 250);
    controls_[V4L2_CID_HFLIP] = boolean(0, 0);
    controls_[V4L2_CID_FOCUS_AUTO] = boolean(1, 1);
    controls_[V4L2_CID_FOCUS_ABSOLUTE] = level(0, 250, 5, 0, 30);
    controls_[V4L2_CID_PAN_RELATIVE] = level(-1, 1, 1, 0, 0);
    controls_[V4L2_CID_TILT_RELATIVE] = level(-1, 1, 1, 0, 0);
    ApplyLinks();
}

void CFakeV4l2Camera::ApplyLinks() {
    // Each automatic mode leaves its manual partner inactive while it is on.
    const std::pair<uint32_t, uint32_t> links[] = {
        {V4L2_CID_AUTO_WHITE_BALANCE, V4L2_CID_WHITE_BALANCE_TEMPERATURE},
        {V4L2_CID_EXPOSURE_AUTO, V4L2_CID_EXPOSURE_ABSOLUTE},
        {V4L2_CID_FOCUS_AUTO, V4L2_CID_FOCUS_ABSOLUTE}};
    for (auto [automatic, manual] : links) {
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

void CFakeV4l2Camera::Queue(uint32_t id, uint32_t changes) {
    if (!subscribed_.count(id))
        return;
    const Control& c = controls_[id];
    // As the kernel's: every event carries the control's whole present description.
    v4l2_event e{};
    e.type = V4L2_EVENT_CTRL;
    e.id = id;
    e.u.ctrl.changes = changes;
    e.u.ctrl.type = c.type;
    e.u.ctrl.value = c.value;
    e.u.ctrl.flags = c.flags;
    e.u.ctrl.minimum = c.minimum;
    e.u.ctrl.maximum = c.maximum;
    e.u.ctrl.step = c.step;
    e.u.ctrl.default_value = c.defaultValue;
    events_.push_back(e);
    eventQueued_.notify_all();
}

void CFakeV4l2Camera::ChangeFromOutside(uint32_t id, int32_t value) {
    std::lock_guard guard(lock_);
    controls_[id].value = value;
    Queue(id, V4L2_EVENT_CTRL_CH_VALUE);
    ApplyLinks();
}

void CFakeV4l2Camera::ChangeRange(uint32_t id, int32_t minimum, int32_t maximum, int32_t step,
                                  int32_t defaultValue) {
    std::lock_guard guard(lock_);
    Control& c = controls_[id];
    c.minimum = minimum;
    c.maximum = maximum;
    c.step = step;
    c.defaultValue = defaultValue;
    const int32_t was = c.value;
    c.value = std::clamp(c.value, minimum, maximum);
    Queue(id, V4L2_EVENT_CTRL_CH_RANGE | (c.value != was ? V4L2_EVENT_CTRL_CH_VALUE : 0u));
}

void CFakeV4l2Camera::ChangeFlags(uint32_t id, uint32_t set, uint32_t clear) {
    std::lock_guard guard(lock_);
    Control& c = controls_[id];
    c.flags = (c.flags | set) & ~clear;
    Queue(id, V4L2_EVENT_CTRL_CH_FLAGS);
}

void CFakeV4l2Camera::Unplug() {
    std::lock_guard guard(lock_);
    gone_ = true;
    eventQueued_.notify_all();
}

int32_t CFakeV4l2Camera::Value(uint32_t id) {
    std::lock_guard guard(lock_);
    return controls_[id].value;
}

int32_t CFakeV4l2Camera::LastWritten(uint32_t id) {
    std::lock_guard guard(lock_);
    return written_.count(id) ? written_[id] : -999;
}

void CFakeV4l2Camera::Remove(uint32_t id) {
    std::lock_guard guard(lock_);
    controls_.erase(id);
}

void CFakeV4l2Camera::Add(uint32_t id, Control control) {
    std::lock_guard guard(lock_);
    controls_[id] = std::move(control);
}

bool CFakeV4l2Camera::WaitForEvent(std::chrono::milliseconds timeout) {
    std::unique_lock guard(lock_);
    return eventQueued_.wait_for(guard, timeout, [this] { return gone_ || !events_.empty(); });
}

int CFakeV4l2Camera::Ioctl(unsigned long request, void* argument) {
    std::lock_guard guard(lock_);
    if (gone_)
        return ENODEV;
    switch (request) {
    case VIDIOC_QUERYCAP: {
        auto* caps = static_cast<v4l2_capability*>(argument);
        *caps = v4l2_capability{};
        std::strcpy(reinterpret_cast<char*>(caps->driver), "uvcvideo");
        std::strcpy(reinterpret_cast<char*>(caps->card), "Fake Camera");
        caps->device_caps = capture_ ? V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING : V4L2_CAP_META_CAPTURE;
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
        *q = v4l2_query_ext_ctrl{};
        q->id = it->first;
        q->type = it->second.type;
        q->minimum = it->second.minimum;
        q->maximum = it->second.maximum;
        q->step = static_cast<uint64_t>(it->second.step);
        q->default_value = it->second.defaultValue;
        q->flags = it->second.flags;
        std::strncpy(q->name, it->second.name.c_str(), sizeof(q->name) - 1);
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
        if (it == controls_.end())
            return EINVAL;
        Control& control = it->second;
        if ((control.flags & V4L2_CTRL_FLAG_DISABLED) != 0)
            return EINVAL;
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

std::unique_ptr<Granite::IV4l2Device> CFakeV4l2Opener::Open(const std::string& devnode) {
    auto it = nodes.find(devnode);
    return it == nodes.end() ? nullptr : std::make_unique<FakeHandle>(it->second);
}

void WriteFakeSysfsNode(const std::string& root, const std::string& node, const std::string& name,
                        const std::string& port, const std::string& vendor, const std::string& product,
                        const std::string& serial) {
    namespace fs = std::filesystem;
    const fs::path usb = fs::path(root) / "devices" / "usb1" / port;
    const fs::path interface = usb / (port + ":1.0");
    Write(usb / "idVendor", vendor);
    Write(usb / "idProduct", product);
    Write(usb / "bcdDevice", "0011");
    if (!serial.empty())
        Write(usb / "serial", serial);
    Write(interface / "bInterfaceNumber", "00");
    const fs::path dir = fs::path(root) / "class" / "video4linux" / node;
    Write(dir / "name", name);
    fs::create_directory_symlink(interface, dir / "device");
}
