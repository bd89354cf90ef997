#pragma once
// The controls of one opened V4L2 camera under the service's property numbers: found with
// VIDIOC_QUERY_EXT_CTRL when the camera opens, their values read then and kept current from our own writes
// and from the control events the camera sends when another program (or the camera's automatic modes)
// changes them. A control whose automatic partner is on (V4L2_CTRL_FLAG_INACTIVE), that the driver made
// read-only or that another program has grabbed reads as read-only and refuses writes; a disabled one is not
// available until the driver enables it again. Ranges, defaults and flags follow the camera's events too: a
// new range is heard as changes of the control's minimum, maximum, default and step numbers (and of its
// value when the driver moved it into the new range).
//
// Besides the controls: pan and tilt moves (relative controls, else steps of the absolute ones), whether
// pan and tilt are motorised, and the picture mute, which the program applies to the picture itself (the
// capture of the camera reads it through a flag the controls keep current, see SetMuteFlag).
//
// The camera light, when the camera has a light mode control ("LED1 Mode", at whatever id its driver gives
// it, with a blink rate control "LED1 Frequency" beside it): 90 is its packed setting, 91 the older form of
// it and 93 the setting the camera starts with (see CV4l2Light). The setting the program wrote reads back as
// written until the light changes otherwise; changes made elsewhere are heard as changes of 90 and 91.
//
// Thread-safe: the service's calls and the camera's event thread share one lock.
#include "granite/v4l2/CV4l2ControlMap.h"
#include "granite/v4l2/CV4l2Light.h"
#include "granite/v4l2/IV4l2Device.h"
#include "platform/HResult.h"
#include "platform/Variant.h"

#include <array>
#include <atomic>
#include <chrono>
#include <linux/videodev2.h>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
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
    // From now on the picture mute is also kept in `flag` (null: nowhere else), which is set to the mute at
    // once; the flag left behind is cleared. The capture reads it for every frame without taking our lock.
    void SetMuteFlag(std::shared_ptr<std::atomic<bool>> flag);

private:
    // What the camera says of a control: its range, default, flags and value.
    struct Description {
        int64_t minimum = 0, maximum = 0, step = 1, defaultValue = 0;
        uint32_t flags = 0;
        int32_t value = 0;
    };
    struct Control : Description {
        const V4l2ControlMapping* mapping = nullptr;
        bool isMenu = false;
        std::vector<int64_t> menu; // valid item numbers of a menu
    };

    // The light's readings (90, 91, 93), none where it is not available.
    using LightReading = std::array<std::optional<int32_t>, 3>;

    explicit CV4l2CameraControls(std::unique_ptr<IV4l2Device> device) : device_(std::move(device)) {}
    void Enumerate();
    // Keeps a control the camera described (mapped, or one of the light's); false when it is neither.
    bool Adopt(const v4l2_query_ext_ctrl& query);
    HRESULT SetControl(int32_t property, const Variant& value, std::vector<V4l2PropertyChange>& changes);
    Control* ForProperty(int32_t property);
    const Control* ForProperty(int32_t property) const;
    Control* Find(uint32_t controlId);
    // A control the driver has not disabled; null otherwise.
    const Control* Usable(uint32_t controlId) const;
    void ReadMenu(Control& control);
    Variant Read(const Control& control, int32_t property) const;
    // Takes the control's new description and records the changes of every number it is read under.
    void Update(Control& control, const Description& now, std::vector<V4l2PropertyChange>& changes);
    // Asks the camera for the control's description; false when it does not answer.
    bool Query(const Control& control, Description& now) const;
    HRESULT WriteControl(Control& control, int32_t raw);
    HRESULT Move(int32_t property);
    // Asks again for every control's description and records what changed.
    void Reread(std::vector<V4l2PropertyChange>& changes);
    HRESULT Raw(const Control& control, const Variant& value, int32_t& raw) const;

    static bool IsLight(int32_t property);
    const Control* LightControl(const V4l2ControlMapping& mapping) const;
    int32_t LightState(int32_t property) const;
    std::optional<int32_t> ReadLight(int32_t property) const;
    LightReading ReadLights() const;
    void AddLightChanges(const LightReading& before, std::vector<V4l2PropertyChange>& changes) const;
    HRESULT SetLight(int32_t property, const Variant& value, std::vector<V4l2PropertyChange>& changes);
    // Whether the light's control takes the control value of `mode`.
    static bool Offers(const Control& control, CV4l2Light::Mode mode);

    std::unique_ptr<IV4l2Device> device_;
    mutable std::mutex lock_;
    std::string driver_;
    std::string card_;
    std::map<uint32_t, Control> controls_;
    bool panRelative_ = false;
    bool tiltRelative_ = false;
    int32_t videoMute_ = 0;
    std::shared_ptr<std::atomic<bool>> muteFlag_;
    // The light's controls (an id of 0: the camera has none); they carry no property numbers of their own.
    V4l2ControlMapping lightMode_{0, {"light", DeviceProperty::Kind::Number, DeviceProperty::kNone}};
    V4l2ControlMapping lightRate_{0, {"light-rate", DeviceProperty::Kind::Number, DeviceProperty::kNone}};
    // The setting last written, while the controls still hold what it made of them.
    struct LightWrite {
        int32_t packed = 0;
        int32_t mode = 0;
        std::optional<int32_t> rate;
    };
    std::optional<LightWrite> lightWritten_;
};

} // namespace Granite
