#pragma once
// The motion detector: about ten times a second it raises DIID_IMotionEvents with the motion level of the
// attached capture's picture (0 for a still picture; 0..1000, larger for more change).
#include "services/CaptureClassIds.h"

class IVideoCapture;

class IMotionDetector : public IUnknown {
public:
    // The detector's sensitivity (1..1000): the level scale is multiplied by level / 100.
    virtual HRESULT setLevel(int32_t level) = 0;
    virtual HRESULT attach(IVideoCapture* videoCapture) = 0;
    // When it returns no event is running and none will start.
    virtual HRESULT detach() = 0;
};
