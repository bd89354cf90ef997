#pragma once
// A drop-down list that lights up under the mouse. Only a selection changed by the user (mouse, keys or the
// wheel) is announced: CBN_SELCHANGE to the owning dialog and selectionChanged(index). Choosing the item that
// was already selected, or setting the selection from code, announces nothing.
#include "ui/CTransparentControlBase.h"

#include <QComboBox>

class CHoverComboBox : public QComboBox, public CTransparentControlBase {
    Q_OBJECT
public:
    explicit CHoverComboBox(QWidget* parent = nullptr);

    // Height of the rows of the open list, in pixels (0 for the font's height plus padding).
    void SetItemHeight(int pixels);
    int ItemHeight() const;
    bool IsHovered() const { return hovered_; }

    void showPopup() override;

signals:
    void selectionChanged(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void OnActivated(int index);

    int itemHeight_ = 0;
    int indexBefore_ = -1;
    bool hovered_ = false;
};
