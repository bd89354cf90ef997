#pragma once
// What a window implements to hear the video object's event (the picture stopped, or the camera can be
// started again) through a CVideoEvents sink. The call arrives on the capture object's own thread: hand the
// value on (post it), never touch a window from it.
#include <cstdint>

class IVideoEventCallback {
public:
    virtual void OnVideoEvent(uint32_t value) = 0;

protected:
    ~IVideoEventCallback() = default;
};
