#pragma once
// The video capture of one camera: a pipeline "camera source ! effects ! I420 at the live format ! appsink"
// whose frames go to the frame listeners (display, stills, recorder, motion). A simulated camera is marked as
// streamed by this program while it runs, so another program finds it busy, and start() finds it busy when
// another program holds it. Events: VIDEO_EVENT_STOPPED when the picture stops on its own (the camera was
// unplugged, the pipeline failed), VIDEO_EVENT_AVAILABLE when a camera that was busy or gone can be started
// again. Both come from the capture's own worker thread.
#include "granite/capture/CCaptureEventPoint.h"
#include "granite/capture/CGstPipeline.h"
#include "granite/capture/CSimulatedCameraSource.h"
#include "granite/capture/CameraInfo.h"
#include "granite/capture/IFrameSource.h"
#include "granite/devices/CSimulatedHardware.h"
#include "granite/effects/render/CEffectsStage.h"
#include "granite/service/CServiceWorker.h"
#include "platform/CRefCounted.h"
#include "services/ICaptureEvents.h"
#include "services/IVideoCapture.h"

#include <gst/app/gstappsink.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace Granite {

struct StillFormat {
    int32_t width = 0, height = 0, fps = 30, flags = 0;
};

class CVideoCapture : public CRefCounted<IVideoCapture>,
                      public ICaptureEventSource,
                      public IFrameSource,
                      private IHardwareListener {
public:
    // The capture of a camera, stopped, with one reference.
    static CVideoCapture* Create(const CameraInfo& camera);

    // The still formats a camera offers: the sizes up to its largest still feature, motion-capable up to
    // 960 wide when it can detect motion. Cameras that name no features (real ones) offer up to 1280 x 960.
    static std::vector<StillFormat> StillFormatsOf(const CameraInfo& camera);
    // Whether a real camera's picture is to show the privacy shade: its picture mute, as the device service
    // keeps it for the camera its path names. Empty for a simulated camera (its source knows).
    static CEffectsStage::ShadeQuery RealCameraShade(const CameraInfo& camera);

    HRESULT QueryInterface(const Guid& iid, void** object) override;
    uint32_t AddRef() override { return CRefCounted<IVideoCapture>::AddRef(); }
    uint32_t Release() override { return CRefCounted<IVideoCapture>::Release(); }

    // IVideoCapture
    HRESULT stillFormatCount(int32_t* n) override;
    HRESULT stillFormat(int32_t index, int32_t* width, int32_t* height, int32_t* fps,
                        int32_t* flags) override;
    HRESULT setVideoFormat(int32_t width, int32_t height, int32_t fps) override;
    HRESULT setStillSize(int32_t width, int32_t height) override;
    HRESULT start() override;
    HRESULT stop() override;
    HRESULT recordingParameters(int32_t* a, int32_t* b, int32_t* c) override;
    HRESULT outputFormat(int32_t* width, int32_t* height) override;
    HRESULT devicePath(std::string* path) override;

    // ICaptureEventSource
    HRESULT Advise(IUnknown* sink, uint32_t* cookie) override { return events_.Advise(sink, cookie); }
    HRESULT Unadvise(uint32_t cookie) override { return events_.Unadvise(cookie); }

    // IFrameSource
    void AddFrameListener(IFrameListener* listener) override;
    void RemoveFrameListener(IFrameListener* listener) override;
    bool IsRunning() const override { return running_; }
    void StillSize(int32_t* width, int32_t* height) const override;
    void LiveFormat(int32_t* width, int32_t* height, int32_t* fps) const override;
    std::string DevicePath() const override { return camera_.devicePath; }

private:
    explicit CVideoCapture(const CameraInfo& camera);
    ~CVideoCapture() override;
    void OnHardwareEvent(const HardwareEvent& event) override;
    HRESULT StartPipeline(int32_t width, int32_t height, int32_t fps);
    // The running pipeline and its source, taken out under the lock and destroyed after it is released: a
    // listener called on the streaming thread may ask for the formats meanwhile.
    struct Running {
        std::unique_ptr<CGstPipeline> pipeline;
        std::unique_ptr<CSimulatedCameraSource> source;
        std::unique_ptr<CEffectsStage> effects;
        Running() = default;
        Running(Running&&) = default;
        Running& operator=(Running&&) = default;
        ~Running() { pipeline.reset(); } // the pipeline first: it uses the source's probes until it stops
    };
    Running TakePipeline();
    void ReleaseCamera();
    // The picture stopped on its own: tear down, tell the listeners and the sinks.
    void Lose(uint64_t generation, HRESULT why);
    static GstFlowReturn OnNewSample(GstAppSink* sink, gpointer self);

    const CameraInfo camera_;
    const std::vector<StillFormat> formats_;
    std::shared_ptr<CSimulatedHardware> hardware_; // simulated cameras only
    const CEffectsStage::ShadeQuery realShade_;    // real cameras only
    CCaptureEventPoint events_{DIID_IVideoEvents};
    CCalloutList<IFrameListener> listeners_;
    std::atomic<uint32_t> lastListenerKey_{0};
    CServiceWorker worker_;

    mutable std::mutex lock_; // the fields below; never held while calling out
    int32_t liveWidth_ = 0, liveHeight_ = 0, liveFps_ = 0;
    int32_t stillWidth_ = 0, stillHeight_ = 0;
    std::unique_ptr<CGstPipeline> pipeline_;
    std::unique_ptr<CSimulatedCameraSource> source_;
    std::unique_ptr<CEffectsStage> effects_;
    std::atomic<uint64_t> generation_{0}; // counts starts, so a late failure of an old pipeline is ignored
    std::atomic<bool> running_{false};
    std::atomic<bool> releasing_{false};   // our own StopStreaming is under way
    std::atomic<bool> unavailable_{false}; // the last start found the camera busy or gone
};

} // namespace Granite
