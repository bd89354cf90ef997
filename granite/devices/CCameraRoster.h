#pragma once
// The cameras a device-manager service lists: the real cameras when there are any, else the simulated ones.
// Asking for simulated devices (VIDORA_SIMULATED_DEVICES, or a test handing in its own hardware) lists the
// simulated cameras only, so that a run chosen for simulation behaves the same on every machine.
//
// When the first real camera arrives the simulated cameras leave (each with a removal), and when the last
// real camera leaves they come back (each with an arrival), so a client's list follows without a restart.
// Every other event of the simulated hardware (microphones, speakers, HID devices, audio options) passes
// through unchanged.
#include "granite/devices/CSimulatedHardware.h"
#include "granite/devices/ICameraDevices.h"

#include <memory>
#include <mutex>
#include <vector>

namespace Granite {

class CCameraRoster : public ICameraDevices {
public:
    // `real` may be null (no real camera backend: the simulated cameras only).
    static std::shared_ptr<CCameraRoster> Create(std::shared_ptr<CSimulatedHardware> hardware,
                                                 std::shared_ptr<ICameraDevices> real);
    ~CCameraRoster() override;
    CCameraRoster(const CCameraRoster&) = delete;
    CCameraRoster& operator=(const CCameraRoster&) = delete;

    // Whether this run asked for the simulated cameras: VIDORA_SIMULATED_DEVICES is set, or the process's
    // hardware was handed in rather than made from the environment.
    static bool SimulationAsked();

    // Whether the real cameras are the ones listed now.
    bool RealListed() const;

    int32_t Count() const override { return Active().Count(); }
    bool IdAt(int32_t index, std::string& id) const override { return Active().IdAt(index, id); }
    bool Exists(const std::string& id) const override { return Active().Exists(id); }
    HRESULT Query(const std::string& id, int32_t property, int32_t* state) const override {
        return Active().Query(id, property, state);
    }
    HRESULT Get(const std::string& id, int32_t property, Variant* value) const override {
        return Active().Get(id, property, value);
    }
    HRESULT Set(const std::string& id, int32_t property, const Variant& value) override {
        return Active().Set(id, property, value);
    }
    HRESULT HasFeature(const std::string& id, const std::string& feature, bool* supported) const override {
        return Active().HasFeature(id, feature, supported);
    }
    HRESULT HasFaceTracking(const std::string& id, bool multiple, bool* supported) const override {
        return Active().HasFaceTracking(id, multiple, supported);
    }
    HRESULT PropertyFlag(const std::string& id, int32_t property, bool* flag) const override {
        return Active().PropertyFlag(id, property, flag);
    }
    HRESULT DriverName(const std::string& id, std::string* driver) const override {
        return Active().DriverName(id, driver);
    }
    HRESULT DeviceStrings(const std::string& id, int32_t which, std::string* first,
                          std::string* second) const override {
        return Active().DeviceStrings(id, which, first, second);
    }
    HRESULT CameraInUse(std::string* id) const override { return Active().CameraInUse(id); }
    HRESULT Attach(uint64_t client, const std::string& id) override { return Active().Attach(client, id); }
    HRESULT Detach(uint64_t client, const std::string& id) override;
    void DetachAll(uint64_t client) override;

    void AddListener(IHardwareListener* listener) override;
    void RemoveListener(IHardwareListener* listener) override;

private:
    // Hears one source and tells the roster which one it was.
    class Tap : public IHardwareListener {
    public:
        Tap(CCameraRoster& roster, bool real) : roster_(roster), real_(real) {}
        void OnHardwareEvent(const HardwareEvent& event) override { roster_.OnSourceEvent(event, real_); }

    private:
        CCameraRoster& roster_;
        bool real_;
    };

    CCameraRoster(std::shared_ptr<CSimulatedHardware> hardware, std::shared_ptr<ICameraDevices> real);
    ICameraDevices& Active() const;
    void OnSourceEvent(const HardwareEvent& event, bool real);
    void Tell(const std::vector<HardwareEvent>& events);
    std::vector<HardwareEvent> SimulatedCameraEvents(HardwareEvent::Type type) const;

    std::shared_ptr<CSimulatedHardware> hardware_;
    std::unique_ptr<ICameraDevices> simulated_;
    std::shared_ptr<ICameraDevices> real_;
    Tap simulatedTap_{*this, false};
    Tap realTap_{*this, true};
    mutable std::mutex lock_;
    std::vector<IHardwareListener*> listeners_;
};

} // namespace Granite
