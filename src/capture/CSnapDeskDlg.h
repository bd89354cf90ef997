#pragma once
// The capture window: live picture, photos, movies and the galleries. For now an empty window with its title;
// its contents come later.
#include "ui/CDialogBase.h"

class CSnapDeskDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 129;

    explicit CSnapDeskDlg(QWidget* parent = nullptr);
};
