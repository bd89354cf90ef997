// Where the ribbon is put: the stored position kept inside the work area, or the default beside the
// right edge, vertically centred, or against a side bar at that edge.
#include "platform/CSystemInfo.h"
#include "ribbon/CRibbonPlacement.h"

#include <gtest/gtest.h>

namespace {

const QSize kRibbon(63, 400);
const QRect kWork(0, 0, 1920, 1040);

TEST(RibbonPlacement, StoredPositionInsideTheWorkAreaIsKept) {
    EXPECT_EQ(CRibbonPlacement::Place(kRibbon, QPoint(100, 200), kWork), QPoint(100, 200));
    // Touching the right and bottom edges is inside.
    EXPECT_EQ(CRibbonPlacement::Place(kRibbon, QPoint(1857, 640), kWork), QPoint(1857, 640));
}

TEST(RibbonPlacement, StoredPositionBeyondTheEdgesMovesLeftAndUp) {
    EXPECT_EQ(CRibbonPlacement::Place(kRibbon, QPoint(1900, 900), kWork), QPoint(1857, 640));
    EXPECT_EQ(CRibbonPlacement::Place(kRibbon, QPoint(5000, 100), kWork), QPoint(1857, 100));
}

TEST(RibbonPlacement, NeverPastTheWorkAreasLeftOrTopEdge) {
    // A work area of a second monitor that starts at x = 1920 and leaves room for a top panel.
    const QRect second(1920, 30, 1280, 994);
    EXPECT_EQ(CRibbonPlacement::Place(kRibbon, QPoint(1000, 0), second), QPoint(1920, 30));
    // A ribbon taller than the work area keeps its top edge on the work area's.
    EXPECT_EQ(CRibbonPlacement::Place(QSize(63, 1200), QPoint(10, 500), second), QPoint(1920, 30));
}

TEST(RibbonPlacement, DefaultIs403PixelsLeftOfTheRightEdgeAndCentred) {
    EXPECT_EQ(CRibbonPlacement::Place(kRibbon, std::nullopt, kWork), QPoint(1920 - 403, 320));
    const QRect offset(100, 50, 1000, 700);
    EXPECT_EQ(CRibbonPlacement::Place(QSize(63, 301), std::nullopt, offset), QPoint(1100 - 403, 50 + 199));
}

TEST(RibbonPlacement, SideBarAtTheRightEdgeTakesTheRibbonBesideIt) {
    CSystemInfo::Instance().OverrideVersion(PlatformVersion{6, 1, true});
    const QRect bar(1770, 0, 150, 1040);
    EXPECT_EQ(CRibbonPlacement::Place(kRibbon, std::nullopt, kWork, bar), QPoint(1770 - 63, 320));
    // A bar elsewhere, or one that leaves no room, changes nothing.
    EXPECT_EQ(CRibbonPlacement::Place(kRibbon, std::nullopt, kWork, QRect(1500, 0, 150, 1040)),
              QPoint(1517, 320));
    EXPECT_EQ(CRibbonPlacement::Place(kRibbon, std::nullopt, QRect(0, 0, 200, 800), QRect(10, 0, 190, 800)),
              QPoint(200 - 403, 200));
    // A stored position wins over the bar.
    EXPECT_EQ(CRibbonPlacement::Place(kRibbon, QPoint(5, 5), kWork, bar), QPoint(5, 5));
    // Older platforms had no side bar.
    CSystemInfo::Instance().OverrideVersion(PlatformVersion{5, 1, true});
    EXPECT_EQ(CRibbonPlacement::Place(kRibbon, std::nullopt, kWork, bar), QPoint(1517, 320));
    CSystemInfo::Instance().ResetOverrides();
}

} // namespace
