#pragma once
// The video display: draws the live picture of a video capture into a rectangle of a window. The window
// side implements IVideoSurface; the display hands it frames already scaled to the rectangle.
#include "services/CaptureClassIds.h"

#include <cstdint>

class IVideoCapture;

struct VideoRect {
    int32_t x = 0, y = 0, width = 0, height = 0;
    friend bool operator==(const VideoRect&, const VideoRect&) = default;
};

// One frame of 32-bit pixels (bytes R, G, B, x in memory order), valid only during the call.
struct VideoFrame {
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;
    const uint8_t* pixels = nullptr;
};

class IVideoSurface {
public:
    // Called on a streaming thread: copy what is needed and return; never touch a window from here.
    virtual void PresentFrame(const VideoRect& where, const VideoFrame& frame) = 0;

protected:
    ~IVideoSurface() = default;
};

class IVideoDisplay : public IUnknown {
public:
    // Shows videoCapture's picture on surface inside rect. stream is -1 (the default stream). Attaching again
    // replaces the previous surface, rectangle and capture. E_POINTER for a null surface or capture.
    virtual HRESULT attach(IVideoSurface* surface, int32_t stream, const VideoRect& rect,
                           IVideoCapture* videoCapture) = 0;
    // Moves the picture within the surface.
    virtual HRESULT setPosition(const VideoRect& rect) = 0;
    // 1 while the window is moved or resized: frames are held back until 0.
    virtual HRESULT pauseDuringMove(int32_t on) = 0;
    // Stops drawing; when it returns the surface is not called any more.
    virtual HRESULT detach() = 0;
};
