#pragma once
// The simulated hardware as the capture tests plug it in: the process's current hardware for the length of a
// test, its cameras opened through the capture objects' enumerator, and its device manager reached through
// the real facade with the first camera chosen, as the main window does.
#include "granite/RegisterGraniteDeviceService.h"
#include "granite/capture/CCameraEnumerator.h"
#include "granite/devices/CSimulatedHardware.h"
#include "services/CGraniteDeviceManager.h"
#include "services/ICameraEnumerator.h"
#include "services/IGraniteDeviceManager.h"
#include "services/IVideoCapture.h"
#include "support/EventPump.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class CSimulatedDevices {
public:
    // Makes `devices` the current simulated hardware.
    void Plug(const std::vector<Granite::DeviceRequest>& devices) {
        hardware = std::make_shared<Granite::CSimulatedHardware>(devices);
        Granite::CSimulatedHardware::SetCurrent(hardware);
    }
    // Lets go of the device manager, then of the hardware as the current one.
    void Unplug() {
        DisconnectDeviceManager();
        Granite::CSimulatedHardware::SetCurrent(nullptr);
    }
    std::string CameraId(int index = 0) const {
        std::string id;
        EXPECT_TRUE(hardware->IdAt(Granite::DeviceKind::Camera, index, id)) << "camera " << index;
        return id;
    }
    // Camera `index` opened through the simulated camera enumerator: stopped, with no live format chosen yet,
    // for the caller to release; null when it cannot be opened.
    IVideoCapture* OpenCamera(int index = 0) const {
        IVideoCapture* capture = nullptr;
        ICameraEnumerator* cameras = Granite::CCameraEnumerator::Create();
        EXPECT_EQ(cameras->createCapture(CameraId(index), &capture), S_OK);
        cameras->Release();
        return capture;
    }
    // Registers the device service over the hardware.
    void StartService() {
        RegisterGraniteDeviceService();
        serviceStarted_ = true;
    }
    // The device service started and its manager fetched with the first camera chosen; null without one.
    IGraniteDeviceManager* ConnectDeviceManager() {
        StartService();
        dm = GetGraniteDeviceManager();
        EXPECT_NE(dm, nullptr);
        if (dm != nullptr) {
            EXPECT_EQ(dm->SelectVideoDevice(0), S_OK);
        }
        return dm;
    }
    // Releases the manager and every facade still held, lets their last events run, and ends the service.
    void DisconnectDeviceManager() {
        if (!serviceStarted_)
            return;
        if (dm != nullptr)
            dm->Release();
        dm = nullptr;
        while (CGraniteDeviceManager* facade = CGraniteDeviceManager::Instance())
            facade->Release();
        Pump();
        UnregisterGraniteDeviceService();
        serviceStarted_ = false;
    }

    std::shared_ptr<Granite::CSimulatedHardware> hardware;
    IGraniteDeviceManager* dm = nullptr;

private:
    bool serviceStarted_ = false;
};
