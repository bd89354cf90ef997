#include "ribbon/CRibbonPlacement.h"

#include "platform/CSystemInfo.h"

#include <algorithm>

namespace {

// One past the right and bottom edges: QRect's right() and bottom() are the last pixels inside.
int RightEnd(const QRect& r) {
    return r.x() + r.width();
}
int BottomEnd(const QRect& r) {
    return r.y() + r.height();
}

} // namespace

QPoint CRibbonPlacement::Place(const QSize& ribbon, std::optional<QPoint> stored, const QRect& workArea,
                               std::optional<QRect> sideBar) {
    if (stored && stored->x() >= 0 && stored->y() >= 0) {
        int x = std::min(stored->x(), RightEnd(workArea) - ribbon.width());
        int y = std::min(stored->y(), BottomEnd(workArea) - ribbon.height());
        return {std::max(x, workArea.x()), std::max(y, workArea.y())};
    }
    int x = RightEnd(workArea) - kDefaultRightOffset;
    int y = workArea.y() + (workArea.height() - ribbon.height()) / 2;
    if (sideBar && sideBar->isValid() && CSystemInfo::Instance().GetVersion().major >= 6 &&
        RightEnd(*sideBar) == RightEnd(workArea) && sideBar->x() - ribbon.width() >= workArea.x())
        x = sideBar->x() - ribbon.width();
    return {x, y};
}
