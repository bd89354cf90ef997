#pragma once
// Fresh simulated hardware (a full and a basic camera) per test, and helpers for events, frames and files.
#include "../CEventLog.h"
#include "granite/capture/CCameraEnumerator.h"
#include "granite/capture/CGstPipeline.h"
#include "granite/capture/CVideoCapture.h"
#include "granite/capture/GstRef.h"
#include "granite/devices/CSimulatedHardware.h"
#include "platform/CRefCounted.h"
#include "services/ICaptureEvents.h"

#include <QTemporaryDir>
#include <gst/app/gstappsink.h>
#include <gst/video/video.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <numeric>
#include <optional>

template <class T> struct ReleaseRef {
    void operator()(T* p) const { p->Release(); }
};
template <class T> using RefPtr = std::unique_ptr<T, ReleaseRef<T>>;

// An event sink as the capture window connects, for one event interface; it records every value.
class CCaptureTestSink : public CRefCounted<ICaptureEventDispatch>, public CEventLog<uint32_t> {
public:
    explicit CCaptureTestSink(Guid eventInterface) : eventInterface_(std::move(eventInterface)) {}

    HRESULT QueryInterface(const Guid& iid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        if (!IsEqualGuid(iid, eventInterface_) && !IsEqualGuid(iid, IID_IDispatch) &&
            !IsEqualGuid(iid, IID_IUnknown))
            return E_NOINTERFACE;
        AddRef();
        *object = static_cast<ICaptureEventDispatch*>(this);
        return S_OK;
    }
    HRESULT GetTypeInfoCount(uint32_t*) override { return E_NOTIMPL; }
    HRESULT GetTypeInfo(uint32_t, void**) override { return E_NOTIMPL; }
    HRESULT Invoke(int32_t dispId, uint32_t value) override {
        if (dispId != CAPTURE_EVENT_DISPID)
            return DISP_E_MEMBERNOTFOUND;
        if (onEvent)
            onEvent(value);
        Add(value);
        return S_OK;
    }
    std::function<void(uint32_t)> onEvent; // called inside every event, on the raising thread

private:
    Guid eventInterface_;
};

// One whole frame (I420), copied.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> y, u, v;
    uint8_t Y(int x, int row) const { return y[static_cast<size_t>(row) * width + x]; }
    double Mean() const { return std::accumulate(y.begin(), y.end(), 0.0) / std::max<size_t>(1, y.size()); }
    // One grey everywhere (a camera's plain shade).
    bool Flat() const {
        return !y.empty() && std::all_of(y.begin(), y.end(), [&](uint8_t value) { return value == y[0]; });
    }
    // Mean absolute luma difference to `other` inside [x0, x1) x [y0, y1) (the whole frame when x1 is 0),
    // comparing pixel (x, y) with other's pixel map(x, y).
    template <class Map>
    double Distance(const Picture& other, Map map, int x0 = 0, int y0 = 0, int x1 = 0, int y1 = 0) const {
        x1 = x1 == 0 ? width : x1;
        y1 = y1 == 0 ? height : y1;
        double sum = 0;
        for (int row = y0; row < y1; ++row)
            for (int x = x0; x < x1; ++x) {
                auto [ox, orow] = map(x, row);
                sum += std::abs(Y(x, row) - other.Y(ox, orow));
            }
        return sum / (static_cast<double>(x1 - x0) * (y1 - y0));
    }
    // The largest distance of a chroma value from `cu`, `cv` over the frame.
    int ChromaSpread(int cu, int cv) const {
        int spread = 0;
        for (size_t i = 0; i < u.size(); ++i)
            spread = std::max({spread, std::abs(u[i] - cu), std::abs(v[i] - cv)});
        return spread;
    }
};

inline constexpr auto Same = [](int x, int y) { return std::pair(x, y); };

// A copy of a sample's picture (I420); empty when it cannot be read.
inline Picture PictureOf(GstSample* sample) {
    Picture p;
    GstVideoInfo info;
    GstVideoFrame frame;
    if (sample == nullptr || !gst_video_info_from_caps(&info, gst_sample_get_caps(sample)) ||
        !gst_video_frame_map(&frame, &info, gst_sample_get_buffer(sample), GST_MAP_READ))
        return p;
    p.width = GST_VIDEO_FRAME_WIDTH(&frame);
    p.height = GST_VIDEO_FRAME_HEIGHT(&frame);
    for (int plane = 0; plane < std::min(3, static_cast<int>(GST_VIDEO_FRAME_N_PLANES(&frame))); ++plane) {
        auto& out = plane == 0 ? p.y : plane == 1 ? p.u : p.v;
        const auto* data = static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, plane));
        const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, plane);
        const int w = GST_VIDEO_FRAME_COMP_WIDTH(&frame, plane),
                  h = GST_VIDEO_FRAME_COMP_HEIGHT(&frame, plane);
        for (int row = 0; row < h; ++row)
            out.insert(out.end(), data + row * stride, data + row * stride + w);
    }
    gst_video_frame_unmap(&frame);
    return p;
}

// A recorded movie (or a photo) opened the way a player does: its length, its streams, its first picture.
struct MovieReadBack {
    double seconds = 0;
    int audioStreams = 0;
    Picture picture; // empty when the file does not play
};

inline MovieReadBack ReadBackMovie(const std::string& path) {
    using namespace Granite;
    CGstPipeline::EnsureInitialised();
    MovieReadBack result;
    GstElementPtr playbin = MakeElement("playbin"), videoSink = MakeElement("appsink"),
                  audioSink = MakeElement("fakesink");
    GCharPtr uri(gst_filename_to_uri(path.c_str(), nullptr));
    GstCapsPtr caps(gst_caps_from_string("video/x-raw,format=I420"));
    g_object_set(videoSink.get(), "caps", caps.get(), "sync", FALSE, nullptr);
    g_object_set(audioSink.get(), "sync", FALSE, nullptr);
    g_object_set(playbin.get(), "uri", uri.get(), "video-sink", videoSink.get(), "audio-sink",
                 audioSink.get(), nullptr);
    gst_element_set_state(playbin.get(), GST_STATE_PAUSED);
    if (gst_element_get_state(playbin.get(), nullptr, nullptr, 30 * GST_SECOND) == GST_STATE_CHANGE_SUCCESS) {
        gint64 duration = 0;
        if (gst_element_query_duration(playbin.get(), GST_FORMAT_TIME, &duration))
            result.seconds = static_cast<double>(duration) / GST_SECOND;
        g_object_get(playbin.get(), "n-audio", &result.audioStreams, nullptr);
        GstSamplePtr first(gst_app_sink_try_pull_preroll(GST_APP_SINK(videoSink.get()), 30 * GST_SECOND));
        result.picture = PictureOf(first.get());
    }
    gst_element_set_state(playbin.get(), GST_STATE_NULL);
    return result;
}

// Counts a capture's frames and keeps a copy of the latest one, so tests wait for frames, not for time.
class CFrameCollector : public Granite::IFrameListener {
public:
    void OnFrame(GstSample* sample) override {
        Picture p = PictureOf(sample);
        std::lock_guard guard(lock_);
        ++count_;
        last_ = std::move(p);
        changed_.notify_all();
    }
    void OnSourceStopped(HRESULT why) override {
        std::lock_guard guard(lock_);
        stopped_ = why;
        changed_.notify_all();
    }
    // Waits for `frames` more frames and returns the last one (empty after the time-out).
    Picture Next(int frames = 1, std::chrono::seconds timeout = std::chrono::seconds(10)) {
        std::unique_lock guard(lock_);
        const int target = count_ + frames;
        return changed_.wait_for(guard, timeout, [&] { return count_ >= target; }) ? last_ : Picture{};
    }
    // The reason the source gave when it stopped; nothing after the time-out.
    std::optional<HRESULT> WaitStopped() {
        std::unique_lock guard(lock_);
        changed_.wait_for(guard, std::chrono::seconds(10), [&] { return stopped_.has_value(); });
        return stopped_;
    }

private:
    std::mutex lock_;
    std::condition_variable changed_;
    int count_ = 0;
    std::optional<HRESULT> stopped_;
    Picture last_;
};

inline RefPtr<IVideoCapture> OpenCapture(const std::string& cameraId) {
    RefPtr<ICameraEnumerator> cameras(Granite::CCameraEnumerator::Create());
    IVideoCapture* capture = nullptr;
    EXPECT_EQ(cameras->createCapture(cameraId, &capture), S_OK);
    return RefPtr<IVideoCapture>(capture);
}
inline Granite::IFrameSource* Frames(IVideoCapture* capture) {
    void* raw = nullptr;
    capture->QueryInterface(Granite::IID_IGraniteFrameSource, &raw);
    auto* source = static_cast<Granite::IFrameSource*>(raw);
    source->Release(); // the capture outlives every use in a test
    return source;
}
// A sink for `iid` connected to the object's events; the object releases it when it goes.
inline RefPtr<CCaptureTestSink> Listen(IUnknown* object, const Guid& iid) {
    void* raw = nullptr;
    EXPECT_EQ(object->QueryInterface(IID_ICaptureEventSource, &raw), S_OK);
    RefPtr<ICaptureEventSource> events(static_cast<ICaptureEventSource*>(raw));
    RefPtr<CCaptureTestSink> sink(new CCaptureTestSink(iid));
    uint32_t cookie = 0;
    EXPECT_EQ(events->Advise(sink.get(), &cookie), S_OK);
    return sink;
}

class CaptureFixture : public ::testing::Test {
protected:
    void SetUp() override {
        hardware = std::make_shared<Granite::CSimulatedHardware>(std::vector<Granite::DeviceRequest>{
            {Granite::DeviceKind::Camera, "full"}, {Granite::DeviceKind::Camera, "basic"}});
        Granite::CSimulatedHardware::SetCurrent(hardware);
        ASSERT_TRUE(folder.isValid());
    }
    void TearDown() override { Granite::CSimulatedHardware::SetCurrent(nullptr); }

    std::string CameraId(int index) const {
        std::string id;
        hardware->IdAt(Granite::DeviceKind::Camera, index, id);
        return id;
    }
    RefPtr<IVideoCapture> Open(int index) { return OpenCapture(CameraId(index)); }
    std::string Path(const std::string& name) const {
        return folder.filePath(QString::fromStdString(name)).toStdString();
    }

    std::shared_ptr<Granite::CSimulatedHardware> hardware;
    QTemporaryDir folder;
};
