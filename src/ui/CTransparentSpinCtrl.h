#pragma once
// A number field with up and down arrows. It shows its own edit field at the left of the arrows, or works
// with an edit field of the window (SetBuddy), in which case it draws only the arrows. The position stays
// inside the range; text typed into the field is taken when the field loses focus or on Return, clamped into
// the range (anything that is not a number puts the last position back).
//
// The arrows, the Up/Down keys in the field and the wheel step by one (the line step). Each change made by
// the user is announced as WM_VSCROLL with SB_THUMBPOSITION and the new position, then SB_ENDSCROLL, and as
// positionChanged(position). SetPos from code announces nothing.
#include "ui/CTransparentControlBase.h"

#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <optional>

class QLineEdit;

class CTransparentSpinCtrl : public QWidget, public CTransparentControlBase {
    Q_OBJECT
    Q_PROPERTY(int minimum READ GetRangeMin WRITE SetMinimum)
    Q_PROPERTY(int maximum READ GetRangeMax WRITE SetMaximum)
    Q_PROPERTY(int value READ GetPos WRITE SetPos)
public:
    explicit CTransparentSpinCtrl(QWidget* parent = nullptr);

    void SetRange(int minimum, int maximum);
    void SetMinimum(int minimum) { SetRange(minimum, std::max(minimum, maximum_)); }
    void SetMaximum(int maximum) { SetRange(std::min(minimum_, maximum), maximum); }
    int GetRangeMin() const { return minimum_; }
    int GetRangeMax() const { return maximum_; }
    // The position, counting text typed into the field that was not taken yet (clamped into the range).
    int GetPos() const;
    // Clamps into the range and shows it in the field; returns the previous position.
    int SetPos(int position);
    void SetLineSize(int step) { step_ = step < 1 ? 1 : step; }

    // Uses the window's edit field instead of the built-in one (null goes back to the built-in one).
    void SetBuddy(QLineEdit* edit);
    QLineEdit* Buddy() const;

    // The arrow areas, in the control's coordinates.
    QRect UpArrowRect() const;
    QRect DownArrowRect() const;

    QSize sizeHint() const override;

signals:
    void positionChanged(int position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Step(int steps);
    void UserSetPos(int position);
    void TakeText();
    // The clamped number in the field, or nothing when the field does not hold a number.
    std::optional<int> FieldValue() const;
    void ShowPos();
    void AttachEdit(QLineEdit* edit);
    QRect ArrowColumn() const;

    QLineEdit* ownEdit_ = nullptr;
    QPointer<QLineEdit> buddy_;
    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
    int step_ = 1;
    int pressedArrow_ = 0; // 1 up, -1 down, 0 none
};
