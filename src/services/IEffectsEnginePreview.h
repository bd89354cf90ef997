#pragma once
// The effects engine's preview object as the calibration window uses it: a live view of one camera as the
// engine sees it, with a guide box the window draws the user's face into and the face the engine finds.
// Every operation returns S_OK on success and a failure code otherwise; out-parameters are left untouched
// on failure. User-interface thread only.
#include "platform/Unknown.h"

#include <cstdint>
#include <string>

inline const Guid CLSID_EffectsEnginePreview = "{5E9BC347-64D2-44B5-A18D-0E66A63C57DC}";
inline const Guid IID_IEffectsEnginePreview = "{90EAACB2-5EF6-4DAA-AA69-3E812EE29A2A}";

class IEffectsEnginePreview : public IUnknown {
public:
    // 7: the camera to preview (its device id); an empty id fails.
    virtual HRESULT SetCamera(const std::string& cameraId) = 0;
    // 8: starts (non-zero) or stops (0) the preview. Starting needs a camera.
    virtual HRESULT Run(int32_t running) = 0;
    // 9: the guide box, in frame pixels, and its colour (0..255 each); a width or height of 0 hides it. A box
    // reaching outside the frame or a colour out of range fails with E_INVALIDARG.
    virtual HRESULT SetGuide(int32_t x, int32_t y, int32_t width, int32_t height, int32_t red, int32_t green,
                             int32_t blue) = 0;
    // 10: 1 while the preview runs, else 0.
    virtual HRESULT GetRunning(int32_t* running) = 0;
    // 13: the preview's frame size.
    virtual HRESULT GetFrameSize(int32_t* width, int32_t* height) = 0;
    // 14: shows the preview mirrored (non-zero) or not.
    virtual HRESULT SetMirror(int32_t mirrored) = 0;
    // 15: frames shown since the preview started; 0 while stopped.
    virtual HRESULT GetFrameCount(int32_t* frames) = 0;
    // 16: the face the engine finds: found (0 or 1), its box in frame pixels, the engine's confidence
    // (0..100) and the frame it was found in. Fails while the preview is stopped.
    virtual HRESULT GetFace(int32_t* found, int32_t* x, int32_t* y, int32_t* width, int32_t* height,
                            int32_t* confidence, int32_t* frame) = 0;
};
