#include "config/CSectionToolReader.h"

#include "platform/TextUtil.h"

namespace SectionReader {

CSectionToolReader::CSectionToolReader(const CXMLParser& xml, XmlNode section) {
    logo_ = xml.GetText(xml.GetChild(section, "Logo"));
    for (XmlNode child = xml.GetFirstChild(section); child; child = xml.GetNextSibling(child)) {
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
    for (XmlNode child = xml.GetFirstChild(root); child; child = xml.GetNextSibling(child)) {
        if (Text::EqualsNoCase(xml.GetNodeName(child), "Section"))
            sections.push_back(std::make_unique<CSectionToolReader>(xml, child));
    }
    return sections;
}

} // namespace SectionReader
