#include "granite/capture/CMovieRecorder.h"

#include "granite/capture/IAudioSource.h"
#include "services/IAudioDeviceEnumerator.h"
#include "services/IVideoCapture.h"

#include <algorithm>

namespace Granite {

namespace {

constexpr int32_t kDefaultFps = 30;
constexpr double kBitsPerPixel = 0.15;

// The full-quality video bit rate in kbit/s and the key-frame interval.
void ChooseRate(IVideoCapture* capture, int32_t encoderSetting, int32_t width, int32_t height, int32_t fps,
                int32_t* kbps, int32_t* keyFrames) {
    int32_t a = 0, b = 0, c = 0;
    if (FAILED(capture->recordingParameters(&a, &b, &c)))
        a = b = 0;
    *keyFrames = b > 0 ? b : 0;
    auto usable = [](int32_t rate) {
        return rate >= CMovieRecorder::kMinBitRateKbps && rate <= CMovieRecorder::kMaxBitRateKbps;
    };
    if (usable(encoderSetting))
        *kbps = encoderSetting;
    else if (usable(a))
        *kbps = a;
    else
        *kbps = static_cast<int32_t>(kBitsPerPixel * width * height * fps / 1000.0);
}

} // namespace

CMovieRecorder::CMovieRecorder(CGstRecordingPipeline::ElementMaker maker)
    : session_(std::make_shared<CMovieRecordingSession>(std::move(maker))) {}

CMovieRecorder::~CMovieRecorder() {
    session_->Shutdown();
}

HRESULT CMovieRecorder::Create(const Guid& iid, void** object) {
    auto* recorder = new CMovieRecorder();
    HRESULT hr = recorder->QueryInterface(iid, object);
    recorder->Release();
    return hr;
}

HRESULT CMovieRecorder::QueryInterface(const Guid& iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (IsEqualGuid(iid, IID_IUnknown) || IsEqualGuid(iid, IID_IMovieRecorder))
        *object = static_cast<IMovieRecorder*>(this);
    else if (IsEqualGuid(iid, IID_ICaptureEventSource))
        *object = static_cast<ICaptureEventSource*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT CMovieRecorder::prepare(const std::string& fileName, int32_t quality, int32_t encoderSetting,
                                int32_t stampDateTime, IVideoCapture* videoCapture,
                                IAudioCapture* audioCapture) {
    if (videoCapture == nullptr)
        return E_POINTER;
    if (fileName.empty() || quality < 1 || quality > 100)
        return E_INVALIDARG;
    IFrameSource* raw = nullptr;
    if (FAILED(videoCapture->QueryInterface(IID_IGraniteFrameSource, reinterpret_cast<void**>(&raw))) || !raw)
        return E_NOINTERFACE;
    std::unique_ptr<IFrameSource, void (*)(IFrameSource*)> source(raw, [](IFrameSource* s) { s->Release(); });

    GstElementPtr audioSource;
    if (audioCapture != nullptr) {
        IAudioSource* audio = nullptr;
        if (FAILED(audioCapture->QueryInterface(IID_IGraniteAudioSource, reinterpret_cast<void**>(&audio))) ||
            !audio)
            return E_NOINTERFACE;
        audioSource = audio->CreateSourceElement();
        audio->Release();
        if (!audioSource)
            return E_FAIL;
    }

    RecordingFormat format;
    format.fileName = fileName;
    source->LiveFormat(&format.width, &format.height, &format.fps);
    if (format.width <= 0 || format.height <= 0) {
        if (FAILED(videoCapture->outputFormat(&format.width, &format.height)))
            return E_FAIL;
    }
    if (format.fps <= 0)
        format.fps = kDefaultFps;
    int32_t kbps = 0;
    ChooseRate(videoCapture, encoderSetting, format.width, format.height, format.fps, &kbps,
               &format.keyFrameInterval);
    format.bitRate = std::max(kMinBitRateKbps, kbps * quality / 100) * 1000;
    format.stampDateTime = stampDateTime != 0;
    return session_->Prepare(format, source.get(), std::move(audioSource));
}

HRESULT CMovieRecorder::start() {
    return session_->Start();
}

HRESULT CMovieRecorder::stop() {
    return session_->Stop();
}

} // namespace Granite
