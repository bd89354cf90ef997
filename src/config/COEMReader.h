#pragma once
// The OEM document "OEM.xml" read into plain tables. Top-level section names are compared exactly, the names
// of the entries inside a section without regard to case, attribute names exactly. Every table keeps
// document order and every lookup takes the first match, so a reseller's first word on a name counts.
#include "config/CXMLParser.h"

#include <cstdint>
#include <string>
#include <vector>

namespace OEMReader {

class COEMReader {
public:
    struct LocalizedString {
        int32_t languageId = 0;
        std::string text;
    };
    struct TextEntry {
        std::string id;
        // The per-language texts; empty for an entry marked Localized="false" and for one without "String"s.
        std::vector<LocalizedString> strings;
        // The element's own text, used when there are no per-language texts.
        std::string plainText;
    };
    struct GraphicEntry {
        std::string id;
        int32_t languageId = 0;
    };
    struct FeatureEntry {
        std::string id;
        bool enabled = true;
    };
    struct DefaultValueEntry {
        std::string id;
        std::string defaultValue;
    };

    static constexpr const char* kRootName = "Oem";
    // Language whose text stands in when the user-interface language has none.
    static constexpr int32_t kFallbackLanguage = 1033;

    COEMReader() = default;
    virtual ~COEMReader() = default;
    COEMReader(const COEMReader&) = delete;
    COEMReader& operator=(const COEMReader&) = delete;

    // Reads the document at `path`, replacing whatever was read before. False, with every table empty, when
    // the file cannot be loaded or its root element is not "Oem".
    bool Load(const std::string& path);
    bool IsLoaded() const { return loaded_; }
    // Why the last Load found nothing (for diagnostics).
    const std::string& LastError() const { return lastError_; }

    const std::string& GetRegistryPath() const { return registryPath_; }
    const std::vector<TextEntry>& GetTexts() const { return texts_; }
    const std::vector<GraphicEntry>& GetGraphics() const { return graphics_; }
    const std::vector<FeatureEntry>& GetFeatures() const { return features_; }
    const std::vector<DefaultValueEntry>& GetDefaultValues() const { return defaultValues_; }

    // First text entry whose id equals `id` exactly; null when none.
    const TextEntry* FindText(const std::string& id) const;
    // The entry's text for a language: the plain text when it has no per-language texts, else the first text
    // for `uiLanguage`, else the first for 1033, else "".
    static std::string SelectText(const TextEntry& entry, int32_t uiLanguage);
    // True when a "NoReplace" entry names this graphic (file name without regard to case) for this language.
    bool IsNoReplace(const std::string& fileName, int32_t languageId) const;
    // First feature / default value whose id equals `name` without regard to case; null when none.
    const FeatureEntry* FindFeature(const std::string& name) const;
    const DefaultValueEntry* FindDefaultValue(const std::string& name) const;

    // A localized text element (an OEM "Text", a tool document's "Name" or "PromptText"): with
    // Localized="false" (case ignored) only its own text counts, otherwise its "String" children give the
    // per-language texts. The entry's id is left empty.
    static TextEntry ReadLocalizedText(const CXMLParser& parser, XmlNode element);
    // "LanguageId" text as a number: decimal, leading digits only; empty or absent is 0.
    static int32_t ParseLanguageId(const std::string& text);

protected:
    // Reads the sections below the root; the product's reader adds its own.
    virtual void ReadDocument(const CXMLParser& parser, XmlNode root);
    // Forgets everything read.
    virtual void Clear();
    // The child elements of `section` whose name equals `name` without regard to case, in document order.
    static std::vector<XmlNode> EntriesNamed(const CXMLParser& parser, XmlNode section, const char* name);

private:
    void ReadTexts(const CXMLParser& parser, XmlNode section);
    void ReadGraphics(const CXMLParser& parser, XmlNode section);
    void ReadFeatures(const CXMLParser& parser, XmlNode section);
    void ReadDefaultValues(const CXMLParser& parser, XmlNode section);

    bool loaded_ = false;
    std::string lastError_;
    std::string registryPath_;
    std::vector<TextEntry> texts_;
    std::vector<GraphicEntry> graphics_;
    std::vector<FeatureEntry> features_;
    std::vector<DefaultValueEntry> defaultValues_;
};

} // namespace OEMReader
