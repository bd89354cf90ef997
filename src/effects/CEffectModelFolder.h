#pragma once
// The installed effect models: one folder each below the model folder. A description that cannot be read
// is skipped (and logged); a missing model folder lists nothing.
#include "effects/CEffectModel.h"

#include <optional>
#include <string>
#include <vector>

class CEffectModelFolder {
public:
    CEffectModelFolder(std::string folder, int32_t language);

    // The models of one kind, folders in name order (ignoring case).
    std::vector<CEffectModel> List(CEffectModel::Kind kind) const;
    // The first model (folders in the same order) whose identity equals `identity` exactly, whatever its
    // kind; nothing for an empty identity.
    std::optional<CEffectModel> FindByIdentity(const std::string& identity) const;
    // The model folder the settings name ("VideoEffectsModelDataFolder", folder names resolved).
    static std::string FromSettings();

    const std::string& Path() const { return folder_; }

private:
    std::vector<std::string> ModelFolders() const;

    std::string folder_;
    int32_t language_;
};
