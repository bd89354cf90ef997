// Opening the capture window's camera: the device manager's current camera, the call camera when there is
// no current one, only the maker's cameras, and whether the camera runs on the maker's driver.
#include "CFakeVideoCapture.h"
#include "FakeObjects.h"
#include "capture/CCameraOpener.h"
#include "granite/RegisterGraniteDeviceService.h"
#include "granite/capture/RegisterGraniteCaptureObjects.h"
#include "granite/comms/RegisterGraniteCommunicationsService.h"
#include "granite/devices/CSimulatedHardware.h"
#include "services/CGraniteDeviceManager.h"
#include "services/ICameraEnumerator.h"
#include "services/IGraniteCommunicationsManager.h"
#include "services/IVideoCapture.h"
#include "support/CTempEnvironment.h"
#include "support/EventPump.h"

#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <string>
#include <vector>

namespace {

// Cameras of other makers around the maker's ones; each capture it makes remembers its path.
class CMixedCameraEnumerator : public CRefCounted<ICameraEnumerator> {
public:
    explicit CMixedCameraEnumerator(std::vector<std::string> paths) : paths_(std::move(paths)) {}

    HRESULT QueryInterface(const Guid& iid, void** object) override {
        return QueryOwnInterface<ICameraEnumerator>(this, iid, IID_ICameraEnumerator, object);
    }
    HRESULT count(int32_t* n) override {
        *n = static_cast<int32_t>(paths_.size());
        return S_OK;
    }
    HRESULT item(int32_t index, std::string* name, std::string* devicePath) override {
        if (index < 0 || index >= static_cast<int32_t>(paths_.size()))
            return E_INVALIDARG;
        *name = "Camera " + std::to_string(index);
        *devicePath = paths_[static_cast<size_t>(index)];
        return S_OK;
    }
    HRESULT createCapture(const std::string& devicePath, IVideoCapture** videoCapture) override {
        *videoCapture = new CFakeVideoCapture({{320, 240, 30, STILL_FORMAT_MOTION_CAPABLE}}, devicePath);
        return S_OK;
    }

private:
    std::vector<std::string> paths_;
};

std::string PathOf(IVideoCapture* capture) {
    std::string path;
    EXPECT_EQ(capture->devicePath(&path), S_OK);
    return path;
}

class CameraOpenerTest : public ::testing::Test {
protected:
    void SetUp() override {
        hardware = std::make_shared<Granite::CSimulatedHardware>(std::vector<Granite::DeviceRequest>{
            {Granite::DeviceKind::Camera, "full"}, {Granite::DeviceKind::Camera, "basic"}});
        hardware->IdAt(Granite::DeviceKind::Camera, 0, fullId);
        hardware->IdAt(Granite::DeviceKind::Camera, 1, basicId);
        Granite::CSimulatedHardware::SetCurrent(hardware);
        RegisterGraniteDeviceService();
        RegisterGraniteCaptureObjects();
    }
    void TearDown() override {
        if (opened.capture != nullptr)
            opened.capture->Release();
        if (comms != nullptr)
            comms->Release();
        if (dm != nullptr)
            dm->Release();
        Pump();
        UnregisterGraniteCaptureObjects();
        UnregisterGraniteCommunicationsService();
        UnregisterGraniteDeviceService();
        Granite::CSimulatedHardware::SetCurrent(nullptr);
    }
    IGraniteDeviceManager* DeviceManager() {
        if (dm == nullptr)
            dm = GetGraniteDeviceManager();
        EXPECT_NE(dm, nullptr);
        return dm;
    }
    IGraniteCommunicationsManager* Comms(const std::string& callCamera) {
        RegisterGraniteCommunicationsService();
        comms = GetGraniteCommunicationsManager();
        EXPECT_NE(comms, nullptr);
        if (comms != nullptr) {
            EXPECT_EQ(comms->SetCallSetting1(callCamera), S_OK);
        }
        return comms;
    }
    void Reopen(IGraniteDeviceManager* deviceManager, IGraniteCommunicationsManager* callSettings,
                HRESULT expected = S_OK) {
        if (opened.capture != nullptr)
            opened.capture->Release();
        EXPECT_EQ(CCameraOpener::Open(deviceManager, callSettings, opened), expected);
    }

    CTempEnvironment env;
    std::shared_ptr<Granite::CSimulatedHardware> hardware;
    std::string fullId, basicId;
    IGraniteDeviceManager* dm = nullptr;
    IGraniteCommunicationsManager* comms = nullptr;
    OpenedCamera opened;
};

} // namespace

TEST_F(CameraOpenerTest, OpensTheCurrentCameraAndTellsWhetherItRunsOnTheMakersDriver) {
    struct Case {
        int index;
        const std::string& id;
        bool makerDriver; // the basic camera runs on the platform's class driver
    } cases[] = {{1, basicId, false}, {0, fullId, true}};
    for (const Case& c : cases) {
        ASSERT_EQ(DeviceManager()->SelectVideoDevice(c.index), S_OK);
        Reopen(dm, nullptr);
        ASSERT_NE(opened.capture, nullptr) << c.id;
        EXPECT_EQ(opened.devicePath, c.id);
        EXPECT_EQ(PathOf(opened.capture), c.id);
        EXPECT_EQ(opened.makerDriver, c.makerDriver) << c.id;
        int32_t formats = 0;
        EXPECT_EQ(opened.capture->stillFormatCount(&formats), S_OK);
        EXPECT_GT(formats, 0);
    }
    // The current camera wins over the call camera.
    Reopen(dm, Comms(basicId));
    ASSERT_NE(opened.capture, nullptr);
    EXPECT_EQ(opened.devicePath, fullId);
}

TEST_F(CameraOpenerTest, WithoutADeviceManagerTheCallCameraIsOpenedElseTheFirstMakerCamera) {
    Reopen(nullptr, nullptr);
    ASSERT_NE(opened.capture, nullptr);
    EXPECT_EQ(opened.devicePath, fullId);
    EXPECT_TRUE(opened.makerDriver) << "no device manager to name the driver";

    // The call setting names the camera in another case.
    std::string upper = basicId;
    for (char& ch : upper)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    Reopen(nullptr, Comms(upper));
    ASSERT_NE(opened.capture, nullptr);
    EXPECT_EQ(opened.devicePath, basicId);

    // An empty call setting means any camera.
    ASSERT_EQ(comms->SetCallSetting1(""), S_OK);
    Reopen(nullptr, comms);
    EXPECT_EQ(opened.devicePath, fullId);
}

TEST_F(CameraOpenerTest, NoCameraWhenTheCallCameraIsGoneOrNothingCanBeEnumerated) {
    Reopen(nullptr, Comms("\\\\?\\usb#vid_f7a1&pid_7777&mi_00#7&0&0&0000\\global"), E_FAIL);
    EXPECT_EQ(opened.capture, nullptr);
    EXPECT_TRUE(opened.devicePath.empty());
    EXPECT_TRUE(opened.makerDriver);

    UnregisterGraniteCaptureObjects();
    ASSERT_EQ(DeviceManager()->SelectVideoDevice(0), S_OK);
    Reopen(dm, nullptr, E_FAIL);
    EXPECT_EQ(opened.capture, nullptr);
}

TEST_F(CameraOpenerTest, OnlyTheMakersCamerasAreConsidered) {
    const std::vector<std::string> paths = {
        "\\\\?\\usb#vid_046d&pid_0825&mi_00#6&1&0&0000\\global", // another maker's camera comes first
        "\\\\?\\USB#VID_F7A1&PID_0A5D&MI_00#7&1&0&0000\\GLOBAL", // the maker's, written in capitals
        "\\\\?\\usb#vid_f7a1&pid_0821&mi_00#7&2&0&0001\\global",
    };
    RegisterFake<CMixedCameraEnumerator>(CLSID_CameraEnumerator, paths);
    Reopen(nullptr, nullptr);
    ASSERT_NE(opened.capture, nullptr);
    EXPECT_EQ(PathOf(opened.capture), paths[1]);

    // Only another maker's camera: none.
    Reopen(nullptr, Comms(paths[0]), E_FAIL);
    EXPECT_EQ(opened.capture, nullptr);
    EXPECT_FALSE(CCameraOpener::IsMakerCamera(paths[0]));
    EXPECT_TRUE(CCameraOpener::IsMakerCamera(paths[2]));
    // Another maker's camera is opened when it is the device manager's current camera (a webcam of this
    // computer), never just because the call settings name it.
    EXPECT_TRUE(CCameraOpener::IsConsidered(paths[0], true));
    EXPECT_FALSE(CCameraOpener::IsConsidered(paths[0], false));
    EXPECT_TRUE(CCameraOpener::IsConsidered(paths[2], false));
}
