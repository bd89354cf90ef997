#pragma once
// A small value type standing in for the automation VARIANT: 32-bit integers, booleans, text and byte arrays.
// Copies are deep, so a value can be handed across threads safely.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

using VARIANT_BOOL = int16_t;
constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

enum class VarType : uint16_t { Empty = 0, I4 = 3, Bool = 11, UI4 = 19, String = 8, ByteArray = 0x2011 };

class Variant {
public:
    Variant() = default;
    static Variant FromI4(int32_t v);
    static Variant FromUI4(uint32_t v);
    static Variant FromBool(bool v);
    static Variant FromString(std::string v);
    static Variant FromBytes(std::vector<uint8_t> v);

    VarType Type() const { return type_; }
    bool IsEmpty() const { return type_ == VarType::Empty; }

    // Typed reads; a value of another type gives the fallback.
    int32_t GetI4(int32_t fallback = 0) const;
    uint32_t GetUI4(uint32_t fallback = 0) const;
    VARIANT_BOOL GetBool(VARIANT_BOOL fallback = VARIANT_FALSE) const;
    const std::string& GetString() const;
    const std::vector<uint8_t>& GetBytes() const;

    // Number of the value as a signed 32-bit integer, for I4, UI4 and BOOL; false for text and bytes.
    bool ToI4(int32_t& out) const;

    bool operator==(const Variant& other) const = default;

private:
    VarType type_ = VarType::Empty;
    std::variant<std::monostate, int32_t, uint32_t, VARIANT_BOOL, std::string, std::vector<uint8_t>> value_;
};
