#pragma once
// A running simulated camera (full model, two microphones, capture objects registered, started at 320 x 240)
// in a temporary home; a thread-safe log of capture events and frames; a GStreamer element hidden for a
// while.
#include "SimulatedDevices.h"
#include "granite/capture/IFrameSource.h"
#include "granite/capture/RegisterGraniteCaptureObjects.h"
#include "services/CCaptureEventSinkBase.h"
#include "services/IMotionEventCallback.h"
#include "services/IMovieEventCallback.h"
#include "services/IStillEventCallback.h"
#include "support/CTempEnvironment.h"

#include <gst/gst.h>

#include <condition_variable>
#include <filesystem>
#include <thread>

// Every value a sink delivers, in order, from any thread; a frame counts as a 0.
class CEventLog : public IMovieEventCallback,
                  public IMotionEventCallback,
                  public IStillEventCallback,
                  public Granite::IFrameListener {
public:
    void OnMovieEvent(uint32_t value) override { Add(value); }
    void OnMotionEvent(uint32_t value) override { Add(value); }
    void OnStillEvent(uint32_t value) override { Add(value); }
    void OnFrame(GstSample*) override { Add(0); }
    void OnSourceStopped(HRESULT) override {}
    std::vector<uint32_t> Values() const {
        std::lock_guard guard(lock_);
        return values_;
    }
    size_t Count() const { return Values().size(); }
    bool WaitFor(size_t n, int timeoutMs = 15000) {
        std::unique_lock guard(lock_);
        return changed_.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                                 [&] { return values_.size() >= n; });
    }

private:
    void Add(uint32_t value) {
        std::unique_lock guard(lock_);
        values_.push_back(value);
        guard.unlock();
        changed_.notify_all();
    }
    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::vector<uint32_t> values_;
};

// Takes a GStreamer element out of the registry until it goes, as on a machine without its plug-in.
class CHiddenElement {
public:
    explicit CHiddenElement(const char* name) {
        if (!gst_is_initialized())
            gst_init(nullptr, nullptr);
        feature_ = gst_registry_find_feature(gst_registry_get(), name, GST_TYPE_ELEMENT_FACTORY);
        if (feature_ != nullptr)
            gst_registry_remove_feature(gst_registry_get(), feature_);
    }
    ~CHiddenElement() {
        if (feature_ != nullptr) {
            gst_registry_add_feature(gst_registry_get(), feature_); // the registry takes its own reference
            gst_object_unref(feature_);
        }
    }
    bool Hidden() const { return feature_ != nullptr; }

private:
    GstPluginFeature* feature_ = nullptr;
};

class RecordingFixture : public ::testing::Test {
protected:
    void SetUp() override {
        devices.Plug({{Granite::DeviceKind::Camera, "full"},
                      {Granite::DeviceKind::Microphone, "standard"},
                      {Granite::DeviceKind::Microphone, "standard"}});
        RegisterGraniteCaptureObjects();
        sinksAtStart = CCaptureEventSinkBase::LiveCount();
        capture = devices.OpenCamera();
        ASSERT_NE(capture, nullptr);
        ASSERT_EQ(capture->setVideoFormat(320, 240, 30), S_OK);
        ASSERT_EQ(
            capture->QueryInterface(Granite::IID_IGraniteFrameSource, reinterpret_cast<void**>(&frameSource)),
            S_OK);
        frameSource->AddFrameListener(&frames);
        ASSERT_EQ(capture->start(), S_OK);
    }
    void TearDown() override {
        if (frameSource != nullptr) {
            frameSource->RemoveFrameListener(&frames);
            frameSource->Release();
        }
        if (capture != nullptr) {
            capture->stop();
            capture->Release();
        }
        UnregisterGraniteCaptureObjects();
        devices.Unplug();
        EXPECT_EQ(CCaptureEventSinkBase::LiveCount(), sinksAtStart) << "a sink was left behind";
    }

    std::string Path(const std::string& name) const { return env.Path(name); }
    static bool Exists(const std::string& path) { return std::filesystem::exists(path); }
    static uint64_t SizeOf(const std::string& path) {
        std::error_code error;
        const auto size = std::filesystem::file_size(path, error);
        return error ? 0 : static_cast<uint64_t>(size);
    }
    // Lets `count` more frames arrive (two seconds' worth make a movie well above empty).
    bool RecordFrames(uint64_t count = 60) { return frames.WaitFor(frames.Count() + count, 20000); }

    CTempEnvironment env;
    CSimulatedDevices devices;
    IVideoCapture* capture = nullptr;
    Granite::IFrameSource* frameSource = nullptr;
    CEventLog frames; // the camera's frames, counted on its streaming thread
    int sinksAtStart = 0;
};
