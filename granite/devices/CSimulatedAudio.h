#pragma once
// The simulated hardware's microphones and speakers, as a device-manager service reaches audio devices.
// Its listeners hear everything the hardware tells.
#include "granite/devices/CSimulatedHardware.h"
#include "granite/devices/IAudioDevices.h"

#include <memory>

namespace Granite {

class CSimulatedAudio : public IAudioDevices {
public:
    explicit CSimulatedAudio(std::shared_ptr<CSimulatedHardware> hardware) : hardware_(std::move(hardware)) {}

    int32_t Count(DeviceKind kind) const override;
    bool IdAt(DeviceKind kind, int32_t index, std::string& id) const override;
    bool Exists(DeviceKind kind, const std::string& id) const override;
    HRESULT Query(DeviceKind kind, const std::string& id, int32_t property, int32_t* state) const override;
    HRESULT Get(DeviceKind kind, const std::string& id, int32_t property, Variant* value) const override;
    HRESULT Set(DeviceKind kind, const std::string& id, int32_t property, const Variant& value) override;
    HRESULT Select(DeviceKind kind, const std::string& id) override;
    HRESULT WatchLevel(const std::string& microphoneId, bool on) override;
    HRESULT SampleLevel(const std::string& microphoneId) override;
    HRESULT SetMonitoring(const std::string& microphoneId, bool on) override;
    void AddListener(IHardwareListener* listener) override { hardware_->AddListener(listener); }
    void RemoveListener(IHardwareListener* listener) override { hardware_->RemoveListener(listener); }

private:
    static bool IsAudio(DeviceKind kind) {
        return kind == DeviceKind::Microphone || kind == DeviceKind::Speaker;
    }

    std::shared_ptr<CSimulatedHardware> hardware_;
};

} // namespace Granite
