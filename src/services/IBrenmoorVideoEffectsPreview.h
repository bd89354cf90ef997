#pragma once
// The effects engine's preview as the calibration window sees it. Obtain it with
// GetBrenmoorVideoEffectsPreview() and give the reference back with Release(); user-interface thread only.
// The forwarders pass their arguments unchanged to the preview object (IEffectsEnginePreview.h says what
// they mean) and return its answer; a missing out-pointer gives E_POINTER.
#include "platform/HResult.h"

#include <cstdint>
#include <string>

class IBrenmoorVideoEffectsPreview {
public:
    virtual uint32_t AddRef() = 0;
    // Returns the references left; at the last one the preview object is released and the facade freed.
    virtual uint32_t Release() = 0;

    // SetCamera.
    virtual HRESULT PreviewCall7(const std::string& cameraId) = 0;
    // Run: start (non-zero) or stop (0).
    virtual HRESULT PreviewCall8(int32_t running) = 0;
    // SetGuide(x, y, width, height, red, green, blue).
    virtual HRESULT PreviewCall9(int32_t x, int32_t y, int32_t width, int32_t height, int32_t red,
                                 int32_t green, int32_t blue) = 0;
    // GetRunning.
    virtual HRESULT PreviewCall10(int32_t* running) = 0;
    // GetFrameSize.
    virtual HRESULT PreviewCall13(int32_t* width, int32_t* height) = 0;
    // SetMirror.
    virtual HRESULT PreviewCall14(int32_t mirrored) = 0;
    // GetFrameCount.
    virtual HRESULT PreviewCall15(int32_t* frames) = 0;
    // GetFace(found, x, y, width, height, confidence, frame).
    virtual HRESULT PreviewCall16(int32_t* found, int32_t* x, int32_t* y, int32_t* width, int32_t* height,
                                  int32_t* confidence, int32_t* frame) = 0;

protected:
    virtual ~IBrenmoorVideoEffectsPreview() = default;
};

// The process-wide preview facade with a reference added, created on first use; null when the preview object
// cannot be created (the next call tries again). User-interface thread only.
IBrenmoorVideoEffectsPreview* GetBrenmoorVideoEffectsPreview();
