#include "communicate/CCommunicateDlg.h"

#include "app/CVidoraSettings.h"

CCommunicateDlg::CCommunicateDlg(QWidget* parent)
    : CAttachablePane(kTemplateId, CVidoraSettings::GetSettingsRoot(), "CommunicateXPos", "CommunicateYPos",
                      parent) {}
