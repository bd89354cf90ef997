#pragma once
// Asked the first time the camera's privacy shutter opens or closes: should opening it start a video call,
// should closing it turn the privacy shade on (and opening it off), or should nothing happen? OK stores the
// answer, marks the question as answered and lets the main window handle the shutter event again with it.
#include "ui/CDialogBase.h"

class CPrivacyShutterSwitchDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 392;
    static constexpr int kOk = 1220;
    static constexpr int kVideoCall = 1221;
    static constexpr int kShade = 1222;
    static constexpr int kNothing = 1223;
    // Posted to the main window once the answer is stored.
    static constexpr UINT kReplayShutterMessage = WM_APP + 0x13;

    explicit CPrivacyShutterSwitchDlg(QWidget* parent = nullptr);

    // The behaviour the buttons show (0, 1 or 2).
    int SelectedBehavior() const;

    // Tests: the window that stands for the main window (null: the application's).
    static void SetMainWindowForTest(CDialogBase* window);

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
