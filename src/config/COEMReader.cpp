#include "config/COEMReader.h"

#include "platform/TextUtil.h"

namespace OEMReader {

bool COEMReader::Load(const std::string& path) {
    Clear();
    CXMLParser parser;
    if (!parser.Load(path)) {
        lastError_ = parser.LastError();
        return false;
    }
    XmlNode root = parser.GetRoot(kRootName);
    if (!root) {
        lastError_ = "the document element is not \"Oem\"";
        return false;
    }
    ReadDocument(parser, root);
    loaded_ = true;
    return true;
}

void COEMReader::Clear() {
    loaded_ = false;
    lastError_.clear();
    registryPath_.clear();
    texts_.clear();
    graphics_.clear();
    features_.clear();
    defaultValues_.clear();
}

void COEMReader::ReadDocument(const CXMLParser& parser, XmlNode root) {
    registryPath_ = parser.GetText(parser.GetChild(root, "RegistryPath"));
    ReadTexts(parser, parser.GetChild(root, "Texts"));
    ReadGraphics(parser, parser.GetChild(root, "Graphics"));
    ReadFeatures(parser, parser.GetChild(root, "Features"));
    ReadDefaultValues(parser, parser.GetChild(root, "DefaultRegistryValues"));
}

std::vector<XmlNode> COEMReader::EntriesNamed(const CXMLParser& parser, XmlNode section, const char* name) {
    std::vector<XmlNode> entries;
    for (XmlNode child = parser.GetFirstChild(section); child; child = parser.GetNextSibling(child)) {
        if (Text::EqualsNoCase(parser.GetNodeName(child), name))
            entries.push_back(child);
    }
    return entries;
}

int32_t COEMReader::ParseLanguageId(const std::string& text) {
    return Text::ParseLeadingDecimal(text);
}

void COEMReader::ReadTexts(const CXMLParser& parser, XmlNode section) {
    for (XmlNode element : EntriesNamed(parser, section, "Text")) {
        TextEntry entry = ReadLocalizedText(parser, element);
        parser.GetAttribute(element, "Id", entry.id);
        texts_.push_back(std::move(entry));
    }
}

COEMReader::TextEntry COEMReader::ReadLocalizedText(const CXMLParser& parser, XmlNode element) {
    TextEntry entry;
    entry.plainText = parser.GetText(element);
    std::string localized;
    parser.GetAttribute(element, "Localized", localized);
    if (!Text::EqualsNoCase(localized, "false")) {
        for (XmlNode stringElement : EntriesNamed(parser, element, "String")) {
            LocalizedString s;
            std::string languageId;
            parser.GetAttribute(stringElement, "LanguageId", languageId);
            s.languageId = ParseLanguageId(languageId);
            parser.GetAttribute(stringElement, "StringValue", s.text);
            entry.strings.push_back(std::move(s));
        }
    }
    return entry;
}

void COEMReader::ReadGraphics(const CXMLParser& parser, XmlNode section) {
    for (XmlNode element : EntriesNamed(parser, section, "NoReplace")) {
        GraphicEntry entry;
        parser.GetAttribute(element, "Id", entry.id);
        std::string languageId;
        parser.GetAttribute(element, "LanguageId", languageId);
        entry.languageId = ParseLanguageId(languageId);
        graphics_.push_back(std::move(entry));
    }
}

void COEMReader::ReadFeatures(const CXMLParser& parser, XmlNode section) {
    for (XmlNode element : EntriesNamed(parser, section, "Feature")) {
        FeatureEntry entry;
        parser.GetAttribute(element, "Id", entry.id);
        std::string enabled;
        parser.GetAttribute(element, "Enabled", enabled);
        entry.enabled = !Text::EqualsNoCase(enabled, "false");
        features_.push_back(std::move(entry));
    }
}

void COEMReader::ReadDefaultValues(const CXMLParser& parser, XmlNode section) {
    for (XmlNode element : EntriesNamed(parser, section, "DefaultRegistryValue")) {
        DefaultValueEntry entry;
        parser.GetAttribute(element, "Id", entry.id);
        parser.GetAttribute(element, "DefaultValue", entry.defaultValue);
        defaultValues_.push_back(std::move(entry));
    }
}

const COEMReader::TextEntry* COEMReader::FindText(const std::string& id) const {
    for (const TextEntry& entry : texts_) {
        if (entry.id == id)
            return &entry;
    }
    return nullptr;
}

std::string COEMReader::SelectText(const TextEntry& entry, int32_t uiLanguage) {
    if (entry.strings.empty())
        return entry.plainText;
    for (const LocalizedString& s : entry.strings) {
        if (s.languageId == uiLanguage)
            return s.text;
    }
    for (const LocalizedString& s : entry.strings) {
        if (s.languageId == kFallbackLanguage)
            return s.text;
    }
    return {};
}

bool COEMReader::IsNoReplace(const std::string& fileName, int32_t languageId) const {
    for (const GraphicEntry& entry : graphics_) {
        if (entry.languageId == languageId && Text::EqualsNoCase(entry.id, fileName))
            return true;
    }
    return false;
}

const COEMReader::FeatureEntry* COEMReader::FindFeature(const std::string& name) const {
    for (const FeatureEntry& entry : features_) {
        if (Text::EqualsNoCase(entry.id, name))
            return &entry;
    }
    return nullptr;
}

const COEMReader::DefaultValueEntry* COEMReader::FindDefaultValue(const std::string& name) const {
    for (const DefaultValueEntry& entry : defaultValues_) {
        if (Text::EqualsNoCase(entry.id, name))
            return &entry;
    }
    return nullptr;
}

} // namespace OEMReader
