// The capture buttons on offscreen widgets against a small camera: zones, mouse and space, the image shown,
// the hover poll on the virtual timer, Tab and drawing.
#include "CFakeCameraOwner.h"
#include "capture/CCaptureButtonLook.h"
#include "capture/CSpecialPictureButton.h"
#include "support/CFakeClock.h"
#include "support/CVirtualTimerService.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Look = CCaptureButtonLook;

const QPoint kMain(60, 25);
const QPoint kOptions(140, 25);
const QPoint kOutside(200, 25);

class CaptureButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetTimerService(&timers_);
        dialog_ = std::make_unique<QWidget>();
        dialog_->resize(400, 100);
        before_ = new QPushButton(QStringLiteral("before"), dialog_.get());
        button_ = new CSpecialPictureButton(dialog_.get());
        after_ = new QPushButton(QStringLiteral("after"), dialog_.get());
        button_->setGeometry(10, 30, 160, 50);
        after_->move(10, 200);
        button_->setText(QStringLiteral("&Photo"));
        button_->SetEvents(&camera_);
        button_->SetFocusLockEnabled(true);
        for (int i = 0; i < Look::ImageCount; ++i) {
            QImage image(160, 50, QImage::Format_ARGB32);
            image.fill(QColor::fromHsv(i * 60, 200, 200));
            button_->SetImage(static_cast<Look::Image>(i), image);
        }
        dialog_->show();
        QApplication::setActiveWindow(dialog_.get());
    }
    void TearDown() override {
        dialog_.reset();
        SetTimerService(nullptr);
    }
    static void Mouse(QWidget* to, QEvent::Type type, QPoint pos, Qt::MouseButtons held) {
        const Qt::MouseButton which = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, QPointF(pos), QPointF(to->mapToGlobal(pos)), which, held, Qt::NoModifier);
        QApplication::sendEvent(to, &e);
    }
    void Press(QPoint pos) { Mouse(button_, QEvent::MouseButtonPress, pos, Qt::LeftButton); }
    void Release(QPoint pos) { Mouse(button_, QEvent::MouseButtonRelease, pos, Qt::NoButton); }
    void Drag(QPoint pos) { Mouse(button_, QEvent::MouseMove, pos, Qt::LeftButton); }
    void Hover(QPoint pos) { Mouse(button_, QEvent::MouseMove, pos, Qt::NoButton); }
    void Key(QEvent::Type type, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent e(type, key, mods, key == Qt::Key_Space ? QStringLiteral(" ") : QString());
        QApplication::sendEvent(QApplication::focusWidget(), &e);
    }
    void Tab(bool shift = false) {
        Key(QEvent::KeyPress, shift ? Qt::Key_Backtab : Qt::Key_Tab,
            shift ? Qt::ShiftModifier : Qt::NoModifier);
    }
    void FocusButton() {
        button_->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(button_->hasFocus());
    }
    CFakeClock clock_;
    CVirtualTimerService timers_{clock_};
    CFakeCameraOwner camera_;
    std::unique_ptr<QWidget> dialog_;
    QPushButton* before_ = nullptr;
    CSpecialPictureButton* button_ = nullptr;
    QPushButton* after_ = nullptr;
};

// The same click through the mouse and through the space key, against cameras in every focus situation.
TEST_F(CaptureButtonTest, AMainZoneClickTakesOnePhotoWithTheFocusHeldAndGivesItBack) {
    struct Row {
        const char* name;
        bool lockEnabled, autoFocus, settled, settleWhileHeld;
        bool autoFocusOffAtPhoto;
        int focusWrites;
    };
    const Row rows[] = {
        {"settled", true, true, true, false, true, 2},
        {"settles while held", true, true, false, true, true, 2},
        {"released before settling", true, true, false, false, false, 0},
        {"auto-focus off", true, false, true, false, true, 0},
        {"camera without focus lock", false, true, true, false, false, 0},
    };
    for (bool bySpace : {false, true}) {
        for (const Row& r : rows) {
            SCOPED_TRACE(std::string(r.name) + (bySpace ? " (space)" : " (mouse)"));
            camera_ = CFakeCameraOwner{};
            camera_.autoFocus = r.autoFocus;
            camera_.settled = r.settled;
            button_->SetFocusLockEnabled(r.lockEnabled);
            if (bySpace) {
                FocusButton();
                Key(QEvent::KeyPress, Qt::Key_Space);
            } else {
                Press(kMain);
            }
            if (r.settleWhileHeld) {
                camera_.settled = true;
                button_->FocusSettled();
            }
            EXPECT_EQ(camera_.photos, 0) << "the photo is taken on release";
            bySpace ? Key(QEvent::KeyRelease, Qt::Key_Space) : Release(kMain);
            EXPECT_EQ(camera_.photos, 1);
            EXPECT_EQ(camera_.options, 0);
            EXPECT_EQ(!camera_.lastPhotoAutoFocus, r.autoFocusOffAtPhoto);
            EXPECT_EQ(camera_.autoFocus, r.autoFocus) << "auto-focus must be as before the click";
            EXPECT_EQ(camera_.focusWrites, r.focusWrites);
            EXPECT_TRUE(button_->FocusLock().IsUnlocked());
        }
    }
}

TEST_F(CaptureButtonTest, DraggingOffTheMainZoneGivesTheFocusBackAndSpaceHeldBlocksTheMouse) {
    Press(kMain);
    EXPECT_EQ(button_->CurrentImage(), Look::Pressed);
    const std::tuple<QPoint, bool, Look::Image> drags[] = {
        {kOptions, true, Look::HoverOptions}, {kMain, false, Look::Pressed}, {kOutside, true, Look::Normal}};
    for (const auto& [to, autoFocus, image] : drags) {
        Drag(to);
        EXPECT_EQ(camera_.autoFocus, autoFocus) << to.x();
        EXPECT_EQ(button_->CurrentImage(), image) << to.x();
    }
    Release(kOutside);
    EXPECT_EQ(camera_.photos + camera_.options, 0);
    EXPECT_TRUE(button_->FocusLock().IsUnlocked());
    FocusButton();
    Key(QEvent::KeyPress, Qt::Key_Space);
    Press(kMain);
    Release(kMain);
    EXPECT_EQ(camera_.photos, 0);
    EXPECT_FALSE(camera_.autoFocus) << "the space press still holds the focus";
    Key(QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(camera_.photos, 1);
    EXPECT_TRUE(camera_.autoFocus);
}

TEST_F(CaptureButtonTest, HoverIsPolledUntilTheCursorLeaves) {
    QCursor::setPos(button_->mapToGlobal(kMain));
    Hover(kMain);
    EXPECT_EQ(button_->CurrentImage(), Look::HoverMain);
    timers_.Advance(300);
    EXPECT_TRUE(button_->HoverPollRunning() && button_->OverButton()) << "the cursor is still over it";
    // The cursor jumps away without a move event reaching the button: the next poll notices.
    QCursor::setPos(button_->mapToGlobal(kOutside));
    timers_.Advance(99);
    EXPECT_TRUE(button_->OverButton());
    timers_.Advance(1);
    EXPECT_FALSE(button_->OverButton() || button_->HoverPollRunning());
    EXPECT_EQ(button_->CurrentImage(), Look::Normal);
    Hover(kOptions);
    EXPECT_EQ(button_->CurrentImage(), Look::HoverOptions);
    button_->SetImage(Look::HoverOptions, QImage());
    EXPECT_EQ(button_->CurrentImage(), Look::Normal) << "a missing image falls back to the normal one";
    button_->SetOptionsOnly(true);
    Hover(kMain);
    EXPECT_EQ(button_->CurrentImage(), Look::Normal) << "an inactive main zone always looks idle";
    button_->setEnabled(false);
    EXPECT_EQ(button_->CurrentImage(), Look::Disabled);
}

// Tab visits the options zone once, where space opens the options without touching the focus.
TEST_F(CaptureButtonTest, TheOptionsZoneByMouseOrTabAndSpaceOpensTheOptionsAndNeverTouchesTheFocus) {
    Press(kOptions);
    Release(kOptions);
    FocusButton();
    EXPECT_FALSE(button_->FocusOnOptions());
    Tab();
    EXPECT_TRUE(button_->hasFocus() && button_->FocusOnOptions());
    Key(QEvent::KeyPress, Qt::Key_Space);
    EXPECT_TRUE(camera_.autoFocus);
    Key(QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(camera_.options, 2);
    EXPECT_EQ(camera_.photos + camera_.focusWrites, 0);
    Tab();
    EXPECT_TRUE(after_->hasFocus());
    // Coming back starts on the main zone; from the options zone Shift+Tab goes to the previous control.
    FocusButton();
    EXPECT_FALSE(button_->FocusOnOptions());
    Tab(true);
    EXPECT_TRUE(button_->FocusOnOptions());
    Tab(true);
    EXPECT_TRUE(before_->hasFocus());
    // With the main zone inactive the focus starts on the options zone and Tab leaves at once.
    button_->SetOptionsOnly(true);
    FocusButton();
    EXPECT_TRUE(button_->FocusOnOptions());
    Tab();
    EXPECT_TRUE(after_->hasFocus());
}

TEST_F(CaptureButtonTest, TheMovieButtonReportsClicksByZoneAndNoneFromAnInactiveMainZone) {
    CSpecialCaptureButton movie(dialog_.get());
    movie.setGeometry(10, 100, 160, 50);
    movie.SetOptionsOnly(true);
    int main = 0, options = 0;
    QObject::connect(&movie, &CSpecialCaptureButton::mainZoneClicked, [&] { ++main; });
    QObject::connect(&movie, &CSpecialCaptureButton::optionsZoneClicked, [&] { ++options; });
    auto click = [&](QPoint at) {
        Mouse(&movie, QEvent::MouseButtonPress, at, Qt::LeftButton);
        Mouse(&movie, QEvent::MouseButtonRelease, at, Qt::NoButton);
    };
    click(kMain);
    click(kOptions);
    EXPECT_EQ(main, 0);
    EXPECT_EQ(options, 1);
    movie.SetOptionsOnly(false);
    click(kMain);
    EXPECT_EQ(main, 1);
}

int CountPixels(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF) ? 1 : 0;
    return n;
}

TEST_F(CaptureButtonTest, DrawsTheCaptionGreyWhenItCannotTakePhotosAndTheFocusRectangleOnTheFocusedZone) {
    QImage white(160, 50, QImage::Format_ARGB32);
    white.fill(Qt::white);
    button_->SetImage(Look::Normal, white);
    // The dotted rectangle's top edge runs along row 3 of the focused zone.
    auto focusDots = [&](const QRect& zone) {
        return CountPixels(button_->grab().toImage().copy(zone).copy(0, 3, zone.width(), 1), 0x404040);
    };
    FocusButton();
    EXPECT_GT(focusDots(button_->MainZone()), 20);
    EXPECT_EQ(focusDots(button_->OptionsZone()), 0);
    Tab();
    EXPECT_GT(focusDots(button_->OptionsZone()), 5);
    EXPECT_EQ(focusDots(button_->MainZone()), 0);
    // The caption is dark while the button works, grey when it is disabled or offers only its options.
    button_->clearFocus();
    const QImage idle = button_->grab().toImage();
    EXPECT_GT(CountPixels(idle, 0x404040), 0);
    EXPECT_EQ(CountPixels(idle, 0x929292), 0);
    button_->SetOptionsOnly(true);
    EXPECT_GT(CountPixels(button_->grab().toImage(), 0x929292), 0);
    button_->SetOptionsOnly(false);
    button_->setEnabled(false);
    EXPECT_GT(CountPixels(button_->grab().toImage(), 0x929292), 0);
}

} // namespace
