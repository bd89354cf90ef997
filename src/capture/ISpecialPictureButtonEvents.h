#pragma once
// What the photo button asks of its owner (the capture window), which talks to the camera.
#include <cstdint>

class ISpecialPictureButtonEvents {
public:
    // The options zone was clicked: open (or close) the photo options.
    virtual void OnOptionsRequest() = 0;
    // The main zone was clicked: take a photo now.
    virtual void OnPhotoRequest() = 0;
    // Whether the camera's auto-focus has come to rest.
    virtual bool IsFocusSettled() = 0;
    // Switches the camera's auto-focus on or off (off freezes the current focus).
    virtual void SetAutoFocus(bool on) = 0;
    // The camera's auto-focus switch; 0 when it is off or cannot be read.
    virtual uint32_t IsAutoFocusOn() = 0;

protected:
    ~ISpecialPictureButtonEvents() = default;
};
