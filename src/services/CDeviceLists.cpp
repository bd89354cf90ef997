#include "services/CDeviceLists.h"

#include "platform/TextUtil.h"

#include <string_view>

namespace {

std::string_view DevicePart(std::string_view id) {
    const size_t cut = id.rfind('\\');
    // A leading backslash alone names no device part; compare such ids whole.
    if (cut == std::string_view::npos || cut == 0)
        return id;
    return id.substr(0, cut);
}

} // namespace

bool CDeviceLists::SameDevice(std::string_view a, std::string_view b) {
    return Text::EqualsNoCase(a, b) || Text::EqualsNoCase(DevicePart(a), DevicePart(b));
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
