// The live motion level in the movie options, on the simulated camera's real picture: the motion box starts
// and stops a preview detector of the pop-up's own, its levels reach the slider through the window's queue,
// and nothing arrives once it stopped or the pop-up went.
#include "OptionsFixture.h"
#include "RecordingFixture.h"
#include "capture/CMotionPreview.h"
#include "capture/CMotionSliderCtrl.h"
#include "capture/CMovieOptionsDlg.h"
#include "granite/capture/RegisterGraniteCaptureObjects.h"

#include <QPointer>

#include <algorithm>

namespace {

class MovieOptionsPreviewTest : public OptionsFixture {
protected:
    void SetUp() override {
        OptionsFixture::SetUp();
        devices.Plug({{Granite::DeviceKind::Camera, "full"}});
        RegisterGraniteCaptureObjects();
        capture = devices.OpenCamera();
        ASSERT_NE(capture, nullptr);
        ASSERT_EQ(capture->setVideoFormat(320, 240, 30), S_OK);
        ASSERT_EQ(capture->start(), S_OK);
        devices.hardware->SetSceneMotion(true);
    }
    void TearDown() override {
        if (capture != nullptr) {
            capture->stop();
            capture->Release();
        }
        UnregisterGraniteCaptureObjects();
        devices.hardware->SetSceneMotion(false);
        devices.Unplug();
        OptionsFixture::TearDown();
    }
    CMovieOptionsDlg* Open() {
        QPointer<CMovieOptionsDlg> popup =
            CMovieOptionsDlg::Show(QPoint(50, 50), capture, CMovieOptionsDlg::MotionAvailable, {});
        EXPECT_NE(popup, nullptr);
        Unroll();
        return popup;
    }

    CSimulatedDevices devices;
    IVideoCapture* capture = nullptr;
};

TEST_F(MovieOptionsPreviewTest, TheMotionBoxRunsALivePreviewIntoTheSlider) {
    QPointer<CMovieOptionsDlg> popup = Open();
    ASSERT_TRUE(popup);
    CMotionSliderCtrl* slider = popup->MotionSlider();
    EXPECT_FALSE(popup->IsMotionPreviewRunning()) << "the box is off as the pop-up opens";

    Click(popup, CMovieOptionsDlg::kUseMotionId);
    EXPECT_TRUE(popup->IsMotionPreviewRunning());
    // The simulated passer-by moves the bar; the bar's colour follows the threshold.
    ASSERT_TRUE(PumpUntil([&] { return slider->Level() > 1; }, 15000)) << "level " << slider->Level();
    const int level = static_cast<int>(std::min<uint32_t>(slider->Level(), 100));
    slider->SetPos(level - 1);
    EXPECT_TRUE(slider->IsLevelOverThreshold());
    slider->SetPos(level);
    EXPECT_EQ(slider->IsLevelOverThreshold(), slider->Level() > 100);

    // Off again: the bar is emptied at once and stays empty although the scene still moves.
    Click(popup, CMovieOptionsDlg::kUseMotionId);
    EXPECT_FALSE(popup->IsMotionPreviewRunning());
    EXPECT_EQ(slider->Level(), 0u);
    EXPECT_FALSE(PumpUntil([&] { return slider->Level() != 0; }, 400));

    // On and off with OK while levels come in: the pop-up goes cleanly.
    Click(popup, CMovieOptionsDlg::kUseMotionId);
    ASSERT_TRUE(PumpUntil([&] { return slider->Level() > 0; }, 15000));
    Click(popup, IDOK);
    Pump();
    EXPECT_FALSE(popup);
    EXPECT_EQ(CVidoraSettings::GetUseMotionDetection(), 1u);
}

TEST_F(MovieOptionsPreviewTest, ClosingWhileThePreviewRunsStopsIt) {
    QPointer<CMovieOptionsDlg> popup = Open();
    ASSERT_TRUE(popup);
    Click(popup, CMovieOptionsDlg::kUseMotionId);
    ASSERT_TRUE(PumpUntil([&] { return popup->MotionSlider()->Level() > 0; }, 15000));
    ClickElsewhere(popup);
    EXPECT_FALSE(popup);
    // Levels still on their way find no window: nothing crashes and the capture keeps running.
    DrainEvents();
    int32_t width = 0, height = 0;
    EXPECT_EQ(capture->outputFormat(&width, &height), S_OK);
}

TEST_F(MovieOptionsPreviewTest, APreviewThatCannotStartLeavesNothingRunning) {
    CEventLog callback;
    CMotionPreview preview;
    EXPECT_EQ(preview.Start(nullptr, &callback), E_POINTER);
    EXPECT_FALSE(preview.IsRunning());
    UnregisterGraniteCaptureObjects();
    EXPECT_EQ(preview.Start(capture, &callback), REGDB_E_CLASSNOTREG) << "no motion detector installed";
    EXPECT_FALSE(preview.IsRunning());
    RegisterGraniteCaptureObjects();
    EXPECT_EQ(preview.Start(capture, &callback), S_OK);
    EXPECT_TRUE(preview.IsRunning());
    ASSERT_TRUE(callback.WaitFor(1));
    preview.Stop();
    const size_t atStop = callback.Count();
    EXPECT_FALSE(callback.WaitFor(atStop + 1, 400)) << "no level after Stop";
}

} // namespace
