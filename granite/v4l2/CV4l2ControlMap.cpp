#include "granite/v4l2/CV4l2ControlMap.h"

#include "platform/TextUtil.h"

#include <linux/videodev2.h>

namespace Granite {
namespace {
namespace P = DeviceProperty::Camera;
using Shape = V4l2ControlMapping::Shape;

// Mirror, power line and backlight are the camera's own processing, as the advanced pane expects; white
// balance temperature stands for the fourth picture level.
const V4l2ControlMapping kMappings[] = {
    {V4L2_CID_BRIGHTNESS, P::Brightness, Shape::Level},
    {V4L2_CID_CONTRAST, P::Contrast, Shape::Level},
    {V4L2_CID_SATURATION, P::Saturation, Shape::Level},
    {V4L2_CID_WHITE_BALANCE_TEMPERATURE, P::WhiteBalance, Shape::Level},
    {V4L2_CID_AUTO_WHITE_BALANCE, P::AutoWhiteBalance, Shape::Flag},
    {V4L2_CID_ZOOM_ABSOLUTE, P::Zoom, Shape::Level},
    {V4L2_CID_PAN_ABSOLUTE, P::Pan, Shape::Level},
    {V4L2_CID_TILT_ABSOLUTE, P::Tilt, Shape::Level},
    {V4L2_CID_EXPOSURE_AUTO, P::AutoExposure, Shape::AutoExposure},
    {V4L2_CID_EXPOSURE_ABSOLUTE, P::Exposure, Shape::Level},
    {V4L2_CID_GAIN, P::Gain, Shape::Level},
    {V4L2_CID_HFLIP, P::MirrorHorizontal, Shape::Switch},
    {V4L2_CID_VFLIP, P::MirrorVertical, Shape::Switch},
    {V4L2_CID_POWER_LINE_FREQUENCY, P::PowerLineFrequency, Shape::Choice},
    {V4L2_CID_BACKLIGHT_COMPENSATION, P::Backlight, Shape::Level},
    {V4L2_CID_FOCUS_AUTO, P::AutoFocus, Shape::Flag},
    {V4L2_CID_FOCUS_ABSOLUTE, P::Focus, Shape::Level, P::FocusStep.value},
};

bool Names(const V4l2ControlMapping& m, int32_t property) {
    return property == m.property.value || property == m.stepProperty ||
           (property != DeviceProperty::kNone &&
            (property == m.property.min || property == m.property.max || property == m.property.companion));
}
} // namespace

std::span<const V4l2ControlMapping> CV4l2ControlMap::All() {
    return kMappings;
}

const V4l2ControlMapping* CV4l2ControlMap::ForProperty(int32_t property) {
    if (property == DeviceProperty::kNone)
        return nullptr;
    for (const V4l2ControlMapping& m : kMappings) {
        if (Names(m, property))
            return &m;
    }
    return nullptr;
}

const V4l2ControlMapping* CV4l2ControlMap::ForControl(uint32_t controlId) {
    for (const V4l2ControlMapping& m : kMappings) {
        if (m.controlId == controlId)
            return &m;
    }
    return nullptr;
}

CV4l2ControlMap::LightControl CV4l2ControlMap::LightControlNamed(std::string_view name) {
    if (Text::EqualsNoCase(name, "LED1 Mode"))
        return LightControl::Mode;
    if (Text::EqualsNoCase(name, "LED1 Frequency"))
        return LightControl::Rate;
    return LightControl::None;
}

} // namespace Granite
