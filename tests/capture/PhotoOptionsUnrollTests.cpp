// How an options pop-up appears: where it is placed against the work area, the steps of its unrolling, and
// the unrolling of a real pop-up on the fake clock.
#include "OptionsFixture.h"
#include "capture/COptionsPlacement.h"
#include "capture/CPhotoOptionsDlg.h"
#include "capture/CUnrollSequence.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

#include <cmath>

namespace {

TEST(OptionsPlacement, StaysWhereWantedWhenItFitsAndIsPushedInsideOtherwise) {
    const QRect work(0, 30, 1280, 994); // a panel across the top
    const QSize size(272, 226);
    struct Case {
        QPoint wanted, placed;
    };
    const Case cases[] = {
        {{100, 200}, {100, 200}},   // inside
        {{1100, 200}, {1008, 200}}, // over the right edge
        {{100, 900}, {100, 798}},   // over the bottom edge
        {{1200, 990}, {1008, 798}}, // over the corner
        {{-50, 10}, {0, 30}},       // left of the screen, under the panel
        {{1008, 798}, {1008, 798}}, // touching both far edges
    };
    for (const Case& c : cases)
        EXPECT_EQ(COptionsPlacement::Place(c.wanted, size, work), c.placed)
            << c.wanted.x() << "," << c.wanted.y();
    // Taller than the work area: the top edge (and title bar) stays on screen.
    EXPECT_EQ(COptionsPlacement::Place(QPoint(10, 500), QSize(200, 2000), work), QPoint(10, 30));
    // A second monitor left of the first.
    EXPECT_EQ(COptionsPlacement::Place(QPoint(-100, 900), size, QRect(-1024, 0, 1024, 768)),
              QPoint(-272, 542));
}

TEST(UnrollSequence, AboutTwentyOneStepsThatGrowAndSlowDownToTheWholeHeight) {
    const int height = 300;
    const std::vector<CUnrollSequence::Step> steps = CUnrollSequence::All(height);
    ASSERT_EQ(steps.size(), 21u);
    EXPECT_TRUE(steps.back().last);
    EXPECT_EQ(steps.back().visibleHeight, height);
    // The first step: a = 0.0758.
    EXPECT_EQ(steps.front().visibleHeight, static_cast<int>(height * std::sin(0.0758)));
    EXPECT_EQ(steps.front().waitMs, 4u);
    for (size_t i = 1; i + 1 < steps.size(); ++i) {
        EXPECT_GT(steps[i].visibleHeight, steps[i - 1].visibleHeight) << i;
        EXPECT_GE(steps[i].waitMs, steps[i - 1].waitMs) << i;
        EXPECT_FALSE(steps[i].last);
    }
    // Near the end each step adds little but waits longest.
    EXPECT_EQ(steps[19].waitMs, 50u);
    EXPECT_LT(steps[19].visibleHeight - steps[18].visibleHeight,
              steps[1].visibleHeight - steps[0].visibleHeight);
    uint32_t total = 0;
    for (const auto& s : steps)
        total += s.waitMs;
    EXPECT_NEAR(total, 640, 20);
    CUnrollSequence done(height);
    while (done.Next()) {
    }
    EXPECT_TRUE(done.Finished());
    EXPECT_FALSE(done.Next());
}

class PopupUnrollTest : public OptionsFixture {};

TEST_F(PopupUnrollTest, UnrollsOnTheClockAndNeverShowsAStepBeforeItsTime) {
    QPointer<CPhotoOptionsDlg> popup = CPhotoOptionsDlg::Show(QPoint(40, 60));
    ASSERT_TRUE(popup);
    const std::vector<CUnrollSequence::Step> steps = CUnrollSequence::All(popup->FullHeight());
    EXPECT_TRUE(popup->IsUnrolling());
    EXPECT_EQ(popup->VisibleHeight(), steps[0].visibleHeight);
    // Step by step: just before a step's wait is over nothing changes; once it is, the next height shows.
    std::vector<int> shown{popup->VisibleHeight()};
    for (size_t i = 0; i + 1 < steps.size(); ++i) {
        const uint32_t wait = std::max<uint32_t>(steps[i].waitMs, CDialogBase::kMinimumTimerInterval);
        timers.Advance(wait - 1);
        EXPECT_EQ(popup->VisibleHeight(), shown.back()) << "step " << i << " ended early";
        timers.Advance(1);
        shown.push_back(popup->VisibleHeight());
    }
    EXPECT_FALSE(popup->IsUnrolling());
    EXPECT_EQ(popup->VisibleHeight(), popup->FullHeight());
    EXPECT_EQ(popup->height(), popup->FullHeight()) << "nothing is cut off once unrolled";
    ASSERT_EQ(shown.size(), steps.size());
    for (size_t i = 0; i + 1 < steps.size(); ++i)
        EXPECT_EQ(shown[i], steps[i].visibleHeight) << i;
    popup->DestroyWindow();
}

TEST_F(PopupUnrollTest, ALateTimerDoesNotStretchTheUnrolling) {
    // The timer fires late (a busy event loop): the clock says every step is over at once, so each firing
    // moves on by one step and the whole takes as many firings as steps.
    QPointer<CPhotoOptionsDlg> popup = CPhotoOptionsDlg::Show(QPoint(40, 60));
    ASSERT_TRUE(popup);
    const size_t steps = CUnrollSequence::All(popup->FullHeight()).size();
    size_t firings = 0;
    while (popup->IsUnrolling() && firings < 100) {
        clock.Advance(60);
        timers.RunDue();
        ++firings;
    }
    EXPECT_EQ(firings, steps - 1);
    popup->DestroyWindow();
}

TEST_F(PopupUnrollTest, OpensInsideTheWorkAreaOfItsMonitor) {
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint wanted = work.bottomRight() - QPoint(10, 10);
    QPointer<CPhotoOptionsDlg> popup = CPhotoOptionsDlg::Show(wanted);
    ASSERT_TRUE(popup);
    Unroll();
    EXPECT_TRUE(work.contains(popup->frameGeometry())) << "placed inside the work area";
    EXPECT_EQ(popup->pos(), COptionsPlacement::Place(wanted, popup->size(), work));
    // The controls keep their places while the window grows: the lowest one ends where the window ends.
    EXPECT_EQ(popup->GetDlgItem(IDOK)->geometry().bottom() + 1 + 20 + 1, popup->height());
    popup->DestroyWindow();
}

TEST_F(PopupUnrollTest, ClosingWhileUnrollingStopsTheUnrolling) {
    QPointer<CPhotoOptionsDlg> popup = CPhotoOptionsDlg::Show(QPoint(40, 60));
    ASSERT_TRUE(popup);
    timers.Advance(30);
    ASSERT_TRUE(popup->IsUnrolling());
    popup->PostMessage(WM_CLOSE);
    Pump();
    EXPECT_FALSE(popup);
    EXPECT_EQ(timers.ActiveCount(), 0u) << "no timer left behind";
}

} // namespace
