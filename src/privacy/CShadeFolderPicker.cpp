#include "privacy/CShadeFolderPicker.h"

#include <QFileDialog>

namespace {
CShadeFolderPicker::Hook& PickerHook() {
    static CShadeFolderPicker::Hook hook;
    return hook;
}
} // namespace

std::optional<std::string> CShadeFolderPicker::Choose(QWidget* parent, const std::string& title,
                                                      const std::string& start) {
    if (const Hook& hook = PickerHook())
        return hook(start);
    const QString chosen = QFileDialog::getExistingDirectory(
        parent, QString::fromStdString(title), QString::fromStdString(start), QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.toStdString();
}

void CShadeFolderPicker::SetHook(Hook hook) {
    PickerHook() = std::move(hook);
}
