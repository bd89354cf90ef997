#pragma once
// How the capture objects share one camera's picture inside granite: a video capture hands every raw frame
// of its live picture to its frame listeners (the display, still capture, movie recorder and motion
// detector), on its streaming thread. Reached through QueryInterface(IID_IGraniteFrameSource) on a video
// capture made by granite; other implementations of IVideoCapture do not offer it.
#include "platform/Unknown.h"

#include <gst/gst.h>

#include <cstdint>
#include <string>

namespace Granite {

inline const Guid IID_IGraniteFrameSource = "{15E55773-3B77-4820-B24A-94AA5C1F2E06}";

class IFrameListener {
public:
    // One frame: raw I420 video at the live format, its time stamp the running time of the capture. Called
    // on the capture's streaming thread; take a reference (gst_sample_ref) to keep it and return quickly.
    virtual void OnFrame(GstSample* sample) = 0;
    // The picture ended: S_OK after stop(), a failure code when the camera was lost or the pipeline failed.
    virtual void OnSourceStopped(HRESULT why) = 0;

protected:
    ~IFrameListener() = default;
};

class IFrameSource : public IUnknown {
public:
    virtual void AddFrameListener(IFrameListener* listener) = 0;
    // When it returns the listener is not called any more and no call on it is running.
    virtual void RemoveFrameListener(IFrameListener* listener) = 0;
    virtual bool IsRunning() const = 0;
    // The size stills are taken at (setStillSize, else the live format).
    virtual void StillSize(int32_t* width, int32_t* height) const = 0;
    // The live format in use while running.
    virtual void LiveFormat(int32_t* width, int32_t* height, int32_t* fps) const = 0;
    virtual std::string DevicePath() const = 0;
};

} // namespace Granite
