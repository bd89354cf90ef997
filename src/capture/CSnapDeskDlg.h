#pragma once
// The capture window (live picture, photos, movies and the galleries), built from its dialog template.
#include "ui/CDialogBase.h"

class CSnapDeskDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 129;

    explicit CSnapDeskDlg(QWidget* parent = nullptr);
};
