#include "settings/CPreferenceSettingsPaneDlg.h"

#include "settings/SettingsPanes.h"

CPreferenceSettingsPaneDlg::CPreferenceSettingsPaneDlg(QWidget* parent) : CDialogBase(kTemplateId, parent) {}

CPreferenceSettingsPaneDlg::~CPreferenceSettingsPaneDlg() {
    if (IsWindow())
        DestroyWindow();
}

CPreferenceSettingsPaneDlg* CPreferenceSettingsPaneDlg::Current() {
    return SettingsPanes::Preferences().Get();
}
