#pragma once
// The about box. For now an empty window with its title; its contents come later.
#include "ui/CDialogBase.h"

class CVidoraAboutBox : public CDialogBase {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 100;

    explicit CVidoraAboutBox(QWidget* parent = nullptr);
};
