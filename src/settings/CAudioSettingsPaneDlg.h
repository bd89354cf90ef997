#pragma once
// The audio tab of the settings window: microphone and speaker, volume, live level, echo cancellation and
// noise suppression, the audio tuning wizard.
#include "ui/CDialogBase.h"

class CAudioSettingsPaneDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 255;

    explicit CAudioSettingsPaneDlg(QWidget* parent = nullptr);
    ~CAudioSettingsPaneDlg() override;

    // The pane of the open settings window; null when there is none.
    static CAudioSettingsPaneDlg* Current();

protected:
    // A pane is closed with its settings window, never on its own.
    void OnOK() override {}
    void OnCancel() override {}
};
