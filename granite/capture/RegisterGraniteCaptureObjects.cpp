#include "granite/capture/RegisterGraniteCaptureObjects.h"

#include "granite/capture/CAudioDeviceEnumerator.h"
#include "granite/capture/CCameraEnumerator.h"
#include "granite/capture/CMotionDetector.h"
#include "granite/capture/CMovieRecorder.h"
#include "granite/capture/CStillCapture.h"
#include "granite/capture/CVideoCapture.h"
#include "granite/capture/CVideoDisplay.h"
#include "granite/devices/CSimulatedHardware.h"
#include "platform/CObjectFactory.h"
#include "services/CaptureClassIds.h"

#include <utility>
#include <vector>

namespace {

// Hands out a new object as the interface asked for; the maker's own reference goes either way.
template <class T> HRESULT Hand(T* object, const Guid& iid, void** out) {
    if (object == nullptr)
        return E_OUTOFMEMORY;
    const HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
}

// A video capture asked for by class id, without the enumerator, opens the camera in use (the one a
// program streams from or attached last), else the first camera the enumerator would list; E_FAIL when
// there is no camera at all.
HRESULT CreateDefaultVideoCapture(const Guid& iid, void** out) {
    std::string id;
    Granite::CameraInfo camera;
    if (SUCCEEDED(Granite::CSimulatedHardware::Current()->CameraInUse(&id)) &&
        Granite::CCameraEnumerator::FindCamera(id, &camera))
        return Hand(Granite::CVideoCapture::Create(camera), iid, out);
    const std::vector<Granite::CameraInfo> cameras = Granite::CCameraEnumerator::ListCameras();
    if (cameras.empty())
        return E_FAIL;
    return Hand(Granite::CVideoCapture::Create(cameras.front()), iid, out);
}

// Each capture object's class id and its creator; filled as the objects are built.
std::vector<std::pair<Guid, CObjectFactory::Creator>> CaptureClasses() {
    using namespace Granite;
    return {
        {CLSID_CameraEnumerator,
         [](const Guid& iid, void** out) { return Hand(CCameraEnumerator::Create(), iid, out); }},
        {CLSID_VideoCapture, &CreateDefaultVideoCapture},
        {CLSID_VideoDisplay,
         [](const Guid& iid, void** out) { return Hand(CVideoDisplay::Create(), iid, out); }},
        {CLSID_StillCapture,
         [](const Guid& iid, void** out) { return Hand(CStillCapture::Create(), iid, out); }},
        {CLSID_AudioDeviceEnumerator, &CAudioDeviceEnumerator::Create},
        {CLSID_MovieRecorder, &CMovieRecorder::Create},
        {CLSID_MotionDetector, &CMotionDetector::Create},
    };
}

} // namespace

void RegisterGraniteCaptureObjects() {
    for (auto& [clsid, creator] : CaptureClasses())
        CObjectFactory::Instance().Register(clsid, creator);
}

void UnregisterGraniteCaptureObjects() {
    for (auto& [clsid, creator] : CaptureClasses())
        CObjectFactory::Instance().Unregister(clsid);
}
