#include "services/CDevicePropertyAccess.h"

using namespace GdmProperty;

CDevicePropertyAccess::CDevicePropertyAccess(IInProcDeviceManager* const& service, CDeviceLists& lists)
    : service_(service), lists_(lists) {}

HRESULT CDevicePropertyAccess::ServiceQuery(Kind kind, const std::string& id, int32_t property,
                                            int32_t* state) {
    switch (kind) {
    case Kind::Video:
        return service_->QueryVideoProperty(id, property, state);
    case Kind::Microphone:
        return service_->QueryMicrophoneProperty(id, property, state);
    case Kind::Speaker:
        return service_->QuerySpeakerProperty(id, property, state);
    case Kind::Hid:
        break;
    }
    return service_->QueryHidProperty(id, property, state);
}

HRESULT CDevicePropertyAccess::ServiceGet(Kind kind, const std::string& id, int32_t property,
                                          Variant* value) {
    switch (kind) {
    case Kind::Video:
        return service_->GetVideoProperty(id, property, value);
    case Kind::Microphone:
        return service_->GetMicrophoneProperty(id, property, value);
    case Kind::Speaker:
        return service_->GetSpeakerProperty(id, property, value);
    case Kind::Hid:
        break;
    }
    return service_->GetHidProperty(id, property, value);
}

HRESULT CDevicePropertyAccess::ServiceSet(Kind kind, const std::string& id, int32_t property,
                                          const Variant& value) {
    switch (kind) {
    case Kind::Video:
        return service_->SetVideoProperty(id, property, value);
    case Kind::Microphone:
        return service_->SetMicrophoneProperty(id, property, value);
    case Kind::Speaker:
        return service_->SetSpeakerProperty(id, property, value);
    case Kind::Hid:
        break;
    }
    return service_->SetHidProperty(id, property, value);
}

bool CDevicePropertyAccess::IsAvailable(Kind kind, const std::string& id, int32_t property) {
    int32_t state = GDM_PROPERTY_NOT_AVAILABLE;
    return SUCCEEDED(ServiceQuery(kind, id, property, &state)) && state != GDM_PROPERTY_NOT_AVAILABLE;
}

HRESULT CDevicePropertyAccess::ReadLong(Kind kind, const std::string& id, int32_t property, int32_t* value) {
    Variant read;
    int32_t number = 0;
    if (FAILED(ServiceGet(kind, id, property, &read)) || !read.ToI4(number))
        return E_FAIL;
    *value = number;
    return S_OK;
}

const std::string* CDevicePropertyAccess::CurrentDevice(Kind kind) const {
    if (service_ == nullptr || kind == Kind::Hid)
        return nullptr;
    const std::string& id = lists_.CurrentIdOf(kind);
    return id.empty() ? nullptr : &id;
}

HRESULT CDevicePropertyAccess::GetLong(Kind kind, int32_t property, int32_t* value) {
    const std::string* id = CurrentDevice(kind);
    if (id == nullptr || value == nullptr)
        return E_FAIL;
    return ReadLong(kind, *id, property, value);
}

HRESULT CDevicePropertyAccess::GetBool(Kind kind, int32_t property, bool* value) {
    const std::string* id = CurrentDevice(kind);
    if (id == nullptr || value == nullptr)
        return E_FAIL;
    return GetFlagOf(kind, *id, property, value);
}

HRESULT CDevicePropertyAccess::GetFlagOf(Kind kind, const std::string& deviceId, int32_t property,
                                         bool* value) {
    if (service_ == nullptr || deviceId.empty() || value == nullptr)
        return E_FAIL;
    Variant read;
    int32_t number = 0;
    if (FAILED(ServiceGet(kind, deviceId, property, &read)) || !read.ToI4(number))
        return E_FAIL;
    *value = IsVariantTrue(read);
    return S_OK;
}

HRESULT CDevicePropertyAccess::SetLong(Kind kind, int32_t property, int32_t value) {
    const std::string* id = CurrentDevice(kind);
    if (id == nullptr)
        return E_FAIL;
    return FAILED(ServiceSet(kind, *id, property, Variant::FromI4(value))) ? E_FAIL : S_OK;
}

HRESULT CDevicePropertyAccess::SetBool(Kind kind, int32_t property, bool value) {
    const std::string* id = CurrentDevice(kind);
    if (id == nullptr)
        return E_FAIL;
    return FAILED(ServiceSet(kind, *id, property, Variant::FromBool(value))) ? E_FAIL : S_OK;
}

HRESULT CDevicePropertyAccess::GetRange(Kind kind, const Level& level, int32_t* min, int32_t* max,
                                        int32_t* value) {
    const std::string* id = CurrentDevice(kind);
    if (id == nullptr || min == nullptr || max == nullptr || value == nullptr)
        return E_FAIL;
    if (!IsAvailable(kind, *id, level.value))
        return E_NOTIMPL;
    // All three or nothing: a half-read range would put a slider on made-up limits.
    int32_t readMin = 0, readMax = 0, readValue = 0;
    if (FAILED(ReadLong(kind, *id, level.min, &readMin)) ||
        FAILED(ReadLong(kind, *id, level.max, &readMax)) ||
        FAILED(ReadLong(kind, *id, level.value, &readValue)))
        return E_FAIL;
    *min = readMin;
    *max = readMax;
    *value = readValue;
    return S_OK;
}

HRESULT CDevicePropertyAccess::GetSwitch(Kind kind, int32_t property, int32_t* value) {
    const std::string* id = CurrentDevice(kind);
    if (id == nullptr || value == nullptr)
        return E_FAIL;
    return GetOf(kind, *id, property, value);
}

HRESULT CDevicePropertyAccess::GetOf(Kind kind, const std::string& deviceId, int32_t property,
                                     int32_t* value) {
    if (service_ == nullptr || deviceId.empty() || value == nullptr)
        return E_FAIL;
    if (!IsAvailable(kind, deviceId, property))
        return E_NOTIMPL;
    return ReadLong(kind, deviceId, property, value);
}

HRESULT CDevicePropertyAccess::SetOf(Kind kind, const std::string& deviceId, int32_t property,
                                     int32_t value) {
    if (service_ == nullptr || deviceId.empty())
        return E_FAIL;
    return FAILED(ServiceSet(kind, deviceId, property, Variant::FromI4(value))) ? E_FAIL : S_OK;
}

HRESULT CDevicePropertyAccess::GetGlobalOption(int32_t option, int32_t* value) {
    if (service_ == nullptr || value == nullptr)
        return E_FAIL;
    int32_t state = GDM_PROPERTY_NOT_AVAILABLE;
    if (FAILED(service_->QueryGlobalOption(option, &state)) || state == GDM_PROPERTY_NOT_AVAILABLE)
        return E_NOTIMPL;
    Variant read;
    if (FAILED(service_->GetGlobalOption(option, &read)))
        return E_FAIL;
    if (read.Type() == VarType::Bool) {
        *value = read.GetBool() == VARIANT_TRUE ? 1 : 0;
        return S_OK;
    }
    int32_t number = 0;
    if (!read.ToI4(number))
        return E_FAIL;
    *value = number;
    return S_OK;
}

HRESULT CDevicePropertyAccess::SetGlobalOption(int32_t option, int32_t value) {
    if (service_ == nullptr)
        return E_FAIL;
    // The options are switches; the service reports them back as VARIANT_TRUE / VARIANT_FALSE.
    return FAILED(service_->SetGlobalOption(option, Variant::FromBool(value != 0))) ? E_FAIL : S_OK;
}

HRESULT CDevicePropertyAccess::CallOnCurrent(Kind kind,
                                             HRESULT (IInProcDeviceManager::*operation)(const std::string&)) {
    const std::string* id = CurrentDevice(kind);
    if (id == nullptr)
        return E_FAIL;
    const std::string copy = *id;
    return (service_->*operation)(copy);
}

HRESULT CDevicePropertyAccess::GetServiceString(HRESULT (IInProcDeviceManager::*get)(std::string*),
                                                std::string& value) {
    if (service_ == nullptr)
        return E_FAIL;
    std::string read;
    if (FAILED((service_->*get)(&read)))
        return E_FAIL;
    value = std::move(read);
    return S_OK;
}

HRESULT CDevicePropertyAccess::SetServiceString(HRESULT (IInProcDeviceManager::*set)(const std::string&),
                                                const std::string& value) {
    if (service_ == nullptr || value.empty())
        return E_FAIL;
    return FAILED((service_->*set)(value)) ? E_FAIL : S_OK;
}

HRESULT CDevicePropertyAccess::SetHidValue(const std::string& hidId, int32_t property, const Variant& value) {
    if (service_ == nullptr || hidId.empty())
        return E_FAIL;
    return FAILED(ServiceSet(Kind::Hid, hidId, property, value)) ? E_FAIL : S_OK;
}
