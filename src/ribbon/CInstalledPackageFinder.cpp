#include "ribbon/CInstalledPackageFinder.h"

#include "config/CXMLParser.h"
#include "platform/CResourceLibrary.h"
#include "platform/DebugOutput.h"

#include <QDir>
#include <QFile>
#include <QXmlStreamReader>

namespace {

// The localised text of a "Name" element: the first child for the language, else the last for US English.
std::string SelectName(const CXMLParser& parser, XmlNode names, int32_t uiLanguage) {
    const std::string wanted = std::to_string(uiLanguage);
    const std::string fallback = std::to_string(CInstalledPackageFinder::kFallbackLanguage);
    std::string fallbackText;
    for (XmlNode child = parser.GetFirstChild(names); child; child = parser.GetNextSibling(child)) {
        std::string language;
        std::string value;
        if (!parser.GetAttribute(child, "LanguageId", language))
            continue;
        parser.GetAttribute(child, "StringValue", value);
        if (language == wanted)
            return value;
        if (language == fallback)
            fallbackText = value;
    }
    return fallbackText;
}

// The name of the document element of a file the XML reader has already accepted (descriptions do not
// agree on one name). Only the prolog and the first tag are read.
std::string DocumentElementName(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader reader(&file);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement)
            return reader.qualifiedName().toString().toStdString();
    }
    return {};
}

} // namespace

std::optional<std::string> CInstalledPackageFinder::FindDisplayName(const std::string& modelFolder,
                                                                    const std::string& identity) {
    return FindDisplayName(modelFolder, identity, GetUiLanguage());
}

std::optional<std::string> CInstalledPackageFinder::FindDisplayName(const std::string& modelFolder,
                                                                    const std::string& identity,
                                                                    int32_t uiLanguage) {
    if (modelFolder.empty() || identity.empty())
        return std::nullopt;
    QDir folder(QString::fromStdString(modelFolder));
    const QStringList entries =
        folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : entries) {
        const QString path = folder.filePath(name) + "/" + name + ".xml";
        CXMLParser parser;
        if (!parser.Load(path.toStdString())) {
            OutputDebugString("Ribbon: an effect model description was skipped: " + parser.LastError());
            continue;
        }
        XmlNode root = parser.GetRoot(DocumentElementName(path));
        std::string type;
        std::string id;
        if (!root || !parser.GetAttribute(root, "Type", type) || !parser.GetAttribute(root, "Id", id) ||
            !parser.GetChild(root, "ImageFile") || !parser.GetChild(root, "PackageFile"))
            continue;
        if (id != identity)
            continue;
        std::string display;
        if (XmlNode names = parser.GetChild(root, "Name"))
            display = SelectName(parser, names, uiLanguage);
        if (display.empty())
            display = name.toStdString();
        return display;
    }
    return std::nullopt;
}
