// Where the ribbon is put: the stored position kept inside the work area, or the default beside the
// right edge, vertically centred, or against a side bar at that edge.
#include "platform/CSystemInfo.h"
#include "ribbon/CRibbonPlacement.h"

#include <gtest/gtest.h>

namespace {

TEST(RibbonPlacement, StoredPositionKeptInsideTheWorkAreaElseBesideTheRightEdgeOrASideBar) {
    const QSize ribbon(63, 400);
    const QRect work(0, 0, 1920, 1040);
    // A work area of a second monitor that starts at x = 1920 and leaves room for a top panel.
    const QRect second(1920, 30, 1280, 994);
    const QRect bar(1770, 0, 150, 1040);
    struct Case {
        const char* name;
        QSize size;
        std::optional<QPoint> stored;
        QRect work;
        std::optional<QRect> sideBar;
        bool sideBarPlatform;
        QPoint expected;
    } cases[] = {
        {"inside", ribbon, QPoint(100, 200), work, {}, true, QPoint(100, 200)},
        {"touching the right and bottom edges", ribbon, QPoint(1857, 640), work, {}, true, QPoint(1857, 640)},
        {"beyond both edges", ribbon, QPoint(1900, 900), work, {}, true, QPoint(1857, 640)},
        {"far right", ribbon, QPoint(5000, 100), work, {}, true, QPoint(1857, 100)},
        {"left of the work area", ribbon, QPoint(1000, 0), second, {}, true, QPoint(1920, 30)},
        {"taller than the work area", QSize(63, 1200), QPoint(10, 500), second, {}, true, QPoint(1920, 30)},
        {"default: 403 left of the edge, centred", ribbon, {}, work, {}, true, QPoint(1920 - 403, 320)},
        {"default in an offset area",
         QSize(63, 301),
         {},
         QRect(100, 50, 1000, 700),
         {},
         true,
         QPoint(1100 - 403, 50 + 199)},
        {"beside a side bar", ribbon, {}, work, bar, true, QPoint(1770 - 63, 320)},
        {"a bar elsewhere", ribbon, {}, work, QRect(1500, 0, 150, 1040), true, QPoint(1517, 320)},
        {"a bar leaving no room",
         ribbon,
         {},
         QRect(0, 0, 200, 800),
         QRect(10, 0, 190, 800),
         true,
         QPoint(200 - 403, 200)},
        {"stored wins over the bar", ribbon, QPoint(5, 5), work, bar, true, QPoint(5, 5)},
        {"older platforms had no side bar", ribbon, {}, work, bar, false, QPoint(1517, 320)},
    };
    for (const Case& c : cases) {
        CSystemInfo::Instance().OverrideVersion(PlatformVersion{c.sideBarPlatform ? 6u : 5u, 1, true});
        EXPECT_EQ(CRibbonPlacement::Place(c.size, c.stored, c.work, c.sideBar), c.expected) << c.name;
    }
    CSystemInfo::Instance().ResetOverrides();
}

} // namespace
