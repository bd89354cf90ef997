#include "capture/CMotionWatch.h"

#include "platform/CObjectFactory.h"
#include "services/IGraniteDeviceManager.h"
#include "services/IMotionDetector.h"

CMotionWatch::~CMotionWatch() {
    // The window disarms with its device manager before it goes; here only the objects are left to free.
    ReleaseObjects();
}

HRESULT CMotionWatch::Arm(IVideoCapture* capture, IMotionEventCallback* callback,
                          IGraniteDeviceManager* deviceManager, bool effectsActive) {
    Disarm(deviceManager, effectsActive);
    if (capture == nullptr || callback == nullptr)
        return E_POINTER;
    HRESULT hr = CObjectFactory::Instance().Create(CLSID_MotionDetector, IID_IMotionDetector, &detector_);
    if (FAILED(hr) || detector_ == nullptr) {
        detector_ = nullptr;
        return FAILED(hr) ? hr : E_FAIL;
    }
    ICaptureEventSource* source = nullptr;
    hr = detector_->QueryInterface(IID_ICaptureEventSource, reinterpret_cast<void**>(&source));
    if (SUCCEEDED(hr) && source == nullptr)
        hr = E_NOINTERFACE;
    if (SUCCEEDED(hr))
        hr = CMotionEvents::Create(&sink_);
    if (SUCCEEDED(hr))
        hr = sink_->Connect(source, callback);
    if (source != nullptr)
        source->Release();
    if (SUCCEEDED(hr))
        hr = detector_->setLevel(kDetectorLevel);
    if (SUCCEEDED(hr))
        hr = detector_->attach(capture);
    if (FAILED(hr)) {
        ReleaseObjects();
        return hr;
    }

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
    // The sink first: once it is disconnected no level reaches the callback, even one the detector is
    // delivering right now on the capture's thread.
    if (sink_ != nullptr) {
        sink_->Disconnect();
        sink_->Release();
        sink_ = nullptr;
    }
    if (detector_ != nullptr) {
        detector_->detach();
        detector_->Release();
        detector_ = nullptr;
    }
}
