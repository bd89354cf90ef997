#include "platform/SettingsPrimitives.h"

#include "platform/TextUtil.h"

namespace Settings {
namespace {

// Opens the key, creating it with the store's class when missing, as a read through the platform does.
HRESULT OpenOrCreate(CRegistry& reg, const std::string& keyPath, bool isVolatile, uint32_t access) {
    return reg.CreateKey(Hive::CurrentUser, keyPath, kDefaultKeyClass, isVolatile, access);
}

} // namespace

HRESULT ReadNumber(const std::string& keyPath, const char* name, uint32_t* value, uint32_t defaultValue) {
    if (name == nullptr || value == nullptr || keyPath.empty())
        return E_FAIL;
    CRegistry& reg = CRegistry::Instance();
    RegValue v;
    // The usual case, an existing value, costs one lookup; the key is created only when the read misses.
    HRESULT hr = reg.QueryValue(Hive::CurrentUser, keyPath, name, v);
    if (SUCCEEDED(hr) && v.type == REG_DWORD) {
        *value = v.dword;
        return S_OK;
    }
    if (FAILED(hr) && !reg.KeyExists(Hive::CurrentUser, keyPath) &&
        FAILED(OpenOrCreate(reg, keyPath, false, KEY_QUERY_VALUE)))
        return E_FAIL;
    *value = defaultValue;
    return S_OK;
}

HRESULT WriteNumber(const std::string& keyPath, const char* name, uint32_t value, bool volatileKey) {
    if (keyPath.empty() || name == nullptr)
        return E_FAIL;
    CRegistry& reg = CRegistry::Instance();
    // Try the write first: the key usually exists. A key deleted in between by another process is created by
    // the second round.
    for (int attempt = 0; attempt < 2; ++attempt) {
        HRESULT hr = reg.SetValue(Hive::CurrentUser, keyPath, name, RegValue::Dword(value));
        if (hr != HResultFromWin32(ERROR_FILE_NOT_FOUND))
            return SUCCEEDED(hr) ? S_OK : E_FAIL;
        if (FAILED(OpenOrCreate(reg, keyPath, volatileKey, KEY_ALL_ACCESS)))
            return E_FAIL;
    }
    return E_FAIL;
}

HRESULT ReadString(const std::string& keyPath, const char* name, std::string* text,
                   const std::string& defaultValue, uint32_t extraAccess) {
    if (name == nullptr || text == nullptr || keyPath.empty())
        return E_FAIL;
    CRegistry& reg = CRegistry::Instance();
    RegValue v;
    HRESULT hr = reg.QueryValue(Hive::CurrentUser, keyPath, name, v);
    if (SUCCEEDED(hr) && (v.type == REG_SZ || v.type == REG_EXPAND_SZ) &&
        Text::CodePointCount(v.text) <= kMaxStringChars) {
        *text = std::move(v.text);
        return S_OK;
    }
    *text = defaultValue;
    if (FAILED(hr) && !reg.KeyExists(Hive::CurrentUser, keyPath) &&
        FAILED(OpenOrCreate(reg, keyPath, false, KEY_QUERY_VALUE | extraAccess)))
        return E_FAIL;
    return S_OK;
}

HRESULT WriteString(const std::string& keyPath, const char* name, const char* text) {
    if (keyPath.empty() || text == nullptr)
        return E_FAIL;
    // A null name is the key's default value, as on the platform.
    const char* valueName = name != nullptr ? name : "";
    CRegistry& reg = CRegistry::Instance();
    for (int attempt = 0; attempt < 2; ++attempt) {
        HRESULT hr = reg.SetValue(Hive::CurrentUser, keyPath, valueName, RegValue::String(text));
        if (hr != HResultFromWin32(ERROR_FILE_NOT_FOUND))
            return SUCCEEDED(hr) ? S_OK : E_FAIL;
        if (FAILED(OpenOrCreate(reg, keyPath, false, KEY_ALL_ACCESS)))
            return E_FAIL;
    }
    return E_FAIL;
}

} // namespace Settings
