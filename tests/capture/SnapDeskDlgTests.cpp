// The capture window on the simulated camera: start-up, photos with and without countdown, the saved
// notice, movies checked and listed, motion arming, large stills, a missing or busy camera, the gallery
// controls, the entry points and what the window keeps in the settings.
#include "CMessageLog.h"
#include "SnapDeskFixture.h"
#include "capture/CCameraMessageText.h"
#include "capture/CCatalogItem.h"
#include "capture/CLivePicture.h"
#include "capture/CSnapDeskCapture.h"
#include "capture/CSnapDeskCatalog.h"
#include "capture/CSpecialPictureButton.h"
#include "capture/CStillResolutions.h"
#include "platform/RegisteredMessages.h"
#include "services/IVideoCapture.h"
#include "ui/CHoverComboBox.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>

namespace {

class SnapDeskWindowTest : public SnapDeskTest {
protected:
    void SetUp() override {
        SnapDeskTest::SetUp();
        Plug({"full"});
    }
    CHoverComboBox* Sizes() const {
        return window->GetDlgItemAs<CHoverComboBox>(CSnapDeskDlg::kResolutionList);
    }
    std::string Status() const { return Caption(CSnapDeskDlg::kStatusCaption); }
    // Opens the window; false when this machine lacks the plug-ins to record.
    bool OpenToRecord() {
        Open();
        return window->Capture().RecordingAvailable();
    }
    // A movie of the simulated camera, recorded until its file holds more than `bytes`.
    bool RecordUntil(qint64 bytes) {
        window->Capture().OnMovieButton();
        if (!window->Capture().IsRecording()) {
            ADD_FAILURE() << "not recording; boxes: " << (boxes.empty() ? "" : boxes.back());
            return false;
        }
        const std::string file = window->Capture().RecordFile();
        return PumpUntil([&] { return QFileInfo(QString::fromStdString(file)).size() > bytes; }, 15000);
    }
};

TEST_F(SnapDeskWindowTest, StartsTheCameraWithItsSizesAndShowsTheLivePicture) {
    Open();
    ASSERT_NE(window->VideoCapture(), nullptr);
    EXPECT_FALSE(window->CameraError());
    EXPECT_TRUE(Enabled(CSnapDeskDlg::kPhotoButton));
    EXPECT_TRUE(Enabled(CSnapDeskDlg::kMovieButton));
    EXPECT_TRUE(Enabled(CSnapDeskDlg::kResolutionList));
    EXPECT_FALSE(Shown(CSnapDeskDlg::kRetryLink));
    ASSERT_GE(Sizes()->count(), 3);
    EXPECT_EQ(Sizes()->currentText().toStdString(), Str(CStillResolutions::Find(320, 240)->labelId));
    EXPECT_EQ(window->Formats().videoWidth, 320);
    EXPECT_TRUE(PumpUntil([&] { return window->LivePicture()->FrameCount() > 0; }, 10000));
    EXPECT_EQ(window->LivePicture()->CurrentFrame().size(),
              QSize(window->DisplayWidth(), window->DisplayHeight()));
}

TEST_F(SnapDeskWindowTest, APhotoIsListedFirstAndItsNoticeBlinksForSixSeconds) {
    Open();
    window->OnPhotoRequest();
    const std::string photo = window->Capture().LastPhoto();
    ASSERT_FALSE(photo.empty());
    QImageReader reader(QString::fromStdString(photo));
    EXPECT_EQ(reader.size(), QSize(320, 240));
    EXPECT_EQ(window->PictureCatalog()->FindItem(photo), 0);
    EXPECT_EQ(window->GalleryView(), 0);
    EXPECT_EQ(Status(), Str(CSnapDeskCapture::kPhotoSavedText));
    timers.Advance(500);
    EXPECT_EQ(Status(), "");
    timers.Advance(500);
    EXPECT_EQ(Status(), Str(CSnapDeskCapture::kPhotoSavedText));
    timers.Advance(6000);
    EXPECT_EQ(Status(), "");
    EXPECT_FALSE(static_cast<CDialogBase*>(window)->IsTimerRunning(CSnapDeskCapture::kPhotoNoticeTimer));
}

TEST_F(SnapDeskWindowTest, PhotoCountdownsGoThroughTheTimerEvenAtZeroSeconds) {
    for (const uint32_t seconds : {0u, 3u}) {
        SCOPED_TRACE(seconds);
        CVidoraSettings::SetUsePhotoCountdown(1);
        CVidoraSettings::SetPhotoCountdown(seconds);
        Open();
        window->OnPhotoRequest();
        EXPECT_TRUE(window->Capture().LastPhoto().empty()) << "no photo before the countdown ends";
        EXPECT_FALSE(Enabled(CSnapDeskDlg::kMovieButton));
        EXPECT_FALSE(Enabled(CSnapDeskDlg::kResolutionList));
        if (seconds == 3) {
            EXPECT_NE(Status().find('3'), std::string::npos) << Status();
            timers.Advance(1000);
            EXPECT_NE(Status().find('2'), std::string::npos) << Status();
            EXPECT_TRUE(window->Capture().LastPhoto().empty());
        }
        timers.Advance(seconds * 1000 + 10);
        EXPECT_FALSE(window->Capture().LastPhoto().empty());
        EXPECT_TRUE(Enabled(CSnapDeskDlg::kMovieButton));
        EXPECT_TRUE(Enabled(CSnapDeskDlg::kResolutionList));
        Close();
    }
}

TEST_F(SnapDeskWindowTest, StillsWiderThan960LeaveNoRoomForMoviesOrMotion) {
    CVidoraSettings::SetSnapDeskCaptureXRes(1280);
    CVidoraSettings::SetSnapDeskCaptureYRes(960);
    CVidoraSettings::SetUseMotionDetection(1);
    Open();
    ASSERT_EQ(window->Formats().captureWidth, 1280) << "the full camera offers 1280 x 960 stills";
    EXPECT_LE(window->Formats().videoWidth, 960);
    EXPECT_TRUE(Enabled(CSnapDeskDlg::kPhotoButton));
    EXPECT_FALSE(Enabled(CSnapDeskDlg::kMovieButton));
    EXPECT_FALSE(window->Capture().IsMotionArmed());
}

TEST_F(SnapDeskWindowTest, TheMotionOptionArmsTheDetectorAndLimitsTheSizes) {
    CVidoraSettings::SetUseMotionDetection(1);
    if (!OpenToRecord())
        GTEST_SKIP() << "no recording plug-ins on this machine";
    EXPECT_TRUE(window->Capture().IsMotionArmed());
    EXPECT_TRUE(window->MovieButton()->OptionsOnly());
    EXPECT_FALSE(Enabled(CSnapDeskDlg::kPhotoButton));
    EXPECT_EQ(Status(), Str(CSnapDeskCapture::kMotionArmedText));
    for (int i = 0; i < Sizes()->count(); ++i) {
        int32_t width = 0, height = 0;
        ASSERT_TRUE(
            CCaptureFormats::ReadFormat(window->VideoCapture(), Sizes()->itemData(i).toInt(), width, height));
        EXPECT_LE(width, 960);
    }
    // Switched off in the options: disarmed, and the buttons are back.
    CVidoraSettings::SetUseMotionDetection(0);
    window->PostMessage(CSnapDeskDlg::kMotionOptionsChangedMessage);
    Settle();
    EXPECT_FALSE(window->Capture().IsMotionArmed());
    EXPECT_FALSE(window->MovieButton()->OptionsOnly());
    EXPECT_TRUE(Enabled(CSnapDeskDlg::kPhotoButton));
}

TEST_F(SnapDeskWindowTest, MotionAfterTheSettleTimeRecordsAClipThatEndsAtItsLength) {
    CVidoraSettings::SetUseMotionDetection(1);
    CVidoraSettings::SetMotionSensitivity(1);
    CVidoraSettings::SetMotionDuration(1);
    if (!OpenToRecord())
        GTEST_SKIP() << "no recording plug-ins on this machine";
    ASSERT_TRUE(window->Capture().IsMotionArmed());
    devices.hardware->SetSceneMotion(true);
    // Readings in the first five seconds are only looked at.
    EXPECT_FALSE(PumpUntil([&] { return window->Capture().IsClipRunning(); }, 800));
    clock.Advance(5000);
    ASSERT_TRUE(PumpUntil([&] { return window->Capture().IsClipRunning(); }, 10000));
    EXPECT_EQ(Status(), Str(CSnapDeskCapture::kRecordingText));
    EXPECT_FALSE(Enabled(CSnapDeskDlg::kResolutionList));
    // Let the clip take some pictures. At its length it still runs; once past it, the watch timer ends it.
    PumpUntil([] { return false; }, 1500);
    timers.Advance(1000);
    EXPECT_TRUE(window->Capture().IsClipRunning());
    timers.Advance(1000);
    devices.hardware->SetSceneMotion(false);
    EXPECT_FALSE(window->Capture().IsClipRunning());
    EXPECT_TRUE(window->Capture().IsMotionArmed()) << "still watching";
    EXPECT_EQ(Status(), Str(CSnapDeskCapture::kMotionArmedText));
    ASSERT_EQ(window->VideoCatalog()->ItemCount(), 1);
    const std::string clip = window->VideoCatalog()->Item(0)->path;
    EXPECT_TRUE(CSnapDeskCatalog::IsMotionClipPath(clip)) << clip;
    EXPECT_GT(QFileInfo(QString::fromStdString(clip)).size(), 8000);
}

TEST_F(SnapDeskWindowTest, ARecordedMovieIsCheckedListedAndAnnounced) {
    if (!OpenToRecord())
        GTEST_SKIP() << "no recording plug-ins on this machine";
    ASSERT_TRUE(RecordUntil(20000));
    const std::string movie = window->Capture().RecordFile();
    EXPECT_EQ(Status(), Str(CSnapDeskCapture::kRecordingText));
    EXPECT_FALSE(Enabled(CSnapDeskDlg::kPhotoButton));
    EXPECT_FALSE(Enabled(CSnapDeskDlg::kResolutionList));
    window->Capture().OnMovieButton();
    EXPECT_FALSE(window->Capture().IsRecording());
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(movie)));
    EXPECT_EQ(window->GalleryView(), 1);
    EXPECT_GE(window->VideoCatalog()->FindItem(movie), 0);
    EXPECT_EQ(Status(), Str(CSnapDeskCapture::kMovieSavedText));
    EXPECT_TRUE(Enabled(CSnapDeskDlg::kPhotoButton));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SnapDeskWindowTest, AMovieDurationStopsTheRecordingOnTime) {
    CVidoraSettings::SetUseMovieDuration(1);
    CVidoraSettings::SetMovieDuration(2);
    if (!OpenToRecord())
        GTEST_SKIP() << "no recording plug-ins on this machine";
    ASSERT_TRUE(RecordUntil(20000));
    timers.Advance(1000);
    EXPECT_TRUE(window->Capture().IsRecording());
    timers.Advance(1000);
    EXPECT_FALSE(window->Capture().IsRecording());
}

TEST_F(SnapDeskWindowTest, ClosingTheWindowWhileRecordingKeepsTheMovie) {
    if (!OpenToRecord())
        GTEST_SKIP() << "no recording plug-ins on this machine";
    ASSERT_TRUE(RecordUntil(20000));
    const std::string movie = window->Capture().RecordFile();
    Close();
    const QFileInfo file(QString::fromStdString(movie));
    EXPECT_TRUE(file.exists());
    EXPECT_GT(file.size(), 8000);
}

TEST_F(SnapDeskWindowTest, TheGalleryToggleOpensOnPicturesAndDeleteOpensAClosedGallery) {
    Open();
    window->ShowGalleryView(1);
    ASSERT_TRUE(window->GalleryOpen());
    window->ToggleGallery();
    EXPECT_FALSE(window->GalleryOpen());
    EXPECT_EQ(window->GalleryView(), 0);
    EXPECT_TRUE(window->PictureCatalog()->isHidden());
    const int closedHeight = window->height();

    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &del);
    EXPECT_TRUE(window->GalleryOpen());
    EXPECT_FALSE(window->PictureCatalog()->isHidden());
    EXPECT_GT(window->height(), closedHeight);
    EXPECT_TRUE(boxes.empty()) << "nothing was deleted or asked";
}

TEST_F(SnapDeskWindowTest, AnOpenGalleryReadsItsFolderAgainWhenTheFolderChanges) {
    Open();
    window->ShowGalleryView(0);
    ASSERT_EQ(window->PictureCatalog()->ItemCount(), 0);
    const std::string folder = env.Path("Elsewhere");
    QDir().mkpath(QString::fromStdString(folder));
    QImage picture(32, 24, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    ASSERT_TRUE(picture.save(QString::fromStdString(folder + "/Picture 1.jpg")));
    app.photoFolder = folder;
    window->SendMessage(RegisteredMessages::CaptureFolderChanged.Id(), 1, 0);
    EXPECT_EQ(window->PictureCatalog()->ItemCount(), 0) << "only the movie folder changed";
    window->SendMessage(RegisteredMessages::CaptureFolderChanged.Id(), 0, 0);
    EXPECT_EQ(window->PictureCatalog()->ItemCount(), 1);
}

TEST_F(SnapDeskWindowTest, TheGalleryStateAndPositionAreKeptForTheNextOpening) {
    Open();
    window->ShowGalleryView(1);
    Close();
    EXPECT_EQ(CVidoraSettings::GetGalleryView(), 1u);
    EXPECT_EQ(CVidoraSettings::GetSnapDeskGalleryOpen(), 1u);
    Open();
    EXPECT_EQ(window->GalleryView(), 1);
    window->ToggleGallery();
    Close();
    EXPECT_EQ(CVidoraSettings::GetSnapDeskGalleryOpen(), 0u);
    EXPECT_EQ(CVidoraSettings::GetGalleryView(), 0u);
}

TEST_F(SnapDeskWindowTest, APhotoAskedForBeforeTheWindowExistsIsTakenOnceTheCameraRunsAndAgainOnTheNextAsk) {
    Open(true);
    EXPECT_FALSE(window->PendingPhoto());
    const std::string first = window->Capture().LastPhoto();
    EXPECT_FALSE(first.empty());
    // Another request brings the same window and takes the asked photo.
    CSnapDeskDlg::ShowSnapDesk(true, false);
    Settle();
    EXPECT_EQ(CSnapDeskDlg::Current(), window);
    EXPECT_FALSE(window->Capture().LastPhoto().empty());
    EXPECT_NE(window->Capture().LastPhoto(), first);
}

TEST_F(SnapDeskWindowTest, ANewSizeIsStoredRestartsTheCameraAndIsAnnounced) {
    Open();
    CMessageLog listener(RegisteredMessages::ResolutionChanged.Id());
    const int vga =
        Sizes()->findText(QString::fromStdString(Str(CStillResolutions::Find(640, 480)->labelId)));
    ASSERT_GE(vga, 0);
    Sizes()->setCurrentIndex(vga);
    window->OnResolutionPicked();
    Settle();
    EXPECT_EQ(CVidoraSettings::GetSnapDeskCaptureXRes(), 640u);
    EXPECT_EQ(CVidoraSettings::GetSnapDeskCaptureYRes(), 480u);
    EXPECT_EQ(window->Formats().captureWidth, 640);
    EXPECT_EQ(window->DisplayWidth(), 640);
    ASSERT_FALSE(listener.heard.empty());
    EXPECT_EQ(listener.heard.back(), (std::pair<WPARAM, LPARAM>{640, 480}));
    listener.DestroyWindow();
}

TEST_F(SnapDeskWindowTest, TheOptionsPopUpsCannotReopenWithinAQuarterSecond) {
    Open();
    window->TogglePhotoOptions();
    auto popupOpen = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->inherits("CPhotoOptionsDlg") && w->isVisible())
                return true;
        return false;
    };
    ASSERT_TRUE(popupOpen());
    window->TogglePhotoOptions();
    DrainEvents();
    EXPECT_FALSE(popupOpen());
    clock.Advance(100);
    window->TogglePhotoOptions();
    EXPECT_FALSE(popupOpen()) << "the closing click must not reopen it";
    clock.Advance(200);
    window->TogglePhotoOptions();
    EXPECT_TRUE(popupOpen());
    window->TogglePhotoOptions();
    DrainEvents();
}

class SnapDeskNoCameraTest : public SnapDeskTest {};

TEST_F(SnapDeskNoCameraTest, WithoutACameraTheMessagesAndTheRetryLinkShow) {
    Plug({});
    Open();
    const CameraMessageTexts texts = CCameraMessageText::NoCamera();
    EXPECT_EQ(Caption(CSnapDeskDlg::kCameraMessage1), texts.first);
    EXPECT_EQ(Caption(CSnapDeskDlg::kCameraMessage2), texts.second);
    EXPECT_TRUE(Shown(CSnapDeskDlg::kRetryLink));
    EXPECT_FALSE(Enabled(CSnapDeskDlg::kPhotoButton));
    EXPECT_FALSE(Enabled(CSnapDeskDlg::kMovieButton));
    EXPECT_FALSE(Enabled(CSnapDeskDlg::kResolutionList));

    // A camera plugged in afterwards starts with the retry.
    std::string id;
    ASSERT_EQ(devices.hardware->Plug(Granite::DeviceKind::Camera, "full", &id), S_OK);
    Pump();
    window->PostMessage(CSnapDeskDlg::kInitCameraMessage);
    Settle();
    EXPECT_NE(window->VideoCapture(), nullptr);
    EXPECT_FALSE(Shown(CSnapDeskDlg::kRetryLink));
    EXPECT_TRUE(Enabled(CSnapDeskDlg::kPhotoButton));
}

TEST_F(SnapDeskNoCameraTest, ACameraHeldByAnotherProgramIsReportedAndRetried) {
    Plug({"full"});
    ASSERT_EQ(devices.hardware->StartStreaming(camera, {"othercam", "/usr/bin/othercam", 4242}), S_OK);
    Open();
    EXPECT_TRUE(window->CameraError());
    EXPECT_FALSE(Caption(CSnapDeskDlg::kCameraMessage1).empty());
    EXPECT_TRUE(Shown(CSnapDeskDlg::kRetryLink));
    EXPECT_FALSE(Enabled(CSnapDeskDlg::kPhotoButton));
    EXPECT_EQ(CSnapDeskDlg::RequestPhoto(false), S_OK);
    Settle();
    EXPECT_TRUE(window->Capture().LastPhoto().empty()) << "no photo while the camera is held elsewhere";

    ASSERT_EQ(devices.hardware->StopStreaming(camera), S_OK);
    window->PostMessage(CSnapDeskDlg::kInitCameraMessage);
    Settle();
    EXPECT_FALSE(window->CameraError());
    EXPECT_TRUE(Enabled(CSnapDeskDlg::kPhotoButton));
}

} // namespace
