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

#include <condition_variable>
#include <memory>
#include <mutex>

template <class T> struct ReleaseRef {
    void operator()(T* p) const {
        if (p != nullptr)
            p->Release();
    }
};
template <class T> using RefPtr = std::unique_ptr<T, ReleaseRef<T>>;

// The luma plane of one frame, kept as a copy.
struct Luma {
    int width = 0, height = 0;
    std::vector<uint8_t> y;
    uint8_t At(int x, int row) const { return y[static_cast<size_t>(row) * width + x]; }
    double Mean() const {
        double sum = 0;
        for (uint8_t v : y)
            sum += v;
        return y.empty() ? 0 : sum / static_cast<double>(y.size());
    }
    // Mean absolute difference to another frame of the same size, after mapping its coordinates.
    template <class Map> double Distance(const Luma& other, Map map) const {
        double sum = 0;
        for (int row = 0; row < height; ++row)
            for (int x = 0; x < width; ++x) {
                auto [ox, orow] = map(x, row);
                sum += std::abs(At(x, row) - other.At(ox, orow));
            }
        return sum / (static_cast<double>(width) * height);
    }
};

// Counts frames and keeps a copy of the latest one's luma on request.
class CFrameCollector : public Granite::IFrameListener {
public:
    void OnFrame(GstSample* sample) override {
        GstVideoInfo info;
        GstVideoFrame frame;
        if (!gst_video_info_from_caps(&info, gst_sample_get_caps(sample)) ||
            !gst_video_frame_map(&frame, &info, gst_sample_get_buffer(sample), GST_MAP_READ))
            return;
        Luma luma;
        luma.width = GST_VIDEO_FRAME_WIDTH(&frame);
        luma.height = GST_VIDEO_FRAME_HEIGHT(&frame);
        const auto* data = static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
        const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
        for (int row = 0; row < luma.height; ++row)
            luma.y.insert(luma.y.end(), data + row * stride, data + row * stride + luma.width);
        gst_video_frame_unmap(&frame);
        {
            std::lock_guard guard(lock_);
            ++count_;
            last_ = std::move(luma);
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
    Luma Next(int frames = 1) {
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
    Luma last_;
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
