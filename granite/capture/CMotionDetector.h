#pragma once
// The motion detector: listens to a video capture's frames, looks at about ten of them a second and raises
// the motion level of each (see CMotionAnalyzer for the scale) as its event value (DIID_IMotionEvents), on
// the capture's streaming thread. It never holds a frame: each one is reduced while the call lasts.
#include "granite/capture/CCaptureEventPoint.h"
#include "granite/capture/CMotionAnalyzer.h"
#include "granite/capture/GstRef.h"
#include "granite/capture/IFrameSource.h"
#include "platform/CRefCounted.h"
#include "services/IMotionDetector.h"

#include <gst/video/video.h>

#include <cstdint>
#include <mutex>
#include <optional>

namespace Granite {

class CMotionDetector final : public CRefCounted<IMotionDetector>,
                              public ICaptureEventSource,
                              public IFrameListener {
public:
    // Frames closer together than this (by their time stamps) are skipped.
    static constexpr GstClockTime kSamplePeriod = 95 * GST_MSECOND;

    CMotionDetector();
    static HRESULT Create(const Guid& iid, void** object);

    HRESULT QueryInterface(const Guid& iid, void** object) override;
    uint32_t AddRef() override { return CRefCounted<IMotionDetector>::AddRef(); }
    uint32_t Release() override { return CRefCounted<IMotionDetector>::Release(); }

    HRESULT setLevel(int32_t level) override;
    // E_POINTER for null, E_NOINTERFACE for a capture that does not share its frames. Attaching again
    // moves the detector to the new capture.
    HRESULT attach(IVideoCapture* videoCapture) override;
    HRESULT detach() override;

    HRESULT Advise(IUnknown* sink, uint32_t* cookie) override { return events_.Advise(sink, cookie); }
    HRESULT Unadvise(uint32_t cookie) override { return events_.Unadvise(cookie); }

    void OnFrame(GstSample* sample) override;
    void OnSourceStopped(HRESULT why) override;

private:
    ~CMotionDetector() override;
    // The level of one frame; nothing when the frame is skipped or cannot be read.
    std::optional<int32_t> Analyse(GstSample* sample);

    CCaptureEventPoint events_{DIID_IMotionEvents};
    std::mutex attachLock_; // serialises attach and detach
    IFrameSource* source_ = nullptr;

    std::mutex frameLock_; // guards what the streaming thread uses
    CMotionAnalyzer analyzer_;
    GstCapsPtr infoCaps_; // the caps `info_` was read from
    GstVideoInfo info_{};
    GstClockTime lastSample_ = GST_CLOCK_TIME_NONE;
};

} // namespace Granite
