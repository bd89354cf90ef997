#pragma once
// The notice that the camera runs on the system's own camera driver, so the maker's controls are missing:
// a text, a link to a help page (opened in the default browser) and "do not show this again". It is modal,
// on top of other windows and centred on the screen.
#include "ui/CDialogBase.h"

#include <string>

class CVidoraSkin;

class CUVCNotificationDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 464;
    static constexpr int kHelpLinkId = 4641;
    static constexpr int kDontShowAgainId = 1288;
    // The OEM text naming the help page, and the string it falls back to.
    static constexpr const char* kHelpUrlTextId = "IDS_STRING_UVC_HELP_URL";
    static constexpr uint32_t kHelpUrlStringId = 1587;

    explicit CUVCNotificationDlg(QWidget* parent = nullptr);

    // Shows the notice modally: `owner` (may be null) is disabled meanwhile and IsOpen() holds; afterwards
    // "DontWarnUVC" gets the state of the check box. Returns the dialog's result.
    static intptr_t Run(QWidget* owner);
    // True while a notice shown by Run is open (process-wide; other windows hold back their own notices).
    static bool& IsOpen();

    // The address the link opens.
    static std::string HelpAddress();
    // The check box's state (also after the dialog has ended).
    bool DontShowAgain() const { return dontShowAgain_; }

    void OnHelpLink();

protected:
    bool OnInitDialog() override;

private:
    CVidoraSkin* skin_ = nullptr; // owned by the window
    bool dontShowAgain_ = false;
};
