#include "capture/CMovieRecording.h"

#include "platform/CObjectFactory.h"
#include "platform/DebugOutput.h"
#include "services/IAudioDeviceEnumerator.h"
#include "services/IMovieRecorder.h"
#include "services/IVideoCapture.h"

#include <QString>

namespace {

// Releases an interface pointer when it goes out of scope.
template <class T> class CReleaser {
public:
    CReleaser() = default;
    ~CReleaser() {
        if (p_ != nullptr)
            p_->Release();
    }
    CReleaser(const CReleaser&) = delete;
    CReleaser& operator=(const CReleaser&) = delete;
    T** Out() { return &p_; }
    T* Get() const { return p_; }

private:
    T* p_ = nullptr;
};

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

bool ContainsIgnoringCase(const std::string& text, const std::string& part) {
    return QString::fromStdString(text).contains(QString::fromStdString(part), Qt::CaseInsensitive);
}

// Opens the microphone a movie records; null when there is none to be had.
IAudioCapture* OpenMicrophone(const std::string& commsMicrophoneName,
                              const std::vector<std::string>& deviceManagerMicrophoneNames,
                              std::string* chosenName) {
    CReleaser<IAudioDeviceEnumerator> enumerator;
    if (FAILED(CObjectFactory::Instance().Create(CLSID_AudioDeviceEnumerator, IID_IAudioDeviceEnumerator,
                                                 enumerator.Out())) ||
        enumerator.Get() == nullptr)
        return nullptr;
    int32_t count = 0;
    if (FAILED(enumerator.Get()->count(&count)) || count <= 0)
        return nullptr;
    std::vector<std::string> names, paths;
    for (int32_t i = 0; i < count; ++i) {
        std::string name, path;
        if (FAILED(enumerator.Get()->item(i, &name, &path)))
            name.clear(), path.clear();
        names.push_back(std::move(name));
        paths.push_back(std::move(path));
    }
    const int32_t index =
        CMovieRecording::ChooseMicrophone(names, commsMicrophoneName, deviceManagerMicrophoneNames);
    if (index < 0)
        return nullptr;
    IAudioCapture* audio = nullptr;
    const auto at = static_cast<size_t>(index);
    if (FAILED(enumerator.Get()->createAudio(names[at], paths[at], &audio)) || audio == nullptr)
        return nullptr;
    *chosenName = names[at];
    return audio;
}

} // namespace

CMovieRecording::~CMovieRecording() {
    Release();
}

int32_t CMovieRecording::ChooseMicrophone(const std::vector<std::string>& enumeratorNames,
                                          const std::string& commsMicrophoneName,
                                          const std::vector<std::string>& deviceManagerMicrophoneNames) {
    if (enumeratorNames.empty())
        return -1;
    if (commsMicrophoneName.empty())
        return 0;
    bool known = false;
    for (const std::string& name : deviceManagerMicrophoneNames)
        known = known || SameTextIgnoringCase(name, commsMicrophoneName);
    if (!known)
        return 0;
    for (size_t i = 0; i < enumeratorNames.size(); ++i)
        if (ContainsIgnoringCase(enumeratorNames[i], commsMicrophoneName))
            return static_cast<int32_t>(i);
    return 0;
}

HRESULT CMovieRecording::Prepare(IVideoCapture* capture, const std::string& fileName, bool withAudio,
                                 bool stampDateTime, const std::string& commsMicrophoneName,
                                 const std::vector<std::string>& deviceManagerMicrophoneNames) {
    Release();
    fileName_.clear();
    microphoneName_.clear();
    if (capture == nullptr || fileName.empty())
        return E_FAIL;

    CReleaser<IAudioCapture> audio;
    std::string microphone;
    if (withAudio) {
        *audio.Out() = OpenMicrophone(commsMicrophoneName, deviceManagerMicrophoneNames, &microphone);
        if (audio.Get() == nullptr) {
            OutputDebugString("Movie recording: no microphone to record");
            return E_FAIL;
        }
    }

    int32_t bitRate = 0, keyFrames = 0, encoderSetting = 0;
    if (FAILED(capture->recordingParameters(&bitRate, &keyFrames, &encoderSetting)))
        return E_FAIL;

    IMovieRecorder* recorder = nullptr;
    if (FAILED(CObjectFactory::Instance().Create(CLSID_MovieRecorder, IID_IMovieRecorder, &recorder)) ||
        recorder == nullptr)
        return E_FAIL;
    if (FAILED(recorder->prepare(fileName, kQuality, encoderSetting, stampDateTime ? 1 : 0, capture,
                                 audio.Get()))) {
        recorder->Release();
        return E_FAIL;
    }
    recorder_ = recorder;
    fileName_ = fileName;
    microphoneName_ = microphone;
    return S_OK;
}

HRESULT CMovieRecording::Start(IMovieEventCallback* callback, uint64_t nowMs) {
    if (recorder_ == nullptr || recording_)
        return E_UNEXPECTED;
    if (callback == nullptr)
        return E_POINTER;
    ICaptureEventSource* source = nullptr;
    HRESULT hr = recorder_->QueryInterface(IID_ICaptureEventSource, reinterpret_cast<void**>(&source));
    if (SUCCEEDED(hr) && source == nullptr)
        hr = E_NOINTERFACE;
    if (SUCCEEDED(hr))
        hr = CMovieEvents::Create(&sink_);
    if (SUCCEEDED(hr))
        hr = sink_->Connect(source, callback);
    if (source != nullptr)
        source->Release();
    if (SUCCEEDED(hr))
        hr = recorder_->start();
    if (FAILED(hr)) {
        DropSink();
        return hr;
    }
    recording_ = true;
    startTick_ = nowMs;
    return S_OK;
}

bool CMovieRecording::Stop() {
    if (recorder_ == nullptr)
        return false;
    const bool wasRecording = recording_;
    DropSink();
    // S_FALSE: the recording had already ended, on its own (the file is complete) or by failing (the file
    // is gone); either way there is a result to look at.
    const HRESULT hr = recorder_->stop();
    recorder_->Release();
    recorder_ = nullptr;
    recording_ = false;
    return wasRecording && SUCCEEDED(hr);
}

void CMovieRecording::Release() {
    if (recorder_ != nullptr) {
        DropSink();
        if (recording_)
            recorder_->stop();
        recorder_->Release();
        recorder_ = nullptr;
    }
    recording_ = false;
}

void CMovieRecording::DropSink() {
    if (sink_ == nullptr)
        return;
    sink_->Disconnect();
    sink_->Release();
    sink_ = nullptr;
}
