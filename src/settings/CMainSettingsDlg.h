#pragma once
// The settings window, one pane per group of camera settings: built from its dialog template, it docks
// beside the ribbon, floats, and closes by the ribbon's rules.
#include "ui/CAttachablePane.h"

class CMainSettingsDlg : public CAttachablePane {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 218;

    explicit CMainSettingsDlg(QWidget* parent = nullptr);
};
