#pragma once
// A stand-in video capture for the recorder and detector tests while no granite camera is at hand: a live
// videotestsrc whose I420 frames go to the frame listeners, answering QueryInterface for IFrameSource.
// Fail() ends the picture the way a lost camera does.
#include "granite/capture/CCalloutList.h"
#include "granite/capture/CGstPipeline.h"
#include "granite/capture/IFrameSource.h"
#include "platform/CRefCounted.h"
#include "services/IVideoCapture.h"

#include <gst/app/gstappsink.h>

#include <atomic>
#include <memory>
#include <string>

class CTestFrameSource final : public CRefCounted<IVideoCapture>, public Granite::IFrameSource {
public:
    // `pattern` is a videotestsrc pattern name ("ball", "black", "smpte").
    CTestFrameSource(int width, int height, int fps, std::string pattern);

    HRESULT QueryInterface(const Guid& iid, void** object) override;
    uint32_t AddRef() override { return CRefCounted<IVideoCapture>::AddRef(); }
    uint32_t Release() override { return CRefCounted<IVideoCapture>::Release(); }

    HRESULT stillFormatCount(int32_t* n) override;
    HRESULT stillFormat(int32_t, int32_t*, int32_t*, int32_t*, int32_t*) override { return E_INVALIDARG; }
    HRESULT setVideoFormat(int32_t, int32_t, int32_t) override { return E_NOTIMPL; }
    HRESULT setStillSize(int32_t, int32_t) override { return E_NOTIMPL; }
    HRESULT start() override;
    HRESULT stop() override;
    HRESULT recordingParameters(int32_t* a, int32_t* b, int32_t* c) override;
    HRESULT outputFormat(int32_t* width, int32_t* height) override;
    HRESULT devicePath(std::string* path) override;

    void AddFrameListener(Granite::IFrameListener* listener) override;
    void RemoveFrameListener(Granite::IFrameListener* listener) override;
    bool IsRunning() const override { return running_; }
    void StillSize(int32_t* width, int32_t* height) const override;
    void LiveFormat(int32_t* width, int32_t* height, int32_t* fps) const override;
    std::string DevicePath() const override { return "test:" + pattern_; }

    // The picture is lost: listeners hear OnSourceStopped(E_FAIL).
    void Fail();

private:
    ~CTestFrameSource() override;
    static GstFlowReturn OnNewSample(GstAppSink* sink, gpointer self);
    void End(HRESULT why);

    const int width_, height_, fps_;
    const std::string pattern_;
    std::unique_ptr<Granite::CGstPipeline> pipeline_;
    Granite::CCalloutList<Granite::IFrameListener> listeners_;
    std::atomic<uint32_t> nextKey_{1};
    std::atomic<bool> running_{false};
};
