#pragma once
// The four primitive operations through which every part of the program reads and writes a setting of the
// current user. Key paths are relative to HKEY_CURRENT_USER. A null name or output stands for the platform's
// null pointer and is refused as the callers rely on.
#include "platform/CRegistry.h"

#include <string>

namespace Settings {

// Fails (E_FAIL, output untouched) when `name` or `value` is null or `keyPath` is empty. Otherwise opens the
// key, creating it when missing; when that fails: E_FAIL, output untouched. A missing or unreadable value
// gives `defaultValue` with S_OK.
HRESULT ReadNumber(const std::string& keyPath, const char* name, uint32_t* value, uint32_t defaultValue);
// Fails when `keyPath` is empty or `name` is null. Creates the key (volatile when asked) and writes a
// REG_DWORD.
HRESULT WriteNumber(const std::string& keyPath, const char* name, uint32_t value, bool volatileKey = false);
// Fails when `name` or `text` is null or `keyPath` is empty. Opens or creates the key with query access plus
// `extraAccess`; on any failure after that the output receives `defaultValue`; E_FAIL when the open failed.
// A value of more than 255 characters does not read (the default is used), nor does a value that is not text.
HRESULT ReadString(const std::string& keyPath, const char* name, std::string* text,
                   const std::string& defaultValue, uint32_t extraAccess = 0);
// Fails when `keyPath` is empty or `text` is null; writes a REG_SZ.
HRESULT WriteString(const std::string& keyPath, const char* name, const char* text);

// Class string of the keys these operations create.
inline constexpr const char* kDefaultKeyClass = "DEFAULT_CLASS";
// The longest string value that reads, in characters.
inline constexpr size_t kMaxStringChars = 255;

} // namespace Settings
