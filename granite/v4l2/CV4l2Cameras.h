#pragma once
// The real cameras: every video capture node sysfs lists, opened through the device layer, with its
// controls under the service's property numbers and its own thread that passes on the camera's control
// events. Nodes come and go through Add and Remove (the udev monitor calls them; tests call them directly).
//
// Listeners are told after the list has changed, without the list's lock held, so that a listener may ask
// the list again (see CCameraRoster).
#include "granite/devices/CSimulatedHardware.h"
#include "granite/devices/ICameraDevices.h"
#include "granite/v4l2/CV4l2CameraControls.h"
#include "granite/v4l2/CV4l2SysfsCamera.h"
#include "granite/v4l2/IV4l2Device.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace Granite {

class CUdevCameraMonitor;

class CV4l2Cameras : public ICameraDevices {
public:
    CV4l2Cameras(std::shared_ptr<IV4l2DeviceOpener> opener, std::string sysfsRoot, std::string devRoot);
    ~CV4l2Cameras() override;
    CV4l2Cameras(const CV4l2Cameras&) = delete;
    CV4l2Cameras& operator=(const CV4l2Cameras&) = delete;

    // The process's real cameras on the kernel's devices, watched through udev from the first call on.
    static std::shared_ptr<CV4l2Cameras> Shared();

    // Subscribes to udev's video device events, then lists the nodes sysfs has, so no arrival is missed.
    // False when udev cannot be reached (the nodes are still listed once).
    bool StartMonitoring();
    // Lists every node sysfs has now that is not listed yet.
    void Scan();
    // A node ("video0") appeared: listed when it is a capture device that can be opened; false otherwise.
    bool Add(const std::string& node);
    void Remove(const std::string& node);
    // How often each camera's thread looks whether it should stop.
    void SetEventWait(std::chrono::milliseconds wait) { eventWaitMs_ = std::max<int64_t>(1, wait.count()); }

    int32_t Count() const override;
    bool IdAt(int32_t index, std::string& id) const override;
    bool Exists(const std::string& id) const override;
    HRESULT Query(const std::string& id, int32_t property, int32_t* state) const override;
    HRESULT Get(const std::string& id, int32_t property, Variant* value) const override;
    HRESULT Set(const std::string& id, int32_t property, const Variant& value) override;
    HRESULT HasFeature(const std::string& id, const std::string& feature, bool* supported) const override;
    HRESULT HasFaceTracking(const std::string& id, bool multiple, bool* supported) const override;
    HRESULT PropertyFlag(const std::string& id, int32_t property, bool* flag) const override;
    HRESULT DriverName(const std::string& id, std::string* driver) const override;
    HRESULT DeviceStrings(const std::string& id, int32_t which, std::string* first,
                          std::string* second) const override;
    HRESULT CameraInUse(std::string* id) const override;
    HRESULT Attach(uint64_t client, const std::string& id) override;
    HRESULT Detach(uint64_t client, const std::string& id) override;
    void DetachAll(uint64_t client) override;
    void AddListener(IHardwareListener* listener) override;
    void RemoveListener(IHardwareListener* listener) override;

private:
    struct Camera {
        V4l2SysfsCamera info;
        std::shared_ptr<CV4l2CameraControls> controls;
        std::thread events;
        std::atomic<bool> stop{false};
    };

    std::shared_ptr<Camera> Find(const std::string& id) const;
    void Emit(const HardwareEvent& event);
    void EmitChanges(const std::string& id, const std::vector<V4l2PropertyChange>& changes);
    void RunEvents(Camera& camera);
    static void Stop(Camera& camera);

    std::shared_ptr<IV4l2DeviceOpener> opener_;
    const std::string sysfsRoot_;
    const std::string devRoot_;
    std::atomic<int64_t> eventWaitMs_{200};
    mutable std::mutex lock_;
    std::vector<std::shared_ptr<Camera>> cameras_;
    std::vector<std::pair<uint64_t, std::string>> attached_; // oldest first
    std::mutex listenersLock_;
    std::vector<IHardwareListener*> listeners_;
    std::unique_ptr<CUdevCameraMonitor> monitor_;
};

} // namespace Granite
