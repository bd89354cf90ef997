// The movie options pop-up: the nine values, the three kinds of motion availability, the countdown and
// length controls against the motion box, and what the capture window is told.
#include "CMessageLog.h"
#include "OptionsFixture.h"
#include "capture/CMotionSliderCtrl.h"
#include "capture/CMovieOptionsDlg.h"
#include "ui/CTransparentSliderCtrl.h"
#include "ui/CTransparentSpinCtrl.h"

#include <QPointer>
#include <algorithm>

namespace {

class MovieOptionsTest : public OptionsFixture {
protected:
    CMovieOptionsDlg* Open(int mode) {
        QPointer<CMovieOptionsDlg> popup =
            CMovieOptionsDlg::Show(QPoint(100, 80), nullptr, mode, captureWindow.GetSafeHwnd(), nullptr,
                                   [this](uint32_t tick) { closedTicks.push_back(tick); });
        EXPECT_NE(popup, nullptr);
        Unroll();
        return popup;
    }
    static bool Enabled(CMovieOptionsDlg* popup, int id) { return popup->GetDlgItem(id)->isEnabled(); }
    static bool AllEnabled(CMovieOptionsDlg* popup, const std::vector<int>& ids, bool on) {
        return std::all_of(ids.begin(), ids.end(), [&](int id) { return Enabled(popup, id) == on; });
    }
    static void SetSpin(CMovieOptionsDlg* popup, int id, int value) {
        popup->GetDlgItemAs<CTransparentSpinCtrl>(id)->SetPos(value);
    }
    static int Spin(CMovieOptionsDlg* popup, int id) {
        return popup->GetDlgItemAs<CTransparentSpinCtrl>(id)->GetPos();
    }

    CMessageLog captureWindow{CMovieOptionsDlg::kOptionsSavedMessage}; // the window the pop-up tells
    std::vector<uint32_t> closedTicks;
};

TEST_F(MovieOptionsTest, ShowsTheStoredValuesAndOkWritesAllNineAndTellsTheCaptureWindow) {
    CVidoraSettings::SetUseMovieCountdown(1);
    CVidoraSettings::SetMovieCountdown(0); // out of range: shown and saved as 1
    CVidoraSettings::SetUseMovieTimpstamp(1);
    CVidoraSettings::SetMovieIncludeAudio(0);
    CVidoraSettings::SetUseMovieDuration(1);
    CVidoraSettings::SetMovieDuration(250);
    CVidoraSettings::SetMotionDuration(17);
    CVidoraSettings::SetMotionSensitivity(0);
    // Closed any other way than OK: nothing is saved and the capture window is told nothing.
    QPointer<CMovieOptionsDlg> popup = Open(CMovieOptionsDlg::MotionAvailable);
    ASSERT_TRUE(popup);
    Click(popup, CMovieOptionsDlg::kUseMotionId);
    Click(popup, CMovieOptionsDlg::kIncludeAudioId);
    clock.Advance(1234);
    ClickElsewhere(popup);
    EXPECT_FALSE(popup);
    EXPECT_EQ(CVidoraSettings::GetUseMotionDetection(), 0u);
    EXPECT_EQ(CVidoraSettings::GetMovieIncludeAudio(), 0u);
    EXPECT_EQ(captureWindow.heard.size(), 0u);
    EXPECT_EQ(closedTicks, std::vector<uint32_t>{clock.GetTickCount()});

    popup = Open(CMovieOptionsDlg::MotionAvailable);
    ASSERT_TRUE(popup);
    EXPECT_TRUE(IsChecked(popup, CMovieOptionsDlg::kUseCountdownId));
    EXPECT_EQ(Spin(popup, CMovieOptionsDlg::kCountdownSpinId), 1);
    EXPECT_TRUE(IsChecked(popup, CMovieOptionsDlg::kUseTimestampId));
    EXPECT_FALSE(IsChecked(popup, CMovieOptionsDlg::kIncludeAudioId));
    EXPECT_TRUE(IsChecked(popup, CMovieOptionsDlg::kUseDurationId));
    EXPECT_EQ(Spin(popup, CMovieOptionsDlg::kDurationSpinId), 99);
    EXPECT_FALSE(IsChecked(popup, CMovieOptionsDlg::kUseMotionId));
    EXPECT_EQ(Spin(popup, CMovieOptionsDlg::kMotionDurationSpinId), 17);
    EXPECT_EQ(popup->MotionSlider()->GetPos(), 1);

    Click(popup, CMovieOptionsDlg::kUseTimestampId);
    Click(popup, CMovieOptionsDlg::kIncludeAudioId);
    Click(popup, CMovieOptionsDlg::kUseMotionId);
    SetSpin(popup, CMovieOptionsDlg::kMotionDurationSpinId, 30);
    popup->MotionSlider()->SetPos(65);
    Click(popup, IDOK);
    Pump();
    EXPECT_FALSE(popup);
    EXPECT_EQ(CVidoraSettings::GetUseMovieCountdown(), 1u);
    EXPECT_EQ(CVidoraSettings::GetMovieCountdown(), 1u);
    EXPECT_EQ(CVidoraSettings::GetUseMovieTimpstamp(), 0u);
    EXPECT_EQ(CVidoraSettings::GetMovieIncludeAudio(), 1u);
    EXPECT_EQ(CVidoraSettings::GetUseMovieDuration(), 1u);
    EXPECT_EQ(CVidoraSettings::GetMovieDuration(), 99u);
    EXPECT_EQ(CVidoraSettings::GetUseMotionDetection(), 1u);
    EXPECT_EQ(CVidoraSettings::GetMotionDuration(), 30u);
    EXPECT_EQ(CVidoraSettings::GetMotionSensitivity(), 65u);
    EXPECT_EQ(captureWindow.heard.size(), 1u);
    EXPECT_EQ(closedTicks.size(), 2u);
}

TEST_F(MovieOptionsTest, TheMotionBoxTurnsTheCountdownAndLengthControlsOffAndOn) {
    CVidoraSettings::SetUseMotionDetection(1);
    QPointer<CMovieOptionsDlg> popup = Open(CMovieOptionsDlg::MotionAvailable);
    ASSERT_TRUE(popup);
    const std::vector<int>& timed = CMovieOptionsDlg::TimedRecordingIds();
    EXPECT_TRUE(AllEnabled(popup, timed, false)) << "motion is on as the pop-up opens";
    EXPECT_TRUE(AllEnabled(popup, CMovieOptionsDlg::MotionGroupIds(), true));
    Click(popup, CMovieOptionsDlg::kUseMotionId);
    EXPECT_TRUE(AllEnabled(popup, timed, true));
    Click(popup, CMovieOptionsDlg::kUseMotionId);
    EXPECT_TRUE(AllEnabled(popup, timed, false));
    // The other controls never follow the motion box.
    EXPECT_TRUE(Enabled(popup, CMovieOptionsDlg::kUseTimestampId));
    EXPECT_TRUE(Enabled(popup, CMovieOptionsDlg::kIncludeAudioId));
    EXPECT_TRUE(Enabled(popup, IDOK));
    EXPECT_FALSE(popup->IsMotionPreviewRunning()) << "no video capture, no preview";
    popup->DestroyWindow();
}

TEST_F(MovieOptionsTest, WithMotionShownButDisabledOnlyTheMotionGroupIsOff) {
    CVidoraSettings::SetUseMotionDetection(1);
    QPointer<CMovieOptionsDlg> popup = Open(CMovieOptionsDlg::MotionDisabled);
    ASSERT_TRUE(popup);
    for (int id : CMovieOptionsDlg::MotionGroupIds()) {
        EXPECT_FALSE(Enabled(popup, id)) << id;
        EXPECT_TRUE(popup->GetDlgItem(id)->isVisible()) << id;
    }
    EXPECT_TRUE(IsChecked(popup, CMovieOptionsDlg::kUseMotionId)) << "the stored choice is shown";
    EXPECT_EQ(CVidoraSettings::GetUseMotionDetection(), 1u) << "and kept";
    EXPECT_TRUE(AllEnabled(popup, CMovieOptionsDlg::TimedRecordingIds(), true));
    popup->DestroyWindow();
}

TEST_F(MovieOptionsTest, WithoutMotionDetectionThePopupIsShorterAndMotionIsOffAtOnce) {
    QPointer<CMovieOptionsDlg> full = Open(CMovieOptionsDlg::MotionAvailable);
    ASSERT_TRUE(full);
    const int fullHeight = full->height();
    full->DestroyWindow();
    Pump();

    CVidoraSettings::SetUseMotionDetection(1);
    QPointer<CMovieOptionsDlg> popup = Open(CMovieOptionsDlg::MotionUnavailable);
    ASSERT_TRUE(popup);
    EXPECT_EQ(CVidoraSettings::GetUseMotionDetection(), 0u) << "written as the pop-up opens, before any OK";
    for (int id : CMovieOptionsDlg::MotionGroupIds()) {
        EXPECT_FALSE(popup->GetDlgItem(id)->isVisible()) << id;
        EXPECT_FALSE(Enabled(popup, id)) << id;
    }
    EXPECT_TRUE(AllEnabled(popup, CMovieOptionsDlg::TimedRecordingIds(), true));
    EXPECT_LT(popup->height(), fullHeight - 150);
    // The pop-up ends 20 pixels below the lowest control still shown, and the OK button is one of them.
    int bottom = 0;
    for (QWidget* child : popup->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->isVisible())
            bottom = std::max(bottom, child->geometry().bottom() + 1);
    }
    QWidget* ok = popup->GetDlgItem(IDOK);
    ASSERT_TRUE(ok->isVisible());
    EXPECT_EQ(ok->geometry().bottom() + 1, bottom);
    EXPECT_EQ(popup->height() - bottom, 20 + 1) << "20 pixels and the skin's border";
    // OK keeps motion detection off.
    Click(popup, IDOK);
    Pump();
    EXPECT_EQ(CVidoraSettings::GetUseMotionDetection(), 0u);
    EXPECT_EQ(captureWindow.heard.size(), 1u);
}

} // namespace
