#include "capture/CMediaPlayerNeededForRecordDlg.h"

#include "config/COEMInfo.h"
#include "platform/CResourceLibrary.h"
#include "platform/DesktopLinks.h"
#include "ui/CVidoraSkin.h"

#include <QAbstractButton>

CMediaPlayerNeededForRecordDlg::CMediaPlayerNeededForRecordDlg(QWidget* parent)
    : CDialogBase(kTemplateId, parent) {}

std::string CMediaPlayerNeededForRecordDlg::DownloadAddress() {
    if (COEMInfo* oem = GetOEMInfo())
        return oem->ExpandText(oem->GetString(kDownloadUrlStringId, kDownloadUrlTextId));
    return CResourceLibrary::Instance().GetString(kDownloadUrlStringId);
}

bool CMediaPlayerNeededForRecordDlg::OnInitDialog() {
    if (auto* link = GetDlgItemAs<QAbstractButton>(kDownloadLinkId))
        connect(link, &QAbstractButton::clicked, this, [this] { OnDownloadLink(); });
    if (auto* close = GetDlgItemAs<QAbstractButton>(kCloseId))
        connect(close, &QAbstractButton::clicked, this, [this] { OnCancel(); });
    // Dressed as the program's message boxes are: the dark frame with its own title bar.
    skin_ = new CVidoraSkin("app_titlename_inactive.png", "app_titlename.png", CVidoraSkin::FrameStyle::Popup,
                            this);
    skin_->Attach(this);
    setFixedSize(size());
    return true;
}

void CMediaPlayerNeededForRecordDlg::OnDownloadLink() {
    DesktopLinks::OpenWebAddress(DownloadAddress());
    EndDialog(kLinkResult);
}
