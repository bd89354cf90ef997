#pragma once
// Where an options pop-up goes: at the place its creator chose, moved just enough to lie inside the work
// area (the screen less panels and docks) of the monitor that holds it.
#include <QPoint>
#include <QRect>

class COptionsPlacement {
public:
    // The top-left corner for a pop-up of `size` wanted at `wanted`. A pop-up larger than the work area keeps
    // its top-left corner inside it (its top edge and title bar stay reachable).
    static QPoint Place(const QPoint& wanted, const QSize& size, const QRect& workArea);

    // The work area of the monitor holding most of a window at `frame` (the nearest monitor when it is on
    // none, the primary one's when no monitor is known).
    static QRect WorkAreaFor(const QRect& frame);
};
