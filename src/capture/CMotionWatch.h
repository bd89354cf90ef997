#pragma once
// Motion detection while motion-triggered recording is on: the motion detector on the capture window's
// video capture, the sink that hands its levels to the window, and what arming changes on the camera.
// Arming switches the camera's face tracking (its tri-state mode) off unless the effects engine runs it,
// and marks the camera as shared with motion detection; disarming undoes exactly what arming did.
#include "capture/CMotionPreview.h"

#include <cstdint>

class IGraniteDeviceManager;
class IVideoCapture;

class CMotionWatch {
public:
    // The detector's sensitivity while recording motion clips.
    static constexpr int32_t kDetectorLevel = 166;

    CMotionWatch() = default;
    ~CMotionWatch();
    CMotionWatch(const CMotionWatch&) = delete;
    CMotionWatch& operator=(const CMotionWatch&) = delete;

    // Disarms anything left, then makes a detector through the object factory, connects a sink aimed at
    // `callback`, sets the level and attaches the detector to `capture`. On success, and when there is a
    // device manager: face tracking is switched off when it is on and the effects engine is not active
    // (remembering the mode it had), and the shared state becomes 1. On failure nothing is left armed and
    // the camera is not touched; the failing step's result is returned.
    HRESULT Arm(IVideoCapture* capture, IMotionEventCallback* callback, IGraniteDeviceManager* deviceManager,
                bool effectsActive);
    // Releases the sink (waiting for a level being delivered on another thread) and the detector, writes
    // back the face-tracking mode when Arm changed it and the effects engine is not active, and sets the
    // shared state to 0. Does nothing when not armed. The callback is not called once this returns.
    void Disarm(IGraniteDeviceManager* deviceManager, bool effectsActive);

    bool IsArmed() const { return detector_.IsRunning(); }
    // Whether arming switched face tracking off (and so disarming will switch it back).
    bool ChangedFaceTracking() const { return changedTriState_; }

private:
    void ReleaseObjects();

    CMotionPreview detector_;
    bool changedTriState_ = false;
    int32_t savedTriState_ = 0;
};
