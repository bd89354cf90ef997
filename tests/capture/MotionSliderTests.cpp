// The motion sensitivity slider: the mapping of levels and thresholds onto its track, the colour of the
// level bar (checked in the drawn pixels), and the hover state with its poll on the fake clock.
#include "capture/CMotionSliderCtrl.h"
#include "capture/CMotionSliderGeometry.h"
#include "support/CFakeClock.h"
#include "support/CVirtualTimerService.h"

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(MotionSliderGeometry, LevelsAndThresholdsMapOntoTheTrack) {
    struct Case {
        uint32_t value;
        int bar, thumb;
    };
    const Case cases[] = {
        {0, 0, 0}, {1, 1, 1}, {40, 62, 62}, {50, 78, 78}, {99, 155, 155}, {100, 157, 157},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CMotionSliderGeometry::LevelBarWidth(c.value), c.bar) << c.value;
        EXPECT_EQ(CMotionSliderGeometry::ThumbOffset(static_cast<int>(c.value)), c.thumb) << c.value;
    }
    EXPECT_EQ(CMotionSliderGeometry::LevelBarWidth(0xFFFFFFFFu), 157) << "no more than the track";
}

class MotionSliderTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetTimerService(&timers);
        window = std::make_unique<QWidget>();
        window->resize(240, 60);
        slider = new CMotionSliderCtrl(window.get());
        slider->setGeometry(20, 20, 173, 24);
        window->show();
    }
    void TearDown() override {
        window.reset();
        SetTimerService(nullptr);
    }

    QImage Render() const {
        QImage image(slider->size(), QImage::Format_ARGB32);
        image.fill(Qt::black);
        slider->render(&image);
        return image;
    }
    // The colour in the middle of the level bar's first pixels (left of any thumb at a high threshold).
    QColor BarPixel() const {
        const QRect bar = slider->LevelBarRect();
        return Render().pixelColor(bar.left() + 2, bar.center().y());
    }
    void MoveMouse(QPoint pos) {
        QCursor::setPos(slider->mapToGlobal(pos));
        QMouseEvent e(QEvent::MouseMove, QPointF(pos), QPointF(slider->mapToGlobal(pos)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(slider, &e);
    }

    CFakeClock clock;
    CVirtualTimerService timers{clock};
    std::unique_ptr<QWidget> window;
    CMotionSliderCtrl* slider = nullptr;
};

TEST_F(MotionSliderTest, TheBarIsRedExactlyWhenTheLevelIsAboveTheThreshold) {
    const QColor red(255, 0, 0);
    struct Case {
        int threshold;
        uint32_t level;
        bool red;
    };
    const Case cases[] = {{90, 10, false}, {90, 89, false},   {90, 90, false},  {90, 91, true},
                          {1, 0, false},   {100, 100, false}, {100, 101, true}, {40, 700, true}};
    for (const Case& c : cases) {
        slider->SetPos(c.threshold);
        slider->SetLevel(c.level);
        EXPECT_EQ(slider->IsLevelOverThreshold(), c.red) << c.threshold << "/" << c.level;
        EXPECT_EQ(BarPixel() == red, c.red) << c.threshold << "/" << c.level;
        EXPECT_EQ(slider->LevelBarRect().width(), CMotionSliderGeometry::LevelBarWidth(c.level));
    }
    // Moving the threshold above the level turns the bar back to normal.
    slider->SetPos(40);
    slider->SetLevel(60);
    ASSERT_EQ(BarPixel(), red);
    slider->SetPos(60);
    EXPECT_NE(BarPixel(), red);
}

TEST_F(MotionSliderTest, TheTrackIs157PixelsAndTheThumbFollowsThePosition) {
    EXPECT_EQ(slider->TrackRect().width(), 157);
    EXPECT_EQ(slider->GetRangeMin(), 1);
    EXPECT_EQ(slider->GetRangeMax(), 100);
    for (int position : {1, 40, 100}) {
        slider->SetPos(position);
        const QRect thumb = slider->MotionThumbRect();
        EXPECT_EQ(thumb.left() + thumb.width() / 2 - slider->TrackRect().left(),
                  CMotionSliderGeometry::ThumbOffset(position))
            << position;
    }
    // A click on the track moves the threshold under the cursor (within a pixel's worth of position).
    const QPoint at(slider->TrackRect().left() + 120, slider->height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), QPointF(slider->mapToGlobal(at)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(slider, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), QPointF(slider->mapToGlobal(at)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(slider, &release);
    EXPECT_NEAR(CMotionSliderGeometry::ThumbOffset(slider->GetPos()), 120, 2);
}

TEST_F(MotionSliderTest, HoverLightsTheThumbUntilThePollSeesTheCursorGone) {
    slider->SetPos(50);
    const QPoint thumb = slider->MotionThumbRect().center();
    const QImage plain = Render();
    MoveMouse(thumb);
    EXPECT_TRUE(slider->IsHot());
    EXPECT_TRUE(slider->IsHoverPollRunning());
    EXPECT_NE(Render(), plain) << "the hover look differs";
    // The cursor leaves without a move event reaching the slider: the next poll notices.
    QCursor::setPos(slider->mapToGlobal(QPoint(2, 2)));
    timers.Advance(CMotionSliderCtrl::kHoverPollMs - 1);
    EXPECT_TRUE(slider->IsHot());
    timers.Advance(1);
    EXPECT_FALSE(slider->IsHot());
    EXPECT_FALSE(slider->IsHoverPollRunning());
    EXPECT_EQ(Render(), plain);
    // While the cursor stays, the poll keeps running.
    MoveMouse(thumb);
    timers.Advance(500);
    EXPECT_TRUE(slider->IsHot());
    EXPECT_TRUE(slider->IsHoverPollRunning());
    // Disabled, it is never hot, shows no alarm colour and looks different.
    slider->SetLevel(80);
    const QImage enabled = Render();
    slider->setEnabled(false);
    EXPECT_FALSE(slider->IsHot());
    EXPECT_FALSE(slider->IsHoverPollRunning());
    EXPECT_NE(BarPixel(), QColor(255, 0, 0));
    EXPECT_NE(Render(), enabled);
    MoveMouse(thumb);
    EXPECT_FALSE(slider->IsHot());
}

} // namespace
