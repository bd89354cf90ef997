// The capture window on the simulated devices, with temporary settings and capture folders, the fake clock
// driving its timers and message boxes answered by a hook; the captions shown while the camera is busy.
#include "SimulatedDevices.h"
#include "app/CVidoraApp.h"
#include "app/CVidoraSettings.h"
#include "capture/CCameraMessageText.h"
#include "capture/CCatalogItem.h"
#include "capture/CLivePicture.h"
#include "capture/CSnapDeskCapture.h"
#include "capture/CSnapDeskCatalog.h"
#include "capture/CSnapDeskDlg.h"
#include "capture/CSpecialPictureButton.h"
#include "capture/CStillResolutions.h"
#include "capture/CaptureControlsRegistration.h"
#include "granite/capture/RegisterGraniteCaptureObjects.h"
#include "platform/RegisteredMessages.h"
#include "support/CFakeClock.h"
#include "support/CTempEnvironment.h"
#include "support/CVirtualTimerService.h"
#include "support/EventPump.h"
#include "ui/CCustomMessageBox.h"
#include "ui/CHoverComboBox.h"
#include "ui/CVidoraSkin.h"
#include "ui/CWindowSlot.h"
#include "ui/ControlsRegistration.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>

#include <gtest/gtest.h>

namespace {

std::string Repeat(const std::string& piece, int times) {
    return times == 0 ? "" : piece + Repeat(piece, times - 1);
}

TEST(CameraMessageText, TheHolderNameIsQuotedAndCutAfter24Characters) {
    const std::string name24 = "Conference Room Recorder", e = "\xC3\xA9", camera = "\xF0\x9F\x93\xB7";
    const std::pair<std::string, std::string> cases[] = {
        {"", "\"\""},
        {name24, "\"" + name24 + "\""},
        {name24 + "s", "\"" + name24 + "...\""},
        // Characters, not bytes, are counted and never cut in half.
        {Repeat(e, 24), "\"" + Repeat(e, 24) + "\""},
        {Repeat(e, 25), "\"" + Repeat(e, 24) + "...\""},
        {Repeat("a", 23) + camera + "b", "\"" + Repeat("a", 23) + camera + "...\""},
    };
    for (const auto& [name, shown] : cases)
        EXPECT_EQ(CCameraMessageText::QuotedHolderName(name), shown) << name;
}

class SnapDeskTest : public ::testing::Test {
protected:
    void SetUp() override {
        clock.SetTickCount(100000);
        SetClock(&clock);
        SetTimerService(&timers);
        RegisterToolkitControls();
        RegisterCaptureControls();
        CVidoraSkin::SetAnimationsEnabled(false);
        env.SetEnv("VIDORA_AUDIO_SINK", "fakesink");
        app.photoFolder = env.Path("Pictures/Vidora");
        app.movieFolder = env.Path("Videos/Vidora");
        for (const std::string* folder : {&app.photoFolder, &app.movieFolder})
            QDir().mkpath(QString::fromStdString(*folder));
        CCustomMessageBox::SetAnswerHook(
            [this](CCustomMessageBox::Kind, const std::string& text, MessageBoxIcon) {
                boxes.push_back(text);
                return intptr_t{IDOK};
            });
    }
    void TearDown() override {
        Close();
        UnregisterGraniteCaptureObjects();
        devices.Unplug();
        CCustomMessageBox::SetAnswerHook(nullptr);
        CVidoraSkin::SetAnimationsEnabled(true);
        SetTimerService(nullptr);
        SetClock(nullptr);
    }
    void Plug(bool withCamera) {
        std::vector<Granite::DeviceRequest> requests;
        if (withCamera)
            requests.push_back({Granite::DeviceKind::Camera, "full"});
        requests.push_back({Granite::DeviceKind::Microphone, ""});
        devices.Plug(requests);
        devices.StartService();
        RegisterGraniteCaptureObjects();
        if (withCamera)
            camera = devices.CameraId();
    }
    // Opens the window (on the full camera unless something else was plugged in) and lets its start-up run.
    void Open(bool takePhoto = false) {
        if (!devices.hardware)
            Plug(true);
        CSnapDeskDlg::ShowSnapDesk(takePhoto, false);
        window = CSnapDeskDlg::Current();
        ASSERT_NE(window, nullptr);
        Settle();
    }
    void Settle() {
        for (int i = 0; i < 5; ++i)
            Pump();
    }
    void Close() {
        if (CSnapDeskDlg* open = CSnapDeskDlg::Slot().Get()) {
            CSnapDeskDlg::Slot().Clear();
            open->DestroyWindow();
        }
        DrainEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        window = nullptr;
    }
    std::string Caption(int id) const { return window->GetDlgItemText(id); }
    bool Enabled(int id) const { return window->GetDlgItem(id)->isEnabled(); }
    bool Shown(int id) const { return !window->GetDlgItem(id)->isHidden(); }
    static std::string Str(uint32_t id) { return CDialogBase::LoadString(id); }
    std::string Status() const { return Caption(CSnapDeskDlg::kStatusCaption); }
    std::string Photo() const { return window->Capture().LastPhoto(); }
    // Opens the window; false when this machine lacks the plug-ins to record.
    bool OpenToRecord() {
        Open();
        return window != nullptr && window->Capture().RecordingAvailable();
    }
    // A movie of the simulated camera, recorded until its file holds more than 20 kB.
    bool Record() {
        window->Capture().OnMovieButton();
        if (!window->Capture().IsRecording()) {
            ADD_FAILURE() << "not recording; boxes: " << (boxes.empty() ? "" : boxes.back());
            return false;
        }
        const QString file = QString::fromStdString(window->Capture().RecordFile());
        return PumpUntil([&] { return QFileInfo(file).size() > 20000; }, 15000);
    }
    CTempEnvironment env;
    CFakeClock clock;
    CVirtualTimerService timers{clock};
    CVidoraApp app;
    CSimulatedDevices devices;
    std::string camera;
    CSnapDeskDlg* window = nullptr;
    std::vector<std::string> boxes;
};

TEST_F(SnapDeskTest, StartsTheCameraWithItsSizesAndShowsTheLivePicture) {
    Open();
    ASSERT_NE(window->VideoCapture(), nullptr);
    ASSERT_NE(window->MovieButton(), nullptr);
    EXPECT_NE(window->GetDlgItemAs<CSpecialPictureButton>(CSnapDeskDlg::kPhotoButton), nullptr);
    for (int id : {CSnapDeskDlg::kPhotoButton, CSnapDeskDlg::kMovieButton, CSnapDeskDlg::kResolutionList})
        EXPECT_TRUE(Enabled(id)) << id;
    EXPECT_FALSE(Shown(CSnapDeskDlg::kRetryLink));
    const auto* sizes = window->GetDlgItemAs<CHoverComboBox>(CSnapDeskDlg::kResolutionList);
    ASSERT_GE(sizes->count(), 3);
    EXPECT_EQ(sizes->currentText().toStdString(), Str(CStillResolutions::Find(320, 240)->labelId));
    EXPECT_TRUE(PumpUntil([&] { return window->LivePicture()->FrameCount() > 0; }, 10000));
    EXPECT_EQ(window->LivePicture()->CurrentFrame().size(),
              QSize(window->DisplayWidth(), window->DisplayHeight()));
}

// A photo asked for before the window exists is taken once the camera runs; the next ask takes another.
TEST_F(SnapDeskTest, AnAskedPhotoIsTakenListedFirstAndAnnouncedForSixSeconds) {
    Open(true);
    EXPECT_FALSE(window->PendingPhoto());
    const std::string first = Photo();
    ASSERT_FALSE(first.empty());
    CSnapDeskDlg::ShowSnapDesk(true, false);
    Settle();
    EXPECT_EQ(CSnapDeskDlg::Current(), window);
    EXPECT_NE(Photo(), first);
    EXPECT_EQ(window->PictureCatalog()->FindItem(Photo()), 0);
    EXPECT_EQ(window->GalleryView(), 0);
    for (const auto& [after, shown] : {std::pair{0, true}, {500, false}, {500, true}, {6000, false}}) {
        timers.Advance(after);
        EXPECT_EQ(Status(), shown ? Str(CSnapDeskCapture::kPhotoSavedText) : "") << clock.GetTickCount();
    }
    EXPECT_FALSE(static_cast<CDialogBase*>(window)->IsTimerRunning(CSnapDeskCapture::kPhotoNoticeTimer));
}

TEST_F(SnapDeskTest, PhotoCountdownsGoThroughTheTimerEvenAtZeroSeconds) {
    for (const uint32_t seconds : {0u, 3u}) {
        SCOPED_TRACE(seconds);
        CVidoraSettings::SetUsePhotoCountdown(1);
        CVidoraSettings::SetPhotoCountdown(seconds);
        Open();
        window->OnPhotoRequest();
        EXPECT_TRUE(Photo().empty()) << "no photo before the countdown ends";
        EXPECT_FALSE(Enabled(CSnapDeskDlg::kMovieButton) || Enabled(CSnapDeskDlg::kResolutionList));
        if (seconds == 3) {
            EXPECT_NE(Status().find('3'), std::string::npos) << Status();
            timers.Advance(1000);
            EXPECT_NE(Status().find('2'), std::string::npos) << Status();
        }
        timers.Advance(seconds * 1000 + 10);
        EXPECT_FALSE(Photo().empty());
        EXPECT_TRUE(Enabled(CSnapDeskDlg::kMovieButton) && Enabled(CSnapDeskDlg::kResolutionList));
        Close();
    }
}

TEST_F(SnapDeskTest, MotionAfterTheSettleTimeRecordsAClipThatEndsAtItsLength) {
    CVidoraSettings::SetUseMotionDetection(1);
    CVidoraSettings::SetMotionSensitivity(1);
    CVidoraSettings::SetMotionDuration(1);
    if (!OpenToRecord())
        GTEST_SKIP() << "no recording plug-ins on this machine";
    ASSERT_TRUE(window->Capture().IsMotionArmed());
    EXPECT_TRUE(window->MovieButton()->OptionsOnly());
    EXPECT_FALSE(Enabled(CSnapDeskDlg::kPhotoButton));
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
    // Switched off in the options: disarmed, and the buttons are back.
    CVidoraSettings::SetUseMotionDetection(0);
    window->PostMessage(CSnapDeskDlg::kMotionOptionsChangedMessage);
    Settle();
    EXPECT_FALSE(window->Capture().IsMotionArmed() || window->MovieButton()->OptionsOnly());
    EXPECT_TRUE(Enabled(CSnapDeskDlg::kPhotoButton));
}

TEST_F(SnapDeskTest, ARecordedMovieIsCheckedListedAndAnnouncedAndADurationStopsItOnTime) {
    CVidoraSettings::SetUseMovieDuration(1);
    CVidoraSettings::SetMovieDuration(2);
    if (!OpenToRecord())
        GTEST_SKIP() << "no recording plug-ins on this machine";
    ASSERT_TRUE(Record());
    const std::string movie = window->Capture().RecordFile();
    EXPECT_EQ(Status(), Str(CSnapDeskCapture::kRecordingText));
    EXPECT_FALSE(Enabled(CSnapDeskDlg::kPhotoButton) || Enabled(CSnapDeskDlg::kResolutionList));
    window->Capture().OnMovieButton();
    EXPECT_FALSE(window->Capture().IsRecording());
    EXPECT_EQ(window->GalleryView(), 1);
    EXPECT_GE(window->VideoCatalog()->FindItem(movie), 0);
    EXPECT_EQ(Status(), Str(CSnapDeskCapture::kMovieSavedText));
    EXPECT_TRUE(Enabled(CSnapDeskDlg::kPhotoButton));
    EXPECT_TRUE(boxes.empty());
    ASSERT_TRUE(Record());
    timers.Advance(1000);
    EXPECT_TRUE(window->Capture().IsRecording());
    timers.Advance(1000);
    EXPECT_FALSE(window->Capture().IsRecording());
}

TEST_F(SnapDeskTest, ClosingTheWindowWhileRecordingKeepsTheMovie) {
    if (!OpenToRecord())
        GTEST_SKIP() << "no recording plug-ins on this machine";
    ASSERT_TRUE(Record());
    const QString movie = QString::fromStdString(window->Capture().RecordFile());
    Close();
    EXPECT_GT(QFileInfo(movie).size(), 8000);
}

TEST_F(SnapDeskTest, TheGalleryStateIsKeptAndDeleteOpensAClosedGallery) {
    Open();
    window->ShowGalleryView(1);
    Close();
    Open();
    EXPECT_TRUE(window->GalleryOpen() && window->GalleryView() == 1);
    // The toggle closes the gallery; the delete key opens it again, on the pictures.
    window->ToggleGallery();
    EXPECT_TRUE(window->PictureCatalog()->isHidden());
    const int closedHeight = window->height();
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &del);
    EXPECT_TRUE(window->GalleryOpen() && !window->PictureCatalog()->isHidden());
    EXPECT_EQ(window->GalleryView(), 0);
    EXPECT_GT(window->height(), closedHeight);
    EXPECT_TRUE(boxes.empty()) << "nothing was deleted or asked";
    window->ToggleGallery();
    Close();
    EXPECT_EQ(CVidoraSettings::GetSnapDeskGalleryOpen(), 0u);
}

// The click that closes an options pop-up must not open it again at once.
TEST_F(SnapDeskTest, TheOptionsPopUpsCannotReopenWithinAQuarterSecond) {
    Open();
    for (const auto& [after, open] :
         {std::pair{0, true}, {0, false}, {100, false}, {200, true}, {0, false}}) {
        clock.Advance(after);
        window->TogglePhotoOptions();
        DrainEvents();
        bool shown = false;
        for (QWidget* w : QApplication::topLevelWidgets())
            shown |= w->inherits("CPhotoOptionsDlg") && w->isVisible();
        EXPECT_EQ(shown, open) << clock.GetTickCount();
    }
}

TEST_F(SnapDeskTest, OnlyOlderPlatformsNameTheProgramHoldingTheCamera) {
    Plug(true);
    IGraniteDeviceManager* dm = devices.ConnectDeviceManager();
    ASSERT_NE(dm, nullptr);
    auto texts = [&](uint32_t major, uint32_t minor, IGraniteDeviceManager* manager = nullptr) {
        const CameraMessageTexts t = CCameraMessageText::Busy(manager, major, minor);
        return t.first + "|" + t.second;
    };
    const std::string general = Str(153) + "|" + Str(152);
    EXPECT_EQ(texts(6, 0, dm), general) << "nobody streams: no holder to name";
    ASSERT_EQ(devices.hardware->StartStreaming(camera, {"Conference Room Recorder Deluxe", "/usr/bin/x", 42}),
              S_OK);
    EXPECT_EQ(texts(6, 0), general);
    for (auto [major, minor] : {std::pair{6u, 1u}, {5u, 1u}, {10u, 2u}})
        EXPECT_EQ(texts(major, minor, dm), Str(153) + "|" + Str(351));
    for (auto [major, minor] : {std::pair{6u, 0u}, {4u, 10u}, {5u, 0u}}) {
        const CameraMessageTexts t = CCameraMessageText::Busy(dm, major, minor);
        EXPECT_NE(t.first.find("\"Conference Room Recorder...\""), std::string::npos) << t.first;
        EXPECT_NE(t.second.find("\"Conference Room Recorder...\""), std::string::npos) << t.second;
        EXPECT_EQ((t.first + t.second).find("%s"), std::string::npos);
    }
    // A name with placeholders of its own is shown as it is.
    ASSERT_EQ(devices.hardware->StopStreaming(camera), S_OK);
    ASSERT_EQ(devices.hardware->StartStreaming(camera, {"%s %product%", "/usr/bin/x", 42}), S_OK);
    EXPECT_NE(texts(6, 0, dm).find("\"%s %product%\""), std::string::npos);
}

TEST_F(SnapDeskTest, AMissingOrBusyCameraIsReportedAndRetried) {
    Plug(false);
    Open();
    const CameraMessageTexts texts = CCameraMessageText::NoCamera();
    EXPECT_EQ(Caption(CSnapDeskDlg::kCameraMessage1), texts.first);
    EXPECT_EQ(Caption(CSnapDeskDlg::kCameraMessage2), texts.second);
    EXPECT_TRUE(Shown(CSnapDeskDlg::kRetryLink));
    for (int id : {CSnapDeskDlg::kPhotoButton, CSnapDeskDlg::kMovieButton, CSnapDeskDlg::kResolutionList})
        EXPECT_FALSE(Enabled(id)) << id;
    // A camera plugged in afterwards, but held by another program.
    ASSERT_EQ(devices.hardware->Plug(Granite::DeviceKind::Camera, "full", &camera), S_OK);
    ASSERT_EQ(devices.hardware->StartStreaming(camera, {"othercam", "/usr/bin/othercam", 4242}), S_OK);
    Pump();
    window->PostMessage(CSnapDeskDlg::kInitCameraMessage);
    Settle();
    EXPECT_TRUE(window->CameraError());
    EXPECT_NE(Caption(CSnapDeskDlg::kCameraMessage1), texts.first);
    EXPECT_TRUE(Shown(CSnapDeskDlg::kRetryLink));
    EXPECT_EQ(CSnapDeskDlg::RequestPhoto(false), S_OK);
    Settle();
    EXPECT_TRUE(Photo().empty()) << "no photo while the camera is held elsewhere";
    ASSERT_EQ(devices.hardware->StopStreaming(camera), S_OK);
    window->PostMessage(CSnapDeskDlg::kInitCameraMessage);
    Settle();
    EXPECT_FALSE(window->CameraError() || Shown(CSnapDeskDlg::kRetryLink));
    EXPECT_NE(window->VideoCapture(), nullptr);
    EXPECT_TRUE(Enabled(CSnapDeskDlg::kPhotoButton));
}

} // namespace
