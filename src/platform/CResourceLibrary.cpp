#include "platform/CResourceLibrary.h"

#include "platform/TextUtil.h"

#include <QFile>
#include <QResource>

#include <pugixml.hpp>

#include <atomic>

namespace {
constexpr const char* kBuiltinRoot = ":/vappres-builtin";
constexpr const char* kFileMapRoot = "/vappres-file";

std::atomic<LANGID> g_uiLanguage{0x0409};

const char* Folder(ResourceType type) {
    switch (type) {
    case ResourceType::Png:
        return "png";
    case ResourceType::Xml:
        return "xml";
    case ResourceType::Wave:
        return "wave";
    case ResourceType::Dialog:
        return "dialog";
    case ResourceType::Menu:
        return "menu";
    }
    return "";
}

const char* Extension(ResourceType type) {
    switch (type) {
    case ResourceType::Png:
        return ".png";
    case ResourceType::Wave:
        return ".wav";
    default:
        return ".xml";
    }
}

QByteArray ReadAll(const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}
} // namespace

LANGID GetUiLanguage() {
    return g_uiLanguage.load();
}
void SetUiLanguage(LANGID id) {
    g_uiLanguage.store(id);
}

CResourceLibrary& CResourceLibrary::Instance() {
    static CResourceLibrary library;
    return library;
}

CResourceLibrary::CResourceLibrary() = default;

std::string CResourceLibrary::Root() const {
    return fileRoot_.empty() ? std::string(kBuiltinRoot) : ":" + fileRoot_;
}

bool CResourceLibrary::LoadFile(const std::string& path) {
    std::lock_guard guard(lock_);
    if (!filePath_.empty()) {
        QResource::unregisterResource(QString::fromStdString(filePath_), kFileMapRoot);
        filePath_.clear();
        fileRoot_.clear();
    }
    stringsLoaded_ = false;
    strings_.clear();
    if (!QResource::registerResource(QString::fromStdString(path), kFileMapRoot))
        return false;
    // A file that registers but has no manifest is not one of ours.
    if (!QFile::exists(QString(":") + kFileMapRoot + "/manifest.xml")) {
        QResource::unregisterResource(QString::fromStdString(path), kFileMapRoot);
        return false;
    }
    filePath_ = path;
    fileRoot_ = kFileMapRoot;
    return true;
}

void CResourceLibrary::Unload() {
    std::lock_guard guard(lock_);
    if (!filePath_.empty())
        QResource::unregisterResource(QString::fromStdString(filePath_), kFileMapRoot);
    filePath_.clear();
    fileRoot_.clear();
    stringsLoaded_ = false;
    strings_.clear();
}

std::optional<LANGID> CResourceLibrary::LanguageId() const {
    std::string root;
    {
        std::lock_guard guard(lock_);
        root = Root();
    }
    QByteArray data = ReadAll(root + "/manifest.xml");
    pugi::xml_document doc;
    if (data.isEmpty() || !doc.load_buffer(data.constData(), static_cast<size_t>(data.size())))
        return std::nullopt;
    pugi::xml_attribute attr = doc.child("resources").attribute("languageId");
    if (!attr || Text::Trim(attr.value()).empty())
        return std::nullopt;
    int32_t id = Text::ParseIntAutoBase(attr.value());
    if (id <= 0 || id > 0xFFFF)
        return std::nullopt;
    return static_cast<LANGID>(id);
}

void CResourceLibrary::LoadStrings() const {
    // Called with the lock held.
    if (stringsLoaded_)
        return;
    stringsLoaded_ = true;
    QByteArray data = ReadAll(Root() + "/strings.xml");
    pugi::xml_document doc;
    if (data.isEmpty() || !doc.load_buffer(data.constData(), static_cast<size_t>(data.size())))
        return;
    for (pugi::xml_node s : doc.child("strings").children("string")) {
        int32_t id = Text::ParseIntAutoBase(s.attribute("id").value());
        if (id > 0)
            strings_.emplace(static_cast<uint32_t>(id), s.text().get());
    }
}

std::string CResourceLibrary::GetString(uint32_t id) const {
    std::lock_guard guard(lock_);
    LoadStrings();
    auto it = strings_.find(id);
    return it != strings_.end() ? it->second : std::string();
}

bool CResourceLibrary::HasString(uint32_t id) const {
    std::lock_guard guard(lock_);
    LoadStrings();
    return strings_.count(id) != 0;
}

std::string CResourceLibrary::ResourcePath(ResourceType type, uint32_t id) const {
    std::lock_guard guard(lock_);
    return Root() + "/" + Folder(type) + "/" + std::to_string(id) + Extension(type);
}

QByteArray CResourceLibrary::GetData(ResourceType type, uint32_t id) const {
    return ReadAll(ResourcePath(type, id));
}

bool CResourceLibrary::HasData(ResourceType type, uint32_t id) const {
    return QFile::exists(QString::fromStdString(ResourcePath(type, id)));
}
