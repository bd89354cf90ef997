#include "capture/CMotionWatch.h"

#include "services/IGraniteDeviceManager.h"

CMotionWatch::~CMotionWatch() {
    // The window disarms with its device manager before it goes; here only the objects are left to free.
    ReleaseObjects();
}

HRESULT CMotionWatch::Arm(IVideoCapture* capture, IMotionEventCallback* callback,
                          IGraniteDeviceManager* deviceManager, bool effectsActive) {
    Disarm(deviceManager, effectsActive);
    if (capture == nullptr || callback == nullptr)
        return E_POINTER;
    const HRESULT hr = detector_.Start(capture, callback, kDetectorLevel);
    if (FAILED(hr))
        return hr;

    if (deviceManager != nullptr) {
        int32_t mode = 0;
        if (!effectsActive && SUCCEEDED(deviceManager->GetTriStateMode(&mode)) && mode != 0 &&
            SUCCEEDED(deviceManager->SetTriStateMode(0))) {
            savedTriState_ = mode;
            changedTriState_ = true;
        }
        deviceManager->SetSharedState(1);
    }
    return S_OK;
}

void CMotionWatch::Disarm(IGraniteDeviceManager* deviceManager, bool effectsActive) {
    if (!IsArmed())
        return;
    ReleaseObjects();
    if (deviceManager != nullptr) {
        int32_t current = 0;
        if (changedTriState_ && !effectsActive && SUCCEEDED(deviceManager->GetTriStateMode(&current)))
            deviceManager->SetTriStateMode(savedTriState_);
        deviceManager->SetSharedState(0);
    }
    changedTriState_ = false;
    savedTriState_ = 0;
}

void CMotionWatch::ReleaseObjects() {
    // The sink goes first: once it is disconnected no level reaches the callback, even one the detector is
    // delivering right now on the capture's thread.
    detector_.Stop();
}
