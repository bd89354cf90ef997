#include "ribbon/RibbonWindows.h"

#include "capture/CSnapDeskDlg.h"
#include "capture/CUVCNotificationDlg.h"
#include "communicate/CCommunicateDlg.h"
#include "effects/CVideoEffectsDialog.h"
#include "privacy/CPrivacyShadeDialog.h"
#include "privacy/CPrivacyShutterSwitchDlg.h"
#include "ribbon/CMSNCameraControlDlg.h"
#include "ribbon/CMirrorModeDlg.h"
#include "ribbon/CVidoraAboutBox.h"
#include "ribbon/CVidoraHelpDlg.h"
#include "settings/CMainSettingsDlg.h"

namespace RibbonWindows {

// The slots live as long as the process: a window may still be destroyed during its teardown.
#define VIDORA_WINDOW_SLOT(Name, Class)                                                                      \
    CWindowSlot<Class>& Name() {                                                                             \
        static auto* slot = new CWindowSlot<Class>();                                                        \
        return *slot;                                                                                        \
    }

CWindowSlot<CSnapDeskDlg>& Capture() {
    return CSnapDeskDlg::Slot();
}
VIDORA_WINDOW_SLOT(Settings, CMainSettingsDlg)
VIDORA_WINDOW_SLOT(VideoEffects, CVideoEffectsDialog)
VIDORA_WINDOW_SLOT(Communicate, CCommunicateDlg)
VIDORA_WINDOW_SLOT(PrivacyShade, CPrivacyShadeDialog)
VIDORA_WINDOW_SLOT(ShutterSwitch, CPrivacyShutterSwitchDlg)
VIDORA_WINDOW_SLOT(CameraControl, CMSNCameraControlDlg)
VIDORA_WINDOW_SLOT(Mirror, CMirrorModeDlg)
VIDORA_WINDOW_SLOT(Help, CVidoraHelpDlg)
VIDORA_WINDOW_SLOT(About, CVidoraAboutBox)

#undef VIDORA_WINDOW_SLOT

} // namespace RibbonWindows

// One flag for the process: the capture window's driver notice sets it too.
bool& RibbonWindows::NotificationDialogOpen() {
    return CUVCNotificationDlg::IsOpen();
}

bool& RibbonWindows::CalibrationWindowOpen() {
    static bool open = false;
    return open;
}
