#pragma once
// Asks what closing the camera's privacy shutter should do; built from its dialog template.
#include "ui/CDialogBase.h"

class CPrivacyShutterSwitchDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 392;

    explicit CPrivacyShutterSwitchDlg(QWidget* parent = nullptr);
};
