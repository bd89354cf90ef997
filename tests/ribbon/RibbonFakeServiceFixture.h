#pragma once
// The device-manager facade over a recording stand-in service, with a temporary settings store and a fake
// clock, for the ribbon's rules that talk to cameras.
#include "services/CGraniteDeviceManager.h"
#include "services/DeviceManagerProperties.h"
#include "services/FakeDeviceManagerService.h"
#include "support/CFakeClock.h"
#include "support/CTempEnvironment.h"
#include "support/EventPump.h"

#include <gtest/gtest.h>

#include <string>

class RibbonFakeServiceTest : public ::testing::Test {
protected:
    static inline const std::string kCam = "usb\\vid_0a5d&pid_1234\\video";
    static constexpr int32_t kProductId = 0x1234;
    static inline const std::string kName = "Test Webcam";

    void SetUp() override {
        SetClock(&clock_);
        service_.Install();
    }
    void TearDown() override {
        if (dm_)
            dm_->Release();
        while (CGraniteDeviceManager* facade = CGraniteDeviceManager::Instance())
            facade->Release();
        Pump();
        FakeDeviceManagerService::Uninstall();
        SetClock(nullptr);
    }

    // A camera with the given properties (beyond its identity) in the service's list.
    FakeDeviceManagerService::Device&
    AddCamera(std::initializer_list<std::pair<int32_t, int32_t>> values = {}) {
        auto device = FakeDeviceManagerService::Camera(kCam, kName, kProductId);
        for (const auto& [property, value] : values)
            device.properties[property] = Variant::FromI4(value);
        service_.cameras.push_back(device);
        return service_.cameras.back();
    }
    int32_t PropertyOf(int32_t property) {
        int32_t value = -1;
        service_.cameras.at(0).properties[property].ToI4(value);
        return value;
    }
    IGraniteDeviceManager* Open() {
        if (!dm_)
            dm_ = GetGraniteDeviceManager();
        EXPECT_NE(dm_, nullptr);
        return dm_;
    }

    CTempEnvironment env_;
    FakeDeviceManagerService service_;
    CFakeClock clock_;
    IGraniteDeviceManager* dm_ = nullptr;
};
