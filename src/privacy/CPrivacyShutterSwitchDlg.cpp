#include "privacy/CPrivacyShutterSwitchDlg.h"

CPrivacyShutterSwitchDlg::CPrivacyShutterSwitchDlg(QWidget* parent) : CDialogBase(kTemplateId, parent) {}
