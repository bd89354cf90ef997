#pragma once
// The mirror: a large live picture to check how one looks. For now an empty window with its title; its
// contents come later.
#include "ui/CDialogBase.h"

class CMirrorModeDlg : public CDialogBase {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 418;

    explicit CMirrorModeDlg(QWidget* parent = nullptr);
};
