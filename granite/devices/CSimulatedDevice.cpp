#include "granite/devices/CSimulatedDevice.h"

#include <algorithm>

namespace Granite {

DeviceChange DeviceChange::PropertyChange(int32_t number, Variant oldValue, Variant newValue) {
    DeviceChange c;
    c.type = Type::Property;
    c.number = number;
    c.oldValue = std::move(oldValue);
    c.newValue = std::move(newValue);
    return c;
}

DeviceChange DeviceChange::Event(int32_t code) {
    DeviceChange c;
    c.type = Type::CameraEvent;
    c.number = code;
    return c;
}

DeviceChange DeviceChange::Motor(uint32_t status) {
    DeviceChange c;
    c.type = Type::MotorStatus;
    c.number = static_cast<int32_t>(status);
    return c;
}

DeviceChange DeviceChange::Timer(int32_t work) {
    DeviceChange c;
    c.type = Type::Timer;
    c.number = work;
    return c;
}

CSimulatedDevice::CSimulatedDevice(DeviceKind kind, std::string model, uint16_t productId, std::string name,
                                   std::string id)
    : kind_(kind), model_(std::move(model)), productId_(productId), name_(std::move(name)),
      id_(std::move(id)) {
    Define(Prop::Name, Variant::FromString(name_), Access::Constant);
    Define(Prop::ProductId, Variant::FromI4(productId_), Access::Constant);
    Define(Prop::VendorId, Variant::FromI4(kVendorId), Access::Constant);
}

void CSimulatedDevice::Define(int32_t number, Variant value, Access access) {
    SimulatedProperty p;
    p.value = std::move(value);
    p.access = access;
    properties_[number] = std::move(p);
}

void CSimulatedDevice::DefineSwitch(int32_t number, int32_t value) {
    DefineChoice(number, value, {0, 1});
}

void CSimulatedDevice::DefineFlag(int32_t number, bool value, Access access) {
    Define(number, Variant::FromBool(value), access);
}

void CSimulatedDevice::DefineChoice(int32_t number, int32_t value, std::vector<int32_t> allowed) {
    Define(number, Variant::FromI4(value));
    properties_[number].allowed = std::move(allowed);
}

void CSimulatedDevice::DefineLevel(int32_t minNumber, int32_t maxNumber, int32_t valueNumber,
                                   int32_t defaultNumber, int32_t min, int32_t max, int32_t value,
                                   int32_t defaultValue) {
    Define(minNumber, Variant::FromI4(min), Access::Constant);
    Define(maxNumber, Variant::FromI4(max), Access::Constant);
    Define(defaultNumber, Variant::FromI4(defaultValue), Access::Constant);
    Define(valueNumber, Variant::FromI4(value));
    properties_[valueNumber].minProperty = minNumber;
    properties_[valueNumber].maxProperty = maxNumber;
}

void CSimulatedDevice::DefineRange(int32_t minNumber, int32_t maxNumber, int32_t valueNumber, int32_t min,
                                   int32_t max, int32_t value, Access access) {
    Define(minNumber, Variant::FromI4(min), Access::Constant);
    Define(maxNumber, Variant::FromI4(max), Access::Constant);
    Define(valueNumber, Variant::FromI4(value), access);
    properties_[valueNumber].minProperty = minNumber;
    properties_[valueNumber].maxProperty = maxNumber;
}

void CSimulatedDevice::DefineBounded(int32_t number, int32_t value, int32_t min, int32_t max) {
    Define(number, Variant::FromI4(value));
    properties_[number].minValue = min;
    properties_[number].maxValue = max;
}

void CSimulatedDevice::SetFaceTracking(bool single, bool multiple) {
    faceTracking_ = single;
    multipleFaceTracking_ = multiple;
}

SimulatedProperty* CSimulatedDevice::Find(int32_t number) {
    auto it = properties_.find(number);
    return it == properties_.end() ? nullptr : &it->second;
}

const SimulatedProperty* CSimulatedDevice::Find(int32_t number) const {
    auto it = properties_.find(number);
    return it == properties_.end() ? nullptr : &it->second;
}

int32_t CSimulatedDevice::State(int32_t number) const {
    const SimulatedProperty* p = Find(number);
    if (p == nullptr)
        return kPropertyNotAvailable;
    return p->access == Access::ReadWrite ? kPropertyReadWrite : kPropertyReadOnly;
}

HRESULT CSimulatedDevice::Read(int32_t number, Variant* value) const {
    if (value == nullptr)
        return E_POINTER;
    const SimulatedProperty* p = Find(number);
    if (p == nullptr)
        return E_NOTIMPL;
    *value = p->value;
    return S_OK;
}

Variant CSimulatedDevice::Value(int32_t number) const {
    const SimulatedProperty* p = Find(number);
    return p != nullptr ? p->value : Variant();
}

int32_t CSimulatedDevice::Number(int32_t number) const {
    const SimulatedProperty* p = Find(number);
    int32_t v = 0;
    if (p == nullptr || !p->value.ToI4(v))
        return 0;
    return v;
}

bool CSimulatedDevice::IsWritable(int32_t number) const {
    const SimulatedProperty* p = Find(number);
    return p != nullptr && p->access == Access::ReadWrite;
}

std::vector<int32_t> CSimulatedDevice::PropertyNumbers() const {
    std::vector<int32_t> numbers;
    for (const auto& [number, property] : properties_)
        numbers.push_back(number);
    return numbers;
}

HRESULT CSimulatedDevice::Convert(const SimulatedProperty& property, const Variant& in, Variant& out) const {
    // Programs write numbers as I4 and switches as booleans; either form is taken for either kind of
    // property, as a driver would, but text never becomes a number.
    switch (property.value.Type()) {
    case VarType::I4:
    case VarType::UI4: {
        int32_t v = 0;
        if (!in.ToI4(v))
            return E_INVALIDARG;
        if (in.Type() == VarType::Bool)
            v = v != 0 ? 1 : 0;
        out = property.value.Type() == VarType::UI4 ? Variant::FromUI4(static_cast<uint32_t>(v))
                                                    : Variant::FromI4(v);
        return S_OK;
    }
    case VarType::Bool: {
        int32_t v = 0;
        if (!in.ToI4(v))
            return E_INVALIDARG;
        out = Variant::FromBool(v != 0);
        return S_OK;
    }
    case VarType::String:
        if (in.Type() != VarType::String)
            return E_INVALIDARG;
        out = in;
        return S_OK;
    case VarType::ByteArray:
        if (in.Type() != VarType::ByteArray)
            return E_INVALIDARG;
        out = in;
        return S_OK;
    case VarType::Empty:
        break;
    }
    return E_INVALIDARG;
}

HRESULT CSimulatedDevice::Validate(const SimulatedProperty& property, const Variant& converted) const {
    // A report keeps the length the device defines for it.
    if (converted.Type() == VarType::ByteArray)
        return converted.GetBytes().size() == property.value.GetBytes().size() ? S_OK : E_INVALIDARG;
    int32_t v = 0;
    if (!converted.ToI4(v) || converted.Type() == VarType::Bool)
        return S_OK;
    if (property.minProperty && v < Number(*property.minProperty))
        return E_INVALIDARG;
    if (property.maxProperty && v > Number(*property.maxProperty))
        return E_INVALIDARG;
    if ((property.minValue && v < *property.minValue) || (property.maxValue && v > *property.maxValue))
        return E_INVALIDARG;
    if (!property.allowed.empty() &&
        std::find(property.allowed.begin(), property.allowed.end(), v) == property.allowed.end())
        return E_INVALIDARG;
    return S_OK;
}

HRESULT CSimulatedDevice::Write(int32_t number, const Variant& value, WriteOrigin origin,
                                std::vector<DeviceChange>& changes) {
    SimulatedProperty* p = Find(number);
    if (p == nullptr)
        return E_NOTIMPL;
    if (p->access == Access::Constant)
        return E_ACCESSDENIED;
    if (p->access == Access::Sensor && origin == WriteOrigin::Client)
        return E_ACCESSDENIED;
    Variant converted;
    HRESULT hr = Convert(*p, value, converted);
    if (FAILED(hr))
        return hr;
    hr = Validate(*p, converted);
    if (FAILED(hr))
        return hr;
    // A refused write must leave nothing behind: the behaviour's own changes go to a scratch list first.
    std::vector<DeviceChange> caused;
    hr = BeforeWrite(number, converted, origin, caused);
    if (FAILED(hr))
        return hr;
    changes.insert(changes.end(), caused.begin(), caused.end());
    Variant old = Find(number)->value;
    Store(number, converted, changes);
    AfterWrite(number, old, converted, changes);
    return S_OK;
}

void CSimulatedDevice::Store(int32_t number, const Variant& value, std::vector<DeviceChange>& changes) {
    SimulatedProperty* p = Find(number);
    if (p == nullptr || p->value == value)
        return;
    Variant old = p->value;
    p->value = value;
    changes.push_back(DeviceChange::PropertyChange(number, std::move(old), value));
}

HRESULT CSimulatedDevice::BeforeWrite(int32_t, const Variant&, WriteOrigin, std::vector<DeviceChange>&) {
    return S_OK;
}

void CSimulatedDevice::AfterWrite(int32_t, const Variant&, const Variant&, std::vector<DeviceChange>&) {}

void CSimulatedDevice::OnTimer(int32_t, std::vector<DeviceChange>&) {}

} // namespace Granite
