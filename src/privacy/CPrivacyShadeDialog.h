#pragma once
// The privacy-shade window: the picture shown in place of the camera's while video is muted. For now an empty
// pane that docks beside the ribbon, floats, and closes by the ribbon's rules; its controls come later.
#include "ui/CAttachablePane.h"

class CPrivacyShadeDialog : public CAttachablePane {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 311;

    explicit CPrivacyShadeDialog(QWidget* parent = nullptr);
};
