#pragma once
// The process-wide slots of the settings window's panes, one per pane: empty while the pane does not
// exist; a pane empties its slot itself when it is destroyed. Other windows reach the webcam pane here.
// User-interface thread only.
#include "ui/CWindowSlot.h"

class CSettingsPlaceholderPane;
class CWebcamSettingsPaneDlg;

namespace SettingsPanes {

CWindowSlot<CWebcamSettingsPaneDlg>& Webcam();
CWindowSlot<CSettingsPlaceholderPane>& Audio();
CWindowSlot<CSettingsPlaceholderPane>& SunTune();
CWindowSlot<CSettingsPlaceholderPane>& Advanced();
CWindowSlot<CSettingsPlaceholderPane>& Preferences();

} // namespace SettingsPanes
