// The pan and tilt pad: one step's arithmetic, and the pad as the user meets it on the simulated cameras
// ("full": digital pan and tilt whose reach grows with the zoom; "ptz": motors), timers on the fake clock.
#include "granite/devices/SimulatedDeviceConstants.h"
#include "settings/CPanTiltCtrl.h"
#include "settings/CPanTiltRegions.h"
#include "settings/CPanTiltStepper.h"
#include "tests/settings/SettingsFixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <chrono>
#include <climits>
#include <memory>
#include <optional>
#include <tuple>

namespace {

using P = PanTiltPart;

TEST(PanTiltStepperArithmetic, StepsATenthOfTheRangeStopAtTheEndsAndNeverStick) {
    struct Case {
        int32_t min, max, value;
        int direction;
        std::optional<int32_t> next;
        const char* what;
    };
    const Case cases[] = {
        {0, 100, 95, +1, 100, "a step that would pass the end stops at it"},
        {0, 100, 100, +1, std::nullopt, "at the end a further step does nothing"},
        {-2, 2, 0, +1, 1, "a tenth of a tiny range is less than one: one unit"},
        {5, 5, 5, +1, std::nullopt, "an empty range"},
        {10, 0, 5, +1, std::nullopt, "ends swapped"},
        {0, 100, 150, -1, 100, "a value beyond the range comes back inside"},
        {INT32_MIN, INT32_MAX, INT32_MAX - 5, +1, INT32_MAX, "the widest range does not overflow"},
        {INT32_MIN, INT32_MAX, 0, -1, -429496729, "a tenth of the widest range"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CPanTiltStepper::NextAxisValue(c.min, c.max, c.value, c.direction), c.next) << c.what;
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
void ClickAt(QWidget* pad, QPoint pos) {
    Press(pad, pos);
    Release(pad, pos);
}
void Key(QWidget* pad, QEvent::Type type, Qt::Key key) {
    QKeyEvent e(type, key, Qt::NoModifier, key == Qt::Key_Space ? QStringLiteral(" ") : QString());
    QApplication::sendEvent(pad, &e);
}
void KeyClick(QWidget* pad, Qt::Key key) {
    Key(pad, QEvent::KeyPress, key);
    Key(pad, QEvent::KeyRelease, key);
}
QPoint Middle(PanTiltPart part) {
    return CPanTiltRegions::Rect(part).center();
}

class PanTiltTest : public SettingsTest {
protected:
    enum Camera { kFull = 0, kPtz = 1 };

    void SetUp() override {
        SettingsTest::SetUp();
        PlugDevices({{Granite::DeviceKind::Camera, "full"}, {Granite::DeviceKind::Camera, "ptz"}}, {});
        ASSERT_NE(facade, nullptr);
        hardware->SetMotorPeriod(std::chrono::milliseconds(1));
        window->resize(200, 120);
    }
    void TearDown() override {
        window.reset(); // the pads go while the clock and the device service still stand
        SettingsTest::TearDown();
    }

    // Makes a camera the current one; the full camera zoomed to its closest, where the digital window
    // reaches -10 .. 10 on both axes.
    void Use(Camera camera) {
        ASSERT_EQ(facade->SelectVideoDevice(camera), S_OK);
        if (camera == kFull) {
            ASSERT_EQ(facade->SetZoom(400), S_OK);
        }
    }
    int32_t Pan(Camera camera = kFull) const { return CameraValue(Granite::CamProp::Pan, cameras[camera]); }
    int32_t Tilt(Camera camera = kFull) const { return CameraValue(Granite::CamProp::Tilt, cameras[camera]); }
    // The motors run on the hardware's own thread: waits until they have brought the camera to pan, tilt.
    bool MotorsReach(int32_t pan, int32_t tilt) const {
        return PumpUntil([&] { return Pan(kPtz) == pan && Tilt(kPtz) == tilt; });
    }
    // A pad on the current camera, shown.
    CPanTiltCtrl* Make(IGraniteDeviceManager* with) {
        auto* pad = new CPanTiltCtrl(with, window.get());
        pad->move(10, 10);
        window->show();
        return pad;
    }

    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
};

TEST_F(PanTiltTest, KeysRunTheMotorsOfAMotorisedCameraAndTheCentreSendsThemHome) {
    Use(kPtz);
    auto* pad = new CPanTiltCtrl(window.get()); // the process's facade
    for (auto [key, part, pan, tilt] :
         {std::tuple{Qt::Key_Right, P::Right, 2, 0}, std::tuple{Qt::Key_Up, P::Up, 2, -2},
          std::tuple{Qt::Key_Left, P::Left, 0, -2}, std::tuple{Qt::Key_Left, P::Left, -2, -2},
          std::tuple{Qt::Key_Down, P::Down, -2, 0}, std::tuple{Qt::Key_Space, P::Centre, 0, 0}}) {
        Key(pad, QEvent::KeyPress, key);
        EXPECT_EQ(pad->KeyPart(), part) << "drawn pressed while the key is down";
        Key(pad, QEvent::KeyRelease, key);
        EXPECT_TRUE(MotorsReach(pan, tilt)) << pan << "," << tilt;
    }
    KeyClick(pad, Qt::Key_A);
    EXPECT_EQ(timers.ActiveCount(), 0u) << "the keys need no timers";
    // Whether the camera has motors is read when the pad is made, and again when asked.
    Use(kFull);
    EXPECT_TRUE(pad->IsMechanical());
    pad->RefreshMechanical();
    EXPECT_FALSE(pad->IsMechanical());
}

TEST_F(PanTiltTest, HoldingTheButtonOnAnArrowRepeatsEvery200MsOnceHalfASecondHasPassed) {
    Use(kFull);
    CPanTiltCtrl* pad = Make(facade);
    clock.SetTickCount(0xFFFFFF00u); // the tick count wraps while the button is held
    const QPoint left = Middle(P::Left);
    Move(pad, left);
    Press(pad, left);
    EXPECT_EQ(Pan(), -2) << "the press itself steps";
    timers.Advance(400);
    EXPECT_EQ(Pan(), -2) << "no repeat in the first half second";
    timers.Advance(200);
    EXPECT_EQ(Pan(), -4);
    timers.Advance(199);
    EXPECT_EQ(Pan(), -4) << "every 200 ms";
    timers.Advance(1);
    EXPECT_EQ(Pan(), -6);
    // Dragged off the arrow (between the parts) the repeats stop; released, no more come.
    Move(pad, QPoint(22, 40), Qt::LeftButton);
    timers.Advance(400);
    EXPECT_EQ(Pan(), -6);
    Release(pad, left);
    timers.Advance(1000);
    EXPECT_EQ(Pan(), -6);
    ClickAt(pad, Middle(P::Centre));
    EXPECT_EQ(Pan(), 0) << "the centre brings the window back";
    // A release that went elsewhere ends the hold too.
    const QPoint up = Middle(P::Up);
    Move(pad, up);
    Press(pad, up);
    EXPECT_EQ(Tilt(), -2);
    Move(pad, up, Qt::NoButton);
    EXPECT_FALSE(pad->IsButtonHeld());
    timers.Advance(1000);
    EXPECT_EQ(Tilt(), -2);
}

TEST_F(PanTiltTest, HidingDisablingOrDestroyingThePadStopsItsTimersAndAPadWithoutAFacadeMovesNothing) {
    Use(kFull);
    CPanTiltCtrl* pad = Make(facade);
    Move(pad, Middle(P::Left));
    Press(pad, Middle(P::Left));
    pad->setEnabled(false);
    EXPECT_EQ(timers.ActiveCount(), 0u);
    EXPECT_FALSE(pad->IsButtonHeld());
    pad->setEnabled(true);
    Move(pad, Middle(P::Down));
    pad->hide();
    EXPECT_EQ(timers.ActiveCount(), 0u);
    pad->show();
    Move(pad, Middle(P::Right));
    ASSERT_EQ(timers.ActiveCount(), 1u);
    delete pad;
    EXPECT_EQ(timers.ActiveCount(), 0u);
    timers.Advance(1000); // nothing left to call into the destroyed pad
    // Without a device service a pad takes input and moves nothing.
    const int32_t pan = Pan();
    CPanTiltCtrl* orphan = Make(nullptr);
    ClickAt(orphan, Middle(P::Right));
    KeyClick(orphan, Qt::Key_Left);
    EXPECT_EQ(Pan(), pan);
}

} // namespace
