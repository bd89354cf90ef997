#include "granite/capture/CVideoCapture.h"

#include "granite/capture/CV4l2Camera.h"
#include "granite/v4l2/CV4l2ShadeStates.h"
#include "platform/TextUtil.h"

#include <unistd.h>

#include <algorithm>
#include <climits>

namespace Granite {
namespace {
using namespace std::chrono_literals;

constexpr int32_t kFps = 30;
constexpr int32_t kMotionMaxWidth = 960;
constexpr auto kStartTimeout = 5s;
const char kHolderName[] = "Vidora";

// The still sizes, each with the feature a camera needs for it (none for the three small ones).
struct StillSizeRow {
    int32_t width, height;
    const char* feature;
};
constexpr StillSizeRow kStillSizes[] = {
    {320, 240, nullptr},      {640, 480, nullptr},      {960, 720, nullptr},
    {1280, 960, "1MPStill"},  {1600, 1200, "2MPStill"}, {2048, 1536, "3MPStill"},
    {2304, 1728, "4MPStill"}, {2592, 1944, "5MPStill"}, {3264, 2448, "8MPStill"},
};

std::string OwnExecutable() {
    char path[PATH_MAX] = {};
    const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string();
}
} // namespace

std::vector<StillFormat> CVideoCapture::StillFormatsOf(const CameraInfo& camera) {
    std::shared_ptr<CSimulatedHardware> hardware =
        camera.kind == CameraInfo::Kind::Simulated ? CSimulatedHardware::Current() : nullptr;
    auto has = [&](const char* feature) {
        bool supported = false;
        return hardware && SUCCEEDED(hardware->HasFeature(camera.devicePath, feature, &supported)) &&
               supported;
    };
    // Real cameras: motion detection is ours, in software; stills up to what a common webcam gives.
    const bool motion = !hardware || has("MoDetect");
    // Stills up to the largest size the camera names; a size in between is offered too (it is scaled).
    size_t last = 2;
    for (size_t i = 3; i < std::size(kStillSizes); ++i) {
        if (hardware ? has(kStillSizes[i].feature) : i == 3)
            last = i;
    }
    std::vector<StillFormat> formats;
    for (size_t i = 0; i <= last; ++i) {
        const StillSizeRow& s = kStillSizes[i];
        formats.push_back({s.width, s.height, kFps,
                           motion && s.width <= kMotionMaxWidth ? STILL_FORMAT_MOTION_CAPABLE : 0});
    }
    return formats;
}

CEffectsStage::ShadeQuery CVideoCapture::RealCameraShade(const CameraInfo& camera) {
    if (camera.kind != CameraInfo::Kind::V4l2)
        return {};
    return CV4l2ShadeStates::Process().QueryFor(camera.devicePath);
}

CVideoCapture* CVideoCapture::Create(const CameraInfo& camera) {
    return new CVideoCapture(camera);
}

CVideoCapture::CVideoCapture(const CameraInfo& camera)
    : camera_(camera), formats_(StillFormatsOf(camera)), realShade_(RealCameraShade(camera)) {
    CGstPipeline::EnsureInitialised();
    if (camera_.kind == CameraInfo::Kind::Simulated) {
        hardware_ = CSimulatedHardware::Current();
        hardware_->AddListener(this);
    }
}

CVideoCapture::~CVideoCapture() {
    if (hardware_)
        hardware_->RemoveListener(this);
    worker_.Stop();
    Running old = TakePipeline();
    if (running_.exchange(false))
        ReleaseCamera();
}

HRESULT CVideoCapture::QueryInterface(const Guid& iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (IsEqualGuid(iid, IID_IUnknown) || IsEqualGuid(iid, IID_IVideoCapture))
        *object = static_cast<IVideoCapture*>(this);
    else if (IsEqualGuid(iid, IID_ICaptureEventSource))
        *object = static_cast<ICaptureEventSource*>(this);
    else if (IsEqualGuid(iid, IID_IGraniteFrameSource))
        *object = static_cast<IFrameSource*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT CVideoCapture::stillFormatCount(int32_t* n) {
    if (n == nullptr)
        return E_POINTER;
    *n = static_cast<int32_t>(formats_.size());
    return S_OK;
}

HRESULT CVideoCapture::stillFormat(int32_t index, int32_t* width, int32_t* height, int32_t* fps,
                                   int32_t* flags) {
    if (width == nullptr || height == nullptr || fps == nullptr || flags == nullptr)
        return E_POINTER;
    if (index < 0 || index >= static_cast<int32_t>(formats_.size()))
        return E_INVALIDARG;
    const StillFormat& f = formats_[static_cast<size_t>(index)];
    *width = f.width;
    *height = f.height;
    *fps = f.fps;
    *flags = f.flags;
    return S_OK;
}

HRESULT CVideoCapture::setVideoFormat(int32_t width, int32_t height, int32_t fps) {
    const bool known = std::any_of(formats_.begin(), formats_.end(), [&](const StillFormat& f) {
        return f.width == width && f.height == height && (fps <= 0 || f.fps == fps);
    });
    if (!known)
        return E_INVALIDARG;
    std::lock_guard guard(lock_);
    liveWidth_ = width;
    liveHeight_ = height;
    liveFps_ = fps > 0 ? fps : kFps;
    return S_OK;
}

HRESULT CVideoCapture::setStillSize(int32_t width, int32_t height) {
    const bool known = std::any_of(formats_.begin(), formats_.end(), [&](const StillFormat& f) {
        return f.width == width && f.height == height;
    });
    if (!known)
        return E_INVALIDARG;
    std::lock_guard guard(lock_);
    stillWidth_ = width;
    stillHeight_ = height;
    return S_OK;
}

HRESULT CVideoCapture::start() {
    Running failed;
    std::lock_guard guard(lock_);
    if (running_)
        return S_OK;
    // Without a chosen format the picture runs at VGA, which every camera offers.
    const int32_t width = liveWidth_ > 0 ? liveWidth_ : 640, height = liveHeight_ > 0 ? liveHeight_ : 480;
    const int32_t fps = liveFps_ > 0 ? liveFps_ : kFps;
    if (hardware_) {
        StreamHolder holder{kHolderName, OwnExecutable(), static_cast<uint32_t>(getpid())};
        const HRESULT hr = hardware_->StartStreaming(camera_.devicePath, holder);
        if (FAILED(hr)) {
            unavailable_ = true;
            return hr == E_ACCESSDENIED ? E_ACCESSDENIED : E_FAIL;
        }
    }
    const HRESULT hr = StartPipeline(width, height, fps);
    if (FAILED(hr)) {
        failed = TakePipeline();
        ReleaseCamera();
        unavailable_ = true;
        return hr;
    }
    unavailable_ = false;
    running_ = true;
    return S_OK;
}

HRESULT CVideoCapture::StartPipeline(int32_t width, int32_t height, int32_t fps) {
    const uint64_t generation = ++generation_;
    pipeline_ = std::make_unique<CGstPipeline>("video-capture");
    GstElementPtr source;
    if (hardware_) {
        source_ = CSimulatedCameraSource::Create(hardware_, camera_.devicePath, width, height, fps);
        if (source_)
            source = RefObject(source_->Bin());
    } else {
        source = CV4l2Camera::MakeSource(camera_.devnode, width, height, fps);
    }
    // The effects engine draws between the camera and every taker of its frames, and puts the privacy shade
    // in place of the picture while the camera is muted.
    CSimulatedCameraSource* simulated = source_.get();
    effects_ = CEffectsStage::Create(
        camera_.devicePath, width, height,
        simulated != nullptr ? CEffectsStage::ShadeQuery([simulated] { return simulated->IsShaded(); })
                             : realShade_);
    GstElementPtr caps = MakeElement("capsfilter"), sink = MakeElement("appsink");
    if (!source || !effects_ || !caps || !sink)
        return E_FAIL;
    GstCapsPtr format(gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "I420", "width", G_TYPE_INT,
                                          width, "height", G_TYPE_INT, height, nullptr));
    g_object_set(caps.get(), "caps", format.get(), nullptr);
    // Frames are handed on as they come: a slow listener makes the sink drop old frames, never queue them.
    g_object_set(sink.get(), "max-buffers", 2u, "drop", TRUE, "sync", FALSE, nullptr);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = &CVideoCapture::OnNewSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink.get()), &callbacks, this, nullptr);
    if (!pipeline_->AddAndLink({source.get(), effects_->Bin(), caps.get(), sink.get()}))
        return E_FAIL;
    pipeline_->SetEventHandler([this, generation](const PipelineEvent& e) {
        if (e.kind == PipelineEvent::Kind::StateChanged)
            return;
        worker_.Post([this, generation] { Lose(generation, E_FAIL); });
    });
    if (FAILED(pipeline_->SetState(GST_STATE_PLAYING, kStartTimeout)))
        return E_FAIL;
    liveWidth_ = width;
    liveHeight_ = height;
    liveFps_ = fps;
    return S_OK;
}

CVideoCapture::Running CVideoCapture::TakePipeline() {
    Running taken;
    taken.pipeline = std::move(pipeline_);
    taken.source = std::move(source_);
    taken.effects = std::move(effects_);
    return taken;
}

void CVideoCapture::ReleaseCamera() {
    if (!hardware_)
        return;
    releasing_ = true;
    hardware_->StopStreaming(camera_.devicePath);
    releasing_ = false;
}

HRESULT CVideoCapture::stop() {
    {
        Running old;
        std::lock_guard guard(lock_);
        if (!running_)
            return S_OK;
        ++generation_;
        old = TakePipeline();
        running_ = false;
        ReleaseCamera();
    }
    listeners_.ForEach([](IFrameListener* l) { l->OnSourceStopped(S_OK); });
    return S_OK;
}

void CVideoCapture::Lose(uint64_t generation, HRESULT why) {
    {
        Running old;
        std::lock_guard guard(lock_);
        if (generation != generation_ || !running_)
            return;
        ++generation_;
        old = TakePipeline();
        running_ = false;
        unavailable_ = true;
        ReleaseCamera();
    }
    listeners_.ForEach([&](IFrameListener* l) { l->OnSourceStopped(why); });
    events_.Fire(VIDEO_EVENT_STOPPED);
}

void CVideoCapture::OnHardwareEvent(const HardwareEvent& event) {
    // The hardware's lock is held: decide nothing here, hand it to the worker.
    if (event.kind != DeviceKind::Camera || !Text::EqualsNoCase(event.id, camera_.devicePath))
        return;
    const bool freed = event.type == HardwareEvent::Type::CameraEvent &&
                       event.number == CamEvent::StreamingEnded && !releasing_;
    if (event.type == HardwareEvent::Type::Removed) {
        const uint64_t generation = generation_;
        worker_.Post([this, generation] { Lose(generation, E_DEVICE_NOT_CONNECTED); });
    } else if (event.type == HardwareEvent::Type::Arrived || freed) {
        worker_.Post([this] {
            if (!running_)
                events_.Fire(VIDEO_EVENT_AVAILABLE);
        });
    }
}

GstFlowReturn CVideoCapture::OnNewSample(GstAppSink* sink, gpointer self) {
    auto* capture = static_cast<CVideoCapture*>(self);
    GstSamplePtr sample(gst_app_sink_pull_sample(sink));
    if (!sample)
        return GST_FLOW_EOS;
    capture->listeners_.ForEach([&](IFrameListener* l) { l->OnFrame(sample.get()); });
    return GST_FLOW_OK;
}

HRESULT CVideoCapture::recordingParameters(int32_t* a, int32_t* b, int32_t* c) {
    if (a == nullptr || b == nullptr || c == nullptr)
        return E_POINTER;
    std::lock_guard guard(lock_);
    if (liveWidth_ <= 0)
        return E_FAIL;
    // About 0.25 bit per pixel, a key frame every two seconds; c is the frame rate the encoder runs at.
    *a = std::max(256, static_cast<int32_t>(int64_t{liveWidth_} * liveHeight_ * liveFps_ / 4000));
    *b = 2 * liveFps_;
    *c = liveFps_;
    return S_OK;
}

HRESULT CVideoCapture::outputFormat(int32_t* width, int32_t* height) {
    if (width == nullptr || height == nullptr)
        return E_POINTER;
    std::lock_guard guard(lock_);
    if (liveWidth_ <= 0)
        return E_FAIL;
    *width = liveWidth_;
    *height = liveHeight_;
    return S_OK;
}

HRESULT CVideoCapture::devicePath(std::string* path) {
    if (path == nullptr)
        return E_POINTER;
    *path = camera_.devicePath;
    return S_OK;
}

void CVideoCapture::AddFrameListener(IFrameListener* listener) {
    if (listener != nullptr)
        listeners_.Add(++lastListenerKey_, listener);
}

void CVideoCapture::RemoveFrameListener(IFrameListener* listener) {
    uint32_t key = 0;
    if (listeners_.KeyOf(listener, &key))
        listeners_.Remove(key);
}

void CVideoCapture::StillSize(int32_t* width, int32_t* height) const {
    std::lock_guard guard(lock_);
    *width = stillWidth_ > 0 ? stillWidth_ : liveWidth_;
    *height = stillHeight_ > 0 ? stillHeight_ : liveHeight_;
}

void CVideoCapture::LiveFormat(int32_t* width, int32_t* height, int32_t* fps) const {
    std::lock_guard guard(lock_);
    *width = liveWidth_;
    *height = liveHeight_;
    *fps = liveFps_;
}

} // namespace Granite
