#pragma once
// Fresh simulated hardware (a full and a basic camera) for each test, a temporary folder, and helpers to
// open a camera's capture and to look at its live frames.
#include "CCaptureTestSink.h"
#include "granite/capture/CCameraEnumerator.h"
#include "granite/capture/CVideoCapture.h"
#include "granite/devices/CSimulatedHardware.h"

#include <QTemporaryDir>
#include <gst/video/video.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

template <class T> struct ReleaseRef {
    void operator()(T* p) const {
        if (p != nullptr)
            p->Release();
    }
};
template <class T> using RefPtr = std::unique_ptr<T, ReleaseRef<T>>;

// One whole frame (I420), copied.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> y, u, v;
    uint8_t Y(int x, int row) const { return y[static_cast<size_t>(row) * width + x]; }
    uint8_t U(int x, int row) const { return u[static_cast<size_t>(row / 2) * (width / 2) + x / 2]; }
    uint8_t V(int x, int row) const { return v[static_cast<size_t>(row / 2) * (width / 2) + x / 2]; }
    double Mean() const {
        double sum = 0;
        for (uint8_t value : y)
            sum += value;
        return y.empty() ? 0 : sum / static_cast<double>(y.size());
    }
    // Mean absolute luma difference to another frame of the same size inside [x0, x1) x [y0, y1) (the whole
    // frame when x1 is 0), after mapping the other frame's coordinates.
    template <class Map>
    double Distance(const Picture& other, Map map, int x0 = 0, int y0 = 0, int x1 = 0, int y1 = 0) const {
        if (x1 == 0) {
            x1 = width;
            y1 = height;
        }
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

// Compares each pixel with the same one of the other frame (for Picture::Distance).
inline std::pair<int, int> Same(int x, int y) {
    return {x, y};
}

// Counts frames and keeps a copy of the latest one.
class CFrameCollector : public Granite::IFrameListener {
public:
    void OnFrame(GstSample* sample) override {
        GstVideoInfo info;
        GstVideoFrame frame;
        if (!gst_video_info_from_caps(&info, gst_sample_get_caps(sample)) ||
            !gst_video_frame_map(&frame, &info, gst_sample_get_buffer(sample), GST_MAP_READ))
            return;
        Picture p;
        p.width = GST_VIDEO_FRAME_WIDTH(&frame);
        p.height = GST_VIDEO_FRAME_HEIGHT(&frame);
        for (int plane = 0; plane < std::min(3, static_cast<int>(GST_VIDEO_FRAME_N_PLANES(&frame)));
             ++plane) {
            auto& out = plane == 0 ? p.y : plane == 1 ? p.u : p.v;
            const auto* data = static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, plane));
            const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, plane);
            const int w = GST_VIDEO_FRAME_COMP_WIDTH(&frame, plane),
                      h = GST_VIDEO_FRAME_COMP_HEIGHT(&frame, plane);
            for (int row = 0; row < h; ++row)
                out.insert(out.end(), data + row * stride, data + row * stride + w);
        }
        gst_video_frame_unmap(&frame);
        {
            std::lock_guard guard(lock_);
            ++count_;
            last_ = std::move(p);
        }
        changed_.notify_all();
    }
    void OnSourceStopped(HRESULT why) override {
        {
            std::lock_guard guard(lock_);
            stopped_ = true;
            why_ = why;
        }
        changed_.notify_all();
    }
    int Count() const {
        std::lock_guard guard(lock_);
        return count_;
    }
    // Waits for `frames` more frames and returns the last one (empty after a time-out).
    Picture Next(int frames = 1) {
        std::unique_lock guard(lock_);
        const int target = count_ + frames;
        if (!changed_.wait_for(guard, std::chrono::seconds(10), [&] { return count_ >= target; }))
            return {};
        return last_;
    }
    bool WaitStopped(HRESULT* why) {
        std::unique_lock guard(lock_);
        const bool ok = changed_.wait_for(guard, std::chrono::seconds(10), [&] { return stopped_; });
        *why = why_;
        return ok;
    }

private:
    mutable std::mutex lock_;
    std::condition_variable changed_;
    int count_ = 0;
    bool stopped_ = false;
    HRESULT why_ = S_OK;
    Picture last_;
};

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
    RefPtr<IVideoCapture> Open(int index) {
        RefPtr<ICameraEnumerator> cameras(Granite::CCameraEnumerator::Create());
        IVideoCapture* capture = nullptr;
        EXPECT_EQ(cameras->createCapture(CameraId(index), &capture), S_OK);
        return RefPtr<IVideoCapture>(capture);
    }
    static Granite::IFrameSource* Frames(IVideoCapture* capture) {
        void* raw = nullptr;
        capture->QueryInterface(Granite::IID_IGraniteFrameSource, &raw);
        auto* source = static_cast<Granite::IFrameSource*>(raw);
        source->Release(); // the capture outlives every use in a test
        return source;
    }
    std::string Path(const char* name) const { return folder.filePath(name).toStdString(); }

    std::shared_ptr<Granite::CSimulatedHardware> hardware;
    QTemporaryDir folder;
};
