#pragma once
// The pane of a settings tab whose settings this version does not offer yet (audio, SunTune, advanced,
// preferences): its dialog template says so in plain words, so the tab is never an empty hole.
#include "ui/CDialogBase.h"

class CSettingsPlaceholderPane : public CDialogBase {
    Q_OBJECT
public:
    explicit CSettingsPlaceholderPane(uint32_t templateId, QWidget* parent = nullptr);

protected:
    // A pane is closed with its settings window, never on its own.
    void OnOK() override {}
    void OnCancel() override {}
};
