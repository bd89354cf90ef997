#include "granite/service/CServiceEventHub.h"

#include "granite/devices/CAudioRoster.h"
#include "platform/TextUtil.h"
#include "platform/Unknown.h"
#include "services/IInProcDeviceManager.h"
#include "services/IInProcDeviceManagerEvents.h"

#include <vector>

namespace Granite {

std::shared_ptr<CServiceEventHub> CServiceEventHub::Create(std::shared_ptr<CSimulatedHardware> hardware,
                                                           std::shared_ptr<ICameraDevices> cameras,
                                                           std::shared_ptr<IAudioDevices> audio) {
    std::shared_ptr<CServiceEventHub> hub(
        new CServiceEventHub(std::move(hardware), std::move(cameras), std::move(audio)));
    hub->cameras_->AddListener(hub.get());
    hub->audio_->AddListener(&hub->audioTap_);
    return hub;
}

CServiceEventHub::CServiceEventHub(std::shared_ptr<CSimulatedHardware> hardware,
                                   std::shared_ptr<ICameraDevices> cameras,
                                   std::shared_ptr<IAudioDevices> audio)
    : hardware_(std::move(hardware)), cameras_(std::move(cameras)), audio_(std::move(audio)),
      audioTellsSounds_(dynamic_cast<CAudioRoster*>(audio_.get()) != nullptr) {}

CServiceEventHub::~CServiceEventHub() {
    Shutdown();
}

std::string CServiceEventHub::Key(const std::string& id) {
    return Text::ToLower(id);
}

void CServiceEventHub::SetStarted() {
    std::lock_guard guard(lock_);
    started_ = true;
}

void CServiceEventHub::Shutdown() {
    // First the hardware: once this returns, nothing new is queued.
    cameras_->RemoveListener(this);
    audio_->RemoveListener(&audioTap_);
    std::vector<std::string> watched;
    {
        std::unique_lock guard(lock_);
        shutdown_ = true;
        sinks_.clear();
        for (const auto& [key, entry] : levels_)
            watched.push_back(entry.first);
        levels_.clear();
        if (!worker_.IsWorkerThread())
            callDone_.wait(guard, [this] { return inCall_ == 0; });
    }
    worker_.Stop();
    // A microphone nobody else meters stops being listened to.
    for (const std::string& id : watched)
        audio_->WatchLevel(id, false);
}

HRESULT CServiceEventHub::Advise(IInProcDeviceManagerEvents* sink, uint32_t* cookie) {
    if (sink == nullptr || cookie == nullptr)
        return E_POINTER;
    std::lock_guard guard(lock_);
    if (shutdown_)
        return E_UNEXPECTED;
    if (nextCookie_ == GDM_SINK_NOT_CONNECTED || nextCookie_ == 0)
        nextCookie_ = 1;
    *cookie = nextCookie_++;
    sinks_[*cookie] = sink;
    return S_OK;
}

HRESULT CServiceEventHub::Unadvise(uint32_t cookie) {
    std::unique_lock guard(lock_);
    if (sinks_.erase(cookie) == 0)
        return E_INVALIDARG;
    // The caller may free the sink as soon as this returns: wait for a call already running on it.
    if (!worker_.IsWorkerThread())
        callDone_.wait(guard, [&] { return inCall_ != cookie; });
    return S_OK;
}

HRESULT CServiceEventHub::Subscribe(const std::string& cameraId, int32_t code) {
    if (!cameras_->Exists(cameraId))
        return E_DEVICE_NOT_CONNECTED;
    std::lock_guard guard(lock_);
    ++subscriptions_[{Key(cameraId), code}];
    return S_OK;
}

HRESULT CServiceEventHub::Unsubscribe(const std::string& cameraId, int32_t code) {
    // A camera that has gone keeps its subscriptions until they are given back, so the counts stay right
    // when it comes back with the same path.
    std::lock_guard guard(lock_);
    auto it = subscriptions_.find({Key(cameraId), code});
    if (it == subscriptions_.end())
        return E_INVALIDARG;
    if (--it->second == 0)
        subscriptions_.erase(it);
    return S_OK;
}

bool CServiceEventHub::IsSubscribed(const std::string& cameraId, int32_t code) const {
    std::lock_guard guard(lock_);
    return subscriptions_.count({Key(cameraId), code}) != 0;
}

HRESULT CServiceEventHub::StartLevels(const std::string& microphoneId, LevelSource source) {
    if (!audio_->Exists(DeviceKind::Microphone, microphoneId))
        return E_DEVICE_NOT_CONNECTED;
    bool first = false;
    {
        std::lock_guard guard(lock_);
        if (shutdown_)
            return E_UNEXPECTED;
        auto& entry = levels_[Key(microphoneId)];
        entry.first = microphoneId;
        first = entry.second.empty();
        entry.second.insert(source);
        ScheduleLevelTick();
    }
    // Outside the hub's lock: the devices call back into the hub with their own lock held.
    if (first)
        audio_->WatchLevel(microphoneId, true);
    return S_OK;
}

HRESULT CServiceEventHub::StopLevels(const std::string& microphoneId, LevelSource source) {
    // Asked before taking the hub's lock: the hardware calls into the hub with its own lock held.
    const bool exists = audio_->Exists(DeviceKind::Microphone, microphoneId);
    {
        std::lock_guard guard(lock_);
        auto it = levels_.find(Key(microphoneId));
        if (it == levels_.end() || it->second.second.erase(source) == 0)
            return exists ? S_FALSE : E_DEVICE_NOT_CONNECTED;
        if (!it->second.second.empty())
            return S_OK;
        levels_.erase(it);
    }
    audio_->WatchLevel(microphoneId, false);
    return S_OK;
}

void CServiceEventHub::ScheduleLevelTick() {
    // Called with lock_ held.
    if (levelTickQueued_ || levels_.empty() || shutdown_)
        return;
    std::weak_ptr<CServiceEventHub> weak = weak_from_this();
    levelTickQueued_ = worker_.PostDelayed(hardware_->LevelPeriod(), [weak] {
        if (auto hub = weak.lock())
            hub->LevelTick();
    }) != 0;
}

void CServiceEventHub::LevelTick() {
    std::vector<std::string> microphones;
    {
        std::lock_guard guard(lock_);
        levelTickQueued_ = false;
        for (const auto& [key, entry] : levels_)
            microphones.push_back(entry.first);
    }
    // Outside the hub's lock: the hardware calls back into OnHardwareEvent.
    std::vector<std::string> gone;
    for (const std::string& id : microphones) {
        if (audio_->SampleLevel(id) == E_DEVICE_NOT_CONNECTED)
            gone.push_back(id);
    }
    std::lock_guard guard(lock_);
    for (const std::string& id : gone)
        levels_.erase(Key(id));
    ScheduleLevelTick();
}

void CServiceEventHub::ScheduleSoundEnd(const std::string& speakerId, uint64_t token, uint32_t milliseconds) {
    std::weak_ptr<CServiceEventHub> weak = weak_from_this();
    worker_.PostDelayed(std::chrono::milliseconds(milliseconds), [weak, speakerId, token] {
        if (auto hub = weak.lock())
            hub->hardware_->FinishSound(speakerId, token);
    });
}

void CServiceEventHub::AudioTap::OnHardwareEvent(const HardwareEvent& event) {
    // A roster tells only the real speakers' sounds; other audio devices pass on the hardware's, which
    // come with the hardware's events already.
    if (CAudioRoster::IsDeviceEvent(event) ||
        (hub_.audioTellsSounds_ && event.type == HardwareEvent::Type::SoundStatus))
        hub_.Queue(event);
}

void CServiceEventHub::OnHardwareEvent(const HardwareEvent& event) {
    // The microphones' and speakers' own events come from the audio devices; the simulated speakers' sounds
    // come from here.
    if (!CAudioRoster::IsDeviceEvent(event))
        Queue(event);
}

void CServiceEventHub::Queue(const HardwareEvent& event) {
    // Runs with the hardware's lock held: decide and queue, nothing more.
    std::lock_guard guard(lock_);
    if (shutdown_ || !started_)
        return;
    if (event.type == HardwareEvent::Type::CameraEvent &&
        subscriptions_.count({Key(event.id), event.number}) == 0)
        return;
    std::shared_ptr<CServiceEventHub> self = weak_from_this().lock();
    if (!self)
        return; // going away
    worker_.Post([self, event] { self->Dispatch(event); });
}

void CServiceEventHub::Dispatch(const HardwareEvent& event) {
    std::vector<uint32_t> cookies;
    {
        std::lock_guard guard(lock_);
        if (shutdown_)
            return;
        for (const auto& [cookie, sink] : sinks_)
            cookies.push_back(cookie);
    }
    for (uint32_t cookie : cookies) {
        IInProcDeviceManagerEvents* sink = nullptr;
        {
            std::lock_guard guard(lock_);
            auto it = sinks_.find(cookie);
            if (shutdown_ || it == sinks_.end())
                continue; // unadvised meanwhile
            sink = it->second;
            inCall_ = cookie;
        }
        Deliver(event, *sink);
        {
            std::lock_guard guard(lock_);
            inCall_ = 0;
        }
        callDone_.notify_all();
    }
}

void CServiceEventHub::Deliver(const HardwareEvent& e, IInProcDeviceManagerEvents& sink) {
    switch (e.type) {
    case HardwareEvent::Type::PropertyChanged:
        switch (e.kind) {
        case DeviceKind::Camera:
            sink.OnVideoPropertyChanged(e.id, 0, e.number, e.newValue, e.oldValue);
            break;
        case DeviceKind::Microphone:
            sink.OnMicrophonePropertyChanged(e.id, 0, e.number, e.newValue, e.oldValue);
            break;
        case DeviceKind::Speaker:
            sink.OnSpeakerPropertyChanged(e.id, 0, e.number, e.newValue, e.oldValue);
            break;
        case DeviceKind::Hid:
            // The report goes out as data; switches and numbers as changes.
            if (e.number == HidProp::Report)
                sink.OnHIDPropertyChanged(e.id, 0, e.number, e.newValue);
            else
                sink.OnHIDPropertyChanged2(e.id, 0, e.number, e.newValue, e.oldValue);
            break;
        }
        break;
    case HardwareEvent::Type::CameraEvent:
        sink.OnVideoDeviceEvent(e.id, e.number, 0, Variant());
        break;
    case HardwareEvent::Type::Arrived:
        sink.OnDeviceArrived(static_cast<int32_t>(e.kind), e.id);
        break;
    case HardwareEvent::Type::Removed:
        sink.OnDeviceRemoved(static_cast<int32_t>(e.kind), e.id);
        break;
    case HardwareEvent::Type::MotorStatus:
        sink.OnVideoMotorStatus(e.id, e.status);
        break;
    case HardwareEvent::Type::SoundStatus:
        sink.OnPlaySoundFileStatus(e.id, e.status);
        break;
    case HardwareEvent::Type::GlobalOption:
        sink.OnGlobalPropertyChanged(e.number, e.newValue);
        break;
    }
}

} // namespace Granite
