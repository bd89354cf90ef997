#pragma once
// Everything a reseller can re-brand through the document "OEM/OEM.xml" beside the executable: the settings
// root, texts (by id or as %placeholders%), graphics, feature switches, defaults of settings values. The
// document is loaded on first use and kept for the life of the process; a missing or broken document is not
// reported and every operation falls back to its built-in answer.
#include "config/CPathUtilities.h"

#include <QIcon>
#include <QImage>

#include <functional>
#include <memory>
#include <string>

class QWidget;
class QMenu;

namespace OEMReader {
class COEMReader;
}

class COEMInfo {
public:
    COEMInfo();
    virtual ~COEMInfo();
    COEMInfo(const COEMInfo&) = delete;
    COEMInfo& operator=(const COEMInfo&) = delete;

    virtual std::string GetRegistryPath();
    virtual std::string GetHelpFile();
    virtual void LocalizeWindow(QWidget* window);
    virtual std::string ExpandText(const std::string& text);
    virtual void LocalizeMenu(QMenu* menu);
    virtual std::string GetText(const std::string& id);
    virtual std::string GetString(uint32_t resourceId, const std::string& id);
    virtual QIcon LoadIconFile(const std::string& fileName, uint32_t resourceId);
    virtual bool LoadGraphic(const std::string& fileName, QImage& image);
    virtual bool GetGraphic(const std::string& fileName, uint32_t resourceId, QImage& image);
    virtual uint16_t GetSystemLanguage();
    virtual bool IsFeatureEnabled(const std::string& name, bool defaultValue);
    virtual std::string GetConfigFilePath(const std::string& folder, const std::string& fileName,
                                          uint32_t resourceId);
    virtual std::string GetDefaultRegistryValue(const std::string& name);
    virtual bool IsRegistryFlagSet(const std::string& subkey, const std::string& name);
    virtual void SetRegistryFlag(const std::string& subkey, const std::string& name);
    virtual std::string ExpandPath(const std::string& text);
    virtual CPathUtilities& GetPathUtilities();
    virtual void EnsureLoaded();
    virtual void InitOEMFolder();
    virtual std::string ApplyBuiltInPlaceholders(const std::string& text);

    const std::string& GetOEMFolder() const { return oemFolder_; }

    // Where GetGraphic takes built-in images from (the process's image cache); set by the application.
    using ImageSource = std::function<bool(uint32_t resourceId, QImage& image)>;
    static void SetImageSource(ImageSource source);

    // The maker's home page, behind "%web:company%".
    static constexpr const char* kCompanyWebAddress = "https://www.brenmoor.example.com";

protected:
    // Creates the document reader; the product variant makes its own.
    virtual std::unique_ptr<OEMReader::COEMReader> CreateReader();
    OEMReader::COEMReader* Reader() const { return reader_.get(); }
    // Selected text of the first text entry whose id matches exactly; false when there is none.
    bool FindText(const std::string& id, std::string& text);

    std::unique_ptr<OEMReader::COEMReader> reader_;
    std::unique_ptr<CPathUtilities> pathUtilities_;
    std::string oemFolder_;
    bool loadAttempted_ = false;
};

// The process-wide OEM-information object (a CVidoraOEMInfo in the program). Set once, first thing at start.
COEMInfo* GetOEMInfo();
void SetOEMInfo(COEMInfo* info);
