#pragma once
// Shown when a movie or a motion clip cannot be recorded because the video plug-ins for recording are
// missing: what to install, a link to a player that brings them, and a close button. The link opens its
// address and ends the dialog with 1; closing ends it with IDCANCEL.
#include "ui/CDialogBase.h"

#include <string>

class CVidoraSkin;

class CMediaPlayerNeededForRecordDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 457;
    static constexpr int kDownloadLinkId = 4571;
    static constexpr int kCloseId = IDCANCEL;
    // What a click on the link ends the dialog with.
    static constexpr intptr_t kLinkResult = 1;
    // The OEM text naming the player's web address, and the string it falls back to.
    static constexpr const char* kDownloadUrlTextId = "IDS_STRING_DOWNLOAD_WMP_URL";
    static constexpr uint32_t kDownloadUrlStringId = 299;

    explicit CMediaPlayerNeededForRecordDlg(QWidget* parent = nullptr);

    // The address the link opens.
    static std::string DownloadAddress();

    void OnDownloadLink();

protected:
    bool OnInitDialog() override;

private:
    CVidoraSkin* skin_ = nullptr; // owned by the window
};
