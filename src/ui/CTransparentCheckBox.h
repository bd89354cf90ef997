#pragma once
// A check box drawn on the window's background: a rounded box that fills with the accent colour and a white
// tick when checked, its text beside it. A click flips it and sends BN_CLICKED; setChecked() sends nothing.
#include "ui/CTransparentControlBase.h"

#include <QCheckBox>

class CTransparentCheckBox : public QCheckBox, public CTransparentControlBase {
    Q_OBJECT
public:
    explicit CTransparentCheckBox(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
};
