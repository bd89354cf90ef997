#include "config/CAppsReader.h"

#include "platform/TextUtil.h"

namespace AppsReader {
namespace {
// Children whose name matches without regard to case.
template <typename F> void ForEachChildNamed(const CXMLParser& xml, XmlNode parent, const char* name, F f) {
    for (XmlNode child = xml.GetFirstChild(parent); child; child = xml.GetNextSibling(child))
        if (Text::EqualsNoCase(xml.GetNodeName(child), name))
            f(child);
}

std::unique_ptr<CApp> ReadApp(const CXMLParser& xml, XmlNode node) {
    auto app = std::make_unique<CApp>();
    xml.GetAttribute(node, "ID", app->id);
    if (XmlNode shown = xml.GetChild(node, "shown"))
        app->shown = Text::EqualsNoCase(xml.GetText(shown), "true");
    app->countries = CAppsReader::ReadNumberList(xml, xml.GetChild(node, "Countries"), "Country");
    app->oses = CAppsReader::ReadOSes(xml, xml.GetChild(node, "OSes"));
    return app;
}
} // namespace

CAppsReader::CAppsReader(const std::string& path, const std::string& rootName) {
    CXMLParser xml;
    if (path.empty() || !xml.Load(path))
        return;
    XmlNode root = xml.GetRoot(rootName);
    if (!root)
        return;
    rootFound_ = true;
    ForEachChildNamed(xml, root, "App", [&](XmlNode node) { apps_.push_back(ReadApp(xml, node)); });
}

std::unique_ptr<std::vector<int32_t>> CAppsReader::ReadNumberList(const CXMLParser& xml, XmlNode list,
                                                                  const char* itemName) {
    if (!list)
        return nullptr;
    auto numbers = std::make_unique<std::vector<int32_t>>();
    ForEachChildNamed(xml, list, itemName,
                      [&](XmlNode item) { numbers->push_back(Text::ParseIntAutoBase(xml.GetText(item))); });
    return numbers;
}

std::unique_ptr<COSes> CAppsReader::ReadOSes(const CXMLParser& xml, XmlNode list) {
    if (!list)
        return nullptr;
    auto oses = std::make_unique<COSes>();
    ForEachChildNamed(xml, list, "OS", [&](XmlNode os) {
        OSType type;
        if (COSes::FromText(xml.GetText(os), type))
            oses->Add(type);
    });
    return oses;
}

const CApp* CAppsReader::Find(const std::string& name) const {
    for (const auto& app : apps_)
        if (Text::EqualsNoCase(app->id, name))
            return app.get();
    return nullptr;
}

} // namespace AppsReader
