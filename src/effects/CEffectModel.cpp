#include "effects/CEffectModel.h"

#include "config/CXMLParser.h"
#include "platform/TextUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

namespace {

// The localised text below `texts` ("Name" or "Description"): the first child for the language, else the
// last child for US English, else nothing.
std::string LocalisedText(const CXMLParser& parser, XmlNode texts, int32_t language) {
    if (!texts)
        return {};
    const std::string wanted = Text::Format("%ld", static_cast<long>(language));
    const std::string fallback = std::to_string(CEffectModel::kFallbackLanguage);
    std::string fallbackText;
    for (XmlNode child = parser.GetFirstChild(texts); child; child = parser.GetNextSibling(child)) {
        std::string id;
        if (!parser.GetAttribute(child, "LanguageId", id))
            continue;
        std::string value;
        parser.GetAttribute(child, "StringValue", value);
        if (id == wanted)
            return value;
        if (id == fallback)
            fallbackText = value;
    }
    return fallbackText;
}

// Descriptions do not agree on the name of their document element; the XML reader has already accepted
// the file, so only the first tag is looked at here.
std::string DocumentElementName(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader reader(&file);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement)
            return reader.qualifiedName().toString().toStdString();
    }
    return {};
}

// File names ignore case, as they do where model packages are made: the folder's file spelled `name` in any
// case. The exact spelling wins; of several other spellings the first in code-point order, so the choice does
// not depend on the order the folder lists its entries. With no match, the exact spelling.
QString FileIgnoringCase(const QString& folder, const QString& name) {
    const QString exact = folder + "/" + name;
    if (QFileInfo(exact).isFile())
        return exact;
    QString found;
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString& entry : names) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0 && (found.isEmpty() || entry < found))
            found = entry;
    }
    return found.isEmpty() ? exact : folder + "/" + found;
}

std::string InFolder(const std::string& folder, const std::string& file) {
    if (file.empty())
        return {};
    QString name = QString::fromStdString(file).replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!QDir::isAbsolutePath(name))
        name = QString::fromStdString(folder) + "/" + name;
    const QFileInfo path(QDir::cleanPath(name));
    return FileIgnoringCase(path.path(), path.fileName()).toStdString();
}

std::optional<CEffectModel> Refuse(std::string* why, const std::string& text) {
    if (why != nullptr)
        *why = text;
    return std::nullopt;
}

} // namespace

std::string CEffectModel::DescriptionPathOf(const std::string& folder) {
    // "robot/Robot.XML" describes "robot" too.
    const QString path = QString::fromStdString(folder);
    return FileIgnoringCase(path, QFileInfo(path).fileName() + ".xml").toStdString();
}

CEffectModel::Kind CEffectModel::KindOf(const std::string& type) {
    if (Text::EqualsNoCase(type, "Avatar"))
        return Kind::Avatar;
    if (Text::EqualsNoCase(type, "Accessory"))
        return Kind::Accessory;
    return Kind::Fun;
}

const char* CEffectModel::KindName(Kind kind) {
    switch (kind) {
    case Kind::Avatar:
        return "Avatar";
    case Kind::Accessory:
        return "Accessory";
    case Kind::Fun:
        break;
    }
    return "Fun";
}

std::optional<CEffectModel> CEffectModel::Load(const std::string& descriptionPath, int32_t language,
                                               std::string* why) {
    CXMLParser parser;
    if (!parser.Load(descriptionPath))
        return Refuse(why, "unreadable description: " + parser.LastError());
    XmlNode root = parser.GetRoot(DocumentElementName(descriptionPath));
    if (!root)
        return Refuse(why, "no root element");
    CEffectModel model;
    if (!parser.GetAttribute(root, "Type", model.type_))
        return Refuse(why, "no Type attribute");
    parser.GetAttribute(root, "Id", model.id_);
    XmlNode image = parser.GetChild(root, "ImageFile");
    XmlNode package = parser.GetChild(root, "PackageFile");
    if (!image)
        return Refuse(why, "no ImageFile");
    if (!package)
        return Refuse(why, "no PackageFile");

    model.descriptionPath_ = descriptionPath;
    model.folder_ = QFileInfo(QString::fromStdString(descriptionPath)).path().toStdString();
    model.imageFile_ = InFolder(model.folder_, parser.GetText(image));
    model.packageFile_ = InFolder(model.folder_, parser.GetText(package));
    model.previewFile_ = InFolder(model.folder_, parser.GetText(parser.GetChild(root, "PreviewFile")));
    model.name_ = LocalisedText(parser, parser.GetChild(root, "Name"), language);
    model.description_ = LocalisedText(parser, parser.GetChild(root, "Description"), language);
    // The complexity sits one level down, under a "Properties" element.
    for (XmlNode child = parser.GetFirstChild(root); child; child = parser.GetNextSibling(child)) {
        XmlNode complexity = parser.GetChild(child, "ModelComplexity");
        if (!complexity)
            continue;
        bool ok = false;
        const int value = QString::fromStdString(parser.GetText(complexity)).toInt(&ok);
        if (ok)
            model.complexity_ = value;
        break;
    }
    return model;
}

std::string CEffectModel::DisplayName() const {
    if (!name_.empty())
        return name_;
    return QFileInfo(QString::fromStdString(folder_)).fileName().toStdString();
}

bool CEffectModel::IsSameModel(const CEffectModel& other) const {
    return Text::EqualsNoCase(descriptionPath_, other.descriptionPath_);
}
