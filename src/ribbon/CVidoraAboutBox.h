#pragma once
// The about box, built from its dialog template.
#include "ui/CDialogBase.h"

class CVidoraAboutBox : public CDialogBase {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 100;

    explicit CVidoraAboutBox(QWidget* parent = nullptr);
};
