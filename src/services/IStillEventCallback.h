#pragma once
// What a window implements to hear the still-capture object's event (a still was taken) through a
// CStillEvents sink. The call arrives on the capture object's own thread: hand the value on (post it), never
// touch a window from it.
#include <cstdint>

class IStillEventCallback {
public:
    virtual void OnStillEvent(uint32_t value) = 0;

protected:
    ~IStillEventCallback() = default;
};
