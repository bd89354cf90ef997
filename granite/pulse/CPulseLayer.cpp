#include "granite/pulse/CPulseLayer.h"

#include <algorithm>
#include <cstring>

namespace Granite {
namespace {
// Peak readings a second: more than a level meter needs to move smoothly.
constexpr uint32_t kPeakRate = 25;

int32_t Percent(const pa_cvolume& volume) {
    const uint64_t average = pa_cvolume_avg(&volume);
    const uint64_t percent = (average * 100 + PA_VOLUME_NORM / 2) / PA_VOLUME_NORM;
    return static_cast<int32_t>(std::min<uint64_t>(percent, 100));
}

void Forget(pa_operation* operation) {
    if (operation != nullptr)
        pa_operation_unref(operation);
}

// Holds the main loop's lock for a scope.
class LoopLock {
public:
    explicit LoopLock(pa_threaded_mainloop* loop) : loop_(loop) { pa_threaded_mainloop_lock(loop_); }
    ~LoopLock() { pa_threaded_mainloop_unlock(loop_); }
    LoopLock(const LoopLock&) = delete;
    LoopLock& operator=(const LoopLock&) = delete;

private:
    pa_threaded_mainloop* loop_;
};
} // namespace

CPulseLayer::~CPulseLayer() {
    Stop();
}

bool CPulseLayer::Start(IPulseEvents* events) {
    if (loop_ != nullptr || events == nullptr)
        return false;
    loop_ = pa_threaded_mainloop_new();
    if (loop_ == nullptr)
        return false;
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, "Vidora");
    pa_proplist_sets(properties, PA_PROP_APPLICATION_ID, "vidora");
    context_ = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(loop_), "Vidora", properties);
    pa_proplist_free(properties);
    if (context_ == nullptr) {
        Stop();
        return false;
    }
    pa_context_set_state_callback(context_, OnContextState, this);
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        Stop();
        return false;
    }
    {
        LoopLock lock(loop_);
        if (pa_threaded_mainloop_start(loop_) < 0)
            return false; // Stop() in the destructor frees what was made
        running_ = true;
        if (!WaitReady())
            return false;
        events_ = events;
        pa_context_set_subscribe_callback(context_, OnSubscription, this);
        Forget(pa_context_subscribe(context_,
                                    static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SOURCE |
                                                                        PA_SUBSCRIPTION_MASK_SINK |
                                                                        PA_SUBSCRIPTION_MASK_SERVER),
                                    nullptr, nullptr));
        listsPending_ = 3;
        Forget(pa_context_get_server_info(context_, OnServerInfo, this));
        Forget(pa_context_get_source_info_list(context_, OnSourceListed, this));
        Forget(pa_context_get_sink_info_list(context_, OnSinkListed, this));
        while (listsPending_ > 0 && pa_context_get_state(context_) == PA_CONTEXT_READY)
            pa_threaded_mainloop_wait(loop_);
        if (pa_context_get_state(context_) != PA_CONTEXT_READY) {
            events_ = nullptr;
            return false;
        }
    }
    return true;
}

bool CPulseLayer::WaitReady() {
    // Called with the loop's lock held.
    for (;;) {
        const pa_context_state_t state = pa_context_get_state(context_);
        if (state == PA_CONTEXT_READY)
            return true;
        if (!PA_CONTEXT_IS_GOOD(state))
            return false;
        pa_threaded_mainloop_wait(loop_);
    }
}

void CPulseLayer::Stop() {
    if (loop_ == nullptr)
        return;
    if (running_) {
        LoopLock lock(loop_);
        events_ = nullptr;
        for (auto& [source, peaks] : peaks_)
            CloseStream(*peaks);
        peaks_.clear();
        if (context_ != nullptr)
            pa_context_disconnect(context_);
    }
    // Outside the lock: stopping waits for the loop's thread.
    if (running_)
        pa_threaded_mainloop_stop(loop_);
    running_ = false;
    if (context_ != nullptr) {
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_set_subscribe_callback(context_, nullptr, nullptr);
        pa_context_disconnect(context_);
        pa_context_unref(context_);
        context_ = nullptr;
    }
    pa_threaded_mainloop_free(loop_);
    loop_ = nullptr;
}

void CPulseLayer::SetVolume(DeviceKind kind, const std::string& name, int32_t volume) {
    if (loop_ == nullptr || !running_)
        return;
    LoopLock lock(loop_);
    const auto& channels = kind == DeviceKind::Microphone ? sourceChannels_ : sinkChannels_;
    auto it = channels.find(name);
    pa_cvolume levels;
    const auto value =
        static_cast<pa_volume_t>(static_cast<uint64_t>(std::clamp(volume, 0, 100)) * PA_VOLUME_NORM / 100);
    pa_cvolume_set(&levels, it == channels.end() ? 1 : it->second, value);
    if (kind == DeviceKind::Microphone)
        Forget(pa_context_set_source_volume_by_name(context_, name.c_str(), &levels, nullptr, nullptr));
    else
        Forget(pa_context_set_sink_volume_by_name(context_, name.c_str(), &levels, nullptr, nullptr));
}

void CPulseLayer::SetMute(DeviceKind kind, const std::string& name, bool mute) {
    if (loop_ == nullptr || !running_)
        return;
    LoopLock lock(loop_);
    if (kind == DeviceKind::Microphone)
        Forget(pa_context_set_source_mute_by_name(context_, name.c_str(), mute ? 1 : 0, nullptr, nullptr));
    else
        Forget(pa_context_set_sink_mute_by_name(context_, name.c_str(), mute ? 1 : 0, nullptr, nullptr));
}

void CPulseLayer::SetDefault(DeviceKind kind, const std::string& name) {
    if (loop_ == nullptr || !running_)
        return;
    LoopLock lock(loop_);
    if (kind == DeviceKind::Microphone)
        Forget(pa_context_set_default_source(context_, name.c_str(), nullptr, nullptr));
    else
        Forget(pa_context_set_default_sink(context_, name.c_str(), nullptr, nullptr));
}

void CPulseLayer::StartPeaks(const std::string& source) {
    if (loop_ == nullptr || !running_)
        return;
    LoopLock lock(loop_);
    if (peaks_.count(source) != 0)
        return;
    // One channel of floats at a low rate, each sample the peak of its stretch of the source's signal.
    pa_sample_spec spec;
    spec.format = PA_SAMPLE_FLOAT32NE;
    spec.rate = kPeakRate;
    spec.channels = 1;
    auto peaks = std::make_unique<PeakStream>();
    peaks->layer = this;
    peaks->source = source;
    peaks->stream = pa_stream_new(context_, "Vidora level meter", &spec, nullptr);
    if (peaks->stream == nullptr)
        return;
    pa_buffer_attr buffer;
    std::memset(&buffer, 0xff, sizeof buffer);
    buffer.fragsize = sizeof(float);
    pa_stream_set_read_callback(peaks->stream, OnPeakRead, peaks.get());
    const auto flags =
        static_cast<pa_stream_flags_t>(PA_STREAM_PEAK_DETECT | PA_STREAM_ADJUST_LATENCY |
                                       PA_STREAM_DONT_MOVE | PA_STREAM_DONT_INHIBIT_AUTO_SUSPEND);
    if (pa_stream_connect_record(peaks->stream, source.c_str(), &buffer, flags) < 0) {
        pa_stream_set_read_callback(peaks->stream, nullptr, nullptr);
        pa_stream_unref(peaks->stream);
        return;
    }
    peaks_[source] = std::move(peaks);
}

void CPulseLayer::StopPeaks(const std::string& source) {
    if (loop_ == nullptr || !running_)
        return;
    LoopLock lock(loop_);
    auto it = peaks_.find(source);
    if (it == peaks_.end())
        return;
    CloseStream(*it->second);
    peaks_.erase(it);
}

void CPulseLayer::CloseStream(PeakStream& peaks) {
    // Called with the loop's lock held.
    if (peaks.stream == nullptr)
        return;
    pa_stream_set_read_callback(peaks.stream, nullptr, nullptr);
    pa_stream_disconnect(peaks.stream);
    pa_stream_unref(peaks.stream);
    peaks.stream = nullptr;
}

void CPulseLayer::Report(const PulseDevice& device, uint8_t channels) {
    (device.kind == DeviceKind::Microphone ? sourceChannels_ : sinkChannels_)[device.name] = channels;
    if (events_ != nullptr)
        events_->OnDevice(device);
}

void CPulseLayer::OnContextState(pa_context* context, void* self) {
    auto* layer = static_cast<CPulseLayer*>(self);
    const pa_context_state_t state = pa_context_get_state(context);
    if (!PA_CONTEXT_IS_GOOD(state) && layer->events_ != nullptr && !layer->disconnectedTold_) {
        layer->disconnectedTold_ = true;
        layer->events_->OnDisconnected();
    }
    pa_threaded_mainloop_signal(layer->loop_, 0);
}

void CPulseLayer::OnSubscription(pa_context* context, pa_subscription_event_type_t type, uint32_t index,
                                 void* self) {
    const auto facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
    const auto what = type & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
    auto* layer = static_cast<CPulseLayer*>(self);
    if (facility == PA_SUBSCRIPTION_EVENT_SERVER) {
        Forget(pa_context_get_server_info(context, OnServerInfo, self));
        return;
    }
    const DeviceKind kind =
        facility == PA_SUBSCRIPTION_EVENT_SOURCE ? DeviceKind::Microphone : DeviceKind::Speaker;
    if (facility != PA_SUBSCRIPTION_EVENT_SOURCE && facility != PA_SUBSCRIPTION_EVENT_SINK)
        return;
    if (what == PA_SUBSCRIPTION_EVENT_REMOVE) {
        if (layer->events_ != nullptr)
            layer->events_->OnDeviceRemoved(kind, index);
        return;
    }
    if (kind == DeviceKind::Microphone)
        Forget(pa_context_get_source_info_by_index(context, index, OnSourceInfo, self));
    else
        Forget(pa_context_get_sink_info_by_index(context, index, OnSinkInfo, self));
}

void CPulseLayer::OnSourceInfo(pa_context*, const pa_source_info* info, int eol, void* self) {
    if (eol != 0 || info == nullptr || info->name == nullptr)
        return;
    PulseDevice device;
    device.kind = DeviceKind::Microphone;
    device.index = info->index;
    device.name = info->name;
    device.description = info->description != nullptr ? info->description : info->name;
    device.monitor = info->monitor_of_sink != PA_INVALID_INDEX;
    device.volume = Percent(info->volume);
    device.mute = info->mute != 0;
    static_cast<CPulseLayer*>(self)->Report(device, info->volume.channels);
}

void CPulseLayer::OnSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* self) {
    if (eol != 0 || info == nullptr || info->name == nullptr)
        return;
    PulseDevice device;
    device.kind = DeviceKind::Speaker;
    device.index = info->index;
    device.name = info->name;
    device.description = info->description != nullptr ? info->description : info->name;
    device.volume = Percent(info->volume);
    device.mute = info->mute != 0;
    static_cast<CPulseLayer*>(self)->Report(device, info->volume.channels);
}

void CPulseLayer::OnSourceListed(pa_context* context, const pa_source_info* info, int eol, void* self) {
    OnSourceInfo(context, info, eol, self);
    auto* layer = static_cast<CPulseLayer*>(self);
    if (eol != 0) {
        --layer->listsPending_;
        pa_threaded_mainloop_signal(layer->loop_, 0);
    }
}

void CPulseLayer::OnSinkListed(pa_context* context, const pa_sink_info* info, int eol, void* self) {
    OnSinkInfo(context, info, eol, self);
    auto* layer = static_cast<CPulseLayer*>(self);
    if (eol != 0) {
        --layer->listsPending_;
        pa_threaded_mainloop_signal(layer->loop_, 0);
    }
}

void CPulseLayer::OnServerInfo(pa_context*, const pa_server_info* info, void* self) {
    auto* layer = static_cast<CPulseLayer*>(self);
    if (info != nullptr && layer->events_ != nullptr)
        layer->events_->OnDefaults(info->default_source_name != nullptr ? info->default_source_name : "",
                                   info->default_sink_name != nullptr ? info->default_sink_name : "");
    if (layer->listsPending_ > 0) {
        // The first answer of Start(); later ones come from server changes, while nobody waits.
        --layer->listsPending_;
        pa_threaded_mainloop_signal(layer->loop_, 0);
    }
}

void CPulseLayer::OnPeakRead(pa_stream* stream, size_t, void* userdata) {
    auto* peaks = static_cast<PeakStream*>(userdata);
    float peak = -1.0f;
    while (pa_stream_readable_size(stream) > 0) {
        const void* data = nullptr;
        size_t bytes = 0;
        if (pa_stream_peek(stream, &data, &bytes) < 0)
            return;
        if (data == nullptr && bytes == 0)
            break;
        // A hole in the stream carries no reading; otherwise the last sample is the newest peak.
        if (data != nullptr && bytes >= sizeof(float)) {
            float sample = 0.0f;
            std::memcpy(&sample, static_cast<const char*>(data) + bytes - sizeof(float), sizeof sample);
            peak = std::max(peak, std::clamp(sample < 0.0f ? -sample : sample, 0.0f, 1.0f));
        }
        pa_stream_drop(stream);
    }
    if (peak >= 0.0f && peaks->layer->events_ != nullptr)
        peaks->layer->events_->OnPeak(peaks->source, peak);
}

} // namespace Granite
