#include "settings/CSettingsPlaceholderPane.h"

CSettingsPlaceholderPane::CSettingsPlaceholderPane(uint32_t templateId, QWidget* parent)
    : CDialogBase(templateId, parent) {}
