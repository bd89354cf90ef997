#pragma once
// The help window. For now an empty window with its title; its contents come later.
#include "ui/CDialogBase.h"

class CVidoraHelpDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 419;

    explicit CVidoraHelpDlg(QWidget* parent = nullptr);
};
