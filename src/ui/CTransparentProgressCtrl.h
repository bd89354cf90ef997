#pragma once
// A progress bar or level meter drawn on the window's background: a rounded trough and an accent bar for the
// position within the range. Positions outside the range are clamped; an empty range draws an empty bar.
#include "ui/CTransparentControlBase.h"

#include <QColor>
#include <QWidget>

#include <algorithm>

class CTransparentProgressCtrl : public QWidget, public CTransparentControlBase {
    Q_OBJECT
    Q_PROPERTY(int minimum READ GetRangeMin WRITE SetMinimum)
    Q_PROPERTY(int maximum READ GetRangeMax WRITE SetMaximum)
    Q_PROPERTY(int value READ GetPos WRITE SetPos)
public:
    explicit CTransparentProgressCtrl(QWidget* parent = nullptr);

    void SetRange(int minimum, int maximum);
    void SetMinimum(int minimum) { SetRange(minimum, std::max(minimum, maximum_)); }
    void SetMaximum(int maximum) { SetRange(std::min(minimum_, maximum), maximum); }
    int GetRangeMin() const { return minimum_; }
    int GetRangeMax() const { return maximum_; }
    // Returns the previous position.
    int SetPos(int position);
    int GetPos() const { return position_; }
    void SetStep(int step) { step_ = step; }
    // Advances by the step; past the end the bar starts over from the beginning. Returns the previous
    // position.
    int StepIt();

    void SetOrientation(Qt::Orientation orientation);
    Qt::Orientation Orientation() const { return orientation_; }
    // An invalid colour means the accent colour.
    void SetBarColor(const QColor& color);

    // The part of the trough that the bar fills, in the control's coordinates.
    QRect BarRect() const;

    QSize sizeHint() const override;

signals:
    void positionChanged(int position);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
    int step_ = 10;
    Qt::Orientation orientation_ = Qt::Horizontal;
    QColor barColor_;
};
