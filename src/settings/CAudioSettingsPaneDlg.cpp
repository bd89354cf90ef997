#include "settings/CAudioSettingsPaneDlg.h"

#include "settings/SettingsPanes.h"

CAudioSettingsPaneDlg::CAudioSettingsPaneDlg(QWidget* parent) : CDialogBase(kTemplateId, parent) {}

CAudioSettingsPaneDlg::~CAudioSettingsPaneDlg() {
    if (IsWindow())
        DestroyWindow();
}

CAudioSettingsPaneDlg* CAudioSettingsPaneDlg::Current() {
    return SettingsPanes::Audio().Get();
}
