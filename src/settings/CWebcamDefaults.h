#pragma once
// Puts the current camera's picture controls back to the camera's own defaults, in a fixed order: zoom, pan
// and tilt; face tracking; brightness, saturation and contrast; automatic white balance and, only when that
// default is off, the white balance level; low-light and colour boost; focus (automatic, or the default
// focus position when the camera's default is manual). Each default that cannot be read is left alone, and
// a write that fails does not stop the ones after it.
#include <optional>

class IGraniteDeviceManager;

class CWebcamDefaults {
public:
    struct Result {
        // The default of automatic white balance, when it could be read.
        std::optional<bool> autoWhiteBalance;
        // The default focus mode (true: automatic), when it could be read.
        std::optional<bool> autoFocus;
    };

    static Result Restore(IGraniteDeviceManager& camera);
};
