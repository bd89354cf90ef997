// The pan and tilt pad as the user meets it: clicks, a held button repeating on the fake clock, the keys,
// the hover timers, a pad without a facade, its images and the look it draws without them, and its
// registration for dialog templates.
#include "PanTiltFixture.h"
#include "settings/CPanTiltCtrl.h"
#include "settings/SettingsControlsRegistration.h"
#include "ui/CControlFactory.h"
#include "ui/CDialogBase.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <memory>

namespace {

QPoint Middle(PanTiltPart part) {
    return CPanTiltRegions::Rect(part).center();
}

void Mouse(QWidget* pad, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(pos), QPointF(pad->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(pad, &e);
}
void Move(QWidget* pad, QPoint pos, Qt::MouseButtons buttons = Qt::NoButton) {
    Mouse(pad, QEvent::MouseMove, pos, Qt::NoButton, buttons);
}
void Press(QWidget* pad, QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
    Mouse(pad, QEvent::MouseButtonPress, pos, button, button);
}
void Release(QWidget* pad, QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
    Mouse(pad, QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
}
void Click(QWidget* pad, QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
    Press(pad, pos, button);
    Release(pad, pos, button);
}
// Press, release, double click, release: what a double click brings.
void DoubleClick(QWidget* pad, QPoint pos) {
    Click(pad, pos);
    Mouse(pad, QEvent::MouseButtonDblClick, pos, Qt::LeftButton, Qt::LeftButton);
    Release(pad, pos);
}
void Leave(QWidget* pad) {
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(pad, &e);
}
void Key(QWidget* pad, QEvent::Type type, Qt::Key key) {
    QKeyEvent e(type, key, Qt::NoModifier, key == Qt::Key_Space ? QStringLiteral(" ") : QString());
    QApplication::sendEvent(pad, &e);
}
void KeyClick(QWidget* pad, Qt::Key key) {
    Key(pad, QEvent::KeyPress, key);
    Key(pad, QEvent::KeyRelease, key);
}

class PanTiltCtrlTest : public PanTiltTest {
protected:
    void SetUp() override {
        PanTiltTest::SetUp();
        window = std::make_unique<QWidget>();
        window->resize(200, 120);
    }
    void TearDown() override {
        window.reset();
        PanTiltTest::TearDown();
    }
    // A pad on the current camera, shown.
    CPanTiltCtrl* Make(IGraniteDeviceManager* with) {
        auto* pad = new CPanTiltCtrl(with, window.get());
        pad->move(10, 10);
        window->show();
        return pad;
    }
    CPanTiltCtrl* Make() { return Make(facade); }

    std::unique_ptr<QWidget> window;
};

// The default pad takes the process's facade; whether the camera has motors is read when the pad is made
// and again when asked.
TEST_F(PanTiltCtrlTest, ReadsWhetherTheCameraHasMotorsAndReadsAgainWhenAsked) {
    Use(kPtz);
    auto* pad = new CPanTiltCtrl(window.get());
    EXPECT_TRUE(pad->HasDeviceManager());
    EXPECT_TRUE(pad->IsMechanical());
    KeyClick(pad, Qt::Key_Right);
    EXPECT_TRUE(MotorsReach(2, 0));
    Use(kFull);
    EXPECT_TRUE(pad->IsMechanical()) << "read when made, until asked again";
    pad->RefreshMechanical();
    EXPECT_FALSE(pad->IsMechanical());
}

TEST_F(PanTiltCtrlTest, AClickStepsThePartUnderTheCursorAndADoubleClickStepsTwice) {
    Use(kFull);
    CPanTiltCtrl* pad = Make();
    int stepped = 0;
    QObject::connect(pad, &CPanTiltCtrl::Stepped, [&](PanTiltPart) { ++stepped; });
    Click(pad, Middle(PanTiltPart::Right));
    EXPECT_EQ(Pan(), 2);
    DoubleClick(pad, Middle(PanTiltPart::Down));
    EXPECT_EQ(Tilt(), 4);
    Click(pad, Middle(PanTiltPart::Left), Qt::RightButton);
    Click(pad, QPoint(22, 40));
    EXPECT_EQ(Pan(), 2) << "only the left button, and only on a part";
    Click(pad, Middle(PanTiltPart::Centre));
    EXPECT_EQ(Pan(), 0);
    EXPECT_EQ(Tilt(), 0);
    EXPECT_EQ(stepped, 4);
}

TEST_F(PanTiltCtrlTest, HoldingTheButtonOnAnArrowRepeatsEvery200MsOnceHalfASecondHasPassed) {
    Use(kFull);
    CPanTiltCtrl* pad = Make();
    const QPoint left = Middle(PanTiltPart::Left);
    Move(pad, left);
    Press(pad, left);
    EXPECT_EQ(Pan(), -2) << "the press itself steps";
    timers.Advance(400);
    EXPECT_EQ(Pan(), -2) << "no repeat in the first half second";
    timers.Advance(200);
    EXPECT_EQ(Pan(), -4);
    timers.Advance(199);
    EXPECT_EQ(Pan(), -4);
    timers.Advance(1);
    EXPECT_EQ(Pan(), -6);

    // Dragged off the arrow the repeats stop; back on it they go on.
    Move(pad, QPoint(22, 40), Qt::LeftButton);
    timers.Advance(400);
    EXPECT_EQ(Pan(), -6);
    Move(pad, left, Qt::LeftButton);
    timers.Advance(200);
    EXPECT_EQ(Pan(), -8);

    Release(pad, left);
    timers.Advance(1000);
    EXPECT_EQ(Pan(), -8) << "released: no more steps";
}

TEST_F(PanTiltCtrlTest, ALostReleaseEndsTheHold) {
    Use(kFull);
    CPanTiltCtrl* pad = Make();
    const QPoint up = Middle(PanTiltPart::Up);
    Move(pad, up);
    Press(pad, up);
    EXPECT_EQ(Tilt(), -2);
    Move(pad, up, Qt::NoButton); // the release went elsewhere
    EXPECT_FALSE(pad->IsButtonHeld());
    timers.Advance(1000);
    EXPECT_EQ(Tilt(), -2);
}

TEST_F(PanTiltCtrlTest, KeysStepWithoutTheMouse) {
    Use(kFull);
    CPanTiltCtrl* pad = Make();
    EXPECT_TRUE(pad->focusPolicy() & Qt::TabFocus);
    struct Case {
        Qt::Key key;
        PanTiltPart part;
        int32_t pan, tilt;
    };
    const Case cases[] = {
        {Qt::Key_Right, PanTiltPart::Right, 2, 0}, {Qt::Key_Down, PanTiltPart::Down, 2, 2},
        {Qt::Key_Left, PanTiltPart::Left, 0, 2},   {Qt::Key_Left, PanTiltPart::Left, -2, 2},
        {Qt::Key_Up, PanTiltPart::Up, -2, 0},      {Qt::Key_Space, PanTiltPart::Centre, 0, 0},
    };
    for (const Case& c : cases) {
        if (c.part == PanTiltPart::Centre)
            KeyClick(pad, Qt::Key_Down); // somewhere off the middle first
        Key(pad, QEvent::KeyPress, c.key);
        EXPECT_EQ(pad->KeyPart(), c.part) << "drawn pressed while the key is down";
        Key(pad, QEvent::KeyRelease, c.key);
        EXPECT_EQ(pad->KeyPart(), std::nullopt);
        EXPECT_EQ(Pan(), c.pan) << c.key;
        EXPECT_EQ(Tilt(), c.tilt) << c.key;
    }
    KeyClick(pad, Qt::Key_A);
    EXPECT_EQ(Pan(), 0);
    EXPECT_EQ(timers.ActiveCount(), 0u) << "the keys need no timers";
}

TEST_F(PanTiltCtrlTest, AHoverTimerRunsWhileThePartMayBeUnderTheCursorAndStopsOnceItLeft) {
    Use(kFull);
    CPanTiltCtrl* pad = Make();
    Move(pad, Middle(PanTiltPart::Up));
    EXPECT_TRUE(pad->Regions().State(PanTiltPart::Up).hover);
    EXPECT_TRUE(pad->IsHoverTimerRunning(PanTiltPart::Up));
    timers.Advance(600);
    EXPECT_TRUE(pad->IsHoverTimerRunning(PanTiltPart::Up)) << "still on it";

    Move(pad, Middle(PanTiltPart::Centre));
    EXPECT_FALSE(pad->Regions().State(PanTiltPart::Up).hover);
    EXPECT_TRUE(pad->Regions().State(PanTiltPart::Centre).hover);
    timers.Advance(200);
    EXPECT_FALSE(pad->IsHoverTimerRunning(PanTiltPart::Up));
    EXPECT_TRUE(pad->IsHoverTimerRunning(PanTiltPart::Centre));

    Leave(pad);
    EXPECT_FALSE(pad->Regions().State(PanTiltPart::Centre).hover);
    timers.Advance(200);
    EXPECT_EQ(timers.ActiveCount(), 0u);
    EXPECT_EQ(Pan(), 0) << "hovering moves nothing";
    EXPECT_EQ(Tilt(), 0);
}

TEST_F(PanTiltCtrlTest, HidingDisablingOrDestroyingThePadStopsItsTimers) {
    Use(kFull);
    CPanTiltCtrl* pad = Make();
    Move(pad, Middle(PanTiltPart::Left));
    Press(pad, Middle(PanTiltPart::Left));
    pad->setEnabled(false);
    EXPECT_EQ(timers.ActiveCount(), 0u);
    EXPECT_FALSE(pad->IsButtonHeld());
    pad->setEnabled(true);

    Move(pad, Middle(PanTiltPart::Down));
    pad->hide();
    EXPECT_EQ(timers.ActiveCount(), 0u);
    pad->show();

    Move(pad, Middle(PanTiltPart::Right));
    ASSERT_EQ(timers.ActiveCount(), 1u);
    delete pad;
    EXPECT_EQ(timers.ActiveCount(), 0u);
    timers.Advance(1000); // nothing left to call into the destroyed pad
}

TEST_F(PanTiltCtrlTest, APadWithoutAFacadeTakesInputAndMovesNothing) {
    Use(kFull);
    CPanTiltCtrl* pad = Make(nullptr);
    EXPECT_FALSE(pad->HasDeviceManager());
    EXPECT_FALSE(pad->IsMechanical());
    int stepped = 0;
    QObject::connect(pad, &CPanTiltCtrl::Stepped, [&](PanTiltPart) { ++stepped; });
    Move(pad, Middle(PanTiltPart::Right));
    Press(pad, Middle(PanTiltPart::Right));
    timers.Advance(1000);
    Release(pad, Middle(PanTiltPart::Right));
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Up, Qt::Key_Space})
        KeyClick(pad, key);
    EXPECT_TRUE(pad->Regions().State(PanTiltPart::Right).hover) << "the pad still follows the mouse";
    EXPECT_EQ(stepped, 0);
    EXPECT_EQ(Pan(), 0);
}

TEST(PanTiltRegistration, DialogTemplatesMakeThePadByItsClassName) {
    RegisterSettingsControls();
    RegisterSettingsControls(); // twice is harmless
    EXPECT_TRUE(CControlFactory::Instance().IsRegistered("CPanTiltCtrl"));
    {
        CDialogBase dialog;
        dialog.SetTemplateData(R"(<dialog width="200" height="120">
            <control id="1300" class="CPanTiltCtrl" x="10" y="10" width="82" height="80"/>
        </dialog>)");
        ASSERT_TRUE(dialog.Create());
        auto* pad = dialog.GetDlgItemAs<CPanTiltCtrl>(1300);
        ASSERT_NE(pad, nullptr);
        EXPECT_EQ(pad->size(), QSize(82, 80));
        EXPECT_FALSE(pad->HasDeviceManager()) << "no device service in this test";
    }
    UnregisterSettingsControls();
    EXPECT_FALSE(CControlFactory::Instance().IsRegistered("CPanTiltCtrl"));
}

} // namespace
