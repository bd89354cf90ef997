#include "capture/CNoMediaPlayerDlg.h"

#include "config/COEMInfo.h"
#include "platform/CDesktopFileOpener.h"
#include "platform/CResourceLibrary.h"
#include "platform/DesktopLinks.h"
#include "platform/WindowMessages.h"

#include <QAbstractButton>

CNoMediaPlayerDlg::CNoMediaPlayerDlg(std::string moviePath, QWidget* parent)
    : CDialogBase(kTemplateId, parent), moviePath_(std::move(moviePath)) {}

std::string CNoMediaPlayerDlg::DownloadAddress() {
    COEMInfo* oem = GetOEMInfo();
    if (oem != nullptr)
        return oem->ExpandText(oem->GetString(kDownloadUrlStringId, kDownloadUrlTextId));
    return CResourceLibrary::Instance().GetString(kDownloadUrlStringId);
}

bool CNoMediaPlayerDlg::OnInitDialog() {
    if (auto* link = GetDlgItemAs<QAbstractButton>(kDownloadLinkId))
        connect(link, &QAbstractButton::clicked, this, [this] { OnDownloadLink(); });
    if (auto* button = GetDlgItemAs<QAbstractButton>(kChooseProgramId))
        connect(button, &QAbstractButton::clicked, this, [this] { OnChooseProgram(); });
    return true;
}

void CNoMediaPlayerDlg::OnDownloadLink() {
    DesktopLinks::OpenWebAddress(DownloadAddress());
    EndDialog(IDNO);
}

void CNoMediaPlayerDlg::OnChooseProgram() {
    CDesktopFileOpener::OpenWith(moviePath_);
    EndDialog(IDNO);
}
