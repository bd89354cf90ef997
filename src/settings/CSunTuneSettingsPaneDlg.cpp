#include "settings/CSunTuneSettingsPaneDlg.h"

#include "settings/SettingsPanes.h"

CSunTuneSettingsPaneDlg::CSunTuneSettingsPaneDlg(QWidget* parent) : CDialogBase(kTemplateId, parent) {}

CSunTuneSettingsPaneDlg::~CSunTuneSettingsPaneDlg() {
    if (IsWindow())
        DestroyWindow();
}

CSunTuneSettingsPaneDlg* CSunTuneSettingsPaneDlg::Current() {
    return SettingsPanes::SunTune().Get();
}
