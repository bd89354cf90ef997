#pragma once
// The camera light between the service's packed LED numbers and the camera's light mode control.
//
// The service packs a setting as (b << 16) | (a << 8) | mode: mode 0 off, 1 on, 2 and 3 blinking, 4 the
// program's "blinking" choice, 5 the camera's own choice (lit while the camera is in use); b is the blink
// rate, a an argument the light itself has no use for. The older form (91) knows modes 0, 1 and 2 only.
// The camera's control holds 0 off, 1 on, 2 blinking and 3 automatic (lit while it streams).
#include <cstdint>
#include <optional>

namespace Granite {

class CV4l2Light {
public:
    enum class Mode { Off = 0, On = 1, Blink = 2, Automatic = 3 };

    // The light a packed value asks for; none when the value is not a setting (a mode the form does not
    // know, or bits above b).
    static std::optional<Mode> Wanted(int32_t packed, bool olderForm);
    // The light a control value stands for: values the common ones do not name keep the light lit.
    static Mode FromControl(int64_t value);
    // The packed setting of a light read from the camera. `automaticAsOn` gives "on" for the automatic
    // light, for the forms that have no word for it.
    static int32_t Pack(Mode mode, int64_t rate, bool automaticAsOn);
    // The older form's mode for the light as it is.
    static int32_t OlderMode(Mode mode);
    // The blink rate b of a packed value (0: the camera's present rate).
    static int32_t Rate(int32_t packed) { return (packed >> 16) & 0xFF; }
};

} // namespace Granite
