#pragma once
#include "config/COEMInfo.h"

// The product's OEM information: its own settings root, placeholders and default folders.
class CVidoraOEMInfo : public COEMInfo {
public:
    CVidoraOEMInfo();

    std::string GetRegistryPath() override;
    void EnsureLoaded() override;
    std::string ApplyBuiltInPlaceholders(const std::string& text) override;
    virtual std::string GetPhotoFolder();
    virtual std::string GetMovieFolder();
    virtual std::string GetModelDataFolder();
    virtual void SetMyVideosName(const std::string& name);

    static constexpr const char* kDefaultRegistryPath = "Software\\Brenmoor\\Vidora10";

protected:
    std::unique_ptr<OEMReader::COEMReader> CreateReader() override;
};
