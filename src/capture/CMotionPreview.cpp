#include "capture/CMotionPreview.h"

#include "platform/CObjectFactory.h"
#include "services/IMotionDetector.h"

CMotionPreview::~CMotionPreview() {
    Stop();
}

HRESULT CMotionPreview::Start(IVideoCapture* videoCapture, IMotionEventCallback* callback, int32_t level) {
    Stop();
    if (videoCapture == nullptr || callback == nullptr)
        return E_POINTER;
    HRESULT hr = CObjectFactory::Instance().Create(CLSID_MotionDetector, IID_IMotionDetector, &detector_);
    if (FAILED(hr) || detector_ == nullptr) {
        detector_ = nullptr;
        return FAILED(hr) ? hr : E_FAIL;
    }
    ICaptureEventSource* source = nullptr;
    hr = detector_->QueryInterface(IID_ICaptureEventSource, reinterpret_cast<void**>(&source));
    if (SUCCEEDED(hr) && source != nullptr) {
        hr = CMotionEvents::Create(&sink_);
        if (SUCCEEDED(hr))
            hr = sink_->Connect(source, callback);
        source->Release();
    } else if (SUCCEEDED(hr)) {
        hr = E_NOINTERFACE;
    }
    if (SUCCEEDED(hr))
        hr = detector_->setLevel(level);
    if (SUCCEEDED(hr))
        hr = detector_->attach(videoCapture);
    if (FAILED(hr))
        Stop();
    return hr;
}

void CMotionPreview::Stop() {
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
