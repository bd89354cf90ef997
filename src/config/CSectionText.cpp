#include "config/CSectionText.h"

namespace SectionReader {

CSectionText::CSectionText(const CXMLParser& xml, XmlNode element)
    : entry_(OEMReader::COEMReader::ReadLocalizedText(xml, element)) {}

std::string CSectionText::SelectText(int32_t language) const {
    return OEMReader::COEMReader::SelectText(entry_, language);
}

} // namespace SectionReader
