#include "platform/Variant.h"

namespace {
const std::string kEmptyString;
const std::vector<uint8_t> kEmptyBytes;
} // namespace

Variant Variant::FromI4(int32_t v) {
    Variant r;
    r.type_ = VarType::I4;
    r.value_ = v;
    return r;
}

Variant Variant::FromUI4(uint32_t v) {
    Variant r;
    r.type_ = VarType::UI4;
    r.value_ = v;
    return r;
}

Variant Variant::FromBool(bool v) {
    Variant r;
    r.type_ = VarType::Bool;
    r.value_ = v ? VARIANT_TRUE : VARIANT_FALSE;
    return r;
}

Variant Variant::FromString(std::string v) {
    Variant r;
    r.type_ = VarType::String;
    r.value_ = std::move(v);
    return r;
}

Variant Variant::FromBytes(std::vector<uint8_t> v) {
    Variant r;
    r.type_ = VarType::ByteArray;
    r.value_ = std::move(v);
    return r;
}

int32_t Variant::GetI4(int32_t fallback) const {
    return type_ == VarType::I4 ? std::get<int32_t>(value_) : fallback;
}

uint32_t Variant::GetUI4(uint32_t fallback) const {
    return type_ == VarType::UI4 ? std::get<uint32_t>(value_) : fallback;
}

VARIANT_BOOL Variant::GetBool(VARIANT_BOOL fallback) const {
    return type_ == VarType::Bool ? std::get<VARIANT_BOOL>(value_) : fallback;
}

const std::string& Variant::GetString() const {
    return type_ == VarType::String ? std::get<std::string>(value_) : kEmptyString;
}

const std::vector<uint8_t>& Variant::GetBytes() const {
    return type_ == VarType::ByteArray ? std::get<std::vector<uint8_t>>(value_) : kEmptyBytes;
}

bool Variant::ToI4(int32_t& out) const {
    switch (type_) {
    case VarType::I4:
        out = std::get<int32_t>(value_);
        return true;
    case VarType::UI4:
        out = static_cast<int32_t>(std::get<uint32_t>(value_));
        return true;
    case VarType::Bool:
        out = std::get<VARIANT_BOOL>(value_);
        return true;
    default:
        return false;
    }
}
