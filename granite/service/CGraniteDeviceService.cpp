#include "granite/service/CGraniteDeviceService.h"

#include "granite/control/CSimulatorControlServer.h"
#include "granite/devices/CAudioRoster.h"
#include "granite/devices/CCameraRoster.h"
#include "granite/devices/CWaveFileInfo.h"
#include "granite/pulse/CPulseAudioDevices.h"
#include "granite/v4l2/CV4l2Cameras.h"

namespace Granite {
namespace {
// Operation numbers of the service's interface.
enum Operation : int32_t {
    kVideoCount = 10,
    kVideoId = 11,
    kVideoQuery = 13,
    kVideoGet = 14,
    kVideoSet = 15,
    kMicCount = 17,
    kMicId = 18,
    kMicQuery = 20,
    kMicGet = 21,
    kMicSet = 22,
    kMicSelect = 23,
    kSpeakerCount = 25,
    kSpeakerId = 26,
    kSpeakerQuery = 28,
    kSpeakerGet = 29,
    kSpeakerSet = 30,
    kSpeakerSelect = 31,
    kHidCount = 33,
    kHidId = 34,
    kHidQuery = 36,
    kHidGet = 37,
    kHidSet = 38,
    kOptionQuery = 42,
    kOptionSet = 43,
    kOptionGet = 44,
    kSubscribe = 45,
    kUnsubscribe = 46,
    kGetString3 = 47,
    kSetString3 = 48,
    kGetString4 = 49,
    kSetString4 = 50,
    kGetString2 = 51,
    kSetString2 = 52,
    kGetString1 = 53,
    kSetString1 = 54,
    kAttach = 55,
    kDetach = 56,
    kMonitorStart = 57,
    kMonitorStop = 58,
    kMeterStart = 61,
    kMeterStop = 62,
    kToneStart = 63,
    kToneStop = 64,
    kDeviceStrings = 65,
    kServiceText = 66,
    kPropertyFlag = 67,
    kFeature = 68,
    kFaceTracking = 69,
    kPlaySound = 70,
    kStopSound = 71,
    kMultipleFaceTracking = 72,
    kTranslate = 74,
};

// The speaker's own test tone (speaker command 63) plays this long.
constexpr uint32_t kTestToneMilliseconds = 2000;
const char* const kTestTone = "test tone";

bool IsAudio(DeviceKind kind) {
    return kind == DeviceKind::Microphone || kind == DeviceKind::Speaker;
}

VARIANT_BOOL AsVariantBool(bool b) {
    return b ? VARIANT_TRUE : VARIANT_FALSE;
}
} // namespace

CGraniteDeviceService::CGraniteDeviceService(std::shared_ptr<CSimulatedHardware> hardware)
    : CGraniteDeviceService(hardware, CCameraRoster::Create(hardware, nullptr)) {}

CGraniteDeviceService::CGraniteDeviceService(std::shared_ptr<CSimulatedHardware> hardware,
                                             std::shared_ptr<ICameraDevices> cameras)
    : CGraniteDeviceService(hardware, std::move(cameras), CAudioRoster::Create(hardware, nullptr)) {}

CGraniteDeviceService::CGraniteDeviceService(std::shared_ptr<CSimulatedHardware> hardware,
                                             std::shared_ptr<ICameraDevices> cameras,
                                             std::shared_ptr<IAudioDevices> audio)
    : hardware_(std::move(hardware)), cameras_(std::move(cameras)), audio_(std::move(audio)),
      roster_(std::dynamic_pointer_cast<CAudioRoster>(audio_)),
      hub_(CServiceEventHub::Create(hardware_, cameras_, audio_)),
      clientId_(CSimulatedHardware::NewClientId()) {}

CGraniteDeviceService::~CGraniteDeviceService() {
    hub_->Shutdown();
    cameras_->DetachAll(clientId_);
}

HRESULT CGraniteDeviceService::Create(const Guid& iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    std::shared_ptr<CSimulatedHardware> hardware = CSimulatedHardware::Current();
    if (HRESULT hr = hardware->Failures().Take(kOperationCreate); FAILED(hr))
        return hr;
    // Real cameras, microphones and speakers unless this run asked for the simulated ones.
    std::shared_ptr<ICameraDevices> real;
    std::shared_ptr<IAudioDevices> realAudio;
    if (!CCameraRoster::SimulationAsked()) {
        real = CV4l2Cameras::Shared();
        realAudio = CPulseAudioDevices::Shared();
    }
    auto* service = new CGraniteDeviceService(hardware, CCameraRoster::Create(hardware, std::move(real)),
                                              CAudioRoster::Create(hardware, std::move(realAudio)));
    HRESULT hr = service->QueryInterface(iid, object);
    service->Release();
    return hr;
}

HRESULT CGraniteDeviceService::QueryInterface(const Guid& iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualGuid(iid, IID_IUnknown) || IsEqualGuid(iid, IID_IInProcDeviceManager)) {
        *object = static_cast<IInProcDeviceManager*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT CGraniteDeviceService::Enter(int32_t operation) const {
    if (HRESULT hr = hardware_->Failures().Take(operation); FAILED(hr))
        return hr;
    return started_ ? S_OK : E_UNEXPECTED;
}

// --- session
// -------------------------------------------------------------------------------------------------

HRESULT CGraniteDeviceService::RegisterClient(const std::string& clientName, const std::string& modulePath) {
    if (HRESULT hr = hardware_->Failures().Take(kOperationRegister); FAILED(hr))
        return hr;
    if (clientName.empty())
        return E_INVALIDARG;
    std::lock_guard guard(lock_);
    clientName_ = clientName;
    registered_ = true;
    return S_OK;
}

HRESULT CGraniteDeviceService::Start() {
    if (HRESULT hr = hardware_->Failures().Take(kOperationStart); FAILED(hr))
        return hr;
    if (!registered_)
        return E_UNEXPECTED;
    std::lock_guard guard(lock_);
    if (!started_) {
        hub_->SetStarted();
        started_ = true;
        // The running program can now be reached by the vidora-sim tool.
        controlServer_ = CSimulatorControlServer::Acquire(hardware_);
    }
    return S_OK;
}

HRESULT CGraniteDeviceService::Advise(IInProcDeviceManagerEvents* sink, uint32_t* cookie) {
    if (HRESULT hr = hardware_->Failures().Take(kOperationAdvise); FAILED(hr))
        return hr;
    return hub_->Advise(sink, cookie);
}

HRESULT CGraniteDeviceService::Unadvise(uint32_t cookie) {
    return hub_->Unadvise(cookie);
}

// --- shared shapes
// ---------------------------------------------------------------------------------------------

HRESULT CGraniteDeviceService::Count(int32_t operation, DeviceKind kind, int32_t* count) {
    if (HRESULT hr = Enter(operation); FAILED(hr))
        return hr;
    if (count == nullptr)
        return E_POINTER;
    if (kind == DeviceKind::Camera)
        *count = cameras_->Count();
    else
        *count = IsAudio(kind) ? audio_->Count(kind) : hardware_->Count(kind);
    return S_OK;
}

HRESULT CGraniteDeviceService::IdAt(int32_t operation, DeviceKind kind, int32_t index, std::string* id) {
    if (HRESULT hr = Enter(operation); FAILED(hr))
        return hr;
    if (id == nullptr)
        return E_POINTER;
    std::string found;
    const bool ok = kind == DeviceKind::Camera ? cameras_->IdAt(index, found)
                    : IsAudio(kind)            ? audio_->IdAt(kind, index, found)
                                               : hardware_->IdAt(kind, index, found);
    if (!ok)
        return E_INVALIDARG;
    *id = found;
    return S_OK;
}

HRESULT CGraniteDeviceService::Query(int32_t operation, DeviceKind kind, const std::string& id,
                                     int32_t property, int32_t* state) {
    if (HRESULT hr = Enter(operation); FAILED(hr))
        return hr;
    if (kind == DeviceKind::Camera)
        return cameras_->Query(id, property, state);
    if (IsAudio(kind))
        return audio_->Query(kind, id, property, state);
    return hardware_->Query(kind, id, property, state);
}

HRESULT CGraniteDeviceService::Get(int32_t operation, DeviceKind kind, const std::string& id,
                                   int32_t property, Variant* value) {
    if (HRESULT hr = Enter(operation); FAILED(hr))
        return hr;
    if (kind == DeviceKind::Camera)
        return cameras_->Get(id, property, value);
    if (IsAudio(kind))
        return audio_->Get(kind, id, property, value);
    return hardware_->Get(kind, id, property, value);
}

HRESULT CGraniteDeviceService::Set(int32_t operation, DeviceKind kind, const std::string& id,
                                   int32_t property, const Variant& value) {
    if (HRESULT hr = Enter(operation); FAILED(hr))
        return hr;
    if (kind == DeviceKind::Camera)
        return cameras_->Set(id, property, value);
    if (IsAudio(kind))
        return audio_->Set(kind, id, property, value);
    return hardware_->Set(kind, id, property, value, WriteOrigin::Client);
}

HRESULT CGraniteDeviceService::GetString(int32_t operation, int index, std::string* value) {
    if (HRESULT hr = Enter(operation); FAILED(hr))
        return hr;
    return hardware_->GetString(index, value);
}

HRESULT CGraniteDeviceService::SetString(int32_t operation, int index, const std::string& value) {
    if (HRESULT hr = Enter(operation); FAILED(hr))
        return hr;
    return hardware_->SetString(index, value);
}

// --- cameras
// ---------------------------------------------------------------------------------------------------

HRESULT CGraniteDeviceService::GetVideoDeviceCount(int32_t* count) {
    return Count(kVideoCount, DeviceKind::Camera, count);
}

HRESULT CGraniteDeviceService::GetVideoDeviceId(int32_t index, std::string* id) {
    return IdAt(kVideoId, DeviceKind::Camera, index, id);
}

HRESULT CGraniteDeviceService::QueryVideoProperty(const std::string& id, int32_t property, int32_t* state) {
    return Query(kVideoQuery, DeviceKind::Camera, id, property, state);
}

HRESULT CGraniteDeviceService::GetVideoProperty(const std::string& id, int32_t property, Variant* value) {
    return Get(kVideoGet, DeviceKind::Camera, id, property, value);
}

HRESULT CGraniteDeviceService::SetVideoProperty(const std::string& id, int32_t property,
                                                const Variant& value) {
    return Set(kVideoSet, DeviceKind::Camera, id, property, value);
}

HRESULT CGraniteDeviceService::SubscribeVideoEvent(const std::string& id, int32_t eventCode, int32_t) {
    if (HRESULT hr = Enter(kSubscribe); FAILED(hr))
        return hr;
    return hub_->Subscribe(id, eventCode);
}

HRESULT CGraniteDeviceService::UnsubscribeVideoEvent(const std::string& id, int32_t eventCode, int32_t) {
    if (HRESULT hr = Enter(kUnsubscribe); FAILED(hr))
        return hr;
    return hub_->Unsubscribe(id, eventCode);
}

HRESULT CGraniteDeviceService::AttachVideoDevice(const std::string& id) {
    if (HRESULT hr = Enter(kAttach); FAILED(hr))
        return hr;
    return cameras_->Attach(clientId_, id);
}

HRESULT CGraniteDeviceService::DetachVideoDevice(const std::string& id) {
    if (HRESULT hr = Enter(kDetach); FAILED(hr))
        return hr;
    return cameras_->Detach(clientId_, id);
}

HRESULT CGraniteDeviceService::GetDeviceStrings(const std::string& id, int32_t which, std::string* first,
                                                std::string* second) {
    if (HRESULT hr = Enter(kDeviceStrings); FAILED(hr))
        return hr;
    return cameras_->DeviceStrings(id, which, first, second);
}

HRESULT CGraniteDeviceService::GetPropertyFlag(const std::string& id, int32_t property, VARIANT_BOOL* flag) {
    if (HRESULT hr = Enter(kPropertyFlag); FAILED(hr))
        return hr;
    if (flag == nullptr)
        return E_POINTER;
    bool b = false;
    HRESULT hr = cameras_->PropertyFlag(id, property, &b);
    if (SUCCEEDED(hr))
        *flag = AsVariantBool(b);
    return hr;
}

HRESULT CGraniteDeviceService::IsFeatureSupported(const std::string& id, const std::string& featureName,
                                                  VARIANT_BOOL* supported) {
    if (HRESULT hr = Enter(kFeature); FAILED(hr))
        return hr;
    if (supported == nullptr)
        return E_POINTER;
    bool b = false;
    HRESULT hr = cameras_->HasFeature(id, featureName, &b);
    if (SUCCEEDED(hr))
        *supported = AsVariantBool(b);
    return hr;
}

HRESULT CGraniteDeviceService::IsFaceTrackingSupported(const std::string& id, VARIANT_BOOL* supported) {
    if (HRESULT hr = Enter(kFaceTracking); FAILED(hr))
        return hr;
    if (supported == nullptr)
        return E_POINTER;
    bool b = false;
    HRESULT hr = cameras_->HasFaceTracking(id, false, &b);
    if (SUCCEEDED(hr))
        *supported = AsVariantBool(b);
    return hr;
}

HRESULT CGraniteDeviceService::IsMultipleFaceTrackingSupported(const std::string& id,
                                                               VARIANT_BOOL* supported) {
    if (HRESULT hr = Enter(kMultipleFaceTracking); FAILED(hr))
        return hr;
    if (supported == nullptr)
        return E_POINTER;
    bool b = false;
    HRESULT hr = cameras_->HasFaceTracking(id, true, &b);
    if (SUCCEEDED(hr))
        *supported = AsVariantBool(b);
    return hr;
}

HRESULT CGraniteDeviceService::TranslateDeviceId(const std::string& in, std::string* out) {
    if (HRESULT hr = Enter(kTranslate); FAILED(hr))
        return hr;
    return cameras_->DriverName(in, out);
}

// --- microphones
// -------------------------------------------------------------------------------------------------

HRESULT CGraniteDeviceService::GetMicrophoneCount(int32_t* count) {
    return Count(kMicCount, DeviceKind::Microphone, count);
}

HRESULT CGraniteDeviceService::GetMicrophoneId(int32_t index, std::string* id) {
    return IdAt(kMicId, DeviceKind::Microphone, index, id);
}

HRESULT CGraniteDeviceService::QueryMicrophoneProperty(const std::string& id, int32_t property,
                                                       int32_t* state) {
    return Query(kMicQuery, DeviceKind::Microphone, id, property, state);
}

HRESULT CGraniteDeviceService::GetMicrophoneProperty(const std::string& id, int32_t property,
                                                     Variant* value) {
    return Get(kMicGet, DeviceKind::Microphone, id, property, value);
}

HRESULT CGraniteDeviceService::SetMicrophoneProperty(const std::string& id, int32_t property,
                                                     const Variant& value) {
    return Set(kMicSet, DeviceKind::Microphone, id, property, value);
}

HRESULT CGraniteDeviceService::SelectMicrophone(const std::string& id) {
    if (HRESULT hr = Enter(kMicSelect); FAILED(hr))
        return hr;
    return audio_->Select(DeviceKind::Microphone, id);
}

HRESULT CGraniteDeviceService::StartMicrophoneMonitor(const std::string& microphoneId) {
    if (HRESULT hr = Enter(kMonitorStart); FAILED(hr))
        return hr;
    HRESULT hr = hub_->StartLevels(microphoneId, CServiceEventHub::LevelSource::Monitor);
    if (SUCCEEDED(hr))
        audio_->SetMonitoring(microphoneId, true);
    return hr;
}

HRESULT CGraniteDeviceService::StopMicrophoneMonitor(const std::string& microphoneId) {
    if (HRESULT hr = Enter(kMonitorStop); FAILED(hr))
        return hr;
    HRESULT hr = hub_->StopLevels(microphoneId, CServiceEventHub::LevelSource::Monitor);
    if (SUCCEEDED(hr))
        audio_->SetMonitoring(microphoneId, false);
    return hr;
}

HRESULT CGraniteDeviceService::StartMicrophoneLevelMeter(const std::string& microphoneId) {
    if (HRESULT hr = Enter(kMeterStart); FAILED(hr))
        return hr;
    return hub_->StartLevels(microphoneId, CServiceEventHub::LevelSource::Meter);
}

HRESULT CGraniteDeviceService::StopMicrophoneLevelMeter(const std::string& microphoneId) {
    if (HRESULT hr = Enter(kMeterStop); FAILED(hr))
        return hr;
    return hub_->StopLevels(microphoneId, CServiceEventHub::LevelSource::Meter);
}

// --- speakers
// ----------------------------------------------------------------------------------------------------

HRESULT CGraniteDeviceService::GetSpeakerCount(int32_t* count) {
    return Count(kSpeakerCount, DeviceKind::Speaker, count);
}

HRESULT CGraniteDeviceService::GetSpeakerId(int32_t index, std::string* id) {
    return IdAt(kSpeakerId, DeviceKind::Speaker, index, id);
}

HRESULT CGraniteDeviceService::QuerySpeakerProperty(const std::string& id, int32_t property, int32_t* state) {
    return Query(kSpeakerQuery, DeviceKind::Speaker, id, property, state);
}

HRESULT CGraniteDeviceService::GetSpeakerProperty(const std::string& id, int32_t property, Variant* value) {
    return Get(kSpeakerGet, DeviceKind::Speaker, id, property, value);
}

HRESULT CGraniteDeviceService::SetSpeakerProperty(const std::string& id, int32_t property,
                                                  const Variant& value) {
    return Set(kSpeakerSet, DeviceKind::Speaker, id, property, value);
}

HRESULT CGraniteDeviceService::SelectSpeaker(const std::string& id) {
    if (HRESULT hr = Enter(kSpeakerSelect); FAILED(hr))
        return hr;
    return audio_->Select(DeviceKind::Speaker, id);
}

bool CGraniteDeviceService::SoundsThroughRoster(const std::string& speakerId) const {
    // A speaker the simulated hardware does not know is asked of the roster, which also stops the sound of
    // a real speaker that has just gone.
    return roster_ && !hardware_->Exists(DeviceKind::Speaker, speakerId);
}

HRESULT CGraniteDeviceService::SpeakerCommand63(const std::string& speakerId) {
    if (HRESULT hr = Enter(kToneStart); FAILED(hr))
        return hr;
    if (SoundsThroughRoster(speakerId))
        return roster_->PlayTestTone(speakerId);
    uint64_t token = 0;
    HRESULT hr = hardware_->StartSound(speakerId, kTestTone, &token);
    if (SUCCEEDED(hr))
        hub_->ScheduleSoundEnd(speakerId, token, kTestToneMilliseconds);
    return hr;
}

HRESULT CGraniteDeviceService::SpeakerCommand64(const std::string& speakerId) {
    if (HRESULT hr = Enter(kToneStop); FAILED(hr))
        return hr;
    if (SoundsThroughRoster(speakerId))
        return roster_->StopSound(speakerId);
    return hardware_->StopSound(speakerId);
}

HRESULT CGraniteDeviceService::PlaySoundFile(const std::string& speakerId, const std::string& path) {
    if (HRESULT hr = Enter(kPlaySound); FAILED(hr))
        return hr;
    // A file that cannot be played fails the call: nothing starts, so no status follows.
    if (SoundsThroughRoster(speakerId))
        return roster_->PlaySound(speakerId, path);
    if (!hardware_->Exists(DeviceKind::Speaker, speakerId))
        return E_DEVICE_NOT_CONNECTED;
    uint32_t milliseconds = 0;
    if (HRESULT hr = CWaveFileInfo::Duration(path, milliseconds); FAILED(hr))
        return hr;
    uint64_t token = 0;
    HRESULT hr = hardware_->StartSound(speakerId, path, &token);
    if (SUCCEEDED(hr))
        hub_->ScheduleSoundEnd(speakerId, token, milliseconds);
    return hr;
}

HRESULT CGraniteDeviceService::StopSoundFile(const std::string& speakerId) {
    if (HRESULT hr = Enter(kStopSound); FAILED(hr))
        return hr;
    if (SoundsThroughRoster(speakerId))
        return roster_->StopSound(speakerId);
    return hardware_->StopSound(speakerId);
}

// --- HID devices
// -------------------------------------------------------------------------------------------------

HRESULT CGraniteDeviceService::GetHidDeviceCount(int32_t* count) {
    return Count(kHidCount, DeviceKind::Hid, count);
}

HRESULT CGraniteDeviceService::GetHidDeviceId(int32_t index, std::string* id) {
    return IdAt(kHidId, DeviceKind::Hid, index, id);
}

HRESULT CGraniteDeviceService::QueryHidProperty(const std::string& id, int32_t property, int32_t* state) {
    return Query(kHidQuery, DeviceKind::Hid, id, property, state);
}

HRESULT CGraniteDeviceService::GetHidProperty(const std::string& id, int32_t property, Variant* value) {
    return Get(kHidGet, DeviceKind::Hid, id, property, value);
}

HRESULT CGraniteDeviceService::SetHidProperty(const std::string& id, int32_t property, const Variant& value) {
    return Set(kHidSet, DeviceKind::Hid, id, property, value);
}

// --- global audio options
// ----------------------------------------------------------------------------------------

HRESULT CGraniteDeviceService::QueryGlobalOption(int32_t option, int32_t* state) {
    if (HRESULT hr = Enter(kOptionQuery); FAILED(hr))
        return hr;
    return hardware_->QueryOption(option, state);
}

HRESULT CGraniteDeviceService::SetGlobalOption(int32_t option, const Variant& value) {
    if (HRESULT hr = Enter(kOptionSet); FAILED(hr))
        return hr;
    return hardware_->SetOption(option, value);
}

HRESULT CGraniteDeviceService::GetGlobalOption(int32_t option, Variant* value) {
    if (HRESULT hr = Enter(kOptionGet); FAILED(hr))
        return hr;
    return hardware_->GetOption(option, value);
}

// --- stored strings
// ----------------------------------------------------------------------------------------------

HRESULT CGraniteDeviceService::GetStringValue3(std::string* value) {
    return GetString(kGetString3, 3, value);
}

HRESULT CGraniteDeviceService::SetStringValue3(const std::string& value) {
    return SetString(kSetString3, 3, value);
}

HRESULT CGraniteDeviceService::GetStringValue4(std::string* value) {
    return GetString(kGetString4, 4, value);
}

HRESULT CGraniteDeviceService::SetStringValue4(const std::string& value) {
    return SetString(kSetString4, 4, value);
}

HRESULT CGraniteDeviceService::GetStringValue2(std::string* value) {
    return GetString(kGetString2, 2, value);
}

HRESULT CGraniteDeviceService::SetStringValue2(const std::string& value) {
    return SetString(kSetString2, 2, value);
}

HRESULT CGraniteDeviceService::GetStringValue1(std::string* value) {
    return GetString(kGetString1, 1, value);
}

HRESULT CGraniteDeviceService::SetStringValue1(const std::string& value) {
    return SetString(kSetString1, 1, value);
}

HRESULT CGraniteDeviceService::GetServiceText(std::string* text) {
    if (HRESULT hr = Enter(kServiceText); FAILED(hr))
        return hr;
    // The camera in use: the one a program streams from, else the one the program attached.
    return cameras_->CameraInUse(text);
}

} // namespace Granite
