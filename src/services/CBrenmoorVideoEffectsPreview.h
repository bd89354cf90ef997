#pragma once
// The process-wide preview facade of the calibration window: holds the engine's preview object
// (IEffectsEnginePreview) and forwards to it.
#include "platform/CRefCounted.h"
#include "services/IBrenmoorVideoEffectsPreview.h"
#include "services/IEffectsEnginePreview.h"

class CBrenmoorVideoEffectsPreview final : public CRefCounted<IBrenmoorVideoEffectsPreview, 0> {
public:
    HRESULT PreviewCall7(const std::string& cameraId) override;
    HRESULT PreviewCall8(int32_t running) override;
    HRESULT PreviewCall9(int32_t x, int32_t y, int32_t width, int32_t height, int32_t red, int32_t green,
                         int32_t blue) override;
    HRESULT PreviewCall10(int32_t* running) override;
    HRESULT PreviewCall13(int32_t* width, int32_t* height) override;
    HRESULT PreviewCall14(int32_t mirrored) override;
    HRESULT PreviewCall15(int32_t* frames) override;
    HRESULT PreviewCall16(int32_t* found, int32_t* x, int32_t* y, int32_t* width, int32_t* height,
                          int32_t* confidence, int32_t* frame) override;

private:
    friend IBrenmoorVideoEffectsPreview* GetBrenmoorVideoEffectsPreview();

    CBrenmoorVideoEffectsPreview() = default;
    ~CBrenmoorVideoEffectsPreview() override;
    HRESULT Initialise();

    IEffectsEnginePreview* preview_ = nullptr;
};
