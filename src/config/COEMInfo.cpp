#include "config/COEMInfo.h"

#include "config/COEMReader.h"
#include "config/CPrivateTempFolder.h"
#include "platform/CResourceLibrary.h"
#include "platform/CSystemInfo.h"
#include "platform/DebugOutput.h"
#include "platform/ExecutablePath.h"
#include "platform/SettingsPrimitives.h"
#include "platform/TextUtil.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmap>

namespace {
std::atomic<COEMInfo*> g_oemInfo{nullptr};

std::mutex g_imageSourceLock;
COEMInfo::ImageSource& ImageSourceSlot() {
    static COEMInfo::ImageSource source;
    return source;
}

constexpr const char* kDocumentName = "OEM.xml";
// An icon file holds one picture per size; more than this is not an icon.
constexpr int kMaxIconImages = 32;

bool IsAcceptableSize(const QSize& size) {
    return size.isValid() && !size.isEmpty() && size.width() <= COEMInfo::kMaxImageSide &&
           size.height() <= COEMInfo::kMaxImageSide;
}

// Reads a picture, refusing absurd dimensions before anything is decoded.
bool ReadImage(const QString& path, QImage& image) {
    QImageReader reader(path);
    if (!IsAcceptableSize(reader.size()))
        return false;
    QImage result;
    if (!reader.read(&result) || result.isNull())
        return false;
    image = std::move(result);
    return true;
}

// Every size an icon file holds (a single picture for ordinary image files).
QIcon ReadIcon(const QString& path) {
    QImageReader reader(path);
    QIcon icon;
    int count = std::clamp(reader.imageCount(), 1, kMaxIconImages);
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        if (!IsAcceptableSize(reader.size()))
            break;
        QImage image;
        if (!reader.read(&image) || image.isNull())
            break;
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

// The file of that name in `folder`: the exact name first, then one that differs only in case (resellers'
// files come from systems where names ignore case). "" when there is none.
std::string FindFileNoCase(const std::string& folder, const std::string& fileName) {
    if (fileName.empty())
        return {};
    QString exact = QString::fromStdString(folder + "/" + fileName);
    if (QFileInfo(exact).isFile())
        return exact.toStdString();
    const QStringList names =
        QDir(QString::fromStdString(folder)).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names) {
        if (Text::EqualsNoCase(name.toStdString(), fileName))
            return folder + "/" + name.toStdString();
    }
    return {};
}

bool IsPlaceholderId(const std::string& id) {
    // "%" alone or "%%" would turn every percent sign of a text into the replacement.
    return id.size() > 2 && id.front() == '%' && id.back() == '%';
}

std::size_t CountOccurrences(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t pos = text.find(what); pos != std::string::npos;
         pos = text.find(what, pos + what.size()))
        ++count;
    return count;
}

} // namespace

COEMInfo* GetOEMInfo() {
    return g_oemInfo.load();
}
void SetOEMInfo(COEMInfo* info) {
    g_oemInfo.store(info);
}

COEMInfo::COEMInfo() : pathUtilities_(std::make_unique<CPathUtilities>()) {}

COEMInfo::~COEMInfo() {
    // Never leave the process-wide pointer dangling.
    COEMInfo* self = this;
    g_oemInfo.compare_exchange_strong(self, nullptr);
}

void COEMInfo::SetImageSource(ImageSource source) {
    std::lock_guard guard(g_imageSourceLock);
    ImageSourceSlot() = std::move(source);
}

std::unique_ptr<OEMReader::COEMReader> COEMInfo::CreateReader() {
    return std::make_unique<OEMReader::COEMReader>();
}

void COEMInfo::EnsureLoaded() {
    if (loadComplete_.load(std::memory_order_acquire))
        return;
    std::lock_guard guard(loadLock_);
    if (loadAttempted_)
        return;
    loadAttempted_ = true;
    LoadDocument();
    loadComplete_.store(true, std::memory_order_release);
}

void COEMInfo::LoadDocument() {
    InitOEMFolder();
    reader_ = CreateReader();
    if (!reader_)
        return;
    std::string path = FindOEMFile(kDocumentName);
    if (path.empty()) {
        OutputDebugString("COEMInfo: no OEM document, built-in values in use");
        return;
    }
    if (!reader_->Load(path))
        OutputDebugString("COEMInfo: OEM document ignored: " + reader_->LastError());
}

void COEMInfo::InitOEMFolder() {
    oemFolder_ = GetExecutableDir() + "/OEM";
}

std::string COEMInfo::FindOEMFile(const std::string& fileName) const {
    return FindFileNoCase(oemFolder_, fileName);
}

bool COEMInfo::FindText(const std::string& id, std::string& text) {
    EnsureLoaded();
    const OEMReader::COEMReader::TextEntry* entry = reader_ ? reader_->FindText(id) : nullptr;
    if (entry == nullptr)
        return false;
    text = OEMReader::COEMReader::SelectText(*entry, GetUiLanguage());
    return true;
}

std::string COEMInfo::GetRegistryPath() {
    EnsureLoaded();
    return reader_ ? reader_->GetRegistryPath() : std::string();
}

std::string COEMInfo::GetHelpFile() {
    EnsureLoaded();
    std::string help = GetText("App.HelpTopic");
    return help.empty() ? std::string(kDefaultHelpFile) : help;
}

std::string COEMInfo::GetText(const std::string& id) {
    EnsureLoaded();
    std::string text;
    return FindText(id, text) ? text : std::string();
}

std::string COEMInfo::GetString(uint32_t resourceId, const std::string& id) {
    EnsureLoaded();
    // An OEM entry without a text for this language would otherwise blank a label.
    std::string text;
    if (FindText(id, text) && !text.empty())
        return text;
    return CResourceLibrary::Instance().GetString(resourceId);
}

std::string COEMInfo::ExpandText(const std::string& text) {
    EnsureLoaded();
    std::string result = text;
    // Most texts hold no placeholder at all.
    if (reader_ && result.find('%') != std::string::npos) {
        const int32_t language = GetUiLanguage();
        for (const auto& entry : reader_->GetTexts()) {
            if (!IsPlaceholderId(entry.id) || result.find(entry.id) == std::string::npos)
                continue;
            std::string value = OEMReader::COEMReader::SelectText(entry, language);
            if (value.empty())
                continue;
            if (value.size() > entry.id.size()) {
                std::size_t growth = CountOccurrences(result, entry.id) * (value.size() - entry.id.size());
                if (growth > kMaxExpandedLength || result.size() + growth > kMaxExpandedLength) {
                    OutputDebugString("COEMInfo: placeholder expansion stopped, text too long");
                    continue;
                }
            }
            result = Text::ReplaceAll(result, entry.id, value);
        }
    }
    return ApplyBuiltInPlaceholders(result);
}

std::string COEMInfo::ApplyBuiltInPlaceholders(const std::string& text) {
    EnsureLoaded();
    std::string result = text;
    if (result.find('%') == std::string::npos)
        return result;
    result = Text::ReplaceAll(result, "%company%", "Brenmoor\u00AE");
    result = Text::ReplaceAll(result, "%companyInc%", "Brenmoor\u00AE Inc.");
    result = Text::ReplaceAll(result, "%web:company%", kCompanyWebAddress);
    result = Text::ReplaceAll(result, "%companyNoR%", "Brenmoor");
    return result;
}

QIcon COEMInfo::LoadIconFile(const std::string& fileName, uint32_t resourceId) {
    EnsureLoaded();
    std::string path = FindOEMFile(fileName);
    if (!path.empty()) {
        QIcon icon = ReadIcon(QString::fromStdString(path));
        if (!icon.isNull())
            return icon;
        OutputDebugString("COEMInfo: OEM icon unreadable, built-in icon used");
    }
    CResourceLibrary& library = CResourceLibrary::Instance();
    if (!library.HasData(ResourceType::Png, resourceId))
        return {};
    return ReadIcon(QString::fromStdString(library.ResourcePath(ResourceType::Png, resourceId)));
}

bool COEMInfo::LoadGraphic(const std::string& fileName, QImage& image) {
    EnsureLoaded();
    if (reader_ && reader_->IsNoReplace(fileName, GetUiLanguage()))
        return false;
    std::string path = FindOEMFile(fileName);
    return !path.empty() && ReadImage(QString::fromStdString(path), image);
}

bool COEMInfo::GetGraphic(const std::string& fileName, uint32_t resourceId, QImage& image) {
    EnsureLoaded();
    if (LoadGraphic(fileName, image))
        return true;
    ImageSource source;
    {
        std::lock_guard guard(g_imageSourceLock);
        source = ImageSourceSlot();
    }
    if (source)
        return source(resourceId, image);
    CResourceLibrary& library = CResourceLibrary::Instance();
    return library.HasData(ResourceType::Png, resourceId) &&
           ReadImage(QString::fromStdString(library.ResourcePath(ResourceType::Png, resourceId)), image);
}

uint16_t COEMInfo::GetSystemLanguage() {
    EnsureLoaded();
    return CSystemInfo::Instance().GetOsLanguage();
}

bool COEMInfo::IsFeatureEnabled(const std::string& name, bool defaultValue) {
    EnsureLoaded();
    const OEMReader::COEMReader::FeatureEntry* feature = reader_ ? reader_->FindFeature(name) : nullptr;
    return feature != nullptr ? feature->enabled : defaultValue;
}

std::string COEMInfo::GetConfigFilePath(const std::string& folder, const std::string& fileName,
                                        uint32_t resourceId) {
    EnsureLoaded();
    if (!CPrivateTempFolder::IsPlainFileName(fileName))
        return {};
    std::string existing = FindFileNoCase(GetExecutableDir() + "/" + folder, fileName);
    if (!existing.empty())
        return existing;
    CResourceLibrary& library = CResourceLibrary::Instance();
    if (!library.HasData(ResourceType::Xml, resourceId))
        return {};
    QByteArray data = library.GetData(ResourceType::Xml, resourceId);
    static std::mutex cacheLock;
    static CPrivateTempFolder cache("config-cache");
    std::lock_guard guard(cacheLock);
    std::string path = cache.WriteFile(fileName, data.constData(), static_cast<std::size_t>(data.size()));
    if (path.empty())
        OutputDebugString("COEMInfo: configuration resource could not be written");
    return path;
}

std::string COEMInfo::GetDefaultRegistryValue(const std::string& name) {
    EnsureLoaded();
    const OEMReader::COEMReader::DefaultValueEntry* entry =
        reader_ ? reader_->FindDefaultValue(name) : nullptr;
    return entry != nullptr ? entry->defaultValue : std::string();
}

bool COEMInfo::IsRegistryFlagSet(const std::string& subkey, const std::string& name) {
    EnsureLoaded();
    uint32_t value = 0;
    if (Settings::ReadNumber(GetRegistryPath() + "\\" + subkey, name.c_str(), &value, 0) < 0)
        return false;
    return value > 0;
}

void COEMInfo::SetRegistryFlag(const std::string& subkey, const std::string& name) {
    EnsureLoaded();
    Settings::WriteNumber(GetRegistryPath() + "\\" + subkey, name.c_str(), 1);
}

std::string COEMInfo::ExpandPath(const std::string& text) {
    EnsureLoaded();
    return pathUtilities_->ExpandPath(text);
}

CPathUtilities& COEMInfo::GetPathUtilities() {
    EnsureLoaded();
    return *pathUtilities_;
}
