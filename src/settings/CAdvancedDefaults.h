#pragma once
// Puts the current camera's advanced controls back to the camera's own defaults: automatic exposure,
// exposure, gain, the two mirror switches, the three-way switch, backlight compensation and the light. Each
// default that cannot be read is left alone, and a write that fails does not stop the ones after it.
class IGraniteDeviceManager;

class CAdvancedDefaults {
public:
    static void Restore(IGraniteDeviceManager& camera);
};
