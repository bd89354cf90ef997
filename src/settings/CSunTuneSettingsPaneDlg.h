#pragma once
// The SunTune tab of the settings window: the camera's low-light correction switched on or off, and its four
// levels while it is off.
#include "ui/CDialogBase.h"

class CSunTuneSettingsPaneDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 273;

    explicit CSunTuneSettingsPaneDlg(QWidget* parent = nullptr);
    ~CSunTuneSettingsPaneDlg() override;

    // The pane of the open settings window; null when there is none.
    static CSunTuneSettingsPaneDlg* Current();

protected:
    // A pane is closed with its settings window, never on its own.
    void OnOK() override {}
    void OnCancel() override {}
};
