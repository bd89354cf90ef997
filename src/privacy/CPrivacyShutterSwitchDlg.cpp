#include "privacy/CPrivacyShutterSwitchDlg.h"

#include "app/CVidoraApp.h"
#include "app/CVidoraSettings.h"
#include "ui/CTransparentRadioButton.h"
#include "ui/CVidoraSkin.h"
#include "ui/ScreenPlacement.h"

#include <QAbstractButton>
#include <QPointer>

namespace {

constexpr int kButtons[] = {CPrivacyShutterSwitchDlg::kVideoCall, CPrivacyShutterSwitchDlg::kShade,
                            CPrivacyShutterSwitchDlg::kNothing};

QPointer<CDialogBase>& MainWindowForTest() {
    static QPointer<CDialogBase> window;
    return window;
}

CDialogBase* MainWindow() {
    if (CDialogBase* window = MainWindowForTest())
        return window;
    CVidoraApp* app = CVidoraApp::Instance();
    return app != nullptr ? app->MainWindow() : nullptr;
}

} // namespace

CPrivacyShutterSwitchDlg::CPrivacyShutterSwitchDlg(QWidget* parent) : CDialogBase(kTemplateId, parent) {}

void CPrivacyShutterSwitchDlg::SetMainWindowForTest(CDialogBase* window) {
    MainWindowForTest() = window;
}

bool CPrivacyShutterSwitchDlg::OnInitDialog() {
    uint32_t stored = CVidoraSettings::GetShadeBehavior();
    // A value from elsewhere that names no behaviour shows as "do nothing", the one that changes nothing.
    if (stored > 2)
        stored = 2;
    for (int item : kButtons) {
        if (auto* radio = GetDlgItemAs<CTransparentRadioButton>(item))
            radio->SetExclusiveGroup(1);
    }
    if (auto* button = GetDlgItemAs<QAbstractButton>(kButtons[stored]))
        button->setChecked(true);
    // Dressed as the program's message boxes are: its texts are drawn for the dark frame.
    auto* skin = new CVidoraSkin("app_titlename_inactive.png", "app_titlename.png",
                                 CVidoraSkin::FrameStyle::Popup, this);
    skin->Attach(this);
    setFixedSize(size());
    ScreenPlacement::CentreOnScreen(*this);
    return true;
}

int CPrivacyShutterSwitchDlg::SelectedBehavior() const {
    for (int i = 0; i < 3; ++i) {
        if (auto* button = GetDlgItemAs<QAbstractButton>(kButtons[i]);
            button != nullptr && button->isChecked())
            return i;
    }
    return 2;
}

LRESULT CPrivacyShutterSwitchDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == kOk) {
        OnOK();
        return 0;
    }
    return CDialogBase::OnMessage(message, wParam, lParam);
}

void CPrivacyShutterSwitchDlg::OnOK() {
    CVidoraSettings::SetShadeBehavior(static_cast<uint32_t>(SelectedBehavior()));
    CVidoraSettings::SetShadeFirstTimeUse(0);
    if (CDialogBase* main = MainWindow())
        main->PostMessage(kReplayShutterMessage);
    if (IsModal())
        EndDialog(IDOK);
    else
        DestroyWindow();
}
