#pragma once
// The preferences tab of the settings window: capture folders, preview after a capture, tray icon,
// always on top, the e-mail and video-calling programs and what the privacy shutter does. Every change is
// stored at once.
#include "ui/CDialogBase.h"

class CPreferenceSettingsPaneDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 275;

    explicit CPreferenceSettingsPaneDlg(QWidget* parent = nullptr);
    ~CPreferenceSettingsPaneDlg() override;

    // The pane of the open settings window; null when there is none.
    static CPreferenceSettingsPaneDlg* Current();

protected:
    // A pane is closed with its settings window, never on its own.
    void OnOK() override {}
    void OnCancel() override {}
};
