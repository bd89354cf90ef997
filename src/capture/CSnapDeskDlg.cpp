#include "capture/CSnapDeskDlg.h"

CSnapDeskDlg::CSnapDeskDlg(QWidget* parent) : CDialogBase(kTemplateId, parent) {}
