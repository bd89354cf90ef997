#include "ribbon/CMSNCameraControlDlg.h"

CMSNCameraControlDlg::CMSNCameraControlDlg(QWidget* parent) : CDialogBase(kTemplateId, parent) {}
