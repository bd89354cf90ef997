#pragma once
// The process-wide slots of the windows the ribbon opens. Each is empty while its window does not exist; a
// window empties its slot itself when it is destroyed. User-interface thread only.
#include "ui/CWindowSlot.h"

class CSnapDeskDlg;
class CMainSettingsDlg;
class CVideoEffectsDialog;
class CCommunicateDlg;
class CPrivacyShadeDialog;
class CPrivacyShutterSwitchDlg;
class CMSNCameraControlDlg;
class CMirrorModeDlg;
class CVidoraHelpDlg;
class CVidoraAboutBox;

namespace RibbonWindows {

CWindowSlot<CSnapDeskDlg>& Capture();
CWindowSlot<CMainSettingsDlg>& Settings();
CWindowSlot<CVideoEffectsDialog>& VideoEffects();
CWindowSlot<CCommunicateDlg>& Communicate();
CWindowSlot<CPrivacyShadeDialog>& PrivacyShade();
CWindowSlot<CPrivacyShutterSwitchDlg>& ShutterSwitch();
CWindowSlot<CMSNCameraControlDlg>& CameraControl();
CWindowSlot<CMirrorModeDlg>& Mirror();
CWindowSlot<CVidoraHelpDlg>& Help();
CWindowSlot<CVidoraAboutBox>& About();

} // namespace RibbonWindows

namespace RibbonWindows {
// Set while a modal notification dialog waits for the user: the tray menu stays closed meanwhile.
bool& NotificationDialogOpen();
// Set while the effects engine's calibration window is open.
bool& CalibrationWindowOpen();
} // namespace RibbonWindows
