#pragma once
// The privacy-shade window (the picture shown in place of the camera's while video is muted): built from
// its dialog template, it docks beside the ribbon, floats, and closes by the ribbon's rules.
#include "ui/CAttachablePane.h"

class CPrivacyShadeDialog : public CAttachablePane {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 311;

    explicit CPrivacyShadeDialog(QWidget* parent = nullptr);
};
