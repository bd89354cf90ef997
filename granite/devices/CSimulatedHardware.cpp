#include "granite/devices/CSimulatedHardware.h"

#include "granite/devices/CSimulatedCamera.h"
#include "granite/devices/CSimulatedDeviceCatalog.h"
#include "granite/service/CServiceWorker.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace Granite {
namespace {
std::mutex g_currentLock;
std::shared_ptr<CSimulatedHardware> g_current;
bool g_currentWasSet = false;

std::string FileName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Device paths are ASCII: compared without regard to case, byte by byte (this runs on every call).
bool SamePath(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return x == y || std::tolower(static_cast<unsigned char>(x)) ==
                                    std::tolower(static_cast<unsigned char>(y));
           });
}

// A voice-like input: syllables rising and falling, with short pauses.
int32_t SimulatedVoiceLevel(uint32_t sample) {
    const double t = static_cast<double>(sample);
    const double syllables = 0.5 + 0.5 * std::sin(t * 0.9);
    const double phrase = 0.5 + 0.5 * std::sin(t * 0.13);
    const bool pause = (sample % 23) >= 19;
    return pause ? 3 : static_cast<int32_t>(8 + 70 * syllables * phrase);
}
} // namespace

CSimulatedHardware::CSimulatedHardware(const std::vector<DeviceRequest>& devices) {
    for (const DeviceRequest& request : devices)
        PlugLocked(request.kind, request.model, nullptr);
}

CSimulatedHardware::~CSimulatedHardware() {
    // Timed work still waiting is dropped; work running now finishes before the devices go.
    std::unique_ptr<CServiceWorker> timer;
    {
        std::lock_guard guard(lock_);
        closing_ = true;
        timer = std::move(timer_);
    }
    timer.reset();
}

std::shared_ptr<CSimulatedHardware> CSimulatedHardware::Current() {
    std::lock_guard guard(g_currentLock);
    if (!g_current)
        g_current = std::make_shared<CSimulatedHardware>(CSimulatedDeviceChoice::FromEnvironment());
    return g_current;
}

void CSimulatedHardware::SetCurrent(std::shared_ptr<CSimulatedHardware> hardware) {
    std::lock_guard guard(g_currentLock);
    g_currentWasSet = hardware != nullptr;
    g_current = std::move(hardware);
}

bool CSimulatedHardware::CurrentWasSet() {
    std::lock_guard guard(g_currentLock);
    return g_currentWasSet;
}

void CSimulatedHardware::AddListener(IHardwareListener* listener) {
    std::lock_guard guard(lock_);
    if (listener != nullptr && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void CSimulatedHardware::RemoveListener(IHardwareListener* listener) {
    std::lock_guard guard(lock_);
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

std::vector<CSimulatedHardware::Slot>& CSimulatedHardware::List(DeviceKind kind) {
    switch (kind) {
    case DeviceKind::Camera:
        return cameras_;
    case DeviceKind::Microphone:
        return microphones_;
    case DeviceKind::Speaker:
        return speakers_;
    case DeviceKind::Hid:
        return hids_;
    }
    return hids_;
}

const std::vector<CSimulatedHardware::Slot>& CSimulatedHardware::List(DeviceKind kind) const {
    return const_cast<CSimulatedHardware*>(this)->List(kind);
}

CSimulatedHardware::Slot* CSimulatedHardware::Find(DeviceKind kind, const std::string& id) {
    // Device paths do not depend on case.
    for (Slot& slot : List(kind)) {
        if (SamePath(slot.device->Id(), id))
            return &slot;
    }
    return nullptr;
}

const CSimulatedHardware::Slot* CSimulatedHardware::Find(DeviceKind kind, const std::string& id) const {
    return const_cast<CSimulatedHardware*>(this)->Find(kind, id);
}

void CSimulatedHardware::Emit(const HardwareEvent& event) {
    for (IHardwareListener* listener : listeners_)
        listener->OnHardwareEvent(event);
}

void CSimulatedHardware::EmitChanges(Slot& slot, const std::vector<DeviceChange>& changes) {
    const CSimulatedDevice& device = *slot.device;
    for (const DeviceChange& change : changes) {
        HardwareEvent e;
        e.kind = device.Kind();
        e.id = device.Id();
        switch (change.type) {
        case DeviceChange::Type::Property:
            e.type = HardwareEvent::Type::PropertyChanged;
            e.number = change.number;
            e.oldValue = change.oldValue;
            e.newValue = change.newValue;
            break;
        case DeviceChange::Type::CameraEvent:
            e.type = HardwareEvent::Type::CameraEvent;
            e.number = change.number;
            break;
        case DeviceChange::Type::MotorStatus:
            e.type = HardwareEvent::Type::MotorStatus;
            e.status = static_cast<uint32_t>(change.number);
            break;
        case DeviceChange::Type::Timer:
            StartTimer(slot, change.number);
            continue;
        }
        Emit(e);
    }
}

void CSimulatedHardware::StartTimer(Slot& slot, int32_t work) {
    // Called with lock_ held.
    if (closing_)
        return;
    if (!timer_)
        timer_ = std::make_unique<CServiceWorker>();
    auto& entry = slot.timers[work];
    if (entry.second != 0)
        timer_->Cancel(entry.second); // the newer request replaces it
    const uint64_t token = nextTimerToken_++;
    const std::chrono::milliseconds delay(work == TimedWork::MotorArrival ? motorPeriodMs_.load()
                                                                          : focusSearchMs_.load());
    const std::string id = slot.device->Id();
    entry = {token, timer_->PostDelayed(delay, [this, id, work, token] { TimerDue(id, work, token); })};
}

void CSimulatedHardware::TimerDue(const std::string& id, int32_t work, uint64_t token) {
    // On the timer's thread. The device may have been unplugged (and plugged back) meanwhile: the token
    // tells whether this is still its timer.
    std::lock_guard guard(lock_);
    Slot* slot = Find(DeviceKind::Camera, id);
    if (slot == nullptr || closing_)
        return;
    auto it = slot->timers.find(work);
    if (it == slot->timers.end() || it->second.first != token)
        return;
    slot->timers.erase(it);
    std::vector<DeviceChange> changes;
    slot->device->OnTimer(work, changes);
    EmitChanges(*slot, changes);
}

void CSimulatedHardware::EmitCameraEvent(const std::string& id, int32_t code) {
    HardwareEvent e;
    e.type = HardwareEvent::Type::CameraEvent;
    e.kind = DeviceKind::Camera;
    e.id = id;
    e.number = code;
    Emit(e);
}

void CSimulatedHardware::EmitSound(const std::string& speakerId, uint32_t status) {
    HardwareEvent e;
    e.type = HardwareEvent::Type::SoundStatus;
    e.kind = DeviceKind::Speaker;
    e.id = speakerId;
    e.status = status;
    Emit(e);
}

int32_t CSimulatedHardware::Count(DeviceKind kind) const {
    std::lock_guard guard(lock_);
    return static_cast<int32_t>(List(kind).size());
}

bool CSimulatedHardware::IdAt(DeviceKind kind, int32_t index, std::string& id) const {
    std::lock_guard guard(lock_);
    const auto& list = List(kind);
    if (index < 0 || index >= static_cast<int32_t>(list.size()))
        return false;
    id = list[static_cast<size_t>(index)].device->Id();
    return true;
}

bool CSimulatedHardware::Exists(DeviceKind kind, const std::string& id) const {
    std::lock_guard guard(lock_);
    return Find(kind, id) != nullptr;
}

HRESULT CSimulatedHardware::Query(DeviceKind kind, const std::string& id, int32_t property,
                                  int32_t* state) const {
    if (state == nullptr)
        return E_POINTER;
    std::lock_guard guard(lock_);
    const Slot* slot = Find(kind, id);
    if (slot == nullptr)
        return E_DEVICE_NOT_CONNECTED;
    *state = slot->device->State(property);
    return S_OK;
}

HRESULT CSimulatedHardware::Get(DeviceKind kind, const std::string& id, int32_t property,
                                Variant* value) const {
    if (value == nullptr)
        return E_POINTER;
    std::lock_guard guard(lock_);
    const Slot* slot = Find(kind, id);
    if (slot == nullptr)
        return E_DEVICE_NOT_CONNECTED;
    return slot->device->Read(property, value);
}

HRESULT CSimulatedHardware::Set(DeviceKind kind, const std::string& id, int32_t property,
                                const Variant& value, WriteOrigin origin) {
    std::lock_guard guard(lock_);
    Slot* slot = Find(kind, id);
    if (slot == nullptr)
        return E_DEVICE_NOT_CONNECTED;
    std::vector<DeviceChange> changes;
    HRESULT hr = slot->device->Write(property, value, origin, changes);
    if (SUCCEEDED(hr))
        EmitChanges(*slot, changes);
    return hr;
}

HRESULT CSimulatedHardware::HasFeature(const std::string& cameraId, const std::string& feature,
                                       bool* supported) const {
    if (supported == nullptr)
        return E_POINTER;
    std::lock_guard guard(lock_);
    const Slot* slot = Find(DeviceKind::Camera, cameraId);
    if (slot == nullptr)
        return E_DEVICE_NOT_CONNECTED;
    *supported = slot->device->HasFeature(feature);
    return S_OK;
}

HRESULT CSimulatedHardware::HasFaceTracking(const std::string& cameraId, bool multiple,
                                            bool* supported) const {
    if (supported == nullptr)
        return E_POINTER;
    std::lock_guard guard(lock_);
    const Slot* slot = Find(DeviceKind::Camera, cameraId);
    if (slot == nullptr)
        return E_DEVICE_NOT_CONNECTED;
    *supported = multiple ? slot->device->MultipleFaceTracking() : slot->device->FaceTracking();
    return S_OK;
}

HRESULT CSimulatedHardware::PropertyFlag(const std::string& cameraId, int32_t property, bool* flag) const {
    if (flag == nullptr)
        return E_POINTER;
    std::lock_guard guard(lock_);
    const Slot* slot = Find(DeviceKind::Camera, cameraId);
    if (slot == nullptr)
        return E_DEVICE_NOT_CONNECTED;
    *flag = slot->device->IsWritable(property);
    return S_OK;
}

HRESULT CSimulatedHardware::DriverName(const std::string& id, std::string* driver) const {
    if (driver == nullptr)
        return E_POINTER;
    std::lock_guard guard(lock_);
    for (DeviceKind kind :
         {DeviceKind::Camera, DeviceKind::Microphone, DeviceKind::Speaker, DeviceKind::Hid}) {
        if (const Slot* slot = Find(kind, id)) {
            switch (kind) {
            case DeviceKind::Camera:
                *driver = slot->device->DriverName();
                break;
            case DeviceKind::Microphone:
            case DeviceKind::Speaker:
                *driver = "usbaudio";
                break;
            case DeviceKind::Hid:
                *driver = "hidusb";
                break;
            }
            return S_OK;
        }
    }
    return E_DEVICE_NOT_CONNECTED;
}

HRESULT CSimulatedHardware::DeviceStrings(const std::string& cameraId, int32_t which, std::string* first,
                                          std::string* second) const {
    if (first == nullptr || second == nullptr)
        return E_POINTER;
    if (which != 0 && which != 1)
        return E_INVALIDARG;
    std::lock_guard guard(lock_);
    const Slot* slot = Find(DeviceKind::Camera, cameraId);
    if (slot == nullptr)
        return E_DEVICE_NOT_CONNECTED;
    first->clear();
    second->clear();
    if (!slot->stream)
        return S_OK;
    if (which == 0) {
        *first = slot->stream->application;
        *second = slot->stream->executable;
    } else {
        *first = std::to_string(slot->stream->processId);
        *second = slot->stream->application;
    }
    return S_OK;
}

const CSimulatedHardware::Slot* CSimulatedHardware::CameraInUseLocked() const {
    for (const Slot& slot : cameras_) {
        if (slot.stream)
            return &slot;
    }
    for (auto it = attached_.rbegin(); it != attached_.rend(); ++it) {
        if (const Slot* slot = Find(DeviceKind::Camera, it->cameraId))
            return slot;
    }
    return nullptr;
}

HRESULT CSimulatedHardware::CameraInUse(std::string* id) const {
    if (id == nullptr)
        return E_POINTER;
    std::lock_guard guard(lock_);
    const Slot* slot = CameraInUseLocked();
    if (slot == nullptr)
        return E_FAIL;
    *id = slot->device->Id();
    return S_OK;
}

uint64_t CSimulatedHardware::NewClientId() {
    static std::atomic<uint64_t> next{1};
    return next++;
}

HRESULT CSimulatedHardware::Attach(uint64_t client, const std::string& cameraId) {
    std::lock_guard guard(lock_);
    const Slot* slot = Find(DeviceKind::Camera, cameraId);
    if (slot == nullptr)
        return E_DEVICE_NOT_CONNECTED;
    attached_.push_back({client, slot->device->Id()});
    return S_OK;
}

HRESULT CSimulatedHardware::Detach(uint64_t client, const std::string& cameraId) {
    std::lock_guard guard(lock_);
    // The client's newest attachment of that camera goes; a camera that has gone can still be detached.
    for (auto it = attached_.rbegin(); it != attached_.rend(); ++it) {
        if (it->client == client && SamePath(it->cameraId, cameraId)) {
            attached_.erase(std::next(it).base());
            return S_OK;
        }
    }
    return S_FALSE;
}

void CSimulatedHardware::DetachAll(uint64_t client) {
    std::lock_guard guard(lock_);
    std::erase_if(attached_, [client](const Attachment& a) { return a.client == client; });
}

HRESULT CSimulatedHardware::Select(DeviceKind kind, const std::string& id) {
    std::lock_guard guard(lock_);
    const Slot* slot = Find(kind, id);
    if (slot == nullptr)
        return E_DEVICE_NOT_CONNECTED;
    if (kind == DeviceKind::Microphone)
        selectedMicrophone_ = slot->device->Id();
    else if (kind == DeviceKind::Speaker)
        selectedSpeaker_ = slot->device->Id();
    else
        return E_INVALIDARG;
    return S_OK;
}

HRESULT CSimulatedHardware::QueryOption(int32_t option, int32_t* state) const {
    if (state == nullptr)
        return E_POINTER;
    if (option != kOptionEchoCancellation && option != kOptionNoiseSuppression)
        return E_INVALIDARG;
    std::lock_guard guard(lock_);
    // Echo cancellation and noise suppression work on a microphone's signal: without one they do not exist.
    *state = microphones_.empty() ? kPropertyNotAvailable : kPropertyReadWrite;
    return S_OK;
}

HRESULT CSimulatedHardware::GetOption(int32_t option, Variant* value) const {
    if (value == nullptr)
        return E_POINTER;
    std::lock_guard guard(lock_);
    if (microphones_.empty())
        return E_NOTIMPL;
    if (option == kOptionEchoCancellation)
        *value = Variant::FromBool(echoCancellation_);
    else if (option == kOptionNoiseSuppression)
        *value = Variant::FromBool(noiseSuppression_);
    else
        return E_INVALIDARG;
    return S_OK;
}

HRESULT CSimulatedHardware::SetOption(int32_t option, const Variant& value) {
    int32_t n = 0;
    if (!value.ToI4(n))
        return E_INVALIDARG;
    std::lock_guard guard(lock_);
    if (microphones_.empty())
        return E_NOTIMPL;
    bool* target = option == kOptionEchoCancellation   ? &echoCancellation_
                   : option == kOptionNoiseSuppression ? &noiseSuppression_
                                                       : nullptr;
    if (target == nullptr)
        return E_INVALIDARG;
    if (*target == (n != 0))
        return S_OK;
    *target = n != 0;
    HardwareEvent e;
    e.type = HardwareEvent::Type::GlobalOption;
    e.number = option;
    e.newValue = Variant::FromBool(*target);
    e.oldValue = Variant::FromBool(!*target);
    Emit(e);
    return S_OK;
}

HRESULT CSimulatedHardware::SampleMicrophoneLevel(const std::string& microphoneId) {
    std::lock_guard guard(lock_);
    Slot* slot = Find(DeviceKind::Microphone, microphoneId);
    if (slot == nullptr)
        return E_DEVICE_NOT_CONNECTED;
    CSimulatedDevice& mic = *slot->device;
    int32_t level = slot->micInput >= 0 ? slot->micInput : SimulatedVoiceLevel(slot->micSample++);
    if (mic.Number(MicProp::Mute) != 0)
        level = 0;
    // Scaled by the volume, as the input gain does.
    level = level * mic.Number(MicProp::Volume) / std::max(1, mic.Number(MicProp::VolumeMax));
    const Variant old = mic.Value(MicProp::Level);
    std::vector<DeviceChange> ignored;
    mic.Write(MicProp::Level, Variant::FromI4(level), WriteOrigin::Hardware, ignored);
    EmitChanges(*slot, {DeviceChange::PropertyChange(MicProp::Level, old, Variant::FromI4(level))});
    return S_OK;
}

HRESULT CSimulatedHardware::SetMicrophoneInput(const std::string& microphoneId, int32_t level) {
    if (level < -1 || level > 100)
        return E_INVALIDARG;
    std::lock_guard guard(lock_);
    Slot* slot = Find(DeviceKind::Microphone, microphoneId);
    if (slot == nullptr)
        return E_DEVICE_NOT_CONNECTED;
    slot->micInput = level;
    return S_OK;
}

HRESULT CSimulatedHardware::SetMonitoring(const std::string& microphoneId, bool on) {
    std::lock_guard guard(lock_);
    Slot* slot = Find(DeviceKind::Microphone, microphoneId);
    if (slot == nullptr)
        return E_DEVICE_NOT_CONNECTED;
    slot->monitoring = on;
    return S_OK;
}

HRESULT CSimulatedHardware::StartSound(const std::string& speakerId, const std::string& path,
                                       uint64_t* token) {
    std::lock_guard guard(lock_);
    Slot* slot = Find(DeviceKind::Speaker, speakerId);
    if (slot == nullptr)
        return E_DEVICE_NOT_CONNECTED;
    if (!slot->soundPath.empty())
        EmitSound(slot->device->Id(), SoundStatus::Stopped);
    slot->soundPath = path;
    slot->soundToken = nextSoundToken_++;
    if (token != nullptr)
        *token = slot->soundToken;
    EmitSound(slot->device->Id(), SoundStatus::Started);
    return S_OK;
}

void CSimulatedHardware::FinishSound(const std::string& speakerId, uint64_t token) {
    std::lock_guard guard(lock_);
    Slot* slot = Find(DeviceKind::Speaker, speakerId);
    if (slot == nullptr || slot->soundPath.empty() || slot->soundToken != token)
        return;
    slot->soundPath.clear();
    EmitSound(slot->device->Id(), SoundStatus::Finished);
}

HRESULT CSimulatedHardware::StopSound(const std::string& speakerId) {
    std::lock_guard guard(lock_);
    Slot* slot = Find(DeviceKind::Speaker, speakerId);
    if (slot == nullptr)
        return E_DEVICE_NOT_CONNECTED;
    if (slot->soundPath.empty())
        return S_FALSE;
    slot->soundPath.clear();
    EmitSound(slot->device->Id(), SoundStatus::Stopped);
    return S_OK;
}

HRESULT CSimulatedHardware::GetString(int index, std::string* value) const {
    if (value == nullptr)
        return E_POINTER;
    if (index < 1 || index > 4)
        return E_INVALIDARG;
    std::lock_guard guard(lock_);
    if (strings_[index - 1]) {
        *value = *strings_[index - 1];
        return S_OK;
    }
    // Until someone chooses, the preferred devices are the first of their kind.
    const std::vector<Slot>* list = index == 1   ? &cameras_
                                    : index == 3 ? &speakers_
                                    : index == 4 ? &microphones_
                                                 : nullptr;
    *value = list != nullptr && !list->empty() ? list->front().device->Id() : std::string();
    return S_OK;
}

HRESULT CSimulatedHardware::SetString(int index, const std::string& value) {
    if (index < 1 || index > 4 || value.empty())
        return E_INVALIDARG;
    std::lock_guard guard(lock_);
    strings_[index - 1] = value;
    return S_OK;
}

HRESULT CSimulatedHardware::PlugLocked(DeviceKind kind, const std::string& model, std::string* id) {
    auto& list = List(kind);
    const uint16_t pid = CSimulatedDeviceCatalog::ProductIdOf(kind, model);
    // The lowest ordinal not in use: a camera plugged back in gets the path it had before.
    int ordinal = 0;
    while (std::any_of(list.begin(), list.end(),
                       [&](const Slot& s) { return s.device->ProductId() == pid && s.ordinal == ordinal; }))
        ++ordinal;
    auto device = CSimulatedDeviceCatalog::Make(kind, model, ordinal);
    if (!device)
        return E_INVALIDARG;
    if (id != nullptr)
        *id = device->Id();
    HardwareEvent e;
    e.type = HardwareEvent::Type::Arrived;
    e.kind = kind;
    e.id = device->Id();
    Slot slot;
    slot.device = std::move(device);
    slot.ordinal = ordinal;
    list.push_back(std::move(slot));
    Emit(e);
    return S_OK;
}

HRESULT CSimulatedHardware::Plug(DeviceKind kind, const std::string& model, std::string* id) {
    std::lock_guard guard(lock_);
    if (static_cast<int>(cameras_.size() + microphones_.size() + speakers_.size() + hids_.size()) >=
        CSimulatedDeviceChoice::kMaxDevices)
        return E_OUTOFMEMORY;
    return PlugLocked(kind, model, id);
}

HRESULT CSimulatedHardware::Unplug(DeviceKind kind, const std::string& id) {
    std::lock_guard guard(lock_);
    auto& list = List(kind);
    auto it =
        std::find_if(list.begin(), list.end(), [&](const Slot& s) { return SamePath(s.device->Id(), id); });
    if (it == list.end())
        return E_DEVICE_NOT_CONNECTED;
    const std::string path = it->device->Id();
    // What the device was doing ends with it, and is reported before the device goes.
    if (it->stream) {
        EmitCameraEvent(path, CamEvent::StreamingEnded);
        EmitCameraEvent(path, CamEvent::ClosedByProgram);
    }
    if (!it->soundPath.empty())
        EmitSound(path, SoundStatus::Stopped);
    list.erase(it);
    if (SamePath(selectedMicrophone_, path))
        selectedMicrophone_.clear();
    if (SamePath(selectedSpeaker_, path))
        selectedSpeaker_.clear();
    HardwareEvent e;
    e.type = HardwareEvent::Type::Removed;
    e.kind = kind;
    e.id = path;
    Emit(e);
    return S_OK;
}

HRESULT CSimulatedHardware::StartStreaming(const std::string& cameraId, const StreamHolder& holder) {
    if (holder.application.empty())
        return E_INVALIDARG;
    std::lock_guard guard(lock_);
    Slot* slot = Find(DeviceKind::Camera, cameraId);
    if (slot == nullptr)
        return E_DEVICE_NOT_CONNECTED;
    // One program at a time holds a camera.
    if (slot->stream)
        return E_ACCESSDENIED;
    slot->stream = holder;
    EmitCameraEvent(slot->device->Id(), CamEvent::OpenedByProgram);
    EmitCameraEvent(slot->device->Id(), CamEvent::StreamingStarted);
    return S_OK;
}

HRESULT CSimulatedHardware::StopStreaming(const std::string& cameraId) {
    std::lock_guard guard(lock_);
    Slot* slot = Find(DeviceKind::Camera, cameraId);
    if (slot == nullptr)
        return E_DEVICE_NOT_CONNECTED;
    if (!slot->stream)
        return S_FALSE;
    slot->stream.reset();
    EmitCameraEvent(slot->device->Id(), CamEvent::StreamingEnded);
    EmitCameraEvent(slot->device->Id(), CamEvent::ClosedByProgram);
    return S_OK;
}

HRESULT CSimulatedHardware::RaiseCameraEvent(const std::string& cameraId, int32_t code) {
    std::lock_guard guard(lock_);
    const Slot* slot = Find(DeviceKind::Camera, cameraId);
    if (slot == nullptr)
        return E_DEVICE_NOT_CONNECTED;
    EmitCameraEvent(slot->device->Id(), code);
    return S_OK;
}

HRESULT CSimulatedHardware::SetFocusFails(const std::string& cameraId, bool fails) {
    std::lock_guard guard(lock_);
    Slot* slot = Find(DeviceKind::Camera, cameraId);
    if (slot == nullptr)
        return E_DEVICE_NOT_CONNECTED;
    auto* camera = dynamic_cast<CSimulatedCamera*>(slot->device.get());
    if (camera == nullptr || !camera->Has(CamProp::AutoFocus))
        return E_NOTIMPL;
    std::vector<DeviceChange> changes;
    camera->SetFocusFails(fails, changes);
    EmitChanges(*slot, changes);
    return S_OK;
}

bool CSimulatedHardware::Resolve(DeviceKind kind, int index, std::string& id) const {
    std::lock_guard guard(lock_);
    const auto& list = List(kind);
    if (index < 0 || index > static_cast<int>(list.size()) || list.empty())
        return false;
    if (index > 0) {
        id = list[static_cast<size_t>(index - 1)].device->Id();
        return true;
    }
    const Slot* slot = nullptr;
    if (kind == DeviceKind::Camera)
        slot = CameraInUseLocked();
    else if (kind == DeviceKind::Microphone)
        slot = Find(kind, selectedMicrophone_);
    else if (kind == DeviceKind::Speaker)
        slot = Find(kind, selectedSpeaker_);
    id = (slot != nullptr ? slot : &list.front())->device->Id();
    return true;
}

std::vector<DeviceSummary> CSimulatedHardware::Devices() const {
    std::lock_guard guard(lock_);
    std::vector<DeviceSummary> out;
    for (DeviceKind kind :
         {DeviceKind::Camera, DeviceKind::Microphone, DeviceKind::Speaker, DeviceKind::Hid}) {
        int index = 0;
        for (const Slot& slot : List(kind)) {
            const CSimulatedDevice& d = *slot.device;
            DeviceSummary s;
            s.kind = kind;
            s.index = ++index;
            s.model = d.Model();
            s.name = d.Name();
            s.id = d.Id();
            s.productId = d.ProductId();
            if (kind == DeviceKind::Camera) {
                if (d.Has(CamProp::PrivacyShutter))
                    s.states.push_back(d.Number(CamProp::PrivacyShutter) != 0 ? "shutter closed"
                                                                              : "shutter open");
                if (slot.stream)
                    s.states.push_back("streamed by " + slot.stream->application);
                if (std::any_of(attached_.begin(), attached_.end(),
                                [&](const Attachment& a) { return SamePath(a.cameraId, d.Id()); }))
                    s.states.push_back("in use by the program");
                if (const auto* camera = dynamic_cast<const CSimulatedCamera*>(&d)) {
                    if (camera->FocusFails())
                        s.states.push_back("focus fails");
                    if (camera->IsMotorMoving())
                        s.states.push_back("motors moving");
                }
            }
            if (kind == DeviceKind::Microphone) {
                if (SamePath(selectedMicrophone_, d.Id()))
                    s.states.push_back("selected");
                if (d.Number(MicProp::Mute) != 0)
                    s.states.push_back("muted");
                if (slot.monitoring)
                    s.states.push_back("monitoring");
            }
            if (kind == DeviceKind::Speaker) {
                if (SamePath(selectedSpeaker_, d.Id()))
                    s.states.push_back("selected");
                if (!slot.soundPath.empty())
                    s.states.push_back("playing " + FileName(slot.soundPath));
            }
            out.push_back(std::move(s));
        }
    }
    return out;
}

} // namespace Granite
