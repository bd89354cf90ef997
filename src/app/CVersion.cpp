#include "app/CVersion.h"

#include "platform/TextUtil.h"

#include <QFile>
#include <QResource>

#include <pugixml.hpp>

#include <atomic>
#include <sstream>

namespace {
std::atomic<unsigned> g_mapCounter{0};

// The manifest of a resource file, read through a mapping of its own so that the library in use is not
// disturbed. Empty when the file is not a resource file or has no manifest.
std::string ReadManifest(const std::string& path) {
    if (path.empty())
        return {};
    QString file = QString::fromStdString(path);
    QString root = QString("/vidora-version-%1").arg(g_mapCounter.fetch_add(1));
    if (!QResource::registerResource(file, root))
        return {};
    std::string manifest;
    {
        QFile f(":" + root + "/manifest.xml");
        if (f.open(QIODevice::ReadOnly))
            manifest = f.readAll().toStdString();
    }
    QResource::unregisterResource(file, root);
    return manifest;
}
} // namespace

void CVersion::Clear() {
    loaded_ = false;
    versionText_.clear();
    fileVersion_ = {};
    translations_.clear();
}

bool CVersion::Load(const std::string& path) {
    Clear();
    std::string manifest = ReadManifest(path);
    if (manifest.empty() || !Parse(manifest)) {
        Clear();
        return false;
    }
    loaded_ = true;
    return true;
}

bool CVersion::Parse(const std::string& manifest) {
    pugi::xml_document doc;
    if (!doc.load_buffer(manifest.data(), manifest.size()))
        return false;
    pugi::xml_node resources = doc.child("resources");
    if (!resources)
        return false;
    versionText_ = Text::Trim(resources.attribute("version").value());
    std::string languages = Text::Trim(resources.attribute("languageId").value());
    if (versionText_.empty() && languages.empty())
        return false;

    // "11.0.0" -> 11, 0, 0, 0; parts that are not numbers count 0.
    std::istringstream parts(versionText_);
    std::string part;
    for (size_t i = 0; i < fileVersion_.size() && std::getline(parts, part, '.'); ++i)
        fileVersion_[i] = static_cast<uint16_t>(Text::ParseLeadingDecimal(part));

    uint16_t codePage = kDefaultCodePage;
    if (pugi::xml_attribute cp = resources.attribute("codePage")) {
        int32_t v = Text::ParseIntAutoBase(cp.value());
        if (v > 0 && v <= 0xFFFF)
            codePage = static_cast<uint16_t>(v);
    }
    for (char& c : languages)
        if (c == ',' || c == ';' || c == '\t')
            c = ' ';
    std::istringstream ids(languages);
    std::string id;
    while (ids >> id) {
        int32_t v = Text::ParseIntAutoBase(id);
        // An entry that is not a language id is skipped, not taken as language 0.
        if (v > 0 && v <= 0xFFFF)
            translations_.push_back(VersionTranslation{static_cast<LANGID>(v), codePage});
    }
    return true;
}

std::optional<LANGID> CVersion::GetFirstLanguage() const {
    if (translations_.empty())
        return std::nullopt;
    return translations_.front().language;
}
