#include "settings/CSettingsPaneDlg.h"

#include "settings/CFeatureBands.h"
#include "ui/CTransparentSliderCtrl.h"

#include <QAbstractButton>

CSettingsPaneDlg::CSettingsPaneDlg(uint32_t templateId, QWidget* parent) : CDialogBase(templateId, parent) {}

void CSettingsPaneDlg::LayOut(const CFeatureBands& bands) {
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const int top = child->y();
        if (!bands.IsShown(bands.BandAt(top))) {
            child->hide();
            continue;
        }
        child->move(child->x(), top - bands.ShiftAt(top));
    }
    resize(width(), height() - bands.TotalShift());
}

void CSettingsPaneDlg::SetPos(int item, int32_t position) {
    if (auto* slider = GetDlgItemAs<CTransparentSliderCtrl>(item))
        slider->SetPos(position);
}

void CSettingsPaneDlg::SetChecked(int item, bool on) {
    if (auto* button = GetDlgItemAs<QAbstractButton>(item)) {
        button->setCheckable(true);
        button->setChecked(on);
    }
}

bool CSettingsPaneDlg::IsChecked(int item) const {
    auto* button = GetDlgItemAs<QAbstractButton>(item);
    return button != nullptr && button->isChecked();
}

void CSettingsPaneDlg::Enable(std::initializer_list<int> items, bool on) {
    for (int item : items) {
        if (QWidget* widget = GetDlgItem(item))
            widget->setEnabled(on);
    }
}
