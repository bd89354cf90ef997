#pragma once
// The pan and tilt pad on the simulated devices: a "full" camera (digital pan and tilt, whose reach grows
// with the zoom), a motorised "ptz" camera and a "minimal" one without pan and tilt, the device service over
// them, and the fake clock driving the pad's timers.
#include "granite/RegisterGraniteDeviceService.h"
#include "granite/devices/CSimulatedHardware.h"
#include "granite/devices/SimulatedDeviceConstants.h"
#include "platform/IClock.h"
#include "services/CGraniteDeviceManager.h"
#include "support/CFakeClock.h"
#include "support/CTempEnvironment.h"
#include "support/CVirtualTimerService.h"
#include "support/EventPump.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

class PanTiltTest : public ::testing::Test {
protected:
    enum Camera { kFull = 0, kPtz = 1, kMinimal = 2 };

    void SetUp() override {
        clock.SetTickCount(100000);
        SetClock(&clock);
        SetTimerService(&timers);
        hardware = std::make_shared<Granite::CSimulatedHardware>(
            std::vector<Granite::DeviceRequest>{{Granite::DeviceKind::Camera, "full"},
                                                {Granite::DeviceKind::Camera, "ptz"},
                                                {Granite::DeviceKind::Camera, "minimal"}});
        hardware->SetMotorPeriod(std::chrono::milliseconds(1));
        Granite::CSimulatedHardware::SetCurrent(hardware);
        RegisterGraniteDeviceService();
        for (int i = 0; i < 3; ++i)
            hardware->IdAt(Granite::DeviceKind::Camera, i, ids[i]);
        facade = GetGraniteDeviceManager();
        ASSERT_NE(facade, nullptr);
    }
    void TearDown() override {
        if (facade != nullptr)
            facade->Release();
        while (CGraniteDeviceManager* left = CGraniteDeviceManager::Instance())
            left->Release();
        Pump();
        UnregisterGraniteDeviceService();
        Granite::CSimulatedHardware::SetCurrent(nullptr);
        SetTimerService(nullptr);
        SetClock(nullptr);
    }

    // Makes a camera the current one; the full camera zoomed to its closest, where the digital window
    // reaches -10 .. 10 on both axes.
    void Use(Camera camera, int32_t zoom = 400) {
        ASSERT_EQ(facade->SelectVideoDevice(camera), S_OK);
        if (camera == kFull) {
            ASSERT_EQ(facade->SetZoom(zoom), S_OK);
        }
    }
    // A camera property as the simulated camera holds it.
    int32_t OnCamera(Camera camera, int32_t property) const {
        Variant value;
        int32_t n = -999;
        if (SUCCEEDED(hardware->Get(Granite::DeviceKind::Camera, ids[camera], property, &value)))
            value.ToI4(n);
        return n;
    }
    int32_t Pan(Camera camera = kFull) const { return OnCamera(camera, Granite::CamProp::Pan); }
    int32_t Tilt(Camera camera = kFull) const { return OnCamera(camera, Granite::CamProp::Tilt); }
    // The motors run on the hardware's own thread: waits until they have brought the camera to pan, tilt.
    bool MotorsReach(int32_t pan, int32_t tilt) const {
        return PumpUntil([&] { return Pan(kPtz) == pan && Tilt(kPtz) == tilt; });
    }

    CTempEnvironment env;
    CFakeClock clock;
    CVirtualTimerService timers{clock};
    std::shared_ptr<Granite::CSimulatedHardware> hardware;
    std::string ids[3];
    IGraniteDeviceManager* facade = nullptr;
};
