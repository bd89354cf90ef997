#include "ribbon/CVidoraHelpDlg.h"

CVidoraHelpDlg::CVidoraHelpDlg(QWidget* parent) : CDialogBase(kTemplateId, parent) {}
