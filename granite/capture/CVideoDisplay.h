#pragma once
// The video display: listens to a video capture's frames, converts each to RGBx at the rectangle's size
// and hands it to the window's surface. While the window is moved or resized frames are dropped, not
// queued. detach (and attaching elsewhere) returns only when no frame is being presented any more.
#include "granite/capture/CFrameConverter.h"
#include "granite/capture/IFrameSource.h"
#include "services/IVideoDisplay.h"

#include <atomic>
#include <mutex>

namespace Granite {

class CVideoDisplay : public IVideoDisplay, private IFrameListener {
public:
    static CVideoDisplay* Create() { return new CVideoDisplay(); }

    HRESULT QueryInterface(const Guid& iid, void** object) override;
    uint32_t AddRef() override { return refs_.Add(); }
    uint32_t Release() override;

    HRESULT attach(IVideoSurface* surface, int32_t stream, const VideoRect& rect,
                   IVideoCapture* videoCapture) override;
    HRESULT setPosition(const VideoRect& rect) override;
    HRESULT pauseDuringMove(int32_t on) override;
    HRESULT detach() override;

private:
    CVideoDisplay() = default;
    ~CVideoDisplay() override;
    void OnFrame(GstSample* sample) override;
    void OnSourceStopped(HRESULT) override {}

    CRefCount refs_;
    std::mutex lock_; // surface_ and rect_
    IVideoSurface* surface_ = nullptr;
    VideoRect rect_;
    IFrameSource* source_ = nullptr; // one reference while attached; changed by the caller's thread only
    std::atomic<bool> paused_{false};
    CFrameConverter converter_{GST_VIDEO_FORMAT_RGBx}; // used on the streaming thread only
};

} // namespace Granite
