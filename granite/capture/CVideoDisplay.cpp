#include "granite/capture/CVideoDisplay.h"

#include "services/IVideoCapture.h"

namespace Granite {

CVideoDisplay::~CVideoDisplay() {
    detach();
}

HRESULT CVideoDisplay::QueryInterface(const Guid& iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (!IsEqualGuid(iid, IID_IUnknown) && !IsEqualGuid(iid, IID_IVideoDisplay))
        return E_NOINTERFACE;
    *object = static_cast<IVideoDisplay*>(this);
    AddRef();
    return S_OK;
}

uint32_t CVideoDisplay::Release() {
    const uint32_t left = refs_.Drop();
    if (left == 0)
        delete this;
    return left;
}

HRESULT CVideoDisplay::attach(IVideoSurface* surface, int32_t, const VideoRect& rect,
                              IVideoCapture* videoCapture) {
    if (surface == nullptr || videoCapture == nullptr)
        return E_POINTER;
    void* raw = nullptr;
    if (FAILED(videoCapture->QueryInterface(IID_IGraniteFrameSource, &raw)) || raw == nullptr)
        return E_FAIL;
    detach();
    {
        std::lock_guard guard(lock_);
        surface_ = surface;
        rect_ = rect;
    }
    source_ = static_cast<IFrameSource*>(raw);
    source_->AddFrameListener(this);
    return S_OK;
}

HRESULT CVideoDisplay::setPosition(const VideoRect& rect) {
    std::lock_guard guard(lock_);
    rect_ = rect;
    return S_OK;
}

HRESULT CVideoDisplay::pauseDuringMove(int32_t on) {
    paused_ = on != 0;
    return S_OK;
}

HRESULT CVideoDisplay::detach() {
    if (source_ != nullptr) {
        source_->RemoveFrameListener(this); // waits for a frame being presented
        source_->Release();
        source_ = nullptr;
    }
    std::lock_guard guard(lock_);
    surface_ = nullptr;
    return S_OK;
}

void CVideoDisplay::OnFrame(GstSample* sample) {
    if (paused_)
        return;
    IVideoSurface* surface = nullptr;
    VideoRect where;
    {
        std::lock_guard guard(lock_);
        surface = surface_;
        where = rect_;
    }
    if (surface == nullptr || where.width <= 0 || where.height <= 0)
        return;
    if (!converter_.Convert(sample, where.width, where.height))
        return;
    GstVideoFrame mapped;
    if (!gst_video_frame_map(&mapped, &converter_.OutputInfo(), converter_.Output(), GST_MAP_READ))
        return;
    VideoFrame frame;
    frame.width = where.width;
    frame.height = where.height;
    frame.stride = GST_VIDEO_FRAME_PLANE_STRIDE(&mapped, 0);
    frame.pixels = static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&mapped, 0));
    surface->PresentFrame(where, frame);
    gst_video_frame_unmap(&mapped);
}

} // namespace Granite
