#include "privacy/CShadeButtonRule.h"

bool CShadeButtonRule::IsUsable(const Inputs& in) {
    return in.hasDeviceManager && in.hasEffectsEngine && in.cameraCount > 0 && !in.cameraHeldByOtherUser &&
           !in.cameraOwnerIs64Bit;
}

ShadeButtonLook CShadeButtonRule::Decide(const Inputs& in) {
    ShadeButtonLook look;
    if (!IsUsable(in))
        return look;
    look.onShown = !in.muted;
    look.onEnabled = !in.muted;
    look.offShown = in.muted;
    look.offEnabled = in.muted;
    return look;
}
