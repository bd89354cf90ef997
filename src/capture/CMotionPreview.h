#pragma once
// The live motion level behind the movie options' sensitivity slider: a motion detector of its own on the
// capture window's video capture, and the sink that hands each level to a callback. The levels arrive on
// the capture object's thread; the callback must only pass them on.
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
    // `callback`, sets the sensitivity and attaches the detector to `videoCapture`. On failure nothing is
    // left running and the failing step's result is returned.
    HRESULT Start(IVideoCapture* videoCapture, IMotionEventCallback* callback);
    // Disconnects and releases the sink, detaches and releases the detector. When it returns the callback is
    // not called again.
    void Stop();
    bool IsRunning() const { return detector_ != nullptr; }

private:
    IMotionDetector* detector_ = nullptr;
    CMotionEvents* sink_ = nullptr;
};
