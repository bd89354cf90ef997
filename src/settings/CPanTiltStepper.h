#pragma once
// One step of the pan and tilt pad on the current camera.
//
// A motorised camera (its PTZ capability is non-zero) is sent the motor commands: move left, right, up or
// down, and home for the centre. Any other camera pans and tilts digitally: the arrow moves the window a
// tenth of the axis' range towards that side (axis 1 pans, axis 2 tilts; left and up decrease the value)
// without passing the end, and the centre puts the window back in the middle.
//
// A range too small for a tenth to be a whole unit still moves by one, so every arrow reaches the end of
// any range the camera reports. A failed read, a range with its ends swapped and a value already at the end
// leave the camera alone.
#include "settings/CPanTiltRegions.h"

#include "platform/HResult.h"

#include <cstdint>
#include <optional>

class IGraniteDeviceManager;

class CPanTiltStepper {
public:
    // `facade` is borrowed (may be null: every step then does nothing).
    CPanTiltStepper(IGraniteDeviceManager* facade, bool mechanical)
        : facade_(facade), mechanical_(mechanical) {}

    bool IsMechanical() const { return mechanical_; }
    void SetMechanical(bool mechanical) { mechanical_ = mechanical; }

    // Runs one step of `part`. S_FALSE when there was nothing to do (no facade, no axis, already at the end);
    // the facade's failure when it refused.
    HRESULT Step(PanTiltPart part) const;

    // The axis value one digital step from `value` towards `direction` (-1 or +1) within min..max; nothing
    // when the value is already at that end (or the range is empty).
    static std::optional<int32_t> NextAxisValue(int32_t min, int32_t max, int32_t value, int direction);

private:
    HRESULT StepMechanical(PanTiltPart part) const;
    HRESULT StepDigital(PanTiltPart part) const;

    IGraniteDeviceManager* facade_;
    bool mechanical_;
};
