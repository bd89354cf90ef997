#include "settings/SettingsPanes.h"

#include "settings/CAdvancedSettingsPaneDlg.h"
#include "settings/CAudioSettingsPaneDlg.h"
#include "settings/CPreferenceSettingsPaneDlg.h"
#include "settings/CSunTuneSettingsPaneDlg.h"
#include "settings/CWebcamSettingsPaneDlg.h"

namespace SettingsPanes {

// The slots live as long as the process: a pane may still be destroyed during its teardown.
template <class T> CWindowSlot<T>& MakeSlot() {
    return *new CWindowSlot<T>();
}

CWindowSlot<CWebcamSettingsPaneDlg>& Webcam() {
    static auto& slot = MakeSlot<CWebcamSettingsPaneDlg>();
    return slot;
}
CWindowSlot<CAudioSettingsPaneDlg>& Audio() {
    static auto& slot = MakeSlot<CAudioSettingsPaneDlg>();
    return slot;
}
CWindowSlot<CSunTuneSettingsPaneDlg>& SunTune() {
    static auto& slot = MakeSlot<CSunTuneSettingsPaneDlg>();
    return slot;
}
CWindowSlot<CAdvancedSettingsPaneDlg>& Advanced() {
    static auto& slot = MakeSlot<CAdvancedSettingsPaneDlg>();
    return slot;
}
CWindowSlot<CPreferenceSettingsPaneDlg>& Preferences() {
    static auto& slot = MakeSlot<CPreferenceSettingsPaneDlg>();
    return slot;
}

} // namespace SettingsPanes
