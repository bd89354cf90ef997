#include "services/CBrenmoorVideoEffectsPreview.h"

#include "platform/CObjectFactory.h"

namespace {

CBrenmoorVideoEffectsPreview* g_preview = nullptr;

} // namespace

IBrenmoorVideoEffectsPreview* GetBrenmoorVideoEffectsPreview() {
    if (g_preview != nullptr) {
        g_preview->AddRef();
        return g_preview;
    }
    auto* preview = new CBrenmoorVideoEffectsPreview();
    preview->AddRef();
    g_preview = preview;
    if (FAILED(preview->Initialise())) {
        delete preview;
        return nullptr;
    }
    return preview;
}

CBrenmoorVideoEffectsPreview::~CBrenmoorVideoEffectsPreview() {
    if (preview_ != nullptr)
        preview_->Release();
    if (g_preview == this)
        g_preview = nullptr;
}

HRESULT CBrenmoorVideoEffectsPreview::Initialise() {
    HRESULT hr =
        CObjectFactory::Instance().Create(CLSID_EffectsEnginePreview, IID_IEffectsEnginePreview, &preview_);
    if (FAILED(hr) || preview_ == nullptr) {
        preview_ = nullptr;
        return FAILED(hr) ? hr : E_FAIL;
    }
    return S_OK;
}

HRESULT CBrenmoorVideoEffectsPreview::PreviewCall7(const std::string& cameraId) {
    return preview_ != nullptr ? preview_->SetCamera(cameraId) : E_FAIL;
}

HRESULT CBrenmoorVideoEffectsPreview::PreviewCall8(int32_t running) {
    return preview_ != nullptr ? preview_->Run(running) : E_FAIL;
}

HRESULT CBrenmoorVideoEffectsPreview::PreviewCall9(int32_t x, int32_t y, int32_t width, int32_t height,
                                                   int32_t red, int32_t green, int32_t blue) {
    return preview_ != nullptr ? preview_->SetGuide(x, y, width, height, red, green, blue) : E_FAIL;
}

HRESULT CBrenmoorVideoEffectsPreview::PreviewCall10(int32_t* running) {
    if (preview_ == nullptr)
        return E_FAIL;
    return running != nullptr ? preview_->GetRunning(running) : E_POINTER;
}

HRESULT CBrenmoorVideoEffectsPreview::PreviewCall13(int32_t* width, int32_t* height) {
    if (preview_ == nullptr)
        return E_FAIL;
    return width != nullptr && height != nullptr ? preview_->GetFrameSize(width, height) : E_POINTER;
}

HRESULT CBrenmoorVideoEffectsPreview::PreviewCall14(int32_t mirrored) {
    return preview_ != nullptr ? preview_->SetMirror(mirrored) : E_FAIL;
}

HRESULT CBrenmoorVideoEffectsPreview::PreviewCall15(int32_t* frames) {
    if (preview_ == nullptr)
        return E_FAIL;
    return frames != nullptr ? preview_->GetFrameCount(frames) : E_POINTER;
}

HRESULT CBrenmoorVideoEffectsPreview::PreviewCall16(int32_t* found, int32_t* x, int32_t* y, int32_t* width,
                                                    int32_t* height, int32_t* confidence, int32_t* frame) {
    if (preview_ == nullptr)
        return E_FAIL;
    if (found == nullptr || x == nullptr || y == nullptr || width == nullptr || height == nullptr ||
        confidence == nullptr || frame == nullptr)
        return E_POINTER;
    return preview_->GetFace(found, x, y, width, height, confidence, frame);
}
