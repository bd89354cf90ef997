#include "settings/CFolderPicker.h"

#include <QFileDialog>

namespace {
CFolderPicker::Hook& PickerHook() {
    static CFolderPicker::Hook hook;
    return hook;
}
} // namespace

std::optional<std::string> CFolderPicker::Choose(QWidget* parent, const std::string& title,
                                                 const std::string& start) {
    if (const Hook& hook = PickerHook())
        return hook(title, start);
    const QString chosen = QFileDialog::getExistingDirectory(
        parent, QString::fromStdString(title), QString::fromStdString(start), QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.toStdString();
}

void CFolderPicker::SetHook(Hook hook) {
    PickerHook() = std::move(hook);
}
