#pragma once
// Everything a reseller can re-brand through the document "OEM/OEM.xml" beside the executable: the settings
// root, texts (by id or as %placeholders%), graphics, feature switches, defaults of settings values. The
// document is loaded on first use and kept for the life of the process; a missing or broken document is not
// reported and every operation falls back to its built-in answer.
#include "config/CPathUtilities.h"

#include <QIcon>
#include <QImage>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace OEMReader {
class COEMReader;
}

class COEMInfo {
public:
    COEMInfo();
    virtual ~COEMInfo();
    COEMInfo(const COEMInfo&) = delete;
    COEMInfo& operator=(const COEMInfo&) = delete;

    // The document's settings root when it gives a non-empty one; "" otherwise.
    virtual std::string GetRegistryPath();
    // The text "App.HelpTopic" when non-empty, else "Vidr.chm".
    virtual std::string GetHelpFile();
    // The document's %placeholders% in document order, then the built-in ones. Windows and menus are
    // branded with it by the user-interface layer (CWidgetLocalizer).
    virtual std::string ExpandText(const std::string& text);
    // The text with this id (exact) in the user-interface language; "" when absent.
    virtual std::string GetText(const std::string& id);
    // The document's text `id` when it gives a non-empty one, else string `resourceId` of the resource
    // library.
    virtual std::string GetString(uint32_t resourceId, const std::string& id);
    // The icon file of that name in the OEM folder, else PNG resource `resourceId`; a null icon when neither.
    virtual QIcon LoadIconFile(const std::string& fileName, uint32_t resourceId);
    // The OEM folder's picture of that name unless the document keeps the built-in one for this language.
    virtual bool LoadGraphic(const std::string& fileName, QImage& image);
    // LoadGraphic, else the built-in image `resourceId`; true when either gave an image.
    virtual bool GetGraphic(const std::string& fileName, uint32_t resourceId, QImage& image);
    virtual uint16_t GetSystemLanguage();
    // The document's switch for the feature (name without regard to case); `defaultValue` when absent.
    virtual bool IsFeatureEnabled(const std::string& name, bool defaultValue);
    // The file `folder`/`fileName` of the executable's directory when it exists; otherwise XML resource
    // `resourceId` written to a private per-user folder. "" when there is neither or the copy fails.
    virtual std::string GetConfigFilePath(const std::string& folder, const std::string& fileName,
                                          uint32_t resourceId);
    // The document's default for a settings value (name without regard to case); "" when absent.
    virtual std::string GetDefaultRegistryValue(const std::string& name);
    // Number `name` under settings root\`subkey` (missing counts as 0) is above 0.
    virtual bool IsRegistryFlagSet(const std::string& subkey, const std::string& name);
    virtual void SetRegistryFlag(const std::string& subkey, const std::string& name);
    virtual std::string ExpandPath(const std::string& text);
    virtual CPathUtilities& GetPathUtilities();
    // Loads the document once; every operation starts with it.
    virtual void EnsureLoaded();
    virtual void InitOEMFolder();
    virtual std::string ApplyBuiltInPlaceholders(const std::string& text);

    const std::string& GetOEMFolder() const { return oemFolder_; }

    // Where GetGraphic takes built-in images from (the process's image cache); set by the application.
    // Without one, the PNG resource is read from the resource library.
    using ImageSource = std::function<bool(uint32_t resourceId, QImage& image)>;
    static void SetImageSource(ImageSource source);

    // The maker's home page, behind "%web:company%".
    static constexpr const char* kCompanyWebAddress = "https://www.brenmoor.example.com";
    static constexpr const char* kDefaultHelpFile = "Vidr.chm";
    // Pictures larger than this in either direction are refused before they are decoded.
    static constexpr int kMaxImageSide = 16384;
    // ExpandText stops substituting once the text would grow past this: documents whose placeholders expand
    // into each other must not be able to exhaust memory.
    static constexpr std::size_t kMaxExpandedLength = 1u << 20;

protected:
    // Creates the document reader; the product variant makes its own.
    virtual std::unique_ptr<OEMReader::COEMReader> CreateReader();
    OEMReader::COEMReader* Reader() const { return reader_.get(); }
    // Selected text of the first text entry whose id matches exactly; false when there is none.
    bool FindText(const std::string& id, std::string& text);
    // The part of loading shared by both variants: OEM folder, reader, document.
    void LoadDocument();
    // The path of the OEM folder's file of that name (found without regard to case); "" when there is none.
    std::string FindOEMFile(const std::string& fileName) const;

    std::unique_ptr<OEMReader::COEMReader> reader_;
    std::unique_ptr<CPathUtilities> pathUtilities_;
    std::string oemFolder_;
    // Loading happens once. The lock is recursive because loading itself runs operations that start with
    // EnsureLoaded (path expansion); loadComplete_ lets later callers skip the lock.
    std::recursive_mutex loadLock_;
    bool loadAttempted_ = false;
    std::atomic<bool> loadComplete_{false};
};

// The process-wide OEM-information object (a CVidoraOEMInfo in the program). Set once, first thing at start.
COEMInfo* GetOEMInfo();
void SetOEMInfo(COEMInfo* info);
