#include "granite/v4l2/CV4l2Light.h"

#include <algorithm>

namespace Granite {

std::optional<CV4l2Light::Mode> CV4l2Light::Wanted(int32_t packed, bool olderForm) {
    const uint32_t bits = static_cast<uint32_t>(packed);
    const uint32_t mode = bits & 0xFFu;
    if ((bits >> 24) != 0 || mode > (olderForm ? 2u : 5u))
        return std::nullopt;
    switch (mode) {
    case 0:
        return Mode::Off;
    case 1:
        return Mode::On;
    case 5:
        return Mode::Automatic;
    default:
        return Mode::Blink; // 2 and 3 are blink rates; 4 is what the settings' "blinking" button writes
    }
}

CV4l2Light::Mode CV4l2Light::FromControl(int64_t value) {
    switch (value) {
    case 0:
        return Mode::Off;
    case 2:
        return Mode::Blink;
    case 3:
        return Mode::Automatic;
    default:
        return Mode::On;
    }
}

int32_t CV4l2Light::Pack(Mode mode, int64_t rate, bool automaticAsOn) {
    switch (mode) {
    case Mode::Off:
        return 0;
    case Mode::On:
        return 1;
    case Mode::Blink:
        return static_cast<int32_t>(std::clamp<int64_t>(rate, 0, 255) << 16) | 2;
    case Mode::Automatic:
        return automaticAsOn ? 1 : 5;
    }
    return 1;
}

int32_t CV4l2Light::OlderMode(Mode mode) {
    return mode == Mode::Off ? 0 : (mode == Mode::Blink ? 2 : 1);
}

} // namespace Granite
