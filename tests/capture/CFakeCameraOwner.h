#pragma once
// The photo button's owner with a tiny camera behind it: an auto-focus switch, whether the focus has
// settled, and what the owner was asked to do.
#include "capture/ISpecialPictureButtonEvents.h"

struct CFakeCameraOwner : ISpecialPictureButtonEvents {
    bool autoFocus = true;
    bool settled = true;
    int focusWrites = 0; // writes to the auto-focus switch
    int photos = 0;
    int options = 0;
    bool lastPhotoAutoFocus = true; // the switch when the last photo was taken

    void OnOptionsRequest() override { ++options; }
    void OnPhotoRequest() override { ++photos, lastPhotoAutoFocus = autoFocus; }
    bool IsFocusSettled() override { return settled; }
    void SetAutoFocus(bool on) override { autoFocus = on, ++focusWrites; }
    uint32_t IsAutoFocusOn() override { return autoFocus ? 1 : 0; }
};
