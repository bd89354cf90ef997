#include "settings/CMainSettingsDlg.h"

#include "app/CVidoraSettings.h"

CMainSettingsDlg::CMainSettingsDlg(QWidget* parent)
    : CAttachablePane(kTemplateId, CVidoraSettings::GetSettingsRoot(), "SettingsXPos", "SettingsYPos",
                      parent) {}
