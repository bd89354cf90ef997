#pragma once
// The communicate window (the calling programs and companion tools of this desktop): built from its dialog
// template, it docks beside the ribbon, floats, and closes by the ribbon's rules.
#include "ui/CAttachablePane.h"

class CCommunicateDlg : public CAttachablePane {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 305;

    explicit CCommunicateDlg(QWidget* parent = nullptr);
};
