// The options pop-ups (values saved, ways out, motion availability, placement, unrolling) on the fake clock,
// and motion detection: clip rules, arming the detector through the real device manager, the live level.
#include "CMessageLog.h"
#include "RecordingFixture.h"
#include "app/CVidoraSettings.h"
#include "capture/CMotionClipPolicy.h"
#include "capture/CMotionPreview.h"
#include "capture/CMotionSliderCtrl.h"
#include "capture/CMotionWatch.h"
#include "capture/CMovieOptionsDlg.h"
#include "capture/COptionsPlacement.h"
#include "capture/CPhotoOptionsDlg.h"
#include "capture/CUnrollSequence.h"
#include "capture/CaptureControlsRegistration.h"
#include "platform/CObjectFactory.h"
#include "platform/IClock.h"
#include "support/CFakeClock.h"
#include "support/CVirtualTimerService.h"
#include "ui/CTransparentSliderCtrl.h"
#include "ui/CTransparentSpinCtrl.h"
#include "ui/CVidoraSkin.h"
#include "ui/ControlsRegistration.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>

#include <algorithm>
#include <atomic>

namespace {

class OptionsPopupTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterToolkitControls();
        RegisterCaptureControls();
        clock.SetTickCount(50000);
        SetClock(&clock);
        SetTimerService(&timers);
        CVidoraSkin::SetAnimationsEnabled(false);
        elsewhere.setGeometry(600, 400, 100, 100);
    }
    void TearDown() override {
        elsewhere.hide();
        Pump();
        SetTimerService(nullptr);
        SetClock(nullptr);
        CVidoraSkin::SetAnimationsEnabled(true);
    }
    template <class Popup> Popup* Opened(Popup* popup, bool unroll = true) {
        EXPECT_NE(popup, nullptr);
        if (unroll)
            timers.Advance(2000);
        return popup;
    }
    COptionsPopup::ClosedCallback Closed() {
        return [this](uint32_t tick) { closedTicks.push_back(tick); };
    }
    CPhotoOptionsDlg* OpenPhoto(QPoint at = QPoint(100, 100), bool unroll = true) {
        return Opened(CPhotoOptionsDlg::Show(at, nullptr, Closed()), unroll);
    }
    CMovieOptionsDlg* OpenMovie(int mode) {
        return Opened(CMovieOptionsDlg::Show(QPoint(100, 80), nullptr, mode, captureWindow.GetSafeHwnd(),
                                             nullptr, Closed()));
    }
    void ClickElsewhere(QWidget* popup) {
        QApplication::setActiveWindow(popup);
        elsewhere.show();
        QApplication::setActiveWindow(&elsewhere);
        Pump();
    }
    static void Click(COptionsPopup* popup, int id) {
        auto* button = popup->GetDlgItemAs<QAbstractButton>(id);
        ASSERT_NE(button, nullptr) << "control " << id;
        button->click();
    }
    static bool AllEnabled(COptionsPopup* popup, const std::vector<int>& ids, bool on) {
        return std::all_of(ids.begin(), ids.end(),
                           [&](int id) { return popup->GetDlgItem(id)->isEnabled() == on; });
    }

    CTempEnvironment env;
    CFakeClock clock;
    CVirtualTimerService timers{clock};
    QWidget elsewhere;
    CMessageLog captureWindow{CMovieOptionsDlg::kOptionsSavedMessage}; // the window the movie options tell
    std::vector<uint32_t> closedTicks;
};

TEST_F(OptionsPopupTest, PhotoOptionsShowStoredValuesBroughtIntoRangeAndOkWritesWhatIsShown) {
    // Stored quality and countdown, then as shown; a stored -1 is a huge number, not a small one.
    const std::tuple<uint32_t, uint32_t, uint32_t, uint32_t> cases[] = {
        {10, 0, 20, 1}, {73, 42, 73, 42}, {101, 100, 100, 99}, {0xFFFFFFFFu, 0xFFFFFFFFu, 100, 99}};
    for (const auto& [quality, countdown, shownQuality, shownCountdown] : cases) {
        SCOPED_TRACE(quality);
        CVidoraSettings::SetJPEGQuality(quality);
        CVidoraSettings::SetPhotoCountdown(countdown);
        QPointer<CPhotoOptionsDlg> popup = OpenPhoto();
        ASSERT_TRUE(popup);
        Click(popup, IDOK);
        Pump();
        EXPECT_EQ(CVidoraSettings::GetJPEGQuality(), shownQuality);
        EXPECT_EQ(CVidoraSettings::GetPhotoCountdown(), shownCountdown);
    }
}

TEST_F(OptionsPopupTest, OnlyOkAndReturnSaveThePhotoOptionsEveryOtherWayOutJustCloses) {
    enum class Way { Ok, Return, ClickElsewhere, Escape, SkinClose };
    for (Way way : {Way::Ok, Way::Return, Way::ClickElsewhere, Way::Escape, Way::SkinClose}) {
        SCOPED_TRACE(static_cast<int>(way));
        CVidoraSettings::SetJPEGQuality(10);
        CVidoraSettings::SetUsePhotoCountdown(0);
        CVidoraSettings::SetPhotoCountdown(3);
        CVidoraSettings::SetUsePhotoTimpstamp(0);
        closedTicks.clear();
        QPointer<CPhotoOptionsDlg> popup = OpenPhoto();
        ASSERT_TRUE(popup);
        Click(popup, CPhotoOptionsDlg::kUseCountdownId);
        Click(popup, CPhotoOptionsDlg::kUseTimestampId);
        // Typed into the field and not yet taken by the spin box: OK still counts it.
        popup->GetDlgItemAs<QLineEdit>(CPhotoOptionsDlg::kCountdownEditId)->setText("12");
        if (way != Way::Return)
            popup->GetDlgItemAs<CTransparentSliderCtrl>(CPhotoOptionsDlg::kQualitySliderId)->SetPos(55);
        clock.Advance(300);
        if (way == Way::Ok) {
            Click(popup, IDOK);
        } else if (way == Way::ClickElsewhere) {
            ClickElsewhere(popup);
        } else if (way == Way::SkinClose) {
            popup->PostMessage(WM_CLOSE);
        } else {
            QKeyEvent press(QEvent::KeyPress, way == Way::Escape ? Qt::Key_Escape : Qt::Key_Return,
                            Qt::NoModifier);
            QApplication::sendEvent(popup, &press);
        }
        Pump();
        EXPECT_FALSE(popup);
        EXPECT_EQ(closedTicks, std::vector<uint32_t>{clock.GetTickCount()});
        // Even the out-of-range quality stays as it was unless the values are saved.
        const bool saved = way == Way::Ok || way == Way::Return;
        EXPECT_EQ(CVidoraSettings::GetJPEGQuality(), way == Way::Ok ? 55u : saved ? 20u : 10u);
        EXPECT_EQ(CVidoraSettings::GetUsePhotoCountdown(), saved ? 1u : 0u);
        EXPECT_EQ(CVidoraSettings::GetPhotoCountdown(), saved ? 12u : 3u);
        EXPECT_EQ(CVidoraSettings::GetUsePhotoTimpstamp(), saved ? 1u : 0u);
    }
}

TEST_F(OptionsPopupTest, AnUnreadableOrIncompleteTemplateLosesNoSetting) {
    CVidoraSettings::SetJPEGQuality(77);
    CVidoraSettings::SetUsePhotoTimpstamp(1);
    {
        CPhotoOptionsDlg broken;
        broken.SetTemplateData("<dialog width='200'");
        EXPECT_FALSE(broken.Open(QPoint(10, 10)));
        EXPECT_FALSE(broken.IsWindow());
    }
    // A template without the quality slider and the stamp box: OK writes what it shows.
    QPointer<CPhotoOptionsDlg> partial = new CPhotoOptionsDlg();
    partial->SetDeleteOnDestroy(true);
    partial->SetTemplateData(R"(<dialog width="200" height="80" style="popup">
        <control id="1046" class="CheckBox" x="10" y="10" width="150" height="22" checked="1"/>
        <control id="1" class="Button" x="10" y="40" width="80" height="26" text="OK"/></dialog>)");
    ASSERT_TRUE(partial->Open(QPoint(10, 10)));
    timers.Advance(2000);
    Click(partial, IDOK);
    Pump();
    EXPECT_FALSE(partial);
    EXPECT_EQ(CVidoraSettings::GetUsePhotoCountdown(), 0u) << "the stored value is shown and saved";
    EXPECT_EQ(CVidoraSettings::GetJPEGQuality(), 77u);
    EXPECT_EQ(CVidoraSettings::GetUsePhotoTimpstamp(), 1u);
}

TEST_F(OptionsPopupTest, MovieOptionsOkWritesAllNineValuesBroughtIntoRangeAndTellsTheCaptureWindow) {
    CVidoraSettings::SetUseMovieCountdown(1);
    CVidoraSettings::SetMovieCountdown(0); // out of range: shown and saved as 1
    CVidoraSettings::SetUseMovieTimpstamp(1);
    CVidoraSettings::SetMovieIncludeAudio(0);
    CVidoraSettings::SetUseMovieDuration(1);
    CVidoraSettings::SetMovieDuration(250);
    CVidoraSettings::SetMotionDuration(17);
    CVidoraSettings::SetMotionSensitivity(0);
    QPointer<CMovieOptionsDlg> popup = OpenMovie(CMovieOptionsDlg::MotionAvailable);
    ASSERT_TRUE(popup);
    auto* motionDuration = popup->GetDlgItemAs<CTransparentSpinCtrl>(CMovieOptionsDlg::kMotionDurationSpinId);
    EXPECT_EQ(motionDuration->GetPos(), 17);
    EXPECT_EQ(popup->MotionSlider()->GetPos(), 1);
    Click(popup, CMovieOptionsDlg::kUseTimestampId);
    Click(popup, CMovieOptionsDlg::kIncludeAudioId);
    Click(popup, CMovieOptionsDlg::kUseMotionId);
    motionDuration->SetPos(30);
    popup->MotionSlider()->SetPos(65);
    Click(popup, IDOK);
    Pump();
    EXPECT_FALSE(popup);
    const std::pair<uint32_t, uint32_t> saved[] = {
        {CVidoraSettings::GetUseMovieCountdown(), 1},  {CVidoraSettings::GetMovieCountdown(), 1},
        {CVidoraSettings::GetUseMovieTimpstamp(), 0},  {CVidoraSettings::GetMovieIncludeAudio(), 1},
        {CVidoraSettings::GetUseMovieDuration(), 1},   {CVidoraSettings::GetMovieDuration(), 99},
        {CVidoraSettings::GetUseMotionDetection(), 1}, {CVidoraSettings::GetMotionDuration(), 30},
        {CVidoraSettings::GetMotionSensitivity(), 65}};
    for (size_t i = 0; i < std::size(saved); ++i)
        EXPECT_EQ(saved[i].first, saved[i].second) << "value " << i;
    EXPECT_EQ(captureWindow.heard.size(), 1u);
    EXPECT_EQ(closedTicks.size(), 1u);
}

TEST_F(OptionsPopupTest, TheMotionAvailabilityDecidesWhichMovieOptionsAreShownAndOn) {
    const auto& timed = CMovieOptionsDlg::TimedRecordingIds();
    // Mode, motion group shown, enabled, countdown and length enabled, the stored choice once open.
    const std::tuple<int, bool, bool, bool, uint32_t> cases[] = {
        {CMovieOptionsDlg::MotionAvailable, true, true, false, 1},    // motion on: countdown and length off
        {CMovieOptionsDlg::MotionDisabled, true, false, true, 1},     // the stored choice is shown and kept
        {CMovieOptionsDlg::MotionUnavailable, false, false, true, 0}, // cleared as it opens, before any OK
    };
    for (const auto& [mode, groupShown, groupEnabled, timedEnabled, stored] : cases) {
        SCOPED_TRACE(mode);
        CVidoraSettings::SetUseMotionDetection(1);
        QPointer<CMovieOptionsDlg> popup = OpenMovie(mode);
        ASSERT_TRUE(popup);
        for (int id : CMovieOptionsDlg::MotionGroupIds())
            EXPECT_EQ(popup->GetDlgItem(id)->isVisible(), groupShown) << id;
        EXPECT_TRUE(AllEnabled(popup, CMovieOptionsDlg::MotionGroupIds(), groupEnabled));
        EXPECT_TRUE(AllEnabled(popup, timed, timedEnabled));
        EXPECT_EQ(CVidoraSettings::GetUseMotionDetection(), stored);
        EXPECT_EQ(popup->GetDlgItemAs<QAbstractButton>(CMovieOptionsDlg::kUseMotionId)->isChecked(),
                  stored == 1);
        if (mode == CMovieOptionsDlg::MotionAvailable) {
            Click(popup, CMovieOptionsDlg::kUseMotionId);
            EXPECT_TRUE(AllEnabled(popup, timed, true));
            Click(popup, CMovieOptionsDlg::kUseMotionId);
            EXPECT_TRUE(AllEnabled(popup, timed, false));
            EXPECT_TRUE(AllEnabled(popup, {CMovieOptionsDlg::kUseTimestampId, IDOK}, true))
                << "never follow it";
        }
        if (mode == CMovieOptionsDlg::MotionUnavailable) {
            // Shorter: it ends 20 pixels (and the skin's border) below OK, now its lowest control shown.
            EXPECT_EQ(popup->height() - popup->GetDlgItem(IDOK)->geometry().bottom(), 20 + 1 + 1);
        }
        Click(popup, IDOK);
        Pump();
        EXPECT_EQ(CVidoraSettings::GetUseMotionDetection(), stored) << "OK keeps what the pop-up showed";
    }
}

TEST_F(OptionsPopupTest, UnrollsOnTheClockInsideTheWorkAreaAndNeverShowsAStepBeforeItsTime) {
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint wanted = work.bottomRight() - QPoint(10, 10);
    QPointer<CPhotoOptionsDlg> popup = OpenPhoto(wanted, false);
    ASSERT_TRUE(popup);
    const std::vector<CUnrollSequence::Step> steps = CUnrollSequence::All(popup->FullHeight());
    EXPECT_EQ(popup->VisibleHeight(), steps[0].visibleHeight);
    uint32_t total = 0;
    for (size_t i = 0; i + 1 < steps.size(); ++i) {
        EXPECT_LT(steps[i].visibleHeight, steps[i + 1].visibleHeight);
        total += steps[i].waitMs;
        timers.Advance(std::max<uint32_t>(steps[i].waitMs, CDialogBase::kMinimumTimerInterval) - 1);
        EXPECT_EQ(popup->VisibleHeight(), steps[i].visibleHeight) << "step " << i << " ended early";
        timers.Advance(1);
        EXPECT_EQ(popup->VisibleHeight(), steps[i + 1].visibleHeight) << "step " << i + 1;
    }
    EXPECT_FALSE(popup->IsUnrolling());
    EXPECT_EQ(popup->height(), popup->FullHeight()) << "nothing is cut off once unrolled";
    EXPECT_NEAR(total, 640, 20) << "about two thirds of a second";
    EXPECT_TRUE(work.contains(popup->frameGeometry()));
    EXPECT_EQ(popup->pos(), COptionsPlacement::Place(wanted, popup->size(), work));
    const QRect panelBelowTheTop(0, 30, 1280, 994);
    EXPECT_EQ(COptionsPlacement::Place(QPoint(-50, 10), QSize(272, 226), panelBelowTheTop), QPoint(0, 30));
    EXPECT_EQ(COptionsPlacement::Place(QPoint(10, 500), QSize(200, 2000), panelBelowTheTop), QPoint(10, 30))
        << "taller than the work area: the top edge stays on screen";
    popup->DestroyWindow();
}

TEST_F(OptionsPopupTest, ALateTimerDoesNotStretchTheUnrollingAndClosingStopsIt) {
    // Each late firing finds every step over yet moves on by one, so it takes as many firings as steps.
    QPointer<CPhotoOptionsDlg> popup = OpenPhoto(QPoint(40, 60), false);
    ASSERT_TRUE(popup);
    size_t firings = 0;
    for (; popup->IsUnrolling() && firings < 100; ++firings) {
        clock.Advance(60);
        timers.RunDue();
    }
    EXPECT_EQ(firings, CUnrollSequence::All(popup->FullHeight()).size() - 1);
    popup->DestroyWindow();
    Pump();

    popup = OpenPhoto(QPoint(40, 60), false);
    timers.Advance(30);
    ASSERT_TRUE(popup->IsUnrolling());
    popup->PostMessage(WM_CLOSE);
    Pump();
    EXPECT_FALSE(popup);
    EXPECT_EQ(timers.ActiveCount(), 0u) << "no timer left behind";
}

using A = MotionAction;

struct Step {
    enum Kind { Reading, Tick, Started, Finished, Consumed, Disarm, Arm } kind;
    uint64_t at = 0;    // ms on the made-up clock
    int32_t level = 0;  // readings; the sensitivity when arming
    bool clip = false;  // whether a clip runs (readings and ticks)
    A expect = A::None; // readings and ticks
    int repeat = 1;     // the same reading this many times, 100 ms apart; the clip length (s) when arming
};
Step Read(uint64_t at, int32_t level, bool clip, A expect, int repeat = 1) {
    return {Step::Reading, at, level, clip, expect, repeat};
}
Step TickAt(uint64_t at, bool clip, A expect) {
    return {Step::Tick, at, 0, clip, expect};
}
Step Do(Step::Kind kind, uint64_t at = 0) {
    return {kind, at};
}
Step ArmAt(uint64_t at, int32_t sensitivity, int durationSec) {
    return {Step::Arm, at, sensitivity, false, A::None, durationSec};
}

const std::pair<const char*, std::vector<Step>> kScenarios[] = {
    {"readings in the settle time are ignored, then motion asks for a clip",
     {ArmAt(1000, 40, 60), Read(1000, 900, false, A::None), Read(5999, 900, false, A::None),
      Read(6000, 900, false, A::StartClip)}},
    {"a level equal to the sensitivity is motion; one below is quiet",
     {ArmAt(1000, 40, 60), Read(6000, 39, false, A::None), Read(6100, 40, false, A::StartClip)}},
    {"a clip is asked for once until the request is taken up",
     {ArmAt(1000, 40, 60), Read(6000, 90, false, A::StartClip), Read(6100, 90, false, A::None, 5),
      Do(Step::Consumed), Read(7000, 90, false, A::StartClip)}},
    {"the 61st quiet reading in a row finishes a running clip; motion in between starts the count again",
     {ArmAt(1000, 40, 60), Do(Step::Started, 6000), Read(6100, 10, true, A::None, 60),
      Read(13000, 40, true, A::None), Read(13100, 10, true, A::None, 60),
      Read(20000, 10, true, A::FinishClip)}},
    {"quiet readings never finish a clip that is not running",
     {ArmAt(1000, 40, 60), Read(6000, 0, false, A::None, 200)}},
    {"the length is measured from the clip's start, not from arming, and finishes once exceeded",
     {ArmAt(1000, 40, 2), Read(6000, 90, false, A::StartClip), Do(Step::Consumed), Do(Step::Started, 30000),
      Read(32000, 90, true, A::None), Read(32001, 10, true, A::FinishClip)}},
    {"the quiet count restarts with each clip",
     {ArmAt(1000, 40, 60), Read(6000, 10, false, A::None, 50), Do(Step::Started, 12000),
      Read(12100, 10, true, A::None, 60), Read(20000, 10, true, A::FinishClip), Do(Step::Finished),
      Read(21000, 10, false, A::None, 3), Read(22000, 50, false, A::StartClip)}},
    {"after disarming every reading is ignored",
     {ArmAt(1000, 40, 60), Do(Step::Disarm), Read(9000, 900, false, A::None),
      Read(9100, 0, true, A::None, 70), TickAt(99000, true, A::None)}},
    {"a clip length below one second counts as one second",
     {ArmAt(1000, 40, 0), Do(Step::Started, 6000), Read(6500, 90, true, A::None),
      Read(7001, 90, true, A::FinishClip)}},
    {"the timer finishes a long clip without any reading",
     {ArmAt(1000, 40, 10), TickAt(60000, false, A::None), Do(Step::Started, 60000),
      TickAt(70000, true, A::None), TickAt(70001, true, A::FinishClip), TickAt(70001, false, A::None),
      Do(Step::Finished), TickAt(99000, true, A::None)}},
    {"arming again forgets the request, the settle time and the sensitivity",
     {ArmAt(1000, 40, 60), Read(6000, 90, false, A::StartClip), Read(6100, 1, false, A::None, 7),
      ArmAt(50000, 200, 60), Read(54999, 900, false, A::None), Read(55000, 199, false, A::None),
      Read(55100, 200, false, A::StartClip)}},
};

TEST(MotionClipPolicy, ReadingsAndTicksStartAndFinishClipsByTheRules) {
    for (const auto& [name, steps] : kScenarios) {
        SCOPED_TRACE(name);
        CMotionClipPolicy policy;
        for (size_t n = 0; n < steps.size(); ++n) {
            const Step& step = steps[n];
            switch (step.kind) {
            case Step::Reading:
                for (int i = 0; i < step.repeat; ++i) {
                    const A got =
                        policy.OnReading(step.level, step.at + 100u * static_cast<uint64_t>(i), step.clip);
                    ASSERT_EQ(static_cast<int>(got), static_cast<int>(step.expect))
                        << "step " << n << " reading " << i;
                }
                break;
            case Step::Tick:
                ASSERT_EQ(static_cast<int>(policy.OnTick(step.at, step.clip)), static_cast<int>(step.expect))
                    << "step " << n;
                break;
            case Step::Started:
                policy.ClipStarted(step.at);
                break;
            case Step::Finished:
                policy.ClipFinished();
                break;
            case Step::Consumed:
                policy.StartRequestConsumed();
                break;
            case Step::Disarm:
                policy.Disarm();
                break;
            case Step::Arm:
                policy.Arm(step.at, step.repeat, step.level);
                break;
            }
        }
    }
    EXPECT_EQ(CMotionClipPolicy().OnReading(900, 100000, false), A::None) << "never armed";
}

class MotionWatchTest : public RecordingFixture {
protected:
    void SetUp() override {
        SetClock(&clock);
        SetTimerService(&timers); // for the movie options pop-up
        RegisterToolkitControls();
        RegisterCaptureControls();
        RecordingFixture::SetUp();
        dm = devices.ConnectDeviceManager();
        ASSERT_NE(dm, nullptr);
    }
    void TearDown() override {
        watch.Disarm(dm, false);
        devices.hardware->SetSceneMotion(false);
        devices.DisconnectDeviceManager();
        RecordingFixture::TearDown();
        SetTimerService(nullptr);
        SetClock(nullptr);
    }
    int32_t FaceTracking() {
        int32_t mode = -1;
        EXPECT_EQ(dm->GetTriStateMode(&mode), S_OK);
        return mode;
    }
    int32_t Shared() {
        int32_t state = -1;
        EXPECT_EQ(dm->GetSharedState(&state), S_OK);
        return state;
    }

    CFakeClock clock;
    CVirtualTimerService timers{clock};
    IGraniteDeviceManager* dm = nullptr;
    CMotionWatch watch;
    CEventLog levels;
};

TEST_F(MotionWatchTest, LevelsArriveWhileArmedEvenWithoutADeviceManagerAndNotAfterwards) {
    ASSERT_EQ(dm->SetTriStateMode(1), S_OK);
    devices.hardware->SetSceneMotion(true);
    ASSERT_EQ(watch.Arm(capture, &levels, nullptr, false), S_OK);
    ASSERT_TRUE(levels.WaitFor(3)) << "the detector reports about ten levels a second";
    watch.Disarm(nullptr, false);
    EXPECT_FALSE(levels.WaitFor(levels.Count() + 1, 400)) << "no level after disarming";
    EXPECT_EQ(FaceTracking(), 1) << "no device manager, nothing touched";
    EXPECT_EQ(Shared(), 0);
}

TEST_F(MotionWatchTest, FaceTrackingIsRestoredOnlyWhenArmingChangedIt) {
    // Face tracking before, effects engine at arming and disarming, the mode while armed and after.
    const std::tuple<int32_t, bool, bool, int32_t, int32_t> rows[] = {
        {0, false, false, 0, 0}, {1, false, false, 0, 1},
        {2, false, false, 0, 2}, {1, true, true, 1, 1}, // the effects engine runs it: left alone
        {2, false, true, 0, 0}, // the effects engine took over meanwhile: not written back
        {1, true, false, 1, 1}, // the effects engine stopped meanwhile: nothing to restore
    };
    for (const auto& [before, effectsAtArm, effectsAtDisarm, whileArmed, after] : rows) {
        SCOPED_TRACE(testing::Message() << before << effectsAtArm << effectsAtDisarm);
        ASSERT_EQ(dm->SetTriStateMode(before), S_OK);
        ASSERT_EQ(watch.Arm(capture, &levels, dm, effectsAtArm), S_OK);
        EXPECT_EQ(FaceTracking(), whileArmed);
        EXPECT_EQ(Shared(), 1);
        watch.Disarm(dm, effectsAtDisarm);
        EXPECT_EQ(FaceTracking(), after);
        EXPECT_EQ(Shared(), 0);
    }
    // Arming twice keeps the mode from before the first arming; disarming twice changes nothing.
    ASSERT_EQ(dm->SetTriStateMode(2), S_OK);
    ASSERT_EQ(watch.Arm(capture, &levels, dm, false), S_OK);
    ASSERT_EQ(watch.Arm(capture, &levels, dm, false), S_OK);
    watch.Disarm(dm, false);
    watch.Disarm(dm, false);
    EXPECT_EQ(FaceTracking(), 2);
}

// Holds the first level it gets on the capture's thread for a while, as a slow window would.
class CSlowCallback : public IMotionEventCallback {
public:
    void OnMotionEvent(uint32_t) override {
        if (entered.exchange(true))
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        returned = true;
    }
    std::atomic<bool> entered{false}, returned{false};
};

TEST_F(MotionWatchTest, DisarmingWaitsForALevelBeingDelivered) {
    CSlowCallback slow;
    devices.hardware->SetSceneMotion(true);
    ASSERT_EQ(watch.Arm(capture, &slow, dm, false), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return slow.entered.load(); }, 15000));
    watch.Disarm(dm, false);
    EXPECT_TRUE(slow.returned) << "the callback was still running when Disarm returned";
}

TEST_F(MotionWatchTest, TheMovieOptionsMotionBoxRunsALivePreviewIntoTheSliderUntilItOrThePopupGoes) {
    devices.hardware->SetSceneMotion(true);
    QPointer<CMovieOptionsDlg> popup =
        CMovieOptionsDlg::Show(QPoint(50, 50), capture, CMovieOptionsDlg::MotionAvailable, {});
    ASSERT_TRUE(popup);
    timers.Advance(2000);
    CMotionSliderCtrl* slider = popup->MotionSlider();
    auto motionBox = [&] { popup->GetDlgItemAs<QAbstractButton>(CMovieOptionsDlg::kUseMotionId)->click(); };
    EXPECT_FALSE(popup->IsMotionPreviewRunning()) << "the box is off as the pop-up opens";
    motionBox();
    ASSERT_TRUE(PumpUntil([&] { return slider->Level() > 1; }, 15000))
        << "the simulated passer-by moves the bar";
    const int level = static_cast<int>(std::min<uint32_t>(slider->Level(), 100));
    slider->SetPos(level - 1);
    EXPECT_TRUE(slider->IsLevelOverThreshold()) << "the bar turns red above the threshold";
    slider->SetPos(level);
    EXPECT_EQ(slider->IsLevelOverThreshold(), slider->Level() > 100);
    motionBox();
    EXPECT_FALSE(popup->IsMotionPreviewRunning());
    EXPECT_EQ(slider->Level(), 0u);
    EXPECT_FALSE(PumpUntil([&] { return slider->Level() != 0; }, 400))
        << "empty although the scene still moves";
    // Closed while levels come in: levels still on their way find no window, and the capture keeps running.
    motionBox();
    ASSERT_TRUE(PumpUntil([&] { return slider->Level() > 0; }, 15000));
    popup->PostMessage(WM_CLOSE);
    DrainEvents();
    EXPECT_FALSE(popup);
    int32_t width = 0, height = 0;
    EXPECT_EQ(capture->outputFormat(&width, &height), S_OK);
}

TEST_F(MotionWatchTest, ArmingOrAPreviewThatCannotStartLeavesTheCameraAloneAndStopEndsTheLevels) {
    ASSERT_EQ(dm->SetTriStateMode(1), S_OK);
    CMotionPreview preview;
    EXPECT_EQ(watch.Arm(nullptr, &levels, dm, false), E_POINTER);
    EXPECT_EQ(watch.Arm(capture, nullptr, dm, false), E_POINTER);
    EXPECT_EQ(preview.Start(nullptr, &levels), E_POINTER);
    CObjectFactory::Instance().Unregister(CLSID_MotionDetector); // no motion detector installed
    EXPECT_EQ(watch.Arm(capture, &levels, dm, false), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(preview.Start(capture, &levels), REGDB_E_CLASSNOTREG);
    EXPECT_FALSE(watch.IsArmed());
    EXPECT_FALSE(preview.IsRunning());
    EXPECT_EQ(FaceTracking(), 1);
    EXPECT_EQ(Shared(), 0);
    RegisterGraniteCaptureObjects();
    devices.hardware->SetSceneMotion(true);
    EXPECT_EQ(preview.Start(capture, &levels), S_OK);
    ASSERT_TRUE(levels.WaitFor(1));
    preview.Stop();
    EXPECT_FALSE(levels.WaitFor(levels.Count() + 1, 400)) << "no level after Stop";
}

} // namespace
