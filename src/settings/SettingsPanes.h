#pragma once
// The process-wide slots of the settings window's panes, one per pane: empty while the pane does not
// exist; a pane empties its slot itself when it is destroyed. Other windows reach the panes here.
// User-interface thread only.
#include "ui/CWindowSlot.h"

class CAdvancedSettingsPaneDlg;
class CAudioSettingsPaneDlg;
class CPreferenceSettingsPaneDlg;
class CSunTuneSettingsPaneDlg;
class CWebcamSettingsPaneDlg;

namespace SettingsPanes {

CWindowSlot<CWebcamSettingsPaneDlg>& Webcam();
CWindowSlot<CAudioSettingsPaneDlg>& Audio();
CWindowSlot<CSunTuneSettingsPaneDlg>& SunTune();
CWindowSlot<CAdvancedSettingsPaneDlg>& Advanced();
CWindowSlot<CPreferenceSettingsPaneDlg>& Preferences();

} // namespace SettingsPanes
