#include "granite/devices/CAudioRoster.h"

#include "granite/devices/CSimulatedAudio.h"
#include "granite/pulse/CPulseSoundPlayer.h"

#include <algorithm>

namespace Granite {

std::shared_ptr<CAudioRoster> CAudioRoster::Create(std::shared_ptr<CSimulatedHardware> hardware,
                                                   std::shared_ptr<IAudioDevices> real) {
    std::shared_ptr<CAudioRoster> roster(new CAudioRoster(std::move(hardware), std::move(real)));
    roster->simulated_->AddListener(&roster->simulatedTap_);
    if (roster->real_) {
        roster->real_->AddListener(&roster->realTap_);
        roster->player_ = CPulseSoundPlayer::Shared();
        roster->player_->AddListener(&roster->soundTap_);
    }
    return roster;
}

CAudioRoster::CAudioRoster(std::shared_ptr<CSimulatedHardware> hardware, std::shared_ptr<IAudioDevices> real)
    : hardware_(std::move(hardware)), simulated_(std::make_unique<CSimulatedAudio>(hardware_)),
      real_(std::move(real)) {}

CAudioRoster::~CAudioRoster() {
    if (player_)
        player_->RemoveListener(&soundTap_);
    if (real_)
        real_->RemoveListener(&realTap_);
    simulated_->RemoveListener(&simulatedTap_);
}

bool CAudioRoster::IsDeviceEvent(const HardwareEvent& event) {
    return (event.kind == DeviceKind::Microphone || event.kind == DeviceKind::Speaker) &&
           (event.type == HardwareEvent::Type::PropertyChanged ||
            event.type == HardwareEvent::Type::Arrived || event.type == HardwareEvent::Type::Removed);
}

bool CAudioRoster::RealListed(DeviceKind kind) const {
    return real_ && real_->Count(kind) > 0;
}

bool CAudioRoster::IsRealSpeaker(const std::string& speakerId) const {
    return real_ && real_->Exists(DeviceKind::Speaker, speakerId);
}

HRESULT CAudioRoster::PlaySound(const std::string& speakerId, const std::string& path) {
    if (!IsRealSpeaker(speakerId))
        return E_DEVICE_NOT_CONNECTED;
    return player_->PlayFile(speakerId, path);
}

HRESULT CAudioRoster::PlayTestTone(const std::string& speakerId) {
    if (!IsRealSpeaker(speakerId))
        return E_DEVICE_NOT_CONNECTED;
    return player_->PlayTone(speakerId);
}

HRESULT CAudioRoster::StopSound(const std::string& speakerId) {
    // A sound whose speaker has just gone is still stopped (its status follows); with nothing playing, an
    // unknown speaker is not connected.
    if (player_ && player_->IsPlaying(speakerId))
        return player_->Stop(speakerId);
    return IsRealSpeaker(speakerId) ? S_FALSE : E_DEVICE_NOT_CONNECTED;
}

IAudioDevices& CAudioRoster::Active(DeviceKind kind) const {
    return RealListed(kind) ? *real_ : *simulated_;
}

IAudioDevices& CAudioRoster::Home(const std::string& microphoneId) const {
    if (real_ && real_->Exists(DeviceKind::Microphone, microphoneId))
        return *real_;
    return *simulated_;
}

HRESULT CAudioRoster::WatchLevel(const std::string& microphoneId, bool on) {
    return Home(microphoneId).WatchLevel(microphoneId, on);
}

HRESULT CAudioRoster::SetMonitoring(const std::string& microphoneId, bool on) {
    return Home(microphoneId).SetMonitoring(microphoneId, on);
}

void CAudioRoster::AddListener(IHardwareListener* listener) {
    std::lock_guard guard(lock_);
    if (listener != nullptr && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void CAudioRoster::RemoveListener(IHardwareListener* listener) {
    std::lock_guard guard(lock_);
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void CAudioRoster::Tell(const std::vector<HardwareEvent>& events) {
    std::lock_guard guard(lock_);
    for (const HardwareEvent& event : events) {
        for (IHardwareListener* listener : listeners_)
            listener->OnHardwareEvent(event);
    }
}

std::vector<HardwareEvent> CAudioRoster::SimulatedEvents(DeviceKind kind, HardwareEvent::Type type) const {
    std::vector<HardwareEvent> events;
    const int32_t n = simulated_->Count(kind);
    for (int32_t i = 0; i < n; ++i) {
        HardwareEvent event;
        event.type = type;
        event.kind = kind;
        if (simulated_->IdAt(kind, i, event.id))
            events.push_back(event);
    }
    return events;
}

void CAudioRoster::OnSourceEvent(const HardwareEvent& event, bool real) {
    if (!IsDeviceEvent(event))
        return;
    if (!real) {
        // The simulated devices of a kind say nothing while real ones are listed in their place.
        if (!RealListed(event.kind))
            Tell({event});
        return;
    }
    // The real backend tells its listeners after its list has changed, without its own lock held.
    const int32_t realCount = real_->Count(event.kind);
    std::vector<HardwareEvent> events;
    if (event.type == HardwareEvent::Type::Arrived && realCount == 1) {
        events = SimulatedEvents(event.kind, HardwareEvent::Type::Removed);
        events.push_back(event);
    } else if (event.type == HardwareEvent::Type::Removed && realCount == 0) {
        events.push_back(event);
        for (HardwareEvent& back : SimulatedEvents(event.kind, HardwareEvent::Type::Arrived))
            events.push_back(back);
    } else {
        events.push_back(event);
    }
    Tell(events);
}

} // namespace Granite
