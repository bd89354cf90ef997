#include "config/CSectionToolReader.h"

#include "platform/TextUtil.h"

namespace SectionReader {

CSectionToolReader::CSectionToolReader(const CXMLParser& xml, XmlNode section, size_t maxTools) {
    logo_ = xml.GetText(xml.GetChild(section, "Logo"));
    for (XmlNode child = xml.GetFirstChild(section); child && tools_.size() < maxTools;
         child = xml.GetNextSibling(child)) {
        if (Text::EqualsNoCase(xml.GetNodeName(child), "Tool"))
            tools_.push_back(std::make_unique<CSection>(xml, child));
    }
}

SectionList CSectionToolReader::Load(const std::string& path, const std::string& rootName) {
    SectionList sections;
    CXMLParser xml;
    if (path.empty() || !xml.Load(path))
        return sections;
    XmlNode root = xml.GetRoot(rootName);
    size_t toolsLeft = kMaxTools;
    for (XmlNode child = xml.GetFirstChild(root); child && sections.size() < kMaxSections;
         child = xml.GetNextSibling(child)) {
        if (Text::EqualsNoCase(xml.GetNodeName(child), "Section")) {
            sections.push_back(std::make_unique<CSectionToolReader>(xml, child, toolsLeft));
            toolsLeft -= sections.back()->GetCount();
        }
    }
    return sections;
}

} // namespace SectionReader
