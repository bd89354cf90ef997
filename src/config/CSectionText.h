#pragma once
// A localized text of a tool document ("Name", "PromptText"): either the element's own text
// (Localized="false") or one text per language, read the same way as the OEM document's texts.
#include "config/COEMReader.h"

#include <cstdint>
#include <string>

namespace SectionReader {

class CSectionText {
public:
    CSectionText(const CXMLParser& xml, XmlNode element);

    // The plain text when the element is not localized; otherwise the first text for `language`, else the
    // first for 1033, else "".
    std::string SelectText(int32_t language) const;

private:
    OEMReader::COEMReader::TextEntry entry_;
};

} // namespace SectionReader
