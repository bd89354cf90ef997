#pragma once
// The desktop's folder picker for the shade window's "Browse", behind a seam tests replace.
#include <functional>
#include <optional>
#include <string>

class QWidget;

class CShadeFolderPicker {
public:
    // Answers in place of the picker: the chosen folder, or nothing for a cancelled choice.
    using Hook = std::function<std::optional<std::string>(const std::string& start)>;

    // Lets the user choose an existing folder, starting at `start`; nothing when cancelled.
    static std::optional<std::string> Choose(QWidget* parent, const std::string& title,
                                             const std::string& start);
    // An empty hook puts the real picker back.
    static void SetHook(Hook hook);
};
