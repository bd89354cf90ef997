#pragma once
// Shown when a video is opened and no program on the computer can play it: a link to get a player and a
// button that offers the desktop's choice of programs. Either ends the dialog with IDNO.
#include "ui/CDialogBase.h"

#include <string>

class CNoMediaPlayerDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 451;
    static constexpr int kDownloadLinkId = 4511;
    static constexpr int kChooseProgramId = 4512;
    // The OEM text naming the player's web address, and the string it falls back to.
    static constexpr const char* kDownloadUrlTextId = "IDS_STRING_DOWNLOAD_WMP_URL";
    static constexpr uint32_t kDownloadUrlStringId = 299;

    explicit CNoMediaPlayerDlg(std::string moviePath, QWidget* parent = nullptr);

    const std::string& MoviePath() const { return moviePath_; }
    // The address the link opens.
    static std::string DownloadAddress();

    void OnDownloadLink();
    void OnChooseProgram();

protected:
    bool OnInitDialog() override;

private:
    std::string moviePath_;
};
