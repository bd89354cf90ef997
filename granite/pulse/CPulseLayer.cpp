#include "granite/pulse/CPulseLayer.h"

#include <algorithm>

namespace Granite {
namespace {
// How long a new connection waits after a failed one.
constexpr pa_usec_t kRetryDelay = PA_USEC_PER_SEC;
// How long Start() waits for a server to list its devices before letting them come later.
constexpr pa_usec_t kStartWait = 3 * PA_USEC_PER_SEC;
// How long the end of the layer waits for the server to unload its loopbacks.
constexpr pa_usec_t kReleaseWait = 2 * PA_USEC_PER_SEC;

int32_t Percent(const pa_cvolume& volume) {
    const uint64_t average = pa_cvolume_avg(&volume);
    const uint64_t percent = (average * 100 + PA_VOLUME_NORM / 2) / PA_VOLUME_NORM;
    return static_cast<int32_t>(std::min<uint64_t>(percent, 100));
}

void Forget(pa_operation* operation) {
    if (operation != nullptr)
        pa_operation_unref(operation);
}

pa_time_event* After(pa_threaded_mainloop* loop, pa_usec_t delay, pa_time_event_cb_t callback,
                     void* userdata) {
    // A wall-clock time the main loop turns into its monotonic clock when the event is made.
    struct timeval when;
    pa_gettimeofday(&when);
    pa_timeval_add(&when, delay);
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop);
    return api->time_new(api, &when, callback, userdata);
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

CPulseLayer::CPulseLayer()
    : peaks_([this](const std::string& source, float peak) {
          if (events_ != nullptr)
              events_->OnPeak(source, peak);
      }),
      loopbacks_([this] { pa_threaded_mainloop_signal(loop_, 0); }) {}

CPulseLayer::~CPulseLayer() {
    Stop();
}

bool CPulseLayer::Start(IPulseEvents* events) {
    if (loop_ != nullptr || events == nullptr)
        return false;
    loop_ = pa_threaded_mainloop_new();
    if (loop_ == nullptr)
        return false;
    events_ = events;
    LoopLock lock(loop_);
    if (pa_threaded_mainloop_start(loop_) < 0) {
        events_ = nullptr;
        return false; // Stop() in the destructor frees the loop
    }
    running_ = true;
    Connect();
    WaitFor([this] { return attempted_; }, kStartWait);
    return true;
}

void CPulseLayer::Connect() {
    DropContext();
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, "Vidora");
    pa_proplist_sets(properties, PA_PROP_APPLICATION_ID, "vidora");
    context_ = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(loop_), "Vidora", properties);
    pa_proplist_free(properties);
    if (context_ != nullptr) {
        pa_context_set_state_callback(context_, OnContextState, this);
        // A failure may already have been told to OnContextState; a retry is then pending.
        if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0)
            return;
    }
    attempted_ = true;
    ScheduleRetry();
    pa_threaded_mainloop_signal(loop_, 0);
}

void CPulseLayer::DropContext() {
    if (context_ == nullptr)
        return;
    pa_context_set_state_callback(context_, nullptr, nullptr);
    pa_context_set_subscribe_callback(context_, nullptr, nullptr);
    pa_context_disconnect(context_);
    pa_context_unref(context_);
    context_ = nullptr;
}

void CPulseLayer::ScheduleRetry() {
    if (retry_ == nullptr && !stopping_)
        retry_ = After(loop_, kRetryDelay, OnRetry, this);
}

void CPulseLayer::OnRetry(pa_mainloop_api* api, pa_time_event* event, const struct timeval*, void* self) {
    auto* layer = static_cast<CPulseLayer*>(self);
    api->time_free(event);
    layer->retry_ = nullptr;
    if (!layer->stopping_)
        layer->Connect();
}

bool CPulseLayer::WaitFor(const std::function<bool()>& done, pa_usec_t timeout) {
    struct Alarm {
        pa_threaded_mainloop* loop;
        bool rang = false;
    } alarm{loop_};
    pa_time_event* event = After(
        loop_, timeout,
        [](pa_mainloop_api*, pa_time_event*, const struct timeval*, void* userdata) {
            auto* a = static_cast<Alarm*>(userdata);
            a->rang = true;
            pa_threaded_mainloop_signal(a->loop, 0);
        },
        &alarm);
    while (!done() && !alarm.rang)
        pa_threaded_mainloop_wait(loop_);
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_);
    api->time_free(event);
    return done();
}

void CPulseLayer::Stop() {
    if (loop_ == nullptr)
        return;
    if (running_) {
        LoopLock lock(loop_);
        stopping_ = true;
        if (retry_ != nullptr) {
            pa_threaded_mainloop_get_api(loop_)->time_free(retry_);
            retry_ = nullptr;
        }
        // A loopback left loaded would go on playing the microphone after the program is gone.
        if (context_ != nullptr && pa_context_get_state(context_) == PA_CONTEXT_READY) {
            loopbacks_.ReleaseAll(context_);
            WaitFor(
                [this] { return loopbacks_.Settled() || pa_context_get_state(context_) != PA_CONTEXT_READY; },
                kReleaseWait);
        }
        events_ = nullptr;
        peaks_.CloseAll();
        loopbacks_.Lost();
        if (context_ != nullptr)
            pa_context_disconnect(context_);
    }
    // Outside the lock: stopping waits for the loop's thread.
    if (running_)
        pa_threaded_mainloop_stop(loop_);
    running_ = false;
    DropContext();
    pa_threaded_mainloop_free(loop_);
    loop_ = nullptr;
}

pa_context* CPulseLayer::Ready() const {
    // Requests go out as soon as the connection is up: a device is told only once it is listed here.
    return context_ != nullptr && !stopping_ && pa_context_get_state(context_) == PA_CONTEXT_READY ? context_
                                                                                                   : nullptr;
}

void CPulseLayer::SetVolume(DeviceKind kind, const std::string& name, int32_t volume) {
    if (!running_)
        return;
    LoopLock lock(loop_);
    pa_context* context = Ready();
    if (context == nullptr)
        return;
    const auto& listed = kind == DeviceKind::Microphone ? sources_ : sinks_;
    auto it = std::find_if(listed.begin(), listed.end(),
                           [&](const auto& entry) { return entry.second.name == name; });
    pa_cvolume levels;
    const auto value =
        static_cast<pa_volume_t>(static_cast<uint64_t>(std::clamp(volume, 0, 100)) * PA_VOLUME_NORM / 100);
    pa_cvolume_set(&levels, it == listed.end() ? 1 : it->second.channels, value);
    if (kind == DeviceKind::Microphone)
        Forget(pa_context_set_source_volume_by_name(context, name.c_str(), &levels, nullptr, nullptr));
    else
        Forget(pa_context_set_sink_volume_by_name(context, name.c_str(), &levels, nullptr, nullptr));
}

void CPulseLayer::SetMute(DeviceKind kind, const std::string& name, bool mute) {
    if (!running_)
        return;
    LoopLock lock(loop_);
    pa_context* context = Ready();
    if (context == nullptr)
        return;
    if (kind == DeviceKind::Microphone)
        Forget(pa_context_set_source_mute_by_name(context, name.c_str(), mute ? 1 : 0, nullptr, nullptr));
    else
        Forget(pa_context_set_sink_mute_by_name(context, name.c_str(), mute ? 1 : 0, nullptr, nullptr));
}

void CPulseLayer::SetDefault(DeviceKind kind, const std::string& name) {
    if (!running_)
        return;
    LoopLock lock(loop_);
    pa_context* context = Ready();
    if (context == nullptr)
        return;
    if (kind == DeviceKind::Microphone)
        Forget(pa_context_set_default_source(context, name.c_str(), nullptr, nullptr));
    else
        Forget(pa_context_set_default_sink(context, name.c_str(), nullptr, nullptr));
}

bool CPulseLayer::IsListed(const std::string& source) const {
    return std::any_of(sources_.begin(), sources_.end(),
                       [&](const auto& entry) { return entry.second.name == source; });
}

void CPulseLayer::StartPeaks(const std::string& source) {
    if (!running_)
        return;
    LoopLock lock(loop_);
    pa_context* context = Ready();
    if (context != nullptr && IsListed(source))
        peaks_.Open(context, source);
}

void CPulseLayer::StopPeaks(const std::string& source) {
    if (!running_)
        return;
    LoopLock lock(loop_);
    peaks_.Close(source);
}

void CPulseLayer::StartLoopback(const std::string& source) {
    if (!running_)
        return;
    LoopLock lock(loop_);
    pa_context* context = Ready();
    if (context != nullptr && IsListed(source))
        loopbacks_.Want(context, source, true);
}

void CPulseLayer::StopLoopback(const std::string& source) {
    if (!running_)
        return;
    LoopLock lock(loop_);
    loopbacks_.Want(Ready(), source, false);
}

void CPulseLayer::OnReady() {
    told_ = true; // from here on, a lost connection takes the devices told with it
    pa_context_set_subscribe_callback(context_, OnSubscription, this);
    Forget(pa_context_subscribe(context_,
                                static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SOURCE |
                                                                    PA_SUBSCRIPTION_MASK_SINK |
                                                                    PA_SUBSCRIPTION_MASK_SERVER),
                                nullptr, nullptr));
    loopbacks_.SweepLeftovers(context_);
    listsPending_ = 3;
    Forget(pa_context_get_server_info(context_, OnServerListed, this));
    Forget(pa_context_get_source_info_list(context_, OnSourceListed, this));
    Forget(pa_context_get_sink_info_list(context_, OnSinkListed, this));
}

void CPulseLayer::ListDone() {
    if (listsPending_ > 0 && --listsPending_ == 0)
        attempted_ = true;
    pa_threaded_mainloop_signal(loop_, 0);
}

void CPulseLayer::OnLost() {
    const bool tell = told_;
    told_ = false;
    listsPending_ = 0;
    sources_.clear();
    sinks_.clear();
    peaks_.CloseAll();
    loopbacks_.Lost();
    attempted_ = true;
    ScheduleRetry();
    if (tell && events_ != nullptr)
        events_->OnDisconnected();
}

void CPulseLayer::Report(const PulseDevice& device, uint8_t channels) {
    (device.kind == DeviceKind::Microphone ? sources_ : sinks_)[device.index] = Listed{device.name, channels};
    if (events_ != nullptr)
        events_->OnDevice(device);
}

void CPulseLayer::OnContextState(pa_context* context, void* self) {
    auto* layer = static_cast<CPulseLayer*>(self);
    if (context != layer->context_)
        return;
    const pa_context_state_t state = pa_context_get_state(context);
    if (state == PA_CONTEXT_READY)
        layer->OnReady();
    else if (!PA_CONTEXT_IS_GOOD(state))
        layer->OnLost();
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
    if (facility != PA_SUBSCRIPTION_EVENT_SOURCE && facility != PA_SUBSCRIPTION_EVENT_SINK)
        return;
    const DeviceKind kind =
        facility == PA_SUBSCRIPTION_EVENT_SOURCE ? DeviceKind::Microphone : DeviceKind::Speaker;
    if (what == PA_SUBSCRIPTION_EVENT_REMOVE) {
        auto& listed = kind == DeviceKind::Microphone ? layer->sources_ : layer->sinks_;
        auto it = listed.find(index);
        if (it != listed.end()) {
            const std::string name = it->second.name;
            listed.erase(it);
            // A source listed again under a new index before its old one went keeps what it does.
            const bool still = std::any_of(listed.begin(), listed.end(),
                                           [&](const auto& entry) { return entry.second.name == name; });
            if (kind == DeviceKind::Microphone && !still) {
                layer->peaks_.Close(name);
                layer->loopbacks_.SourceRemoved(layer->Ready(), name);
            }
        }
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
    if (eol != 0)
        static_cast<CPulseLayer*>(self)->ListDone();
}

void CPulseLayer::OnSinkListed(pa_context* context, const pa_sink_info* info, int eol, void* self) {
    OnSinkInfo(context, info, eol, self);
    if (eol != 0)
        static_cast<CPulseLayer*>(self)->ListDone();
}

void CPulseLayer::OnServerInfo(pa_context*, const pa_server_info* info, void* self) {
    auto* layer = static_cast<CPulseLayer*>(self);
    if (info != nullptr && layer->events_ != nullptr)
        layer->events_->OnDefaults(info->default_source_name != nullptr ? info->default_source_name : "",
                                   info->default_sink_name != nullptr ? info->default_sink_name : "");
}

void CPulseLayer::OnServerListed(pa_context* context, const pa_server_info* info, void* self) {
    OnServerInfo(context, info, self);
    static_cast<CPulseLayer*>(self)->ListDone();
}

} // namespace Granite
