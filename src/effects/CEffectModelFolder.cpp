#include "effects/CEffectModelFolder.h"

#include "app/CVidoraSettings.h"
#include "app/Folders.h"
#include "platform/DebugOutput.h"

#include <QDir>

#include <utility>

CEffectModelFolder::CEffectModelFolder(std::string folder, int32_t language)
    : folder_(std::move(folder)), language_(language) {}

std::string CEffectModelFolder::FromSettings() {
    std::string folder = CVidoraSettings::GetVideoEffectsModelDataFolder();
    if (auto resolved = ResolveFolderPath(folder))
        folder = *resolved;
    return folder;
}

std::vector<std::string> CEffectModelFolder::ModelFolders() const {
    std::vector<std::string> folders;
    if (folder_.empty())
        return folders;
    const QDir dir(QString::fromStdString(folder_));
    const QStringList names =
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names)
        folders.push_back(dir.filePath(name).toStdString());
    return folders;
}

std::vector<CEffectModel> CEffectModelFolder::List(CEffectModel::Kind kind) const {
    std::vector<CEffectModel> models;
    for (const std::string& folder : ModelFolders()) {
        std::string why;
        const std::string path = CEffectModel::DescriptionPathOf(folder);
        std::optional<CEffectModel> model = CEffectModel::Load(path, language_, &why);
        if (!model) {
            OutputDebugString("Effects: the model description " + path + " was skipped: " + why);
            continue;
        }
        if (model->GetKind() == kind)
            models.push_back(std::move(*model));
    }
    return models;
}

std::optional<CEffectModel> CEffectModelFolder::FindByIdentity(const std::string& identity) const {
    if (identity.empty())
        return std::nullopt;
    for (const std::string& folder : ModelFolders()) {
        std::optional<CEffectModel> model =
            CEffectModel::Load(CEffectModel::DescriptionPathOf(folder), language_);
        if (model && model->Id() == identity)
            return model;
    }
    return std::nullopt;
}
