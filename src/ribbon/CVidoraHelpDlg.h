#pragma once
// The help window, built from its dialog template.
#include "ui/CDialogBase.h"

class CVidoraHelpDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 419;

    explicit CVidoraHelpDlg(QWidget* parent = nullptr);
};
