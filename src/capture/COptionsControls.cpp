#include "capture/COptionsControls.h"

#include "ui/CDialogBase.h"
#include "ui/CTransparentSliderCtrl.h"
#include "ui/CTransparentSpinCtrl.h"

#include <QAbstractButton>

#include <algorithm>
#include <vector>

namespace COptionsControls {

uint32_t Clamp(uint32_t value, int minimum, int maximum) {
    const uint32_t low = static_cast<uint32_t>(std::max(0, minimum));
    const uint32_t high = static_cast<uint32_t>(std::max(minimum, maximum));
    return std::clamp(value, low, high);
}

void SetCheck(CDialogBase& dialog, int id, uint32_t value) {
    if (auto* box = dialog.GetDlgItemAs<QAbstractButton>(id)) {
        box->setCheckable(true);
        box->setChecked(value != 0);
    }
}

std::optional<uint32_t> GetCheck(const CDialogBase& dialog, int id) {
    auto* box = dialog.GetDlgItemAs<QAbstractButton>(id);
    if (box == nullptr)
        return std::nullopt;
    return box->isChecked() ? 1u : 0u;
}

void SetNumber(CDialogBase& dialog, int id, uint32_t value) {
    if (auto* spin = dialog.GetDlgItemAs<CTransparentSpinCtrl>(id)) {
        spin->SetPos(static_cast<int>(Clamp(value, spin->GetRangeMin(), spin->GetRangeMax())));
    } else if (auto* slider = dialog.GetDlgItemAs<CTransparentSliderCtrl>(id)) {
        slider->SetPos(static_cast<int>(Clamp(value, slider->GetRangeMin(), slider->GetRangeMax())));
    }
}

std::optional<uint32_t> GetNumber(const CDialogBase& dialog, int id) {
    if (auto* spin = dialog.GetDlgItemAs<CTransparentSpinCtrl>(id))
        return static_cast<uint32_t>(std::max(0, spin->GetPos()));
    if (auto* slider = dialog.GetDlgItemAs<CTransparentSliderCtrl>(id))
        return static_cast<uint32_t>(std::max(0, slider->GetPos()));
    return std::nullopt;
}

void Write(HRESULT (*setter)(uint32_t), std::optional<uint32_t> value) {
    if (value)
        setter(*value);
}

void Enable(CDialogBase& dialog, const std::vector<int>& ids, bool on) {
    for (int id : ids) {
        if (QWidget* control = dialog.GetDlgItem(id))
            control->setEnabled(on);
    }
}

void Show(CDialogBase& dialog, const std::vector<int>& ids, bool on) {
    for (int id : ids) {
        if (QWidget* control = dialog.GetDlgItem(id))
            control->setVisible(on);
    }
}

} // namespace COptionsControls
