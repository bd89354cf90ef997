#pragma once
// A started device-manager service over fresh simulated hardware, with a recording sink connected, in a
// temporary home (the control socket goes to its runtime folder).
#include "CRecordingSink.h"
#include "granite/control/CSimulatedDeviceControl.h"
#include "granite/service/CGraniteDeviceService.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <memory>

class GraniteServiceFixture : public ::testing::Test {
protected:
    using DeviceKind = Granite::DeviceKind;

    // The devices the hardware starts with.
    virtual std::vector<Granite::DeviceRequest> Devices() const {
        return {{DeviceKind::Camera, "full"},      {DeviceKind::Camera, "basic"},
                {DeviceKind::Camera, "ptz"},       {DeviceKind::Microphone, "standard"},
                {DeviceKind::Speaker, "standard"}, {DeviceKind::Hid, "standard"}};
    }

    void SetUp() override {
        hardware = std::make_shared<Granite::CSimulatedHardware>(Devices());
        Granite::CSimulatedHardware::SetCurrent(hardware);
        control = std::make_unique<Granite::CSimulatedDeviceControl>(hardware);
        service = new Granite::CGraniteDeviceService(hardware);
        ASSERT_EQ(service->RegisterClient("Vidora10:1234", "/usr/bin/vidora"), S_OK);
        ASSERT_EQ(service->Start(), S_OK);
        ASSERT_EQ(service->Advise(&sink, &cookie), S_OK);
    }

    void TearDown() override {
        if (roster != nullptr) {
            roster->Unadvise(rosterCookie);
            roster->Release();
        }
        if (service != nullptr) {
            service->Unadvise(cookie);
            service->Release();
        }
        control.reset();
        Granite::CSimulatedHardware::SetCurrent(nullptr);
    }

    // Registers, starts and connects a second service object (one over a roster of real devices, say)
    // beside the fixture's simulated-only one; it becomes `roster`, heard by `rosterSink`, and ends with the
    // test.
    void StartRoster(Granite::CGraniteDeviceService* other) {
        roster = other;
        ASSERT_EQ(roster->RegisterClient("Vidora10:1", "/usr/bin/vidora"), S_OK);
        ASSERT_EQ(roster->Start(), S_OK);
        ASSERT_EQ(roster->Advise(&rosterSink, &rosterCookie), S_OK);
    }

    std::string Id(DeviceKind kind, int index) const {
        std::string id;
        hardware->IdAt(kind, index, id);
        return id;
    }
    std::string Camera(int index) const { return Id(DeviceKind::Camera, index); }

    int32_t CameraNumber(const std::string& id, int32_t property) {
        Variant v;
        EXPECT_EQ(service->GetVideoProperty(id, property, &v), S_OK) << "property " << property;
        int32_t n = -12345;
        v.ToI4(n);
        return n;
    }

    CTempEnvironment env;
    std::shared_ptr<Granite::CSimulatedHardware> hardware;
    std::unique_ptr<Granite::CSimulatedDeviceControl> control;
    Granite::CGraniteDeviceService* service = nullptr;
    CRecordingSink sink;
    uint32_t cookie = 0;
    Granite::CGraniteDeviceService* roster = nullptr;
    CRecordingSink rosterSink;
    uint32_t rosterCookie = 0;
};
