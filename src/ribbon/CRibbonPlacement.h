#pragma once
// Where the ribbon goes on the screen: at the position the user last left it, kept inside the work area
// of its monitor, or by default near the right edge of the work area, vertically centred.
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

class CRibbonPlacement {
public:
    // The ribbon's top-left corner.
    //  - `stored` (the saved position; pass nullopt unless both coordinates are >= 0): moved left and up as
    //    far as needed for the ribbon to end inside `workArea`, but never past the work area's left or top
    //    edge (a ribbon larger than the work area keeps its left/top edge on the work area's).
    //  - otherwise the left edge goes kDefaultRightOffset pixels left of the work area's right edge and
    //    the ribbon is centred vertically in the work area. When `sideBar` (a visible desktop side bar) is
    //    given, the reported platform is version 6 or later, the bar sits at the work area's right edge and
    //    the ribbon fits between the work area's left edge and the bar, the ribbon is put against the bar's
    //    left side instead.
    static QPoint Place(const QSize& ribbon, std::optional<QPoint> stored, const QRect& workArea,
                        std::optional<QRect> sideBar = std::nullopt);

    static constexpr int kDefaultRightOffset = 403;
};
