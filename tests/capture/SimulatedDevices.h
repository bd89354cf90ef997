#pragma once
// The simulated hardware of one test: its cameras opened through the capture objects' enumerator, and its
// device manager reached through the real facade with the first camera chosen, as the main window does.
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

class CSimulatedDevices {
public:
    void Plug(const std::vector<Granite::DeviceRequest>& devices) {
        hardware = std::make_shared<Granite::CSimulatedHardware>(devices);
        Granite::CSimulatedHardware::SetCurrent(hardware);
    }
    void Unplug() {
        DisconnectDeviceManager();
        Granite::CSimulatedHardware::SetCurrent(nullptr);
    }
    std::string CameraId(int index = 0) const {
        std::string id;
        EXPECT_TRUE(hardware->IdAt(Granite::DeviceKind::Camera, index, id)) << "camera " << index;
        return id;
    }
    IVideoCapture* OpenCamera(int index = 0) const {
        IVideoCapture* capture = nullptr;
        ICameraEnumerator* cameras = Granite::CCameraEnumerator::Create();
        EXPECT_EQ(cameras->createCapture(CameraId(index), &capture), S_OK);
        cameras->Release();
        return capture;
    }
    void StartService() {
        RegisterGraniteDeviceService();
        serviceStarted_ = true;
    }
    IGraniteDeviceManager* ConnectDeviceManager() {
        StartService();
        dm = GetGraniteDeviceManager();
        EXPECT_TRUE(dm != nullptr && dm->SelectVideoDevice(0) == S_OK);
        return dm;
    }
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
