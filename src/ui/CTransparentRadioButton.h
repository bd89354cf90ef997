#pragma once
// A radio button drawn on the window's background: a ring with an accent dot when checked, its text beside
// it. A click checks it (a checked one stays checked) and sends BN_CLICKED. Radio buttons are exclusive only
// within an exclusive group of the same parent (SetExclusiveGroup); by default each one stands alone and the
// window decides which of its buttons shows checked, as the settings panes do when a camera write fails.
#include "ui/CTransparentControlBase.h"

#include <QRadioButton>

class CTransparentRadioButton : public QRadioButton, public CTransparentControlBase {
    Q_OBJECT
public:
    static constexpr int kNoGroup = -1;

    explicit CTransparentRadioButton(QWidget* parent = nullptr);

    // Buttons of the same parent with the same group number uncheck each other when the user picks one.
    void SetExclusiveGroup(int group);
    int ExclusiveGroup() const { return group_; }

    QSize sizeHint() const override;

protected:
    void nextCheckState() override;
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    int group_ = kNoGroup;
};
