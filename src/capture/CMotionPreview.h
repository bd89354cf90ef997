#pragma once
// A motion detector on a video capture with the sink that hands each level to a callback: the live level
// behind the movie options' sensitivity slider, and the capture window's watch for motion clips. The levels
// arrive on the capture object's thread; the callback must only pass them on.
#include "services/CMotionEvents.h"

#include <cstdint>

class IMotionDetector;
class IVideoCapture;

class CMotionPreview {
public:
    // The detector's sensitivity for the preview: levels on the scale the slider shows (the capture window
    // records with a sensitivity of its own).
    static constexpr int32_t kPreviewSensitivity = 100;

    CMotionPreview() = default;
    ~CMotionPreview();
    CMotionPreview(const CMotionPreview&) = delete;
    CMotionPreview& operator=(const CMotionPreview&) = delete;

    // Stops a running preview, then makes a detector through the object factory, connects a sink aimed at
    // `callback`, sets the sensitivity `level` and attaches the detector to `videoCapture`. On failure
    // nothing is left running and the failing step's result is returned.
    HRESULT Start(IVideoCapture* videoCapture, IMotionEventCallback* callback,
                  int32_t level = kPreviewSensitivity);
    // Disconnects and releases the sink, detaches and releases the detector. When it returns the callback is
    // not called again.
    void Stop();
    bool IsRunning() const { return detector_ != nullptr; }

private:
    IMotionDetector* detector_ = nullptr;
    CMotionEvents* sink_ = nullptr;
};
