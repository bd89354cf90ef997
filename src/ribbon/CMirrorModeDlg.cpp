#include "ribbon/CMirrorModeDlg.h"

CMirrorModeDlg::CMirrorModeDlg(QWidget* parent) : CDialogBase(kTemplateId, parent) {}
