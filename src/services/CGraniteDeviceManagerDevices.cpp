// Device lists, the current device of each kind, and the values kept per camera.
#include "services/CGraniteDeviceManager.h"

#include "platform/DebugOutput.h"
#include "platform/TextUtil.h"

#include <map>
#include <string_view>

namespace {

// A service answering an absurd count must not keep the user-interface thread busy for hours.
constexpr int32_t kMaxListedDevices = 1024;

std::string_view DevicePart(std::string_view id) {
    const size_t cut = id.rfind('\\');
    // A leading backslash alone names no device part; compare such ids whole.
    if (cut == std::string_view::npos || cut == 0)
        return id;
    return id.substr(0, cut);
}

bool SameDevice(std::string_view a, std::string_view b) {
    return Text::EqualsNoCase(a, b) || Text::EqualsNoCase(DevicePart(a), DevicePart(b));
}

int32_t NumberOf(const Variant& value) {
    int32_t number = 0;
    value.ToI4(number);
    return number;
}

} // namespace

CGraniteDeviceManager::DeviceList& CGraniteDeviceManager::ListOf(Kind kind) {
    switch (kind) {
    case Kind::Video:
        return videoDevices_;
    case Kind::Microphone:
        return microphones_;
    case Kind::Speaker:
        return speakers_;
    case Kind::Hid:
        break;
    }
    return hidDevices_;
}

const CGraniteDeviceManager::DeviceList& CGraniteDeviceManager::ListOf(Kind kind) const {
    return const_cast<CGraniteDeviceManager*>(this)->ListOf(kind);
}

std::string& CGraniteDeviceManager::CurrentIdOf(Kind kind) {
    return kind == Kind::Microphone ? currentMicrophoneId_
                                    : (kind == Kind::Speaker ? currentSpeakerId_ : currentVideoId_);
}

int& CGraniteDeviceManager::CurrentIndexOf(Kind kind) {
    return kind == Kind::Microphone ? currentMicrophoneIndex_
                                    : (kind == Kind::Speaker ? currentSpeakerIndex_ : currentVideoIndex_);
}

HRESULT CGraniteDeviceManager::RefreshVideoDevices() {
    return RefreshList(Kind::Video);
}

HRESULT CGraniteDeviceManager::RefreshMicrophones() {
    return RefreshList(Kind::Microphone);
}

HRESULT CGraniteDeviceManager::RefreshSpeakers() {
    return RefreshList(Kind::Speaker);
}

HRESULT CGraniteDeviceManager::RefreshHidDevices() {
    return RefreshList(Kind::Hid);
}

HRESULT CGraniteDeviceManager::RefreshList(Kind kind) {
    DeviceList& list = ListOf(kind);
    // The values the program keeps per camera outlive a rebuild of the list (another camera arriving must
    // not make the program forget what it noted about this one).
    std::map<std::string, std::map<std::string, int32_t>> keptValues;
    for (const auto& entry : list) {
        if (entry && !entry->Values().empty())
            keptValues[entry->id] = entry->Values();
    }
    ClearList(list); // each camera entry drops its list-wide subscriptions
    if (service_ == nullptr)
        return E_FAIL;

    int32_t count = 0;
    HRESULT hr = E_FAIL;
    switch (kind) {
    case Kind::Video:
        hr = service_->GetVideoDeviceCount(&count);
        break;
    case Kind::Microphone:
        hr = service_->GetMicrophoneCount(&count);
        break;
    case Kind::Speaker:
        hr = service_->GetSpeakerCount(&count);
        break;
    case Kind::Hid:
        hr = service_->GetHidDeviceCount(&count);
        break;
    }
    if (FAILED(hr))
        return E_FAIL;
    if (count > kMaxListedDevices) {
        OutputDebugString("CGraniteDeviceManager: the service reports too many devices; list truncated");
        count = kMaxListedDevices;
    }

    for (int32_t i = 0; i < count; ++i) {
        std::string id;
        switch (kind) {
        case Kind::Video:
            hr = service_->GetVideoDeviceId(i, &id);
            break;
        case Kind::Microphone:
            hr = service_->GetMicrophoneId(i, &id);
            break;
        case Kind::Speaker:
            hr = service_->GetSpeakerId(i, &id);
            break;
        case Kind::Hid:
            hr = service_->GetHidDeviceId(i, &id);
            break;
        }
        // An empty id cannot address the device in any later call.
        if (FAILED(hr) || id.empty())
            continue;
        Variant name, info1, info2, info3;
        if (kind != Kind::Hid && FAILED(ServiceGet(kind, id, GdmProperty::Name, &name)))
            continue;
        if (FAILED(ServiceGet(kind, id, GdmProperty::Info1, &info1)) ||
            FAILED(ServiceGet(kind, id, GdmProperty::Info2, &info2)))
            continue;
        if (kind == Kind::Video)
            ServiceGet(kind, id, GdmProperty::Info3, &info3); // optional
        auto entry = std::make_unique<DeviceEntry>(name.GetString(), id, NumberOf(info1), NumberOf(info2),
                                                   NumberOf(info3));
        if (kind == Kind::Video) {
            entry->SubscribeListEvents(service_);
            if (auto kept = keptValues.find(id); kept != keptValues.end())
                entry->SetValues(std::move(kept->second));
        }
        list.push_back(std::move(entry));
    }

    // Keep the current index pointing at the current device: a device arriving may have moved it.
    if (kind != Kind::Hid && !CurrentIdOf(kind).empty()) {
        const int found = kind == Kind::Video ? FindCameraIndex(CurrentIdOf(kind))
                                              : FindExactIndex(list, CurrentIdOf(kind));
        if (found >= 0)
            CurrentIndexOf(kind) = found;
    }
    return S_OK;
}

void CGraniteDeviceManager::ClearList(DeviceList& list) {
    for (auto& entry : list)
        entry.reset();
    list.clear();
}

int CGraniteDeviceManager::FindCameraIndex(const std::string& id) const {
    for (size_t i = 0; i < videoDevices_.size(); ++i) {
        if (videoDevices_[i] && SameDevice(videoDevices_[i]->id, id))
            return static_cast<int>(i);
    }
    return -1;
}

int CGraniteDeviceManager::FindExactIndex(const DeviceList& list, const std::string& id) {
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i] && list[i]->id == id)
            return static_cast<int>(i);
    }
    return -1;
}

void CGraniteDeviceManager::ReleaseCurrentCamera(const std::string& alreadyDetachedId) {
    if (service_ != nullptr && !currentVideoId_.empty() && notificationsActive_) {
        if (alreadyDetachedId.empty() || alreadyDetachedId != currentVideoId_)
            service_->DetachVideoDevice(currentVideoId_);
        for (int32_t code : GdmProperty::kCurrentCameraEventCodes)
            service_->UnsubscribeVideoEvent(currentVideoId_, code, 0);
    }
    notificationsActive_ = false;
}

void CGraniteDeviceManager::AttachCurrentCamera() {
    // Results are not checked: a camera that refuses some codes still streams.
    service_->AttachVideoDevice(currentVideoId_);
    for (int32_t code : GdmProperty::kCurrentCameraEventCodes)
        service_->SubscribeVideoEvent(currentVideoId_, code, 0);
    notificationsActive_ = true;
}

HRESULT CGraniteDeviceManager::SelectVideoDevice(int index) {
    CCallScope scope(this);
    if (service_ == nullptr)
        return E_FAIL;
    if (index < 0 || index >= static_cast<int>(videoDevices_.size()))
        return E_INVALIDARG;
    const DeviceEntry* entry = videoDevices_[static_cast<size_t>(index)].get();
    if (entry == nullptr)
        return E_FAIL;
    if (!currentVideoId_.empty() && SameDevice(entry->id, currentVideoId_))
        return S_OK;

    const std::string newId = entry->id; // the entry may go while listeners run
    currentVideoIndex_ = index;
    if (notificationsActive_ && !currentVideoId_.empty())
        ReleaseCurrentCamera({});
    currentVideoId_ = newId;
    AttachCurrentCamera();
    ForEachListener(
        [&](IGraniteDeviceManagerEvent& l, uint32_t cookie) { l.OnVideoDeviceSelected(cookie, newId); });
    return S_OK;
}

HRESULT CGraniteDeviceManager::GetSelectedVideoDeviceIndex(int* index) {
    if (index == nullptr)
        return E_INVALIDARG;
    *index = currentVideoIndex_;
    return S_OK;
}

HRESULT CGraniteDeviceManager::SelectVideoDeviceById(const std::string& id) {
    const int index = FindCameraIndex(id);
    return index < 0 ? E_FAIL : SelectVideoDevice(index);
}

HRESULT CGraniteDeviceManager::SelectAudioDevice(Kind kind, int index) {
    if (service_ == nullptr)
        return E_FAIL;
    DeviceList& list = ListOf(kind);
    if (index < 0 || index >= static_cast<int>(list.size()))
        return E_INVALIDARG;
    const DeviceEntry* entry = list[static_cast<size_t>(index)].get();
    if (entry == nullptr)
        return E_FAIL;
    std::string& currentId = CurrentIdOf(kind);
    int& currentIndex = CurrentIndexOf(kind);
    if (!currentId.empty() && currentId == entry->id && currentIndex == index)
        return S_OK;
    currentId = entry->id;
    currentIndex = index;
    if (kind == Kind::Microphone)
        service_->SelectMicrophone(currentId);
    else
        service_->SelectSpeaker(currentId);
    return S_OK;
}

HRESULT CGraniteDeviceManager::SelectAudioDeviceById(Kind kind, const std::string& id) {
    const int index = FindExactIndex(ListOf(kind), id);
    return index < 0 ? E_FAIL : SelectAudioDevice(kind, index);
}

HRESULT CGraniteDeviceManager::SelectMicrophone(int index) {
    return SelectAudioDevice(Kind::Microphone, index);
}

HRESULT CGraniteDeviceManager::GetSelectedMicrophoneIndex(int* index) {
    if (index == nullptr)
        return E_INVALIDARG;
    *index = currentMicrophoneIndex_;
    return S_OK;
}

HRESULT CGraniteDeviceManager::SelectMicrophoneById(const std::string& id) {
    return SelectAudioDeviceById(Kind::Microphone, id);
}

HRESULT CGraniteDeviceManager::SelectSpeaker(int index) {
    return SelectAudioDevice(Kind::Speaker, index);
}

HRESULT CGraniteDeviceManager::GetSelectedSpeakerIndex(int* index) {
    if (index == nullptr)
        return E_INVALIDARG;
    *index = currentSpeakerIndex_;
    return S_OK;
}

HRESULT CGraniteDeviceManager::SelectSpeakerById(const std::string& id) {
    return SelectAudioDeviceById(Kind::Speaker, id);
}

HRESULT CGraniteDeviceManager::IsSameDevice(const std::string& a, const std::string& b, bool* same) {
    if (same != nullptr)
        *same = SameDevice(a, b);
    return S_OK;
}

HRESULT CGraniteDeviceManager::CopyEntry(const DeviceList& list, int index, DeviceInfo* out) const {
    if (out == nullptr || index < 0)
        return E_INVALIDARG;
    if (index >= static_cast<int>(list.size()) || !list[static_cast<size_t>(index)])
        return E_FAIL;
    const DeviceEntry& entry = *list[static_cast<size_t>(index)];
    *out = DeviceInfo{entry.name, entry.id, entry.info1, entry.info2, entry.info3};
    return S_OK;
}

HRESULT CGraniteDeviceManager::FindEntry(const DeviceList& list, const std::string& id,
                                         DeviceInfo* out) const {
    if (out == nullptr)
        return E_INVALIDARG;
    const int index = FindExactIndex(list, id);
    return index < 0 ? E_FAIL : CopyEntry(list, index, out);
}

int CGraniteDeviceManager::GetMicrophoneCount() {
    return static_cast<int>(microphones_.size());
}

HRESULT CGraniteDeviceManager::GetMicrophone(int index, DeviceInfo* out) {
    return CopyEntry(microphones_, index, out);
}

HRESULT CGraniteDeviceManager::FindMicrophone(const std::string& id, DeviceInfo* out) {
    return FindEntry(microphones_, id, out);
}

HRESULT CGraniteDeviceManager::GetSelectedMicrophoneId(std::string& id) {
    if (currentMicrophoneId_.empty())
        return E_FAIL;
    id = currentMicrophoneId_;
    return S_OK;
}

HRESULT CGraniteDeviceManager::GetSelectedSpeakerId(std::string& id) {
    if (currentSpeakerId_.empty())
        return E_FAIL;
    id = currentSpeakerId_;
    return S_OK;
}

int CGraniteDeviceManager::GetSpeakerCount() {
    return static_cast<int>(speakers_.size());
}

HRESULT CGraniteDeviceManager::GetSpeaker(int index, DeviceInfo* out) {
    return CopyEntry(speakers_, index, out);
}

HRESULT CGraniteDeviceManager::FindSpeaker(const std::string& id, DeviceInfo* out) {
    return FindEntry(speakers_, id, out);
}

int CGraniteDeviceManager::GetVideoDeviceCount() {
    return static_cast<int>(videoDevices_.size());
}

HRESULT CGraniteDeviceManager::GetVideoDevice(int index, VideoDeviceInfo* out) {
    if (out == nullptr)
        return E_INVALIDARG;
    DeviceInfo info;
    const HRESULT hr = CopyEntry(videoDevices_, index, &info);
    if (SUCCEEDED(hr))
        *out = VideoDeviceInfo{info.name, info.id, info.info1, info.info2, info.info3, 0};
    return hr;
}

HRESULT CGraniteDeviceManager::FindVideoDevice(const std::string& id, VideoDeviceInfo* out) {
    if (out == nullptr)
        return E_INVALIDARG;
    const int index = FindCameraIndex(id);
    return index < 0 ? E_FAIL : GetVideoDevice(index, out);
}

int CGraniteDeviceManager::GetHidDeviceCount() {
    return static_cast<int>(hidDevices_.size());
}

HRESULT CGraniteDeviceManager::GetHidDevice(int index, DeviceInfo* out) {
    return CopyEntry(hidDevices_, index, out);
}

HRESULT CGraniteDeviceManager::FindHidDevice(const std::string& id, DeviceInfo* out) {
    return FindEntry(hidDevices_, id, out);
}

HRESULT CGraniteDeviceManager::SetVideoDeviceValue(const std::string& deviceId, const std::string& key,
                                                   int32_t value) {
    const int index = FindCameraIndex(deviceId);
    if (index < 0)
        return E_FAIL;
    videoDevices_[static_cast<size_t>(index)]->SetValue(key, value);
    return S_OK;
}

HRESULT CGraniteDeviceManager::GetVideoDeviceValue(const std::string& deviceId, const std::string& key,
                                                   int32_t* value, int32_t defaultValue) {
    if (value == nullptr)
        return E_FAIL;
    *value = defaultValue;
    const int index = FindCameraIndex(deviceId);
    if (index < 0)
        return E_FAIL;
    videoDevices_[static_cast<size_t>(index)]->GetValue(key, value);
    return S_OK;
}
