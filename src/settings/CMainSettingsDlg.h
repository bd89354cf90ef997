#pragma once
// The settings window: one pane per group of camera settings. For now an empty pane that docks beside the
// ribbon, floats, and closes by the ribbon's rules; its controls come later.
#include "ui/CAttachablePane.h"

class CMainSettingsDlg : public CAttachablePane {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 218;

    explicit CMainSettingsDlg(QWidget* parent = nullptr);
};
