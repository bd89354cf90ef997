#pragma once
// What a window implements to hear the motion detector's event (the current motion level) through a
// CMotionEvents sink. The call arrives on the capture object's own thread: hand the value on (post it), never
// touch a window from it.
#include <cstdint>

class IMotionEventCallback {
public:
    virtual void OnMotionEvent(uint32_t value) = 0;

protected:
    ~IMotionEventCallback() = default;
};
