#include "granite/devices/CSimulatedAudio.h"

namespace Granite {

int32_t CSimulatedAudio::Count(DeviceKind kind) const {
    return IsAudio(kind) ? hardware_->Count(kind) : 0;
}

bool CSimulatedAudio::IdAt(DeviceKind kind, int32_t index, std::string& id) const {
    return IsAudio(kind) && hardware_->IdAt(kind, index, id);
}

bool CSimulatedAudio::Exists(DeviceKind kind, const std::string& id) const {
    return IsAudio(kind) && hardware_->Exists(kind, id);
}

HRESULT CSimulatedAudio::Query(DeviceKind kind, const std::string& id, int32_t property,
                               int32_t* state) const {
    return IsAudio(kind) ? hardware_->Query(kind, id, property, state) : E_DEVICE_NOT_CONNECTED;
}

HRESULT CSimulatedAudio::Get(DeviceKind kind, const std::string& id, int32_t property, Variant* value) const {
    return IsAudio(kind) ? hardware_->Get(kind, id, property, value) : E_DEVICE_NOT_CONNECTED;
}

HRESULT CSimulatedAudio::Set(DeviceKind kind, const std::string& id, int32_t property, const Variant& value) {
    return IsAudio(kind) ? hardware_->Set(kind, id, property, value, WriteOrigin::Client)
                         : E_DEVICE_NOT_CONNECTED;
}

HRESULT CSimulatedAudio::Select(DeviceKind kind, const std::string& id) {
    return IsAudio(kind) ? hardware_->Select(kind, id) : E_DEVICE_NOT_CONNECTED;
}

HRESULT CSimulatedAudio::WatchLevel(const std::string& microphoneId, bool) {
    // The simulated voice is there whenever it is sampled.
    return hardware_->Exists(DeviceKind::Microphone, microphoneId) ? S_OK : E_DEVICE_NOT_CONNECTED;
}

HRESULT CSimulatedAudio::SampleLevel(const std::string& microphoneId) {
    return hardware_->SampleMicrophoneLevel(microphoneId);
}

HRESULT CSimulatedAudio::SetMonitoring(const std::string& microphoneId, bool on) {
    return hardware_->SetMonitoring(microphoneId, on);
}

} // namespace Granite
