#include "services/CDeviceLists.h"

#include "platform/DebugOutput.h"
#include "platform/TextUtil.h"
#include "services/CDevicePropertyAccess.h"
#include "services/DeviceManagerProperties.h"

#include <map>
#include <string_view>

namespace {

// A service answering an absurd count must not keep the user-interface thread busy for hours.
constexpr int32_t kMaxListedDevices = 1024;

int32_t NumberOf(const Variant& value) {
    int32_t number = 0;
    value.ToI4(number);
    return number;
}

} // namespace

bool CDeviceLists::SameDevice(std::string_view a, std::string_view b) {
    return Text::SameCamera(a, b);
}

void CDeviceLists::ClearAll() {
    for (Kind kind : {Kind::Video, Kind::Microphone, Kind::Speaker, Kind::Hid})
        ClearList(ListOf(kind));
    currentVideoId_.clear();
    currentMicrophoneId_.clear();
    currentSpeakerId_.clear();
}

CDeviceLists::DeviceList& CDeviceLists::ListOf(Kind kind) {
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

const CDeviceLists::DeviceList& CDeviceLists::ListOf(Kind kind) const {
    return const_cast<CDeviceLists*>(this)->ListOf(kind);
}

std::string& CDeviceLists::CurrentIdOf(Kind kind) {
    return kind == Kind::Microphone ? currentMicrophoneId_
                                    : (kind == Kind::Speaker ? currentSpeakerId_ : currentVideoId_);
}

int& CDeviceLists::CurrentIndexOf(Kind kind) {
    return kind == Kind::Microphone ? currentMicrophoneIndex_
                                    : (kind == Kind::Speaker ? currentSpeakerIndex_ : currentVideoIndex_);
}

std::string& CDeviceLists::VanishedIdOf(Kind kind) {
    return kind == Kind::Microphone ? vanishedMicrophoneId_
                                    : (kind == Kind::Speaker ? vanishedSpeakerId_ : vanishedVideoId_);
}

bool CDeviceLists::SameId(Kind kind, const std::string& a, const std::string& b) {
    // Cameras are matched as the service names them in its events; microphones and speakers exactly.
    return kind == Kind::Video ? SameDevice(a, b) : a == b;
}

int CDeviceLists::FindIndex(Kind kind, const std::string& id) const {
    return kind == Kind::Video ? FindCameraIndex(id) : FindExactIndex(ListOf(kind), id);
}

int CDeviceLists::FindCameraIndex(const std::string& id) const {
    for (size_t i = 0; i < videoDevices_.size(); ++i) {
        if (videoDevices_[i] && SameDevice(videoDevices_[i]->id, id))
            return static_cast<int>(i);
    }
    return -1;
}

int CDeviceLists::FindExactIndex(const DeviceList& list, const std::string& id) {
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i] && list[i]->id == id)
            return static_cast<int>(i);
    }
    return -1;
}

void CDeviceLists::ClearList(DeviceList& list) {
    for (auto& entry : list)
        entry.reset();
    list.clear();
}

HRESULT CDeviceLists::CopyEntry(const DeviceList& list, int index, DeviceInfo* out) const {
    if (out == nullptr || index < 0)
        return E_INVALIDARG;
    if (index >= static_cast<int>(list.size()) || !list[static_cast<size_t>(index)])
        return E_FAIL;
    const DeviceEntry& entry = *list[static_cast<size_t>(index)];
    *out = DeviceInfo{entry.name, entry.id, entry.productId, entry.vendorId, entry.revision};
    return S_OK;
}

HRESULT CDeviceLists::FindEntry(const DeviceList& list, const std::string& id, DeviceInfo* out) const {
    if (out == nullptr)
        return E_INVALIDARG;
    const int index = FindExactIndex(list, id);
    return index < 0 ? E_FAIL : CopyEntry(list, index, out);
}

HRESULT CDeviceLists::Refresh(Kind kind, IInProcDeviceManager* service, CDevicePropertyAccess& props,
                              const std::function<void()>& releaseCurrentCamera) {
    DeviceList& list = ListOf(kind);
    // The values the program keeps per camera outlive a rebuild of the list (another camera arriving must
    // not make the program forget what it noted about this one).
    std::map<std::string, std::map<std::string, int32_t>> keptValues;
    for (const auto& entry : list) {
        if (entry && !entry->Values().empty())
            keptValues[entry->id] = entry->Values();
    }
    ClearList(list); // each camera entry drops its list-wide subscriptions
    if (service == nullptr)
        return E_FAIL;

    int32_t count = 0;
    HRESULT hr = E_FAIL;
    switch (kind) {
    case Kind::Video:
        hr = service->GetVideoDeviceCount(&count);
        break;
    case Kind::Microphone:
        hr = service->GetMicrophoneCount(&count);
        break;
    case Kind::Speaker:
        hr = service->GetSpeakerCount(&count);
        break;
    case Kind::Hid:
        hr = service->GetHidDeviceCount(&count);
        break;
    }
    if (FAILED(hr))
        return E_FAIL;
    if (count > kMaxListedDevices) {
        OutputDebugString("CDeviceLists: the service reports too many devices; list truncated");
        count = kMaxListedDevices;
    }

    for (int32_t i = 0; i < count; ++i) {
        std::string id;
        switch (kind) {
        case Kind::Video:
            hr = service->GetVideoDeviceId(i, &id);
            break;
        case Kind::Microphone:
            hr = service->GetMicrophoneId(i, &id);
            break;
        case Kind::Speaker:
            hr = service->GetSpeakerId(i, &id);
            break;
        case Kind::Hid:
            hr = service->GetHidDeviceId(i, &id);
            break;
        }
        // An empty id cannot address the device in any later call.
        if (FAILED(hr) || id.empty())
            continue;
        Variant name, productId, vendorId, revision;
        if (kind != Kind::Hid && FAILED(props.ServiceGet(kind, id, GdmProperty::Name, &name)))
            continue;
        if (FAILED(props.ServiceGet(kind, id, GdmProperty::ProductId, &productId)) ||
            FAILED(props.ServiceGet(kind, id, GdmProperty::VendorId, &vendorId)))
            continue;
        if (kind == Kind::Video)
            props.ServiceGet(kind, id, GdmProperty::Revision, &revision); // optional
        auto entry = std::make_unique<DeviceEntry>(name.GetString(), id, NumberOf(productId),
                                                   NumberOf(vendorId), NumberOf(revision));
        if (kind == Kind::Video) {
            entry->SubscribeListEvents(service);
            if (auto kept = keptValues.find(id); kept != keptValues.end())
                entry->SetValues(std::move(kept->second));
        }
        list.push_back(std::move(entry));
    }

    // Keep the current index pointing at the current device: a device arriving may have moved it. A current
    // device the service no longer lists has gone before its removal was reported (an arrival refreshed the
    // list first): let go of it now, so that no call goes to a device that is not there, and remember it so
    // that its removal still names it as the one that was current.
    if (kind != Kind::Hid && !CurrentIdOf(kind).empty()) {
        const int found = FindIndex(kind, CurrentIdOf(kind));
        if (found >= 0) {
            CurrentIndexOf(kind) = found;
        } else {
            if (kind == Kind::Video)
                releaseCurrentCamera();
            VanishedIdOf(kind) = CurrentIdOf(kind);
            CurrentIdOf(kind).clear();
            CurrentIndexOf(kind) = 0;
        }
    }
    return S_OK;
}
