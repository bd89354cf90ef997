// The device-manager facade over the simulated service: cameras unplugged and plugged back while their
// events are still on their way, as a user does with a loose cable.
#include "granite/RegisterGraniteDeviceService.h"
#include "granite/devices/CSimulatedHardware.h"
#include "services/CGraniteDeviceManager.h"
#include "services/IGraniteDeviceManagerEvent.h"
#include "support/CTempEnvironment.h"
#include "support/EventPump.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class CountingListener : public IGraniteDeviceManagerEvent {
public:
    int arrived = 0;
    int removed = 0;
    void OnDeviceArrived(int32_t, const std::string&) override { ++arrived; }
    void OnDeviceRemoved(int32_t, const std::string&, const std::string&) override { ++removed; }
};

class FacadeHotplug : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        std::vector<Granite::DeviceRequest> devices;
        for (int i = 0; i < GetParam(); ++i)
            devices.push_back({Granite::DeviceKind::Camera, "full"});
        hardware = std::make_shared<Granite::CSimulatedHardware>(devices);
        Granite::CSimulatedHardware::SetCurrent(hardware);
        RegisterGraniteDeviceService();
        manager = GetGraniteDeviceManager();
        ASSERT_NE(manager, nullptr);
        manager->AddListener(&listener, 1);
    }

    void TearDown() override {
        if (manager != nullptr) {
            manager->RemoveListener(&listener);
            manager->Release();
        }
        UnregisterGraniteDeviceService();
        Granite::CSimulatedHardware::SetCurrent(nullptr);
    }

    std::string CameraInUse() const {
        std::string id;
        hardware->CameraInUse(&id);
        return id;
    }

    std::string SelectedCamera() {
        int index = -1;
        VideoDeviceInfo info;
        if (FAILED(manager->GetSelectedVideoDeviceIndex(&index)) ||
            FAILED(manager->GetVideoDevice(index, &info)))
            return {};
        return info.id;
    }

    CTempEnvironment env;
    std::shared_ptr<Granite::CSimulatedHardware> hardware;
    IGraniteDeviceManager* manager = nullptr;
    CountingListener listener;
};

TEST_P(FacadeHotplug, ACameraPluggedBackBeforeItsRemovalIsHandledStaysAttachedAndCurrent) {
    ASSERT_EQ(manager->SelectVideoDevice(0), S_OK);
    std::string camera;
    ASSERT_TRUE(hardware->IdAt(Granite::DeviceKind::Camera, 0, camera));
    ASSERT_EQ(CameraInUse(), camera);

    ASSERT_EQ(hardware->Unplug(Granite::DeviceKind::Camera, camera), S_OK);
    std::string replugged;
    ASSERT_EQ(hardware->Plug(Granite::DeviceKind::Camera, "full", &replugged), S_OK);
    ASSERT_EQ(replugged, camera) << "a camera plugged back gets its old path";
    ASSERT_TRUE(PumpUntil([&] { return listener.removed == 1 && listener.arrived == 1; }, 10000));

    EXPECT_EQ(CameraInUse(), camera) << "the service must still hold the camera for us";
    EXPECT_EQ(SelectedCamera(), camera);
    int32_t zoom = 0;
    EXPECT_EQ(manager->GetZoom(&zoom), S_OK);

    // Letting go of it later detaches it exactly once.
    ASSERT_EQ(hardware->Unplug(Granite::DeviceKind::Camera, camera), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return listener.removed == 2; }, 10000));
    if (GetParam() == 2) {
        std::string other;
        ASSERT_TRUE(hardware->IdAt(Granite::DeviceKind::Camera, 0, other));
        EXPECT_EQ(SelectedCamera(), other) << "the one camera left becomes current";
        EXPECT_EQ(CameraInUse(), other);
    } else {
        EXPECT_EQ(manager->GetZoom(&zoom), E_FAIL) << "no camera is current";
        EXPECT_EQ(CameraInUse(), "");
    }
}

INSTANTIATE_TEST_SUITE_P(OneOrTwoCameras, FacadeHotplug, ::testing::Values(1, 2));

} // namespace
