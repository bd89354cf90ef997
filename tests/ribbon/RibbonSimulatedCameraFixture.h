#pragma once
// The device-manager facade over the simulated device service with one full camera plugged in, a temporary
// settings store and a fake clock, for the ribbon's rules that talk to cameras.
#include "granite/RegisterGraniteDeviceService.h"
#include "granite/devices/CSimulatedHardware.h"
#include "granite/devices/SimulatedDeviceConstants.h"
#include "services/CGraniteDeviceManager.h"
#include "services/DeviceManagerProperties.h"
#include "support/CFakeClock.h"
#include "support/CTempEnvironment.h"
#include "support/EventPump.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class RibbonSimulatedCameraTest : public ::testing::Test {
protected:
    static constexpr int32_t kProductId = Granite::kProductFullCamera;
    static inline const std::string kName = "Brenmoor Vidora Pro Webcam";

    void SetUp() override {
        SetClock(&clock_);
        hardware_ = std::make_shared<Granite::CSimulatedHardware>(
            std::vector<Granite::DeviceRequest>{{Granite::DeviceKind::Camera, "full"}});
        hardware_->IdAt(Granite::DeviceKind::Camera, 0, cam_);
        Granite::CSimulatedHardware::SetCurrent(hardware_);
        RegisterGraniteDeviceService();
    }
    void TearDown() override {
        if (dm_)
            dm_->Release();
        while (CGraniteDeviceManager* facade = CGraniteDeviceManager::Instance())
            facade->Release();
        Pump();
        UnregisterGraniteDeviceService();
        Granite::CSimulatedHardware::SetCurrent(nullptr);
        SetClock(nullptr);
    }

    // Changes a property as the camera itself would.
    void SetOnCamera(int32_t property, int32_t value, const std::string& id = {}) {
        ASSERT_EQ(hardware_->Set(Granite::DeviceKind::Camera, id.empty() ? cam_ : id, property,
                                 Variant::FromI4(value), Granite::WriteOrigin::Hardware),
                  S_OK)
            << property;
    }
    int32_t PropertyOf(int32_t property, const std::string& id = {}) {
        Variant value;
        int32_t n = -1;
        if (SUCCEEDED(hardware_->Get(Granite::DeviceKind::Camera, id.empty() ? cam_ : id, property, &value)))
            value.ToI4(n);
        return n;
    }
    IGraniteDeviceManager* Open() {
        if (!dm_)
            dm_ = GetGraniteDeviceManager();
        EXPECT_NE(dm_, nullptr);
        return dm_;
    }

    CTempEnvironment env_;
    CFakeClock clock_;
    std::shared_ptr<Granite::CSimulatedHardware> hardware_;
    std::string cam_;
    IGraniteDeviceManager* dm_ = nullptr;
};
