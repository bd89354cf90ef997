#pragma once
// The video-effects window (avatars, filters and backgrounds for the live picture): built from its dialog
// template, it docks beside the ribbon, floats, and closes by the ribbon's rules.
#include "ui/CAttachablePane.h"

class CVideoEffectsDialog : public CAttachablePane {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 304;

    explicit CVideoEffectsDialog(QWidget* parent = nullptr);
};
