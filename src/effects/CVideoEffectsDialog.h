#pragma once
// The video-effects window the ribbon opens: built from its dialog template, it docks beside the ribbon,
// floats at its stored place ("VideoEffectsXPos", "VideoEffectsYPos"), and closes by the ribbon's rules.
// What it shows and does is its base's.
#include "effects/CBaseVFXSettingsPaneDlg.h"

class CVideoEffectsDialog : public CBaseVFXSettingsPaneDlg {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 304;

    explicit CVideoEffectsDialog(QWidget* parent = nullptr);
};
