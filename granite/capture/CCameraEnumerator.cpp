#include "granite/capture/CCameraEnumerator.h"

#include "granite/capture/CV4l2Camera.h"
#include "granite/capture/CVideoCapture.h"
#include "granite/devices/CSimulatedHardware.h"
#include "platform/TextUtil.h"

namespace Granite {

std::vector<CameraInfo> CCameraEnumerator::ListCameras() {
    std::vector<CameraInfo> cameras;
    std::shared_ptr<CSimulatedHardware> hardware = CSimulatedHardware::Current();
    const int32_t n = hardware->Count(DeviceKind::Camera);
    for (int32_t i = 0; i < n; ++i) {
        CameraInfo camera;
        if (!hardware->IdAt(DeviceKind::Camera, i, camera.devicePath))
            continue;
        Variant name;
        if (SUCCEEDED(hardware->Get(DeviceKind::Camera, camera.devicePath, Prop::Name, &name)))
            camera.name = name.GetString();
        cameras.push_back(camera);
    }
    for (CameraInfo& real : CV4l2Camera::List())
        cameras.push_back(std::move(real));
    return cameras;
}

bool CCameraEnumerator::FindCamera(const std::string& devicePath, CameraInfo* camera) {
    if (devicePath.empty())
        return false;
    if (CSimulatedHardware::Current()->Exists(DeviceKind::Camera, devicePath)) {
        *camera = CameraInfo{CameraInfo::Kind::Simulated, {}, devicePath, {}};
        return true;
    }
    if (CV4l2Camera::DevnodeOf(devicePath).empty())
        return false;
    for (const CameraInfo& real : CV4l2Camera::List()) {
        if (Text::EqualsNoCase(real.devicePath, devicePath)) {
            *camera = real;
            return true;
        }
    }
    return false;
}

HRESULT CCameraEnumerator::QueryInterface(const Guid& iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (!IsEqualGuid(iid, IID_IUnknown) && !IsEqualGuid(iid, IID_ICameraEnumerator))
        return E_NOINTERFACE;
    *object = static_cast<ICameraEnumerator*>(this);
    AddRef();
    return S_OK;
}

uint32_t CCameraEnumerator::Release() {
    const uint32_t left = refs_.Drop();
    if (left == 0)
        delete this;
    return left;
}

HRESULT CCameraEnumerator::count(int32_t* n) {
    if (n == nullptr)
        return E_POINTER;
    *n = static_cast<int32_t>(cameras_.size());
    return S_OK;
}

HRESULT CCameraEnumerator::item(int32_t index, std::string* name, std::string* devicePath) {
    if (name == nullptr || devicePath == nullptr)
        return E_POINTER;
    if (index < 0 || index >= static_cast<int32_t>(cameras_.size()))
        return E_INVALIDARG;
    *name = cameras_[static_cast<size_t>(index)].name;
    *devicePath = cameras_[static_cast<size_t>(index)].devicePath;
    return S_OK;
}

HRESULT CCameraEnumerator::createCapture(const std::string& devicePath, IVideoCapture** videoCapture) {
    if (videoCapture == nullptr)
        return E_POINTER;
    *videoCapture = nullptr;
    CameraInfo camera;
    if (!FindCamera(devicePath, &camera))
        return E_FAIL;
    *videoCapture = CVideoCapture::Create(camera);
    return S_OK;
}

} // namespace Granite
