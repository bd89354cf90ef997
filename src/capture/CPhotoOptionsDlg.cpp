#include "capture/CPhotoOptionsDlg.h"

#include "app/CVidoraSettings.h"
#include "capture/COptionsControls.h"
#include "ui/CTransparentSpinCtrl.h"

#include <QLineEdit>

using namespace COptionsControls;

CPhotoOptionsDlg::CPhotoOptionsDlg(QWidget* parent) : COptionsPopup(kTemplateId, parent) {}

CPhotoOptionsDlg* CPhotoOptionsDlg::Show(const QPoint& position, QWidget* parent, ClosedCallback closed) {
    auto* popup = new CPhotoOptionsDlg();
    popup->SetClosedCallback(std::move(closed));
    popup->SetDeleteOnDestroy(true);
    if (!popup->Open(position, parent)) {
        delete popup;
        return nullptr;
    }
    return popup;
}

void CPhotoOptionsDlg::LoadSettings() {
    if (auto* spin = GetDlgItemAs<CTransparentSpinCtrl>(kCountdownSpinId))
        spin->SetBuddy(GetDlgItemAs<QLineEdit>(kCountdownEditId));
    SetCheck(*this, kUseCountdownId, CVidoraSettings::GetUsePhotoCountdown());
    SetNumber(*this, kCountdownSpinId, CVidoraSettings::GetPhotoCountdown());
    SetCheck(*this, kUseTimestampId, CVidoraSettings::GetUsePhotoTimpstamp());
    SetNumber(*this, kQualitySliderId,
              Clamp(CVidoraSettings::GetJPEGQuality(), kMinimumQuality, kMaximumQuality));
}

void CPhotoOptionsDlg::SaveSettings() {
    Write(CVidoraSettings::SetUsePhotoCountdown, GetCheck(*this, kUseCountdownId));
    Write(CVidoraSettings::SetPhotoCountdown, GetNumber(*this, kCountdownSpinId));
    Write(CVidoraSettings::SetUsePhotoTimpstamp, GetCheck(*this, kUseTimestampId));
    Write(CVidoraSettings::SetJPEGQuality, GetNumber(*this, kQualitySliderId));
}
