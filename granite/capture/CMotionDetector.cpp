#include "granite/capture/CMotionDetector.h"

#include "services/IVideoCapture.h"

namespace Granite {

CMotionDetector::CMotionDetector() = default;

CMotionDetector::~CMotionDetector() {
    detach();
}

HRESULT CMotionDetector::Create(const Guid& iid, void** object) {
    auto* detector = new CMotionDetector();
    HRESULT hr = detector->QueryInterface(iid, object);
    detector->Release();
    return hr;
}

HRESULT CMotionDetector::QueryInterface(const Guid& iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (IsEqualGuid(iid, IID_IUnknown) || IsEqualGuid(iid, IID_IMotionDetector))
        *object = static_cast<IMotionDetector*>(this);
    else if (IsEqualGuid(iid, IID_ICaptureEventSource))
        *object = static_cast<ICaptureEventSource*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT CMotionDetector::setLevel(int32_t level) {
    if (level < 1 || level > 1000)
        return E_INVALIDARG;
    std::lock_guard guard(frameLock_);
    analyzer_.SetSensitivity(level);
    return S_OK;
}

HRESULT CMotionDetector::attach(IVideoCapture* videoCapture) {
    if (videoCapture == nullptr)
        return E_POINTER;
    IFrameSource* source = nullptr;
    if (FAILED(videoCapture->QueryInterface(IID_IGraniteFrameSource, reinterpret_cast<void**>(&source))) ||
        source == nullptr)
        return E_NOINTERFACE;
    std::lock_guard guard(attachLock_);
    if (source_ != nullptr) {
        source_->RemoveFrameListener(this);
        source_->Release();
    }
    {
        std::lock_guard frames(frameLock_);
        analyzer_.Reset();
        lastSample_ = GST_CLOCK_TIME_NONE;
    }
    source_ = source;
    source_->AddFrameListener(this);
    return S_OK;
}

HRESULT CMotionDetector::detach() {
    std::lock_guard guard(attachLock_);
    if (source_ == nullptr)
        return S_FALSE;
    // Waits for a frame in flight, and so for the event it may be raising.
    source_->RemoveFrameListener(this);
    source_->Release();
    source_ = nullptr;
    return S_OK;
}

std::optional<int32_t> CMotionDetector::Analyse(GstSample* sample) {
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstCaps* caps = gst_sample_get_caps(sample);
    if (buffer == nullptr || caps == nullptr)
        return std::nullopt;
    std::lock_guard guard(frameLock_);
    const GstClockTime when = GST_BUFFER_PTS(buffer);
    if (GST_CLOCK_TIME_IS_VALID(when) && GST_CLOCK_TIME_IS_VALID(lastSample_) && when >= lastSample_ &&
        when - lastSample_ < kSamplePeriod)
        return std::nullopt;
    lastSample_ = when;
    if (infoCaps_.get() != caps) {
        if (!gst_video_info_from_caps(&info_, caps)) {
            infoCaps_.reset();
            return std::nullopt;
        }
        infoCaps_.reset(gst_caps_ref(caps));
    }
    // Y is the first plane of the planar YUV formats a capture delivers (I420, also NV12 and GRAY8).
    if (!GST_VIDEO_INFO_IS_YUV(&info_) && GST_VIDEO_INFO_FORMAT(&info_) != GST_VIDEO_FORMAT_GRAY8)
        return std::nullopt;
    GstVideoFrame frame;
    if (!gst_video_frame_map(&frame, &info_, buffer, GST_MAP_READ))
        return std::nullopt;
    auto level = analyzer_.Feed(static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)),
                                GST_VIDEO_FRAME_WIDTH(&frame), GST_VIDEO_FRAME_HEIGHT(&frame),
                                GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0));
    gst_video_frame_unmap(&frame);
    return level;
}

void CMotionDetector::OnFrame(GstSample* sample) {
    if (auto level = Analyse(sample))
        events_.Fire(static_cast<uint32_t>(*level));
}

void CMotionDetector::OnSourceStopped(HRESULT) {
    // A restarted picture may show something else entirely: do not compare across the gap.
    std::lock_guard guard(frameLock_);
    analyzer_.Reset();
    lastSample_ = GST_CLOCK_TIME_NONE;
}

} // namespace Granite
