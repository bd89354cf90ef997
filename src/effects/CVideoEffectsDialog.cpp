#include "effects/CVideoEffectsDialog.h"

#include "app/CVidoraSettings.h"

CVideoEffectsDialog::CVideoEffectsDialog(QWidget* parent)
    : CBaseVFXSettingsPaneDlg(kTemplateId, CVidoraSettings::GetSettingsRoot(), "VideoEffectsXPos",
                              "VideoEffectsYPos", parent) {}
