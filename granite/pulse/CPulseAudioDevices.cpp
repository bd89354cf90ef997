#include "granite/pulse/CPulseAudioDevices.h"

#include "granite/devices/CSimulatedHardware.h"
#include "granite/pulse/CPulseLayer.h"

#include <algorithm>
#include <cmath>

namespace Granite {
namespace {
// The quietest sound a level meter shows, in decibels below full scale.
constexpr float kMeterFloorDb = 60.0f;

HardwareEvent DeviceEvent(HardwareEvent::Type type, DeviceKind kind, const std::string& id) {
    HardwareEvent event;
    event.type = type;
    event.kind = kind;
    event.id = id;
    return event;
}

HardwareEvent Change(DeviceKind kind, const std::string& id, int32_t property, Variant oldValue,
                     Variant newValue) {
    HardwareEvent event = DeviceEvent(HardwareEvent::Type::PropertyChanged, kind, id);
    event.number = property;
    event.oldValue = std::move(oldValue);
    event.newValue = std::move(newValue);
    return event;
}

int32_t VolumeProperty(DeviceKind kind) {
    return kind == DeviceKind::Microphone ? MicProp::Volume : SpeakerProp::Volume;
}

int32_t MuteProperty(DeviceKind kind) {
    return kind == DeviceKind::Microphone ? MicProp::Mute : SpeakerProp::Mute;
}
} // namespace

std::shared_ptr<CPulseAudioDevices> CPulseAudioDevices::Open(std::unique_ptr<IPulseLayer> layer) {
    if (!layer)
        return nullptr;
    std::shared_ptr<CPulseAudioDevices> devices(new CPulseAudioDevices());
    devices->layer_ = std::move(layer);
    if (!devices->layer_->Start(devices.get()))
        return nullptr;
    return devices;
}

std::shared_ptr<CPulseAudioDevices> CPulseAudioDevices::Shared() {
    static std::mutex lock;
    static bool looked = false;
    static std::shared_ptr<CPulseAudioDevices> shared;
    std::lock_guard guard(lock);
    if (!looked) {
        looked = true;
        shared = Open(std::make_unique<CPulseLayer>());
    }
    return shared;
}

CPulseAudioDevices::~CPulseAudioDevices() {
    // The layer's thread calls into these devices: it ends before anything else goes.
    layer_.reset();
}

int32_t CPulseAudioDevices::LevelFromPeak(float peak) {
    if (!(peak > 0.0f))
        return 0;
    const float db = 20.0f * std::log10(std::min(peak, 1.0f));
    const float level = (db + kMeterFloorDb) * 100.0f / kMeterFloorDb;
    return std::clamp(static_cast<int32_t>(std::lround(level)), 0, 100);
}

std::string CPulseAudioDevices::DefaultDevice(DeviceKind kind) const {
    std::lock_guard guard(lock_);
    return kind == DeviceKind::Microphone ? defaultSource_ : kind == DeviceKind::Speaker ? defaultSink_ : "";
}

std::vector<CPulseAudioDevices::Entry>* CPulseAudioDevices::List(DeviceKind kind) {
    return kind == DeviceKind::Microphone ? &microphones_
           : kind == DeviceKind::Speaker  ? &speakers_
                                          : nullptr;
}

const std::vector<CPulseAudioDevices::Entry>* CPulseAudioDevices::List(DeviceKind kind) const {
    return const_cast<CPulseAudioDevices*>(this)->List(kind);
}

CPulseAudioDevices::Entry* CPulseAudioDevices::Find(DeviceKind kind, const std::string& id) {
    std::vector<Entry>* list = List(kind);
    if (list == nullptr)
        return nullptr;
    auto it = std::find_if(list->begin(), list->end(), [&](const Entry& e) { return e.device.name == id; });
    return it == list->end() ? nullptr : &*it;
}

const CPulseAudioDevices::Entry* CPulseAudioDevices::Find(DeviceKind kind, const std::string& id) const {
    return const_cast<CPulseAudioDevices*>(this)->Find(kind, id);
}

int32_t CPulseAudioDevices::Count(DeviceKind kind) const {
    std::lock_guard guard(lock_);
    const std::vector<Entry>* list = List(kind);
    return list == nullptr ? 0 : static_cast<int32_t>(list->size());
}

bool CPulseAudioDevices::IdAt(DeviceKind kind, int32_t index, std::string& id) const {
    std::lock_guard guard(lock_);
    const std::vector<Entry>* list = List(kind);
    if (list == nullptr || index < 0 || index >= static_cast<int32_t>(list->size()))
        return false;
    id = (*list)[static_cast<size_t>(index)].device.name;
    return true;
}

bool CPulseAudioDevices::Exists(DeviceKind kind, const std::string& id) const {
    std::lock_guard guard(lock_);
    return Find(kind, id) != nullptr;
}

int32_t CPulseAudioDevices::State(DeviceKind kind, int32_t property) {
    if (property == Prop::Name)
        return kPropertyReadOnly;
    if (property == VolumeProperty(kind) || property == MuteProperty(kind))
        return kPropertyReadWrite;
    if (kind == DeviceKind::Microphone &&
        (property == MicProp::VolumeMin || property == MicProp::VolumeMax || property == MicProp::Level ||
         property == MicProp::LevelMin || property == MicProp::LevelMax ||
         property == MicProp::EchoCancellation || property == MicProp::NoiseSuppression))
        return kPropertyReadOnly;
    return kPropertyNotAvailable;
}

HRESULT CPulseAudioDevices::Query(DeviceKind kind, const std::string& id, int32_t property,
                                  int32_t* state) const {
    if (state == nullptr)
        return E_POINTER;
    if (!Exists(kind, id))
        return E_DEVICE_NOT_CONNECTED;
    *state = State(kind, property);
    return S_OK;
}

HRESULT CPulseAudioDevices::Get(DeviceKind kind, const std::string& id, int32_t property,
                                Variant* value) const {
    if (value == nullptr)
        return E_POINTER;
    std::lock_guard guard(lock_);
    const Entry* entry = Find(kind, id);
    if (entry == nullptr)
        return E_DEVICE_NOT_CONNECTED;
    if (State(kind, property) == kPropertyNotAvailable)
        return E_NOTIMPL;
    const PulseDevice& d = entry->device;
    if (property == Prop::Name)
        *value = Variant::FromString(d.description.empty() ? d.name : d.description);
    else if (property == VolumeProperty(kind))
        *value = Variant::FromI4(d.volume);
    else if (property == MuteProperty(kind))
        *value = Variant::FromI4(d.mute ? 1 : 0);
    else if (property == MicProp::VolumeMin || property == MicProp::LevelMin)
        *value = Variant::FromI4(0);
    else if (property == MicProp::VolumeMax || property == MicProp::LevelMax)
        *value = Variant::FromI4(100);
    else if (property == MicProp::Level)
        *value = Variant::FromI4(d.mute ? 0 : entry->level);
    else // echo cancellation, noise suppression
        *value = Variant::FromBool(false);
    return S_OK;
}

HRESULT CPulseAudioDevices::Set(DeviceKind kind, const std::string& id, int32_t property,
                                const Variant& value) {
    HardwareEvent change;
    {
        std::lock_guard guard(lock_);
        Entry* entry = Find(kind, id);
        if (entry == nullptr)
            return E_DEVICE_NOT_CONNECTED;
        const int32_t state = State(kind, property);
        if (state == kPropertyNotAvailable)
            return E_NOTIMPL;
        if (state == kPropertyReadOnly)
            return E_ACCESSDENIED;
        int32_t v = 0;
        if (!value.ToI4(v))
            return E_INVALIDARG;
        if (value.Type() == VarType::Bool)
            v = v != 0 ? 1 : 0;
        PulseDevice& d = entry->device;
        if (property == VolumeProperty(kind)) {
            if (v < 0 || v > 100)
                return E_INVALIDARG;
            change = Change(kind, id, property, Variant::FromI4(d.volume), Variant::FromI4(v));
            d.volume = v;
        } else {
            if (v != 0 && v != 1)
                return E_INVALIDARG;
            change = Change(kind, id, property, Variant::FromI4(d.mute ? 1 : 0), Variant::FromI4(v));
            d.mute = v != 0;
        }
    }
    // Outside the lock: the layer's thread takes it to report what the server did.
    if (property == VolumeProperty(kind))
        layer_->SetVolume(kind, id, change.newValue.GetI4());
    else
        layer_->SetMute(kind, id, change.newValue.GetI4() != 0);
    if (!(change.oldValue == change.newValue))
        Emit({change});
    return S_OK;
}

HRESULT CPulseAudioDevices::Select(DeviceKind kind, const std::string& id) {
    {
        std::lock_guard guard(lock_);
        if (Find(kind, id) == nullptr)
            return E_DEVICE_NOT_CONNECTED;
        (kind == DeviceKind::Microphone ? defaultSource_ : defaultSink_) = id;
    }
    layer_->SetDefault(kind, id);
    return S_OK;
}

HRESULT CPulseAudioDevices::WatchLevel(const std::string& microphoneId, bool on) {
    std::lock_guard command(commandLock_);
    bool start = false;
    bool stop = false;
    {
        std::lock_guard guard(lock_);
        Entry* entry = Find(DeviceKind::Microphone, microphoneId);
        if (entry == nullptr)
            return E_DEVICE_NOT_CONNECTED;
        if (on) {
            start = entry->watchers++ == 0;
        } else {
            if (entry->watchers == 0)
                return S_FALSE;
            stop = --entry->watchers == 0;
        }
    }
    if (start)
        layer_->StartPeaks(microphoneId);
    if (stop)
        layer_->StopPeaks(microphoneId);
    return S_OK;
}

HRESULT CPulseAudioDevices::SampleLevel(const std::string& microphoneId) {
    HardwareEvent event;
    {
        std::lock_guard guard(lock_);
        Entry* entry = Find(DeviceKind::Microphone, microphoneId);
        if (entry == nullptr)
            return E_DEVICE_NOT_CONNECTED;
        const int32_t old = entry->level;
        // Between two readings the meter holds what it showed; a muted microphone shows silence.
        if (entry->fresh)
            entry->level = entry->peakLevel;
        entry->fresh = false;
        entry->peakLevel = 0;
        if (entry->device.mute)
            entry->level = 0;
        event = Change(DeviceKind::Microphone, microphoneId, MicProp::Level, Variant::FromI4(old),
                       Variant::FromI4(entry->level));
    }
    Emit({event});
    return S_OK;
}

HRESULT CPulseAudioDevices::SetMonitoring(const std::string& microphoneId, bool on) {
    std::lock_guard command(commandLock_);
    {
        std::lock_guard guard(lock_);
        Entry* entry = Find(DeviceKind::Microphone, microphoneId);
        if (entry == nullptr)
            return E_DEVICE_NOT_CONNECTED;
        if (entry->monitoring == on)
            return S_OK;
        entry->monitoring = on;
    }
    // Outside the lock, as every request to the layer.
    if (on)
        layer_->StartLoopback(microphoneId);
    else
        layer_->StopLoopback(microphoneId);
    return S_OK;
}

void CPulseAudioDevices::AddListener(IHardwareListener* listener) {
    std::lock_guard guard(listenLock_);
    if (listener != nullptr && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void CPulseAudioDevices::RemoveListener(IHardwareListener* listener) {
    std::lock_guard guard(listenLock_);
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void CPulseAudioDevices::Emit(const std::vector<HardwareEvent>& events) {
    std::lock_guard guard(listenLock_);
    for (const HardwareEvent& event : events) {
        for (IHardwareListener* listener : listeners_)
            listener->OnHardwareEvent(event);
    }
}

void CPulseAudioDevices::OnDevice(const PulseDevice& device) {
    if (device.monitor || device.name.empty())
        return;
    std::vector<HardwareEvent> events;
    {
        std::lock_guard guard(lock_);
        std::vector<Entry>* list = List(device.kind);
        if (list == nullptr)
            return;
        // By index; by name too, for a device the server lists again under a new index.
        auto it = std::find_if(list->begin(), list->end(),
                               [&](const Entry& e) { return e.device.index == device.index; });
        if (it == list->end())
            it = std::find_if(list->begin(), list->end(),
                              [&](const Entry& e) { return e.device.name == device.name; });
        if (it == list->end()) {
            Entry entry;
            entry.device = device;
            list->push_back(entry);
            events.push_back(DeviceEvent(HardwareEvent::Type::Arrived, device.kind, device.name));
        } else {
            const PulseDevice old = it->device;
            it->device = device;
            const DeviceKind kind = device.kind;
            if (old.description != device.description)
                events.push_back(Change(kind, device.name, Prop::Name, Variant::FromString(old.description),
                                        Variant::FromString(device.description)));
            if (old.volume != device.volume)
                events.push_back(Change(kind, device.name, VolumeProperty(kind), Variant::FromI4(old.volume),
                                        Variant::FromI4(device.volume)));
            if (old.mute != device.mute)
                events.push_back(Change(kind, device.name, MuteProperty(kind),
                                        Variant::FromI4(old.mute ? 1 : 0),
                                        Variant::FromI4(device.mute ? 1 : 0)));
        }
    }
    Emit(events);
}

void CPulseAudioDevices::OnDeviceRemoved(DeviceKind kind, uint32_t index) {
    std::string id;
    {
        std::lock_guard guard(lock_);
        std::vector<Entry>* list = List(kind);
        if (list == nullptr)
            return;
        auto it =
            std::find_if(list->begin(), list->end(), [&](const Entry& e) { return e.device.index == index; });
        if (it == list->end())
            return; // a monitor, or one never listed
        id = it->device.name;
        list->erase(it);
    }
    Emit({DeviceEvent(HardwareEvent::Type::Removed, kind, id)});
}

void CPulseAudioDevices::OnDefaults(const std::string& source, const std::string& sink) {
    std::lock_guard guard(lock_);
    defaultSource_ = source;
    defaultSink_ = sink;
}

void CPulseAudioDevices::OnPeak(const std::string& source, float peak) {
    std::lock_guard guard(lock_);
    Entry* entry = Find(DeviceKind::Microphone, source);
    if (entry == nullptr)
        return;
    entry->peakLevel = entry->fresh ? std::max(entry->peakLevel, LevelFromPeak(peak)) : LevelFromPeak(peak);
    entry->fresh = true;
}

void CPulseAudioDevices::OnDisconnected() {
    // One device at a time, so that a roster sees each kind's list shrink as it is told.
    for (;;) {
        HardwareEvent event;
        {
            std::lock_guard guard(lock_);
            std::vector<Entry>& list = !microphones_.empty() ? microphones_ : speakers_;
            if (list.empty())
                return;
            event =
                DeviceEvent(HardwareEvent::Type::Removed, list.back().device.kind, list.back().device.name);
            list.pop_back();
        }
        Emit({event});
    }
}

} // namespace Granite
