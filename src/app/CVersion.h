#pragma once
// The version block of a resource library file: the manifest at its root,
//   <resources version="11.0.0" languageId="0x0409" codePage="1200"/>
// holding the file version and its translations (one language id, or several separated by blanks or
// commas; all share the code page, 1200 when none is given).
#include "platform/CSystemInfo.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct VersionTranslation {
    LANGID language = 0;
    uint16_t codePage = 0;
};

class CVersion {
public:
    // Reads the block of the file at `path`. False, with nothing kept, when the file cannot be read, is not a
    // resource library or has no version block (a manifest without a version and without a language).
    bool Load(const std::string& path);
    bool IsLoaded() const { return loaded_; }

    // The version as written ("11.0.0") and as four numbers (missing parts 0).
    const std::string& GetVersionText() const { return versionText_; }
    const std::array<uint16_t, 4>& GetFileVersion() const { return fileVersion_; }

    const std::vector<VersionTranslation>& GetTranslations() const { return translations_; }
    size_t GetTranslationCount() const { return translations_.size(); }
    // The language of the first translation; nothing when there is none.
    std::optional<LANGID> GetFirstLanguage() const;

    static constexpr uint16_t kDefaultCodePage = 1200;

private:
    void Clear();
    bool Parse(const std::string& manifest);

    bool loaded_ = false;
    std::string versionText_;
    std::array<uint16_t, 4> fileVersion_{};
    std::vector<VersionTranslation> translations_;
};
