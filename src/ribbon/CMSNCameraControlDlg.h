#pragma once
// Camera controls shown beside a calling program's window. For now an empty window with its title; its
// contents come later.
#include "ui/CDialogBase.h"

class CMSNCameraControlDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 444;

    explicit CMSNCameraControlDlg(QWidget* parent = nullptr);
};
