#include "granite/devices/CCameraRoster.h"

#include "granite/devices/CSimulatedCameras.h"
#include "granite/devices/CSimulatedDeviceChoice.h"

#include <algorithm>
#include <cstdlib>

namespace Granite {
namespace {
bool IsCameraEvent(const HardwareEvent& event) {
    return event.kind == DeviceKind::Camera && event.type != HardwareEvent::Type::SoundStatus &&
           event.type != HardwareEvent::Type::GlobalOption;
}
} // namespace

std::shared_ptr<CCameraRoster> CCameraRoster::Create(std::shared_ptr<CSimulatedHardware> hardware,
                                                     std::shared_ptr<ICameraDevices> real) {
    std::shared_ptr<CCameraRoster> roster(new CCameraRoster(std::move(hardware), std::move(real)));
    roster->hardware_->AddListener(&roster->simulatedTap_);
    if (roster->real_)
        roster->real_->AddListener(&roster->realTap_);
    return roster;
}

CCameraRoster::CCameraRoster(std::shared_ptr<CSimulatedHardware> hardware,
                             std::shared_ptr<ICameraDevices> real)
    : hardware_(std::move(hardware)), simulated_(std::make_unique<CSimulatedCameras>(hardware_)),
      real_(std::move(real)) {}

CCameraRoster::~CCameraRoster() {
    if (real_)
        real_->RemoveListener(&realTap_);
    hardware_->RemoveListener(&simulatedTap_);
}

bool CCameraRoster::SimulationAsked() {
    return std::getenv(CSimulatedDeviceChoice::kVariable) != nullptr || CSimulatedHardware::CurrentWasSet();
}

bool CCameraRoster::RealListed() const {
    return real_ && real_->Count() > 0;
}

ICameraDevices& CCameraRoster::Active() const {
    return RealListed() ? *real_ : *simulated_;
}

HRESULT CCameraRoster::Detach(uint64_t client, const std::string& id) {
    // A camera attached before the lists changed over is still let go where it lives.
    if (real_ && real_->Exists(id))
        return real_->Detach(client, id);
    return simulated_->Detach(client, id);
}

void CCameraRoster::DetachAll(uint64_t client) {
    if (real_)
        real_->DetachAll(client);
    simulated_->DetachAll(client);
}

void CCameraRoster::AddListener(IHardwareListener* listener) {
    std::lock_guard guard(lock_);
    if (listener != nullptr && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void CCameraRoster::RemoveListener(IHardwareListener* listener) {
    std::lock_guard guard(lock_);
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void CCameraRoster::Tell(const std::vector<HardwareEvent>& events) {
    std::lock_guard guard(lock_);
    for (const HardwareEvent& event : events) {
        for (IHardwareListener* listener : listeners_)
            listener->OnHardwareEvent(event);
    }
}

std::vector<HardwareEvent> CCameraRoster::SimulatedCameraEvents(HardwareEvent::Type type) const {
    std::vector<HardwareEvent> events;
    const int32_t n = simulated_->Count();
    for (int32_t i = 0; i < n; ++i) {
        HardwareEvent event;
        event.type = type;
        event.kind = DeviceKind::Camera;
        if (simulated_->IdAt(i, event.id))
            events.push_back(event);
    }
    return events;
}

void CCameraRoster::OnSourceEvent(const HardwareEvent& event, bool real) {
    if (!real) {
        // The simulated cameras say nothing while real ones are listed in their place.
        if (!IsCameraEvent(event) || !RealListed())
            Tell({event});
        return;
    }
    // The real backend tells its listeners after its list has changed, without its own lock held.
    const int32_t realCount = real_->Count();
    std::vector<HardwareEvent> events;
    if (event.type == HardwareEvent::Type::Arrived && realCount == 1) {
        events = SimulatedCameraEvents(HardwareEvent::Type::Removed);
        events.push_back(event);
    } else if (event.type == HardwareEvent::Type::Removed && realCount == 0) {
        events.push_back(event);
        for (HardwareEvent& back : SimulatedCameraEvents(HardwareEvent::Type::Arrived))
            events.push_back(back);
    } else {
        events.push_back(event);
    }
    Tell(events);
}

} // namespace Granite
