#pragma once
// The mirror: a window to check how one looks, opened by the camera's mirror button; built from its
// dialog template.
#include "ui/CDialogBase.h"

class CMirrorModeDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 418;

    explicit CMirrorModeDlg(QWidget* parent = nullptr);
};
