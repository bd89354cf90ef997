#pragma once
// The settings store: a typed, hierarchical key/value store kept in SQLite, standing in for the platform
// registry. Four hives; keys carry a class string and may be volatile (kept in the user's runtime folder, so
// they are gone after logout); values are REG_DWORD, REG_SZ, REG_EXPAND_SZ or REG_BINARY. Key paths use "\\"
// between parts and compare without regard to case. Every call reads or writes the database: nothing is
// cached, so two processes see each other's writes at once.
#include "platform/HResult.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum class Hive { CurrentUser, LocalMachine, CurrentConfig, ClassesRoot };

enum RegType : uint32_t { REG_NONE = 0, REG_SZ = 1, REG_EXPAND_SZ = 2, REG_BINARY = 3, REG_DWORD = 4 };

// Access flags are accepted for compatibility with callers that pass them; the store grants every access.
enum RegAccess : uint32_t {
    KEY_QUERY_VALUE = 0x0001,
    KEY_SET_VALUE = 0x0002,
    KEY_CREATE_SUB_KEY = 0x0004,
    KEY_ENUMERATE_SUB_KEYS = 0x0008,
    KEY_WOW64_64KEY = 0x0100,
    KEY_WOW64_32KEY = 0x0200,
    KEY_READ = 0x20019,
    KEY_WRITE = 0x20006,
    KEY_ALL_ACCESS = 0xF003F,
};

struct RegValue {
    uint32_t type = REG_NONE;
    uint32_t dword = 0;         // REG_DWORD
    std::string text;           // REG_SZ, REG_EXPAND_SZ (UTF-8, no terminator)
    std::vector<uint8_t> bytes; // REG_BINARY

    static RegValue Dword(uint32_t v);
    static RegValue String(std::string v, uint32_t type = REG_SZ);
    static RegValue Binary(std::vector<uint8_t> v);
};

struct RegValueEntry {
    std::string name; // "" is the key's default value
    RegValue value;
};

// Where the hive files live. Default: from the environment (see the README).
struct RegistryLocations {
    std::string userFile;     // HKEY_CURRENT_USER
    std::string volatileFile; // volatile keys of every hive
    std::string machineFile;  // HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT, HKEY_CURRENT_CONFIG

    static RegistryLocations FromEnvironment();
};

class CRegistry {
public:
    explicit CRegistry(RegistryLocations locations);
    ~CRegistry();
    CRegistry(const CRegistry&) = delete;
    CRegistry& operator=(const CRegistry&) = delete;

    // The process-wide store, opened from the environment on first use.
    static CRegistry& Instance();
    // Replaces the process-wide store (tests; the next Instance() reopens from the environment after
    // ResetInstance()).
    static void ResetInstance();

    // Opens or creates a key and its missing parents. `created` tells whether the key is new. A volatile
    // key's missing parents are created persistent. Fails with ERROR_CHILD_MUST_BE_VOLATILE when a persistent
    // key would go under a volatile one.
    HRESULT CreateKey(Hive hive, const std::string& path, const std::string& keyClass, bool isVolatile,
                      uint32_t access = KEY_ALL_ACCESS, bool* created = nullptr);
    // S_OK when the key exists, HResultFromWin32(ERROR_FILE_NOT_FOUND) otherwise.
    HRESULT OpenKey(Hive hive, const std::string& path, uint32_t access = KEY_READ);
    bool KeyExists(Hive hive, const std::string& path);
    bool IsVolatile(Hive hive, const std::string& path);
    HRESULT GetKeyClass(Hive hive, const std::string& path, std::string& keyClass);
    // The key's path in the case it was created with ("software\\x" -> "Software\\X").
    HRESULT GetKeyPath(Hive hive, const std::string& path, std::string& storedPath);

    // ERROR_FILE_NOT_FOUND when the key or the value does not exist.
    HRESULT QueryValue(Hive hive, const std::string& path, const std::string& name, RegValue& out);
    // The key must exist (ERROR_FILE_NOT_FOUND otherwise).
    HRESULT SetValue(Hive hive, const std::string& path, const std::string& name, const RegValue& value);
    HRESULT DeleteValue(Hive hive, const std::string& path, const std::string& name);
    // Deletes a key with all its sub-keys and values.
    HRESULT DeleteKeyTree(Hive hive, const std::string& path);

    // Names of the direct sub-keys, in the case they were created with, sorted without regard to case.
    HRESULT EnumSubKeys(Hive hive, const std::string& path, std::vector<std::string>& names);
    HRESULT EnumValues(Hive hive, const std::string& path, std::vector<RegValueEntry>& values);

    const RegistryLocations& Locations() const { return locations_; }

    // "HKCU\\Software\\X" (or HKEY_CURRENT_USER, HKLM, HKEY_LOCAL_MACHINE, HKCC, HKEY_CURRENT_CONFIG, HKCR,
    // HKEY_CLASSES_ROOT; case ignored) -> hive and relative path. False for an unknown hive.
    static bool ParseFullPath(const std::string& full, Hive& hive, std::string& path);
    static const char* HiveName(Hive hive); // "HKEY_CURRENT_USER", ...
    // Joins parts, drops empty parts and doubled separators: "a\\\\b\\" -> "a\\b".
    static std::string NormalizePath(const std::string& path);

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
    RegistryLocations locations_;
};
