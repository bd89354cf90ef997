#include "settings/SettingsControlsRegistration.h"

#include "settings/CPanTiltCtrl.h"
#include "ui/CControlFactory.h"

void RegisterSettingsControls() {
    CControlFactory::Instance().Register("CPanTiltCtrl",
                                         [](const CDialogTemplate::Control&, QWidget* parent) {
                                             return static_cast<QWidget*>(new CPanTiltCtrl(parent));
                                         });
}

void UnregisterSettingsControls() {
    CControlFactory::Instance().Unregister("CPanTiltCtrl");
}
