#pragma once
// Camera controls shown beside a calling program's window, built from its dialog template; the ribbon
// opens, places and closes it at the calling program's request.
#include "ui/CDialogBase.h"

class CMSNCameraControlDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 444;

    explicit CMSNCameraControlDlg(QWidget* parent = nullptr);
};
