#pragma once
// The cameras of the simulated hardware, seen through the camera interface. Its listeners hear everything
// the hardware reports (microphones and speakers too), so that a service listening here misses nothing.
#include "granite/devices/CSimulatedHardware.h"
#include "granite/devices/ICameraDevices.h"

#include <memory>

namespace Granite {

class CSimulatedCameras : public ICameraDevices {
public:
    explicit CSimulatedCameras(std::shared_ptr<CSimulatedHardware> hardware)
        : hardware_(std::move(hardware)) {}

    int32_t Count() const override { return hardware_->Count(DeviceKind::Camera); }
    bool IdAt(int32_t index, std::string& id) const override {
        return hardware_->IdAt(DeviceKind::Camera, index, id);
    }
    bool Exists(const std::string& id) const override { return hardware_->Exists(DeviceKind::Camera, id); }
    HRESULT Query(const std::string& id, int32_t property, int32_t* state) const override {
        return hardware_->Query(DeviceKind::Camera, id, property, state);
    }
    HRESULT Get(const std::string& id, int32_t property, Variant* value) const override {
        return hardware_->Get(DeviceKind::Camera, id, property, value);
    }
    HRESULT Set(const std::string& id, int32_t property, const Variant& value) override {
        return hardware_->Set(DeviceKind::Camera, id, property, value, WriteOrigin::Client);
    }
    HRESULT HasFeature(const std::string& id, const std::string& feature, bool* supported) const override {
        return hardware_->HasFeature(id, feature, supported);
    }
    HRESULT HasFaceTracking(const std::string& id, bool multiple, bool* supported) const override {
        return hardware_->HasFaceTracking(id, multiple, supported);
    }
    HRESULT PropertyFlag(const std::string& id, int32_t property, bool* flag) const override {
        return hardware_->PropertyFlag(id, property, flag);
    }
    HRESULT DriverName(const std::string& id, std::string* driver) const override {
        return hardware_->DriverName(id, driver);
    }
    HRESULT DeviceStrings(const std::string& id, int32_t which, std::string* first,
                          std::string* second) const override {
        return hardware_->DeviceStrings(id, which, first, second);
    }
    HRESULT CameraInUse(std::string* id) const override { return hardware_->CameraInUse(id); }
    HRESULT Attach(uint64_t client, const std::string& id) override { return hardware_->Attach(client, id); }
    HRESULT Detach(uint64_t client, const std::string& id) override { return hardware_->Detach(client, id); }
    void DetachAll(uint64_t client) override { hardware_->DetachAll(client); }
    void AddListener(IHardwareListener* listener) override { hardware_->AddListener(listener); }
    void RemoveListener(IHardwareListener* listener) override { hardware_->RemoveListener(listener); }

private:
    std::shared_ptr<CSimulatedHardware> hardware_;
};

} // namespace Granite
