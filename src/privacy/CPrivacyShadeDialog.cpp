#include "privacy/CPrivacyShadeDialog.h"

#include "app/CVidoraSettings.h"
#include "ui/CTransparentToggleButton.h"
#include "ui/CVidoraSkin.h"

namespace {
// What only the unfolded window shows (the button back to the standard folder follows its own rule).
constexpr int kGalleryBand[] = {CPrivacyShadeDialog::kGalleryLabel, CBasePrivacyShadePaneDlg::kFolderLabel,
                                CBasePrivacyShadePaneDlg::kBrowse, CBasePrivacyShadePaneDlg::kGallery};
} // namespace

CPrivacyShadeDialog::CPrivacyShadeDialog(QWidget* parent)
    : CBasePrivacyShadePaneDlg(kTemplateId, "PrivacyShadeXPos", "PrivacyShadeYPos", parent) {}

bool CPrivacyShadeDialog::OnInitDialog() {
    CBasePrivacyShadePaneDlg::OnInitDialog();
    expanded_ = CVidoraSettings::GetPrivacyShadeToggleOpen() != 0;
    ApplyExpanded();
    return true;
}

void CPrivacyShadeDialog::OnCommand(int item) {
    if (item == kExpandToggle || item == kExpandLabel) {
        Expand();
        return;
    }
    CBasePrivacyShadePaneDlg::OnCommand(item);
}

void CPrivacyShadeDialog::Expand() {
    expanded_ = !expanded_;
    CVidoraSettings::SetPrivacyShadeToggleOpen(expanded_ ? 1 : 0);
    ApplyExpanded();
}

void CPrivacyShadeDialog::ShowHomeFolderButton(bool show) {
    homeButtonWanted_ = show;
    CBasePrivacyShadePaneDlg::ShowHomeFolderButton(show && expanded_);
}

void CPrivacyShadeDialog::ApplyExpanded() {
    const QString tip = QString::fromStdString(LoadString(expanded_ ? kExpandedTip : kCollapsedTip));
    if (auto* toggle = GetDlgItemAs<CTransparentToggleButton>(kExpandToggle)) {
        toggle->setChecked(expanded_);
        toggle->setToolTip(tip);
    }
    if (QWidget* label = GetDlgItem(kExpandLabel))
        label->setToolTip(tip);
    for (int item : kGalleryBand) {
        if (QWidget* control = GetDlgItem(item))
            control->setVisible(expanded_);
    }
    CBasePrivacyShadePaneDlg::ShowHomeFolderButton(homeButtonWanted_ && expanded_);
    const int height = expanded_ ? kExpandedHeight : kCollapsedHeight;
    const int clientWidth = Skin() != nullptr ? Skin()->ClientRect().width() : width();
    if (Skin() != nullptr && Skin()->Window() == this)
        Skin()->ResizeClient(QSize(clientWidth, height));
    else
        resize(width(), height);
    update();
}
