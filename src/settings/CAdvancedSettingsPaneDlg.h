#pragma once
// The advanced tab of the settings window: which camera the settings apply to, exposure (automatic or a
// position on the camera's exposure steps), gain, the mirror switches, the three-way switch, backlight
// compensation and the camera light.
#include "ui/CDialogBase.h"

class CAdvancedSettingsPaneDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 274;

    explicit CAdvancedSettingsPaneDlg(QWidget* parent = nullptr);
    ~CAdvancedSettingsPaneDlg() override;

    // The pane of the open settings window; null when there is none.
    static CAdvancedSettingsPaneDlg* Current();

protected:
    // A pane is closed with its settings window, never on its own.
    void OnOK() override {}
    void OnCancel() override {}
};
