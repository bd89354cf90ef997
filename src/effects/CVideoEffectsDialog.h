#pragma once
// The video-effects window: avatars, filters and backgrounds for the live picture. For now an empty pane that
// docks beside the ribbon, floats, and closes by the ribbon's rules; its controls come later.
#include "ui/CAttachablePane.h"

class CVideoEffectsDialog : public CAttachablePane {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 304;

    explicit CVideoEffectsDialog(QWidget* parent = nullptr);
};
