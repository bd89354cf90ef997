#include "capture/CCaptureButtonLook.h"

CCaptureButtonLook::Image CCaptureButtonLook::Choose(const State& state) {
    if (!state.enabled)
        return Disabled;
    if (state.optionsOnly)
        return Normal;
    if (state.pushed && !state.overOptions)
        return Pressed;
    if (state.overButton)
        return state.overOptions ? HoverOptions : HoverMain;
    return Normal;
}

CCaptureButtonLook::Image CCaptureButtonLook::Resolve(Image wanted,
                                                      const std::array<bool, ImageCount>& available) {
    return available[wanted] ? wanted : Normal;
}
