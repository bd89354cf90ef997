#include "capture/CMediaPlayerNeededForRecordDlg.h"

#include "config/COEMInfo.h"
#include "platform/CResourceLibrary.h"
#include "platform/DesktopLinks.h"

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
    return true;
}

void CMediaPlayerNeededForRecordDlg::OnDownloadLink() {
    DesktopLinks::OpenWebAddress(DownloadAddress());
    EndDialog(kLinkResult);
}
