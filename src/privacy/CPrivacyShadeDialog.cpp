#include "privacy/CPrivacyShadeDialog.h"

#include "app/CVidoraSettings.h"

CPrivacyShadeDialog::CPrivacyShadeDialog(QWidget* parent)
    : CAttachablePane(kTemplateId, CVidoraSettings::GetSettingsRoot(), "PrivacyShadeXPos", "PrivacyShadeYPos",
                      parent) {}
