#include "CTestFrameSource.h"

#include <gst/app/gstappsink.h>

using namespace Granite;

CTestFrameSource::CTestFrameSource(int width, int height, int fps, std::string pattern)
    : width_(width), height_(height), fps_(fps), pattern_(std::move(pattern)) {}

CTestFrameSource::~CTestFrameSource() {
    stop();
}

HRESULT CTestFrameSource::QueryInterface(const Guid& iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (IsEqualGuid(iid, IID_IUnknown) || IsEqualGuid(iid, IID_IVideoCapture))
        *object = static_cast<IVideoCapture*>(this);
    else if (IsEqualGuid(iid, IID_IGraniteFrameSource))
        *object = static_cast<IFrameSource*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT CTestFrameSource::stillFormatCount(int32_t* n) {
    *n = 0;
    return S_OK;
}

HRESULT CTestFrameSource::start() {
    if (running_)
        return S_OK;
    std::string error;
    pipeline_ = CGstPipeline::FromDescription(
        "videotestsrc is-live=true pattern=" + pattern_ +
            " ! video/x-raw,format=I420,width=" + std::to_string(width_) +
            ",height=" + std::to_string(height_) + ",framerate=" + std::to_string(fps_) +
            "/1 ! appsink name=frames sync=false max-buffers=2 drop=true",
        &error);
    if (!pipeline_)
        return E_FAIL;
    GstElementPtr sink = pipeline_->ByName("frames");
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = &CTestFrameSource::OnNewSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink.get()), &callbacks, this, nullptr);
    if (FAILED(pipeline_->SetState(GST_STATE_PLAYING, std::chrono::seconds(5)))) {
        pipeline_.reset();
        return E_FAIL;
    }
    running_ = true;
    return S_OK;
}

HRESULT CTestFrameSource::stop() {
    End(S_OK);
    return S_OK;
}

void CTestFrameSource::Fail() {
    End(E_FAIL);
}

void CTestFrameSource::End(HRESULT why) {
    if (!running_.exchange(false))
        return;
    pipeline_.reset();
    listeners_.ForEach([why](IFrameListener* listener) { listener->OnSourceStopped(why); });
}

GstFlowReturn CTestFrameSource::OnNewSample(GstAppSink* sink, gpointer self) {
    auto* source = static_cast<CTestFrameSource*>(self);
    GstSamplePtr sample(gst_app_sink_pull_sample(sink));
    if (sample)
        source->listeners_.ForEach([&](IFrameListener* listener) { listener->OnFrame(sample.get()); });
    return GST_FLOW_OK;
}

HRESULT CTestFrameSource::recordingParameters(int32_t* a, int32_t* b, int32_t* c) {
    *a = 1500;
    *b = fps_;
    *c = 0;
    return S_OK;
}

HRESULT CTestFrameSource::outputFormat(int32_t* width, int32_t* height) {
    *width = width_;
    *height = height_;
    return S_OK;
}

HRESULT CTestFrameSource::devicePath(std::string* path) {
    *path = DevicePath();
    return S_OK;
}

void CTestFrameSource::AddFrameListener(IFrameListener* listener) {
    listeners_.Add(nextKey_++, listener);
}

void CTestFrameSource::RemoveFrameListener(IFrameListener* listener) {
    uint32_t key = 0;
    if (listeners_.KeyOf(listener, &key))
        listeners_.Remove(key);
}

void CTestFrameSource::StillSize(int32_t* width, int32_t* height) const {
    *width = width_;
    *height = height_;
}

void CTestFrameSource::LiveFormat(int32_t* width, int32_t* height, int32_t* fps) const {
    *width = width_;
    *height = height_;
    *fps = fps_;
}
