// The capture buttons on offscreen widgets: the photo button's mouse and space paths against a small
// camera, the hover poll on the virtual timer, the keyboard walk through the zones and what gets drawn.
#include "CFakeCameraOwner.h"
#include "capture/CSpecialPictureButton.h"
#include "capture/CaptureControlsRegistration.h"
#include "support/CFakeClock.h"
#include "support/CVirtualTimerService.h"
#include "ui/CControlFactory.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

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
        dialog_->show();
        QApplication::setActiveWindow(dialog_.get());
    }
    void TearDown() override {
        dialog_.reset();
        SetTimerService(nullptr);
    }

    void Mouse(QEvent::Type type, QPoint pos, Qt::MouseButtons held) {
        const Qt::MouseButton which = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, QPointF(pos), QPointF(button_->mapToGlobal(pos)), which, held, Qt::NoModifier);
        QApplication::sendEvent(button_, &e);
    }
    void Press(QPoint pos) { Mouse(QEvent::MouseButtonPress, pos, Qt::LeftButton); }
    void Release(QPoint pos) { Mouse(QEvent::MouseButtonRelease, pos, Qt::NoButton); }
    void Drag(QPoint pos) { Mouse(QEvent::MouseMove, pos, Qt::LeftButton); }
    void Hover(QPoint pos) { Mouse(QEvent::MouseMove, pos, Qt::NoButton); }
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
            if (bySpace)
                Key(QEvent::KeyRelease, Qt::Key_Space);
            else
                Release(kMain);
            EXPECT_EQ(camera_.photos, 1);
            EXPECT_EQ(camera_.options, 0);
            EXPECT_EQ(!camera_.lastPhotoAutoFocus, r.autoFocusOffAtPhoto);
            EXPECT_EQ(camera_.autoFocus, r.autoFocus) << "auto-focus must be as before the click";
            EXPECT_EQ(camera_.focusWrites, r.focusWrites);
            EXPECT_TRUE(button_->FocusLock().IsUnlocked());
        }
    }
}

TEST_F(CaptureButtonTest, TheOptionsZoneOpensTheOptionsAndNeverTouchesTheFocus) {
    Press(kOptions);
    Release(kOptions);
    EXPECT_EQ(camera_.options, 1);

    // From the keyboard: Tab onto the options zone, then space. The press does not lock there.
    FocusButton();
    Tab();
    ASSERT_TRUE(button_->FocusOnOptions());
    Key(QEvent::KeyPress, Qt::Key_Space);
    EXPECT_TRUE(camera_.autoFocus);
    Key(QEvent::KeyRelease, Qt::Key_Space);

    EXPECT_EQ(camera_.options, 2);
    EXPECT_EQ(camera_.photos, 0);
    EXPECT_EQ(camera_.focusWrites, 0);
}

TEST_F(CaptureButtonTest, DraggingOffTheMainZoneGivesTheFocusBackAndReleasingOutsideTakesNoPhoto) {
    Press(kMain);
    EXPECT_FALSE(camera_.autoFocus);
    Drag(kOptions);
    EXPECT_TRUE(camera_.autoFocus);
    Drag(kMain);
    EXPECT_FALSE(camera_.autoFocus);
    Drag(kOutside);
    EXPECT_TRUE(camera_.autoFocus);
    Release(kOutside);
    EXPECT_EQ(camera_.photos, 0);
    EXPECT_EQ(camera_.options, 0);
    EXPECT_TRUE(button_->FocusLock().IsUnlocked());
}

TEST_F(CaptureButtonTest, SpaceHeldBlocksTheMousePath) {
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
    QImage images[CCaptureButtonLook::ImageCount];
    for (int i = 0; i < CCaptureButtonLook::ImageCount; ++i) {
        images[i] = QImage(160, 50, QImage::Format_ARGB32);
        images[i].fill(QColor::fromHsv(i * 60, 200, 200));
        button_->SetImage(static_cast<CCaptureButtonLook::Image>(i), images[i]);
    }
    QCursor::setPos(button_->mapToGlobal(kMain));
    Hover(kMain);
    EXPECT_EQ(button_->CurrentImage(), CCaptureButtonLook::HoverMain);
    ASSERT_TRUE(button_->HoverPollRunning());
    timers_.Advance(300);
    EXPECT_TRUE(button_->HoverPollRunning()) << "the cursor is still over the button";
    EXPECT_TRUE(button_->OverButton());

    // The cursor jumps away without a move event reaching the button: the next poll notices.
    QCursor::setPos(button_->mapToGlobal(kOutside));
    timers_.Advance(99);
    EXPECT_TRUE(button_->OverButton());
    timers_.Advance(1);
    EXPECT_FALSE(button_->OverButton());
    EXPECT_FALSE(button_->HoverPollRunning());
    EXPECT_EQ(button_->CurrentImage(), CCaptureButtonLook::Normal);

    Hover(kOptions);
    EXPECT_EQ(button_->CurrentImage(), CCaptureButtonLook::HoverOptions);
    button_->SetImage(CCaptureButtonLook::HoverOptions, QImage());
    EXPECT_EQ(button_->CurrentImage(), CCaptureButtonLook::Normal);
    button_->setEnabled(false);
    EXPECT_EQ(button_->CurrentImage(), CCaptureButtonLook::Disabled);
}

TEST_F(CaptureButtonTest, TabVisitsTheOptionsZoneOnceThenLeavesTheButton) {
    FocusButton();
    EXPECT_FALSE(button_->FocusOnOptions());
    Tab();
    EXPECT_TRUE(button_->hasFocus());
    EXPECT_TRUE(button_->FocusOnOptions());
    Tab();
    EXPECT_TRUE(after_->hasFocus());

    // Coming back starts on the main zone again; from the options zone Shift+Tab goes to the previous
    // control.
    FocusButton();
    EXPECT_FALSE(button_->FocusOnOptions());
    Tab(true);
    EXPECT_TRUE(button_->FocusOnOptions());
    Tab(true);
    EXPECT_TRUE(before_->hasFocus());
}

TEST_F(CaptureButtonTest, OptionsOnlyStartsOnTheOptionsZoneAndTabLeavesAtOnce) {
    button_->SetOptionsOnly(true);
    FocusButton();
    EXPECT_TRUE(button_->FocusOnOptions());
    Hover(kMain);
    Press(kMain);
    EXPECT_EQ(button_->CurrentImage(), CCaptureButtonLook::Normal);
    Release(kMain);
    Tab();
    EXPECT_TRUE(after_->hasFocus());

    // The movie button reports clicks by zone; the inactive main zone reports nothing.
    CSpecialCaptureButton movie(dialog_.get());
    movie.setGeometry(10, 100, 160, 50);
    movie.SetOptionsOnly(true);
    int main = 0;
    int options = 0;
    QObject::connect(&movie, &CSpecialCaptureButton::mainZoneClicked, [&] { ++main; });
    QObject::connect(&movie, &CSpecialCaptureButton::optionsZoneClicked, [&] { ++options; });
    auto click = [&](QPoint at) {
        for (bool down : {true, false}) {
            QMouseEvent e(down ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, QPointF(at),
                          QPointF(movie.mapToGlobal(at)), Qt::LeftButton,
                          down ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(&movie, &e);
        }
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
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF) ? 1 : 0;
    }
    return n;
}

TEST_F(CaptureButtonTest, DrawsTheCaptionGreyWhenItCannotTakePhotosAndTheFocusRectangleOnTheFocusedZone) {
    QImage white(160, 50, QImage::Format_ARGB32);
    white.fill(Qt::white);
    button_->SetImage(CCaptureButtonLook::Normal, white);

    FocusButton();
    const QImage focusedMain = button_->grab().toImage();
    const QImage mainZone = focusedMain.copy(button_->MainZone());
    const QImage optionsZone = focusedMain.copy(button_->OptionsZone());
    // The dotted rectangle's top edge runs along row 3 of the focused zone.
    EXPECT_GT(CountPixels(mainZone.copy(0, 3, 124, 1), 0x404040), 20);
    EXPECT_EQ(CountPixels(optionsZone.copy(0, 3, 36, 1), 0x404040), 0);
    Tab();
    const QImage focusedOptions = button_->grab().toImage();
    EXPECT_GT(CountPixels(focusedOptions.copy(button_->OptionsZone()).copy(0, 3, 36, 1), 0x404040), 5);
    EXPECT_EQ(CountPixels(focusedOptions.copy(0, 3, 124, 1), 0x404040), 0);

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

TEST(CaptureControls, DialogTemplatesCreateBothButtonsByClassName) {
    RegisterCaptureControls();
    QWidget dialog;
    CDialogTemplate::Control control;
    control.className = "CSpecialPictureButton";
    std::unique_ptr<QWidget> photo(CControlFactory::Instance().Create(control, &dialog));
    EXPECT_NE(qobject_cast<CSpecialPictureButton*>(photo.get()), nullptr);
    control.className = "CSpecialCaptureButton";
    std::unique_ptr<QWidget> movie(CControlFactory::Instance().Create(control, &dialog));
    EXPECT_NE(qobject_cast<CSpecialCaptureButton*>(movie.get()), nullptr);
    EXPECT_EQ(qobject_cast<CSpecialPictureButton*>(movie.get()), nullptr);
    UnregisterCaptureControls();
    EXPECT_FALSE(CControlFactory::Instance().IsRegistered("CSpecialPictureButton"));
}

} // namespace
