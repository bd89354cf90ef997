#pragma once
// Asks what closing the camera's privacy shutter should do. For now an empty window with its title; its
// contents come later.
#include "ui/CDialogBase.h"

class CPrivacyShutterSwitchDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 392;

    explicit CPrivacyShutterSwitchDlg(QWidget* parent = nullptr);
};
