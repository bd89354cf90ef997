#include "granite/v4l2/CV4l2CameraControls.h"

#include "granite/devices/SimulatedDeviceConstants.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <linux/videodev2.h>

namespace Granite {
namespace {
namespace P = DeviceProperty::Camera;
using Shape = V4l2ControlMapping::Shape;

HRESULT FromErrno(int error) {
    switch (error) {
    case 0:
        return S_OK;
    case EACCES:
    case EPERM:
    case EBUSY:
        return E_ACCESSDENIED;
    case EINVAL:
    case ERANGE:
        return E_INVALIDARG;
    case ENODEV:
    case ENXIO:
        return E_DEVICE_NOT_CONNECTED;
    default:
        return E_FAIL;
    }
}

// An automatic exposure mode the camera offers: aperture priority is what USB cameras call "auto".
int64_t AutoExposureItem(const std::vector<int64_t>& menu) {
    for (int64_t wanted : {int64_t{V4L2_EXPOSURE_APERTURE_PRIORITY}, int64_t{V4L2_EXPOSURE_AUTO}}) {
        if (std::find(menu.begin(), menu.end(), wanted) != menu.end())
            return wanted;
    }
    for (int64_t item : menu) {
        if (item != V4L2_EXPOSURE_MANUAL)
            return item;
    }
    return -1;
}

// A control the program may not write: the driver says so, its automatic partner is on, or another program
// holds it.
constexpr uint32_t kLocked = V4L2_CTRL_FLAG_READ_ONLY | V4L2_CTRL_FLAG_INACTIVE | V4L2_CTRL_FLAG_GRABBED;
} // namespace

std::unique_ptr<CV4l2CameraControls> CV4l2CameraControls::Open(std::unique_ptr<IV4l2Device> device) {
    if (device == nullptr)
        return nullptr;
    v4l2_capability caps{};
    if (device->Ioctl(VIDIOC_QUERYCAP, &caps) != 0)
        return nullptr;
    const uint32_t nodeCaps =
        (caps.capabilities & V4L2_CAP_DEVICE_CAPS) != 0 ? caps.device_caps : caps.capabilities;
    if ((nodeCaps & V4L2_CAP_VIDEO_CAPTURE) == 0)
        return nullptr; // a metadata or output node of the camera
    std::unique_ptr<CV4l2CameraControls> camera(new CV4l2CameraControls(std::move(device)));
    camera->driver_.assign(reinterpret_cast<const char*>(caps.driver),
                           strnlen(reinterpret_cast<const char*>(caps.driver), sizeof(caps.driver)));
    camera->card_.assign(reinterpret_cast<const char*>(caps.card),
                         strnlen(reinterpret_cast<const char*>(caps.card), sizeof(caps.card)));
    camera->Enumerate();
    return camera;
}

void CV4l2CameraControls::Enumerate() {
    v4l2_query_ext_ctrl q{};
    q.id = V4L2_CTRL_FLAG_NEXT_CTRL;
    while (device_->Ioctl(VIDIOC_QUERY_EXT_CTRL, &q) == 0) {
        const uint32_t id = q.id;
        const bool disabled = (q.flags & V4L2_CTRL_FLAG_DISABLED) != 0;
        if (id == V4L2_CID_PAN_RELATIVE)
            panRelative_ = !disabled;
        else if (id == V4L2_CID_TILT_RELATIVE)
            tiltRelative_ = !disabled;
        else
            Adopt(q);
        q = v4l2_query_ext_ctrl{};
        q.id = id | V4L2_CTRL_FLAG_NEXT_CTRL | V4L2_CTRL_FLAG_NEXT_COMPOUND;
    }
    // Drivers of the control framework leave the old private ids out of that walk: they are asked one by
    // one, up to the first the driver does not know.
    for (uint32_t id = V4L2_CID_PRIVATE_BASE; id < V4L2_CID_PRIVATE_BASE + 64; ++id) {
        q = v4l2_query_ext_ctrl{};
        q.id = id;
        if (device_->Ioctl(VIDIOC_QUERY_EXT_CTRL, &q) != 0)
            break;
        if (controls_.count(id) == 0)
            Adopt(q);
    }
}

bool CV4l2CameraControls::Adopt(const v4l2_query_ext_ctrl& q) {
    const V4l2ControlMapping* mapping = CV4l2ControlMap::ForControl(q.id);
    if (mapping == nullptr) {
        // The first control of each of the light's names is the light's.
        const auto named =
            CV4l2ControlMap::LightControlNamed(std::string_view(q.name, strnlen(q.name, sizeof(q.name))));
        V4l2ControlMapping* light = named == CV4l2ControlMap::LightControl::Mode   ? &lightMode_
                                    : named == CV4l2ControlMap::LightControl::Rate ? &lightRate_
                                                                                   : nullptr;
        if (light == nullptr || light->controlId != 0)
            return false;
        light->controlId = q.id;
        mapping = light;
    }
    // A disabled control is kept (and not offered): the driver may enable it again, and says so.
    Control c;
    c.mapping = mapping;
    c.minimum = q.minimum;
    c.maximum = q.maximum;
    c.step = std::max<int64_t>(1, static_cast<int64_t>(q.step));
    c.defaultValue = q.default_value;
    c.flags = q.flags;
    c.isMenu = q.type == V4L2_CTRL_TYPE_MENU || q.type == V4L2_CTRL_TYPE_INTEGER_MENU;
    ReadMenu(c);
    v4l2_control value{q.id, 0};
    c.value =
        device_->Ioctl(VIDIOC_G_CTRL, &value) == 0 ? value.value : static_cast<int32_t>(q.default_value);
    controls_[q.id] = c;
    // Changes made by others (and the values automatic modes settle on) come as events, and so do new
    // ranges and flags.
    v4l2_event_subscription sub{};
    sub.type = V4L2_EVENT_CTRL;
    sub.id = q.id;
    device_->Ioctl(VIDIOC_SUBSCRIBE_EVENT, &sub);
    return true;
}

void CV4l2CameraControls::ReadMenu(Control& c) {
    c.menu.clear();
    if (!c.isMenu)
        return;
    for (int64_t i = c.minimum; i <= c.maximum && i - c.minimum < 64; ++i) {
        v4l2_querymenu item{};
        item.id = c.mapping->controlId;
        item.index = static_cast<uint32_t>(i);
        if (device_->Ioctl(VIDIOC_QUERYMENU, &item) == 0)
            c.menu.push_back(i);
    }
}

CV4l2CameraControls::Control* CV4l2CameraControls::Find(uint32_t controlId) {
    auto it = controls_.find(controlId);
    return it == controls_.end() ? nullptr : &it->second;
}

CV4l2CameraControls::Control* CV4l2CameraControls::ForProperty(int32_t property) {
    const V4l2ControlMapping* mapping = CV4l2ControlMap::ForProperty(property);
    return mapping == nullptr ? nullptr : Find(mapping->controlId);
}

const CV4l2CameraControls::Control* CV4l2CameraControls::ForProperty(int32_t property) const {
    return const_cast<CV4l2CameraControls*>(this)->ForProperty(property);
}

bool CV4l2CameraControls::Has(int32_t property) const {
    return State(property) != kPropertyNotAvailable;
}

const CV4l2CameraControls::Control* CV4l2CameraControls::Usable(uint32_t controlId) const {
    auto it = controls_.find(controlId);
    return it == controls_.end() || (it->second.flags & V4L2_CTRL_FLAG_DISABLED) != 0 ? nullptr : &it->second;
}

int32_t CV4l2CameraControls::State(int32_t property) const {
    std::lock_guard guard(lock_);
    if (IsLight(property))
        return LightState(property);
    if (property == P::VideoMute.value)
        return kPropertyReadWrite;
    if (property == P::PtzCapability.value)
        return kPropertyReadOnly;
    if (property == P::MoveLeft.value || property == P::MoveRight.value)
        return panRelative_ || Usable(V4L2_CID_PAN_ABSOLUTE) ? kPropertyReadWrite : kPropertyNotAvailable;
    if (property == P::MoveUp.value || property == P::MoveDown.value)
        return tiltRelative_ || Usable(V4L2_CID_TILT_ABSOLUTE) ? kPropertyReadWrite : kPropertyNotAvailable;
    const Control* c = ForProperty(property);
    if (c == nullptr || (c->flags & V4L2_CTRL_FLAG_DISABLED) != 0)
        return kPropertyNotAvailable;
    if (property != c->mapping->property.value)
        return kPropertyReadOnly; // bounds, step and default
    return (c->flags & kLocked) != 0 ? kPropertyReadOnly : kPropertyReadWrite;
}

Variant CV4l2CameraControls::Read(const Control& c, int32_t property) const {
    const V4l2ControlMapping& m = *c.mapping;
    int64_t raw = c.value;
    if (property == m.property.min)
        return Variant::FromI4(static_cast<int32_t>(c.minimum));
    if (property == m.property.max)
        return Variant::FromI4(static_cast<int32_t>(c.maximum));
    if (property == m.stepProperty)
        return Variant::FromI4(static_cast<int32_t>(c.step));
    if (property == m.property.companion)
        raw = c.defaultValue;
    if (m.shape == Shape::AutoExposure)
        return Variant::FromI4(raw == V4L2_EXPOSURE_MANUAL ? 0 : 1);
    if (m.shape == Shape::Flag)
        return Variant::FromBool(raw != 0);
    if (m.shape == Shape::Switch)
        return Variant::FromI4(raw != 0 ? 1 : 0);
    return Variant::FromI4(static_cast<int32_t>(raw));
}

HRESULT CV4l2CameraControls::Get(int32_t property, Variant* value) const {
    if (value == nullptr)
        return E_POINTER;
    std::lock_guard guard(lock_);
    if (IsLight(property)) {
        const std::optional<int32_t> setting = ReadLight(property);
        if (!setting)
            return E_NOTIMPL;
        *value = Variant::FromI4(*setting);
        return S_OK;
    }
    if (property == P::VideoMute.value) {
        *value = Variant::FromI4(videoMute_);
        return S_OK;
    }
    if (property == P::PtzCapability.value) {
        *value = Variant::FromI4(panRelative_ || tiltRelative_ ? 1 : 0);
        return S_OK;
    }
    const Control* c = ForProperty(property);
    if (c == nullptr || (c->flags & V4L2_CTRL_FLAG_DISABLED) != 0)
        return E_NOTIMPL;
    *value = Read(*c, property);
    return S_OK;
}

HRESULT CV4l2CameraControls::Raw(const Control& c, const Variant& value, int32_t& raw) const {
    int32_t v = 0;
    if (!value.ToI4(v))
        return E_INVALIDARG;
    switch (c.mapping->shape) {
    case Shape::Flag:
    case Shape::Switch:
        raw = v != 0 ? 1 : 0;
        return S_OK;
    case Shape::AutoExposure: {
        const int64_t item = v != 0 ? AutoExposureItem(c.menu) : int64_t{V4L2_EXPOSURE_MANUAL};
        if (item < 0 || std::find(c.menu.begin(), c.menu.end(), item) == c.menu.end())
            return E_INVALIDARG;
        raw = static_cast<int32_t>(item);
        return S_OK;
    }
    case Shape::Choice:
        // Off, 50 Hz and 60 Hz; the camera's own automatic choice is not one the program offers.
        if (v < 0 || v > 2 || std::find(c.menu.begin(), c.menu.end(), v) == c.menu.end())
            return E_INVALIDARG;
        raw = v;
        return S_OK;
    case Shape::Level:
        if (v < c.minimum || v > c.maximum)
            return E_INVALIDARG;
        raw = v;
        return S_OK;
    }
    return E_INVALIDARG;
}

HRESULT CV4l2CameraControls::WriteControl(Control& c, int32_t raw) {
    v4l2_control control{c.mapping->controlId, raw};
    return FromErrno(device_->Ioctl(VIDIOC_S_CTRL, &control));
}

HRESULT CV4l2CameraControls::Move(int32_t property) {
    const bool pan = property == P::MoveLeft.value || property == P::MoveRight.value;
    // Left and down are the negative directions of the kernel's pan and tilt.
    const int32_t sign = property == P::MoveLeft.value || property == P::MoveDown.value ? -1 : 1;
    if (pan ? panRelative_ : tiltRelative_) {
        v4l2_query_ext_ctrl q{};
        q.id = pan ? V4L2_CID_PAN_RELATIVE : V4L2_CID_TILT_RELATIVE;
        const int64_t step =
            device_->Ioctl(VIDIOC_QUERY_EXT_CTRL, &q) == 0 ? std::max<int64_t>(1, q.step) : 1;
        v4l2_control control{q.id, static_cast<int32_t>(sign * step)};
        return FromErrno(device_->Ioctl(VIDIOC_S_CTRL, &control));
    }
    Control* c = Find(pan ? V4L2_CID_PAN_ABSOLUTE : V4L2_CID_TILT_ABSOLUTE);
    if (c == nullptr || (c->flags & V4L2_CTRL_FLAG_DISABLED) != 0)
        return E_NOTIMPL;
    const int64_t target = std::clamp<int64_t>(c->value + sign * c->step, c->minimum, c->maximum);
    return WriteControl(*c, static_cast<int32_t>(target));
}

bool CV4l2CameraControls::Query(const Control& c, Description& now) const {
    v4l2_query_ext_ctrl q{};
    q.id = c.mapping->controlId;
    if (device_->Ioctl(VIDIOC_QUERY_EXT_CTRL, &q) != 0)
        return false;
    now.minimum = q.minimum;
    now.maximum = q.maximum;
    now.step = std::max<int64_t>(1, static_cast<int64_t>(q.step));
    now.defaultValue = q.default_value;
    now.flags = q.flags;
    v4l2_control value{q.id, 0};
    now.value = device_->Ioctl(VIDIOC_G_CTRL, &value) == 0 ? value.value : c.value;
    return true;
}

void CV4l2CameraControls::Update(Control& c, const Description& now,
                                 std::vector<V4l2PropertyChange>& changes) {
    const V4l2ControlMapping& m = *c.mapping;
    // The bounds before the value: a listener told of a value moved into a new range finds the range new.
    const int32_t numbers[] = {m.property.min, m.property.max, m.property.companion, m.stepProperty,
                               m.property.value};
    Variant before[std::size(numbers)];
    for (size_t i = 0; i < std::size(numbers); ++i) {
        if (numbers[i] != DeviceProperty::kNone)
            before[i] = Read(c, numbers[i]);
    }
    const bool newRange = now.minimum != c.minimum || now.maximum != c.maximum;
    static_cast<Description&>(c) = now;
    if (newRange)
        ReadMenu(c);
    for (size_t i = 0; i < std::size(numbers); ++i) {
        if (numbers[i] == DeviceProperty::kNone)
            continue;
        Variant after = Read(c, numbers[i]);
        if (!(after == before[i]))
            changes.push_back({numbers[i], before[i], std::move(after)});
    }
}

void CV4l2CameraControls::Reread(std::vector<V4l2PropertyChange>& changes) {
    for (auto& [id, c] : controls_) {
        Description now;
        if (Query(c, now))
            Update(c, now, changes);
    }
}

HRESULT CV4l2CameraControls::Set(int32_t property, const Variant& value,
                                 std::vector<V4l2PropertyChange>& changes) {
    std::lock_guard guard(lock_);
    // Any write reads the controls back, the light's too, which may have changed elsewhere meanwhile.
    const LightReading before = ReadLights();
    const HRESULT hr =
        IsLight(property) ? SetLight(property, value, changes) : SetControl(property, value, changes);
    AddLightChanges(before, changes);
    return hr;
}

HRESULT CV4l2CameraControls::SetControl(int32_t property, const Variant& value,
                                        std::vector<V4l2PropertyChange>& changes) {
    if (property == P::VideoMute.value) {
        int32_t v = 0;
        if (!value.ToI4(v) || v < 0 || v > 1)
            return E_INVALIDARG;
        if (v != videoMute_)
            changes.push_back({property, Variant::FromI4(videoMute_), Variant::FromI4(v)});
        videoMute_ = v;
        if (muteFlag_)
            muteFlag_->store(v != 0);
        return S_OK;
    }
    HRESULT hr = S_OK;
    if (property == P::MoveLeft.value || property == P::MoveRight.value || property == P::MoveUp.value ||
        property == P::MoveDown.value) {
        hr = Move(property);
    } else {
        Control* c = ForProperty(property);
        if (c == nullptr)
            return E_NOTIMPL;
        // The camera's word on the control, in case its events have not reached us yet.
        if (Description now; Query(*c, now))
            Update(*c, now, changes);
        if ((c->flags & V4L2_CTRL_FLAG_DISABLED) != 0)
            return E_NOTIMPL;
        if (property != c->mapping->property.value || (c->flags & kLocked) != 0)
            return E_ACCESSDENIED;
        int32_t raw = 0;
        if (hr = Raw(*c, value, raw); FAILED(hr))
            return hr;
        hr = WriteControl(*c, raw);
    }
    // The camera may round the value, and an automatic mode switched off leaves its partner where it was
    // last: every value is read back.
    if (SUCCEEDED(hr))
        Reread(changes);
    return hr;
}

bool CV4l2CameraControls::PumpEvents(std::chrono::milliseconds wait,
                                     std::vector<V4l2PropertyChange>& changes) {
    if (!device_->WaitForEvent(wait))
        return true;
    std::lock_guard guard(lock_);
    const LightReading lightBefore = ReadLights();
    bool valueChanged = false;
    for (;;) {
        v4l2_event event{};
        const int error = device_->Ioctl(VIDIOC_DQEVENT, &event);
        if (error == ENODEV)
            return false;
        if (error != 0)
            break;
        if (event.type != V4L2_EVENT_CTRL)
            continue;
        Control* c = Find(event.id);
        if (c == nullptr)
            continue;
        const v4l2_event_ctrl& ctrl = event.u.ctrl;
        Description now = *c;
        if ((ctrl.changes & V4L2_EVENT_CTRL_CH_RANGE) != 0) {
            now.minimum = ctrl.minimum;
            now.maximum = ctrl.maximum;
            now.step = std::max<int64_t>(1, static_cast<int64_t>(ctrl.step));
            now.defaultValue = ctrl.default_value;
        }
        if ((ctrl.changes & V4L2_EVENT_CTRL_CH_FLAGS) != 0)
            now.flags = ctrl.flags;
        // The event carries the control's current value: a new range may have moved it.
        if ((ctrl.changes & (V4L2_EVENT_CTRL_CH_VALUE | V4L2_EVENT_CTRL_CH_RANGE)) != 0)
            now.value = ctrl.value;
        valueChanged = valueChanged || (ctrl.changes & V4L2_EVENT_CTRL_CH_VALUE) != 0;
        // Our own writes send us no events: the light has been set elsewhere, and reads as it is now.
        if ((ctrl.changes & V4L2_EVENT_CTRL_CH_VALUE) != 0 &&
            (event.id == lightMode_.controlId || event.id == lightRate_.controlId))
            lightWritten_.reset();
        Update(*c, now, changes);
    }
    // An automatic mode switched by another program changes whether its partner may be written, and not
    // every driver tells each listener of that: the camera is asked.
    if (valueChanged)
        Reread(changes);
    AddLightChanges(lightBefore, changes);
    return true;
}

void CV4l2CameraControls::SetMuteFlag(std::shared_ptr<std::atomic<bool>> flag) {
    std::lock_guard guard(lock_);
    if (muteFlag_ && muteFlag_ != flag)
        muteFlag_->store(false);
    muteFlag_ = std::move(flag);
    if (muteFlag_)
        muteFlag_->store(videoMute_ != 0);
}

// --- the camera light
// ------------------------------------------------------------------------------------------------

bool CV4l2CameraControls::IsLight(int32_t property) {
    return property == P::LedMode.value || property == P::LedModeLegacy.value ||
           property == P::LedDefault.value;
}

const CV4l2CameraControls::Control*
CV4l2CameraControls::LightControl(const V4l2ControlMapping& mapping) const {
    return mapping.controlId == 0 ? nullptr : Usable(mapping.controlId);
}

int32_t CV4l2CameraControls::LightState(int32_t property) const {
    const Control* mode = LightControl(lightMode_);
    if (mode == nullptr)
        return kPropertyNotAvailable;
    if (property == P::LedDefault.value)
        return kPropertyReadOnly;
    return (mode->flags & kLocked) != 0 ? kPropertyReadOnly : kPropertyReadWrite;
}

std::optional<int32_t> CV4l2CameraControls::ReadLight(int32_t property) const {
    const Control* mode = LightControl(lightMode_);
    if (mode == nullptr)
        return std::nullopt;
    const Control* rate = LightControl(lightRate_);
    const CV4l2Light::Mode light = CV4l2Light::FromControl(mode->value);
    if (property == P::LedDefault.value) {
        return CV4l2Light::Pack(CV4l2Light::FromControl(mode->defaultValue), rate ? rate->defaultValue : 0,
                                true);
    }
    int32_t packed = CV4l2Light::Pack(light, rate ? rate->value : 0, false);
    // What the program wrote, as long as nobody has changed the light since.
    const bool sameRate = rate != nullptr ? lightWritten_ && lightWritten_->rate.has_value() &&
                                                *lightWritten_->rate == rate->value
                                          : lightWritten_ && !lightWritten_->rate.has_value();
    if (lightWritten_ && lightWritten_->mode == mode->value && sameRate)
        packed = lightWritten_->packed;
    if (property == P::LedModeLegacy.value)
        packed = (packed & ~0xFF) | CV4l2Light::OlderMode(light);
    return packed;
}

CV4l2CameraControls::LightReading CV4l2CameraControls::ReadLights() const {
    return {ReadLight(P::LedMode.value), ReadLight(P::LedModeLegacy.value), ReadLight(P::LedDefault.value)};
}

void CV4l2CameraControls::AddLightChanges(const LightReading& before,
                                          std::vector<V4l2PropertyChange>& changes) const {
    const LightReading after = ReadLights();
    const int32_t numbers[] = {P::LedMode.value, P::LedModeLegacy.value, P::LedDefault.value};
    for (size_t i = 0; i < after.size(); ++i) {
        if (before[i] && after[i] && *before[i] != *after[i])
            changes.push_back({numbers[i], Variant::FromI4(*before[i]), Variant::FromI4(*after[i])});
    }
}

bool CV4l2CameraControls::Offers(const Control& control, CV4l2Light::Mode mode) {
    const auto value = static_cast<int64_t>(mode);
    if (control.isMenu)
        return std::find(control.menu.begin(), control.menu.end(), value) != control.menu.end();
    return value >= control.minimum && value <= control.maximum;
}

HRESULT CV4l2CameraControls::SetLight(int32_t property, const Variant& value,
                                      std::vector<V4l2PropertyChange>& changes) {
    if (lightMode_.controlId == 0)
        return E_NOTIMPL;
    Control& mode = *Find(lightMode_.controlId);
    // The camera's word on the control, in case its events have not reached us yet.
    if (Description now; Query(mode, now))
        Update(mode, now, changes);
    if ((mode.flags & V4L2_CTRL_FLAG_DISABLED) != 0)
        return E_NOTIMPL;
    if (property == P::LedDefault.value || (mode.flags & kLocked) != 0)
        return E_ACCESSDENIED;
    int32_t packed = 0;
    if (!value.ToI4(packed))
        return E_INVALIDARG;
    std::optional<CV4l2Light::Mode> wanted = CV4l2Light::Wanted(packed, property == P::LedModeLegacy.value);
    if (!wanted)
        return E_INVALIDARG;
    // A light that cannot blink or choose for itself is lit instead.
    if (!Offers(mode, *wanted) && *wanted != CV4l2Light::Mode::Off)
        wanted = CV4l2Light::Mode::On;
    if (!Offers(mode, *wanted))
        return E_INVALIDARG;
    Control* rate = lightRate_.controlId == 0 ? nullptr : Find(lightRate_.controlId);
    if (rate != nullptr && (rate->flags & (kLocked | V4L2_CTRL_FLAG_DISABLED)) != 0)
        rate = nullptr;
    const int32_t wantedRate = CV4l2Light::Rate(packed);
    // The rate first, so that the light starts blinking at it; a rate of 0 keeps the camera's.
    if (*wanted == CV4l2Light::Mode::Blink && wantedRate != 0 && rate != nullptr) {
        const int64_t clamped = std::clamp<int64_t>(wantedRate, rate->minimum, rate->maximum);
        if (HRESULT hr = WriteControl(*rate, static_cast<int32_t>(clamped)); FAILED(hr))
            return hr;
    }
    if (HRESULT hr = WriteControl(mode, static_cast<int32_t>(*wanted)); FAILED(hr)) {
        Reread(changes);
        return hr;
    }
    Reread(changes);
    const Control* rateNow = LightControl(lightRate_);
    lightWritten_ =
        LightWrite{packed, mode.value, rateNow ? std::optional<int32_t>(rateNow->value) : std::nullopt};
    return S_OK;
}

} // namespace Granite
