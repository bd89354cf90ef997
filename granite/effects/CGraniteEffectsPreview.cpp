#include "granite/effects/CGraniteEffectsPreview.h"

#include "granite/effects/CGraniteEffectsControl.h"
#include "platform/IClock.h"

namespace Granite {

HRESULT CGraniteEffectsPreview::Create(const Guid& iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    HRESULT failure = CGraniteEffectsControl::Instance().Take(kEffectsPreviewCreate);
    if (FAILED(failure))
        return failure;
    auto* preview = new CGraniteEffectsPreview();
    HRESULT hr = preview->QueryInterface(iid, object);
    preview->Release();
    return hr;
}

HRESULT CGraniteEffectsPreview::QueryInterface(const Guid& iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualGuid(iid, IID_IUnknown) || IsEqualGuid(iid, IID_IEffectsEnginePreview)) {
        AddRef();
        *object = static_cast<IEffectsEnginePreview*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT CGraniteEffectsPreview::SetCamera(const std::string& cameraId) {
    if (cameraId.empty())
        return E_INVALIDARG;
    std::lock_guard<std::mutex> guard(lock_);
    if (cameraId != camera_ && running_)
        startTick_ = GetClock().GetTickCount(); // a new camera starts a new stream
    camera_ = cameraId;
    return S_OK;
}

HRESULT CGraniteEffectsPreview::Run(int32_t running) {
    std::lock_guard<std::mutex> guard(lock_);
    if (running == 0) {
        running_ = false;
        return S_OK;
    }
    if (camera_.empty())
        return E_FAIL;
    if (!running_) {
        running_ = true;
        startTick_ = GetClock().GetTickCount();
    }
    return S_OK;
}

HRESULT CGraniteEffectsPreview::SetGuide(int32_t x, int32_t y, int32_t width, int32_t height, int32_t red,
                                         int32_t green, int32_t blue) {
    for (int32_t channel : {red, green, blue}) {
        if (channel < 0 || channel > 255)
            return E_INVALIDARG;
    }
    if (width < 0 || height < 0)
        return E_INVALIDARG;
    if (width > 0 && height > 0 && (x < 0 || y < 0 || x > kFrameWidth - width || y > kFrameHeight - height))
        return E_INVALIDARG;
    std::lock_guard<std::mutex> guard(lock_);
    const int32_t guide[7] = {x, y, width, height, red, green, blue};
    std::copy(std::begin(guide), std::end(guide), guide_);
    return S_OK;
}

HRESULT CGraniteEffectsPreview::GetRunning(int32_t* running) {
    if (running == nullptr)
        return E_POINTER;
    std::lock_guard<std::mutex> guard(lock_);
    *running = running_ ? 1 : 0;
    return S_OK;
}

HRESULT CGraniteEffectsPreview::GetFrameSize(int32_t* width, int32_t* height) {
    if (width == nullptr || height == nullptr)
        return E_POINTER;
    *width = kFrameWidth;
    *height = kFrameHeight;
    return S_OK;
}

HRESULT CGraniteEffectsPreview::SetMirror(int32_t mirrored) {
    std::lock_guard<std::mutex> guard(lock_);
    mirrored_ = mirrored != 0;
    return S_OK;
}

int32_t CGraniteEffectsPreview::FramesLocked() const {
    if (!running_)
        return 0;
    // Unsigned subtraction keeps counting across the tick counter's wrap.
    uint32_t elapsed = GetClock().GetTickCount() - startTick_;
    return static_cast<int32_t>(static_cast<uint64_t>(elapsed) * kFramesPerSecond / 1000);
}

HRESULT CGraniteEffectsPreview::GetFrameCount(int32_t* frames) {
    if (frames == nullptr)
        return E_POINTER;
    std::lock_guard<std::mutex> guard(lock_);
    *frames = FramesLocked();
    return S_OK;
}

HRESULT CGraniteEffectsPreview::GetFace(int32_t* found, int32_t* x, int32_t* y, int32_t* width,
                                        int32_t* height, int32_t* confidence, int32_t* frame) {
    if (found == nullptr || x == nullptr || y == nullptr || width == nullptr || height == nullptr ||
        confidence == nullptr || frame == nullptr)
        return E_POINTER;
    std::lock_guard<std::mutex> guard(lock_);
    if (!running_)
        return E_FAIL;
    std::optional<PreviewFace> face = CGraniteEffectsControl::Instance().PreviewFaceBox();
    *frame = FramesLocked();
    *found = face ? 1 : 0;
    PreviewFace box = face.value_or(PreviewFace{});
    // A mirrored preview shows the face on the other side.
    *x = face && mirrored_ ? kFrameWidth - box.x - box.width : box.x;
    *y = box.y;
    *width = box.width;
    *height = box.height;
    *confidence = box.confidence;
    return S_OK;
}

} // namespace Granite
