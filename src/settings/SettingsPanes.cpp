#include "settings/SettingsPanes.h"

#include "settings/CSettingsPlaceholderPane.h"
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
CWindowSlot<CSettingsPlaceholderPane>& Audio() {
    static auto& slot = MakeSlot<CSettingsPlaceholderPane>();
    return slot;
}
CWindowSlot<CSettingsPlaceholderPane>& SunTune() {
    static auto& slot = MakeSlot<CSettingsPlaceholderPane>();
    return slot;
}
CWindowSlot<CSettingsPlaceholderPane>& Advanced() {
    static auto& slot = MakeSlot<CSettingsPlaceholderPane>();
    return slot;
}
CWindowSlot<CSettingsPlaceholderPane>& Preferences() {
    static auto& slot = MakeSlot<CSettingsPlaceholderPane>();
    return slot;
}

} // namespace SettingsPanes
