#include "effects/CVideoEffectsDialog.h"

#include "app/CVidoraSettings.h"

CVideoEffectsDialog::CVideoEffectsDialog(QWidget* parent)
    : CAttachablePane(kTemplateId, CVidoraSettings::GetSettingsRoot(), "VideoEffectsXPos", "VideoEffectsYPos",
                      parent) {}
