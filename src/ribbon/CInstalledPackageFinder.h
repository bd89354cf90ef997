#pragma once
// Finds a newly installed effects package among the installed effect models, so the ribbon can announce
// it by name. Each model lives in a sub-folder of the model folder, described by "<folder>/<folder>.xml";
// the package identity is the "Id" attribute of the description's root element.
#include <cstdint>
#include <optional>
#include <string>

class CInstalledPackageFinder {
public:
    // The display name of the first model (sub-folders in name order, ignoring case) whose identity equals
    // `identity` exactly: its "Name" text for the user-interface language, else the US English one, else the
    // folder's name. Descriptions that cannot be read, are refused by the XML reader, or lack the root's
    // "Type" or "Id" attribute, "ImageFile" or "PackageFile" are skipped. Nothing for an empty identity or
    // when no model matches.
    static std::optional<std::string> FindDisplayName(const std::string& modelFolder,
                                                      const std::string& identity);
    // The same with the language given (a language id, as the resource library's).
    static std::optional<std::string> FindDisplayName(const std::string& modelFolder,
                                                      const std::string& identity, int32_t uiLanguage);

    static constexpr int32_t kFallbackLanguage = 1033;
};
