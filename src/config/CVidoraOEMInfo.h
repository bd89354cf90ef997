#pragma once
#include "config/COEMInfo.h"

// The product's OEM information: its own settings root, placeholders and default folders.
class CVidoraOEMInfo : public COEMInfo {
public:
    CVidoraOEMInfo();

    // The document's settings root when non-empty, else kDefaultRegistryPath.
    std::string GetRegistryPath() override;
    // Also resolves the document's folders: expanded, made absolute-only, and created.
    void EnsureLoaded() override;
    std::string ApplyBuiltInPlaceholders(const std::string& text) override;
    // The document's "Pictures" folder, else the user's pictures folder joined with "Vidora" (created).
    virtual std::string GetPhotoFolder();
    // The document's "Videos" folder, else the user's videos folder joined with "Vidora" (created).
    virtual std::string GetMovieFolder();
    // The all-users application-data folder joined with "Brenmoor/Vidora/ModelData" (created).
    virtual std::string GetModelDataFolder();
    // The folder name used inside the documents folder when the system has no videos folder.
    virtual void SetMyVideosName(const std::string& name);

    static constexpr const char* kDefaultRegistryPath = "Software\\Brenmoor\\Vidora10";
    static constexpr const char* kCaptureFolderName = "Vidora";

protected:
    std::unique_ptr<OEMReader::COEMReader> CreateReader() override;

private:
    // A folder text of the document as a usable path: "\" separators become "/", placeholders are expanded,
    // and the folder is created. "" when the text is empty or does not give an absolute path.
    std::string ResolveDocumentFolder(const std::string& text);
    // `placeholder` joined with `name`, expanded and created.
    std::string BuiltInFolder(const std::string& placeholder, const std::string& name);

    std::string photoFolder_;
    std::string movieFolder_;
};
