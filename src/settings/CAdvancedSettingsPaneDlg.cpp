#include "settings/CAdvancedSettingsPaneDlg.h"

#include "settings/SettingsPanes.h"

CAdvancedSettingsPaneDlg::CAdvancedSettingsPaneDlg(QWidget* parent) : CDialogBase(kTemplateId, parent) {}

CAdvancedSettingsPaneDlg::~CAdvancedSettingsPaneDlg() {
    if (IsWindow())
        DestroyWindow();
}

CAdvancedSettingsPaneDlg* CAdvancedSettingsPaneDlg::Current() {
    return SettingsPanes::Advanced().Get();
}
