#include "capture/CUVCNotificationDlg.h"

#include "app/CVidoraSettings.h"
#include "config/COEMInfo.h"
#include "platform/CResourceLibrary.h"
#include "platform/DesktopLinks.h"
#include "ui/CVidoraSkin.h"
#include "ui/ScreenPlacement.h"

#include <QAbstractButton>

CUVCNotificationDlg::CUVCNotificationDlg(QWidget* parent) : CDialogBase(kTemplateId, parent) {}

bool& CUVCNotificationDlg::IsOpen() {
    static bool open = false;
    return open;
}

std::string CUVCNotificationDlg::HelpAddress() {
    if (COEMInfo* oem = GetOEMInfo())
        return oem->ExpandText(oem->GetString(kHelpUrlStringId, kHelpUrlTextId));
    return CResourceLibrary::Instance().GetString(kHelpUrlStringId);
}

intptr_t CUVCNotificationDlg::Run(QWidget* owner) {
    // The owner may go while the notice is up (its camera removed, the program closing): only a live owner
    // is enabled again.
    QPointer<QWidget> guard(owner);
    const bool wasEnabled = owner != nullptr && owner->isEnabled();
    if (owner != nullptr)
        owner->setEnabled(false);
    IsOpen() = true;
    CUVCNotificationDlg dialog;
    const intptr_t result = dialog.DoModal();
    IsOpen() = false;
    if (guard && wasEnabled)
        guard->setEnabled(true);
    CVidoraSettings::SetDontWarnUVC(dialog.DontShowAgain() ? 1 : 0);
    return result;
}

bool CUVCNotificationDlg::OnInitDialog() {
    if (auto* link = GetDlgItemAs<QAbstractButton>(kHelpLinkId))
        connect(link, &QAbstractButton::clicked, this, [this] { OnHelpLink(); });
    if (auto* box = GetDlgItemAs<QAbstractButton>(kDontShowAgainId)) {
        box->setCheckable(true);
        dontShowAgain_ = box->isChecked();
        connect(box, &QAbstractButton::toggled, this, [this](bool on) { dontShowAgain_ = on; });
    }
    if (auto* ok = GetDlgItemAs<QAbstractButton>(IDOK))
        connect(ok, &QAbstractButton::clicked, this, [this] { OnOK(); });
    // Dressed as the program's message boxes are: the dark frame with its own title bar.
    skin_ = new CVidoraSkin("app_titlename_inactive.png", "app_titlename.png", CVidoraSkin::FrameStyle::Popup,
                            this);
    skin_->Attach(this);
    setFixedSize(size());
    ScreenPlacement::CentreOnScreen(*this);
    return true;
}

void CUVCNotificationDlg::OnHelpLink() {
    DesktopLinks::OpenWebAddress(HelpAddress());
}
