#include "capture/CCameraOpener.h"

#include "platform/CObjectFactory.h"
#include "platform/TextUtil.h"
#include "services/CDeviceLists.h"
#include "services/ICameraEnumerator.h"
#include "services/IGraniteCommunicationsManager.h"
#include "services/IGraniteDeviceManager.h"
#include "services/IVideoCapture.h"

namespace {

// The device manager's current camera; empty when there is none.
std::string CurrentCameraId(IGraniteDeviceManager* deviceManager) {
    if (deviceManager == nullptr || deviceManager->GetVideoDeviceCount() <= 0)
        return {};
    int index = -1;
    VideoDeviceInfo current;
    if (FAILED(deviceManager->GetSelectedVideoDeviceIndex(&index)) ||
        FAILED(deviceManager->GetVideoDevice(index, &current)))
        return {};
    return current.id;
}

bool Matches(IGraniteDeviceManager* deviceManager, const std::string& wanted, const std::string& devicePath) {
    if (wanted.empty())
        return true;
    if (deviceManager == nullptr)
        return CDeviceLists::SameDevice(wanted, devicePath);
    bool same = false;
    return SUCCEEDED(deviceManager->IsSameDevice(wanted, devicePath, &same)) && same;
}

} // namespace

bool CCameraOpener::IsMakerCamera(const std::string& devicePath) {
    return Text::ToLower(devicePath).find(kMakerVendorTag) != std::string::npos;
}

bool CCameraOpener::IsConsidered(const std::string& devicePath, bool chosenByDeviceManager) {
    // The device manager's current camera is opened whoever made it (a webcam of this computer).
    return chosenByDeviceManager || IsMakerCamera(devicePath);
}

HRESULT CCameraOpener::Open(IGraniteDeviceManager* deviceManager, IGraniteCommunicationsManager* comms,
                            OpenedCamera& out) {
    out = OpenedCamera{};

    std::string wanted = CurrentCameraId(deviceManager);
    const bool chosenByDeviceManager = !wanted.empty();
    if (wanted.empty() && comms != nullptr) {
        // No current camera (or no device manager): the camera chosen for calls, when one is.
        std::string callCamera;
        if (FAILED(comms->GetCallSetting1(callCamera)))
            return E_FAIL;
        wanted = callCamera;
    }

    ICameraEnumerator* cameras = nullptr;
    if (FAILED(CObjectFactory::Instance().Create(CLSID_CameraEnumerator, IID_ICameraEnumerator, &cameras)) ||
        cameras == nullptr)
        return E_FAIL;
    int32_t count = 0;
    if (FAILED(cameras->count(&count)))
        count = 0;
    HRESULT hr = E_FAIL;
    for (int32_t i = 0; i < count; ++i) {
        std::string name, devicePath;
        if (FAILED(cameras->item(i, &name, &devicePath)) ||
            (!chosenByDeviceManager && !IsMakerCamera(devicePath)) ||
            !Matches(deviceManager, wanted, devicePath))
            continue;
        // The first camera that fits is the one; when it cannot be opened there is no camera.
        bool makerDriver = true;
        std::string driver;
        if (deviceManager != nullptr && SUCCEEDED(deviceManager->TranslateDeviceId(devicePath, driver)))
            makerDriver = !Text::EqualsNoCase(driver, kClassDriverName);
        IVideoCapture* capture = nullptr;
        if (SUCCEEDED(cameras->createCapture(devicePath, &capture)) && capture != nullptr) {
            out.capture = capture;
            out.makerDriver = makerDriver;
            out.devicePath = devicePath;
            hr = S_OK;
        }
        break;
    }
    cameras->Release();
    return hr;
}
