#pragma once
// What the program asks of the operating system: the reported platform version and the language ids.
// Language ids are the 16-bit ids of the other platform (0x0409 English (US), 0x0407 German, ...), mapped
// from the POSIX locale. Tests override every answer.
#include <cstdint>
#include <optional>
#include <string>

using LANGID = uint16_t;

struct PlatformVersion {
    uint32_t major = 6;
    uint32_t minor = 1;
    bool ntFamily = true;
};

class CSystemInfo {
public:
    static CSystemInfo& Instance();

    PlatformVersion GetVersion() const;
    LANGID GetUserDefaultLangId() const;
    LANGID GetSystemDefaultLangId() const;
    // The language of the operating system itself (what its own files are written in).
    LANGID GetOsLanguage() const;

    void OverrideVersion(std::optional<PlatformVersion> version);
    void OverrideUserLangId(std::optional<LANGID> id);
    void OverrideSystemLangId(std::optional<LANGID> id);
    void ResetOverrides();

    // "de_DE.UTF-8" -> 0x0407; "C", "POSIX", empty or unknown -> 0x0409. A language known without its
    // country gives that language's primary id.
    static LANGID LangIdFromLocale(const std::string& locale);

private:
    std::optional<PlatformVersion> version_;
    std::optional<LANGID> userLang_;
    std::optional<LANGID> systemLang_;
};
