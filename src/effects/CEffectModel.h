#pragma once
// One installed effect model as its description file tells it. Each model lives in a folder of its own below
// the model folder, described by "<folder>/<folder>.xml" (the name compared ignoring case): the root element
// carries the kind ("Type": "Avatar", "Accessory" or "Fun") and the model's identity ("Id"); its children
// name the thumbnail ("ImageFile"), the package the engine loads ("PackageFile"), an optional preview
// picture ("PreviewFile"), localised names and descriptions, and an optional "Properties/ModelComplexity".
//
// File names in a description are relative to the model's folder unless absolute.
#include <cstdint>
#include <optional>
#include <string>

class CEffectModel {
public:
    enum class Kind { Avatar, Accessory, Fun };

    // Reads a description. Nothing (and `why` says so, in English for the debug log) when the file cannot
    // be read, is refused by the XML reader, or lacks the root's "Type" attribute, "ImageFile" or
    // "PackageFile". `language` picks the localised texts (see LocalisedText).
    static std::optional<CEffectModel> Load(const std::string& descriptionPath, int32_t language,
                                            std::string* why = nullptr);
    // The description file of the model folder `folder`: "<folder>/<name>.xml" where <name> is the folder's
    // own name, found ignoring case (the exact spelling first). The exact spelling when there is none.
    static std::string DescriptionPathOf(const std::string& folder);

    // The kind of a "Type" text, compared ignoring case; anything but "Avatar" and "Accessory" is a fun
    // filter.
    static Kind KindOf(const std::string& type);
    // The engine's spelling of a kind.
    static const char* KindName(Kind kind);

    const std::string& DescriptionPath() const { return descriptionPath_; }
    const std::string& Folder() const { return folder_; }
    const std::string& Type() const { return type_; }
    Kind GetKind() const { return KindOf(type_); }
    const std::string& Id() const { return id_; }
    const std::string& ImageFile() const { return imageFile_; }
    const std::string& PackageFile() const { return packageFile_; }
    // Empty when the description names none.
    const std::string& PreviewFile() const { return previewFile_; }
    const std::string& Name() const { return name_; }
    const std::string& Description() const { return description_; }
    // The name to show: the localised name, else the folder's name.
    std::string DisplayName() const;
    // The "ModelComplexity" value; nothing when absent or not a number.
    std::optional<int32_t> Complexity() const { return complexity_; }

    // Two descriptions are the same model when they are the same file (ignoring case).
    bool IsSameModel(const CEffectModel& other) const;

    static constexpr int32_t kFallbackLanguage = 1033;

private:
    std::string descriptionPath_;
    std::string folder_;
    std::string type_;
    std::string id_;
    std::string imageFile_;
    std::string packageFile_;
    std::string previewFile_;
    std::string name_;
    std::string description_;
    std::optional<int32_t> complexity_;
};
