#include "ribbon/CVidoraAboutBox.h"

CVidoraAboutBox::CVidoraAboutBox(QWidget* parent) : CDialogBase(kTemplateId, parent) {}
