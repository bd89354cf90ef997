// The privacy-shade window on the simulated camera and the stand-in effects engine: the picture it shows and
// replaces, the gallery's pictures used last, folding the gallery away, and the shade itself; and the
// privacy-shutter question.
#include "privacy/CPrivacyShutterSwitchDlg.h"
#include "tests/privacy/ShadeFixture.h"
#include "ui/CCustomMessageBoxOK.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>

namespace {

using Dlg = CPrivacyShadeDialog;

TEST_F(ShadeTest, AGoneOrBrokenShadePictureIsReplacedByTheFolderFirstPictureAndTheUserIsTold) {
    VIDORA_REQUIRE_TEST_MEDIA();
    Plug("full", true);
    Copy("jpeg-truncated-progressive-100x100-noeoi.jpg", home, "cut.jpg");
    env.WriteFile("shades/readme.txt", "pictures for the shade");
    const std::string good = Copy("jpeg-progressive-444-512x512.jpg", home, "beach.jpeg");
    for (const std::string& stored : {home + "/deleted.jpg", home + "/cut.jpg"}) {
        SCOPED_TRACE(stored);
        told.clear();
        CVidoraSettings::SetPrivacyShadeFilename(stored);
        Open();
        EXPECT_EQ(shade->PicturePath(), good);
        EXPECT_TRUE(shade->HasPicture());
        EXPECT_EQ(CVidoraSettings::GetPrivacyShadeFilename(), good);
        ASSERT_EQ(told.size(), 1u);
        EXPECT_NE(told[0].find(stored), std::string::npos) << told[0];
        EXPECT_NE(told[0].find(good), std::string::npos) << told[0];
        EXPECT_FALSE(Shown(Dlg::kPreviewFrame));
    }
    // Nothing left to use: no picture, the stored name is kept for when the file comes back.
    QFile::remove(QString::fromStdString(good));
    CVidoraSettings::SetPrivacyShadeFilename(home + "/deleted.jpg");
    told.clear();
    Open();
    EXPECT_FALSE(shade->HasPicture());
    EXPECT_TRUE(Shown(Dlg::kPreviewFrame));
    EXPECT_EQ(CVidoraSettings::GetPrivacyShadeFilename(), home + "/deleted.jpg");
    EXPECT_EQ(told.size(), 1u);
}

TEST_F(ShadeTest, PicturesUsedLastComeFirstAndTheSixthPickDropsTheOldest) {
    VIDORA_REQUIRE_TEST_MEDIA();
    Plug("full", true);
    std::vector<std::string> pictures;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg", "f.jpg", "g.jpg"})
        pictures.push_back(Good(name));
    CVidoraSettings::SetPrivacyShadeFilename(pictures[6]);
    Open();
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(shade->PickPicture(pictures[static_cast<size_t>(i)]));
    EXPECT_FALSE(shade->PickPicture(pictures[5])) << "the picture in use is picked again";
    EXPECT_EQ(EnginePicture(), pictures[5]);
    Close();
    EXPECT_EQ(CVidoraSettings::ReadRootString("PrivacyShadeMru1", ""), pictures[5]);
    EXPECT_EQ(CVidoraSettings::ReadRootString("PrivacyShadeMru5", ""), pictures[1]);
    EXPECT_EQ(CVidoraSettings::GetPrivacyShadeFilename(), pictures[5]);

    // The gallery lists them in that order, the others by name.
    Open();
    CPrivacyShadeCatalog* gallery = shade->Gallery();
    ASSERT_EQ(gallery->ItemCount(), 7);
    const std::vector<int> expected = {5, 4, 3, 2, 1, 0, 6};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(gallery->PathAt(i), pictures[static_cast<size_t>(expected[static_cast<size_t>(i)])]) << i;

    // Space on a picture chooses it, as a click does.
    gallery->setCurrentIndex(gallery->model()->index(6, 0));
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(gallery, &space);
    EXPECT_EQ(shade->PicturePath(), pictures[6]);
}

TEST_F(ShadeTest, APictureThatCannotBeShownIsRefusedAndNothingIsLost) {
    VIDORA_REQUIRE_TEST_MEDIA();
    Plug("full", true);
    const std::string inUse = Good("kept.jpg");
    const std::string cut = Copy("jpeg-truncated-progressive-100x100-noeoi.jpg", home, "cut.jpg");
    env.WriteFile("shades/letter.jpg", "Dear shade, this is text.");
    CVidoraSettings::SetPrivacyShadeFilename(inUse);
    Open();
    ASSERT_TRUE(shade->PickPicture(Good("other.jpg")));
    ASSERT_TRUE(shade->PickPicture(inUse));
    for (const std::string& bad : {cut, home + "/letter.jpg"}) {
        told.clear();
        EXPECT_FALSE(shade->PickPicture(bad));
        ASSERT_EQ(told.size(), 1u) << bad;
        EXPECT_NE(told[0].find(bad), std::string::npos) << told[0];
    }
    EXPECT_EQ(shade->PicturePath(), inUse);
    EXPECT_TRUE(shade->HasPicture());
    EXPECT_EQ(CVidoraSettings::GetPrivacyShadeFilename(), inUse);
    EXPECT_EQ(EnginePicture(), inUse);
    EXPECT_EQ(shade->Gallery()->RecentlyUsed().Paths(),
              (std::vector<std::string>{inUse, home + "/other.jpg"}));
}

TEST_F(ShadeTest, TheWindowClosedWhileItsNoticeIsOpenTakesNothingDownWithIt) {
    VIDORA_REQUIRE_TEST_MEDIA();
    Plug("full", true);
    env.WriteFile("shades/letter.jpg", "Dear shade, this is text.");
    Open();
    // A real box this time: the window goes (as the ribbon closes docked windows) while the box waits.
    CCustomMessageBox::SetAnswerHook(nullptr);
    bool boxWasOpen = false;
    QTimer::singleShot(0, [&] {
        boxWasOpen = CCustomMessageBoxOK::Current() != nullptr;
        shade->DestroyWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        CCustomMessageBoxOK::EndCurrent(IDOK);
    });
    EXPECT_FALSE(shade->PickPicture(home + "/letter.jpg"));
    EXPECT_TRUE(boxWasOpen);
    shade = nullptr;
}

TEST_F(ShadeTest, TheFoldedGalleryStaysFoldedWhenTheWindowOpensAgain) {
    Plug("full", true);
    Open();
    ASSERT_NE(shade->Skin(), nullptr);
    EXPECT_EQ(shade->Skin()->ClientRect().height(), Dlg::kExpandedHeight);
    Command(Dlg::kExpandToggle);
    EXPECT_EQ(shade->Skin()->ClientRect().height(), Dlg::kCollapsedHeight);
    EXPECT_FALSE(Shown(Dlg::kGallery));
    Close();
    Open();
    EXPECT_FALSE(shade->IsExpanded());
    EXPECT_FALSE(Shown(Dlg::kGallery));
    EXPECT_TRUE(Shown(Dlg::kShadeOn));
    // The label unfolds it as well.
    Command(Dlg::kExpandLabel);
    EXPECT_TRUE(Shown(Dlg::kGallery));
    EXPECT_EQ(CVidoraSettings::GetPrivacyShadeToggleOpen(), 1u);
}

TEST_F(ShadeTest, ShadeOnHidesTheVideoBehindThePictureFollowsTheCameraAndControlDTogglesIt) {
    VIDORA_REQUIRE_TEST_MEDIA();
    Plug("full", true);
    const std::string picture = Good("shade.jpg");
    CVidoraSettings::SetPrivacyShadeFilename(picture);
    Open();
    ASSERT_TRUE(Enabled(Dlg::kShadeOn));
    Command(Dlg::kShadeOn);
    EXPECT_EQ(Mute(), 1);
    EXPECT_EQ(EnginePicture(), picture);
    EXPECT_TRUE(shade->IsShadeOn());
    EXPECT_TRUE(Shown(Dlg::kShadeOff));
    EXPECT_FALSE(Shown(Dlg::kShadeOn));
    EXPECT_TRUE(told.empty());

    // Unplugged, the camera can have no shade; plugged in again, it can.
    std::string camera;
    ASSERT_TRUE(hardware->IdAt(Granite::DeviceKind::Camera, 0, camera));
    ASSERT_EQ(hardware->Unplug(Granite::DeviceKind::Camera, camera), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return !Enabled(Dlg::kShadeOn) && !Enabled(Dlg::kShadeOff); }));
    ASSERT_EQ(hardware->Plug(Granite::DeviceKind::Camera, "full"), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return Enabled(Dlg::kShadeOn) || Enabled(Dlg::kShadeOff); }));
    facade->SelectVideoDevice(0);
    ASSERT_EQ(facade->SetVideoMute(1), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return shade->IsShadeOn(); }));

    // Switched back elsewhere (the ribbon's button, another program): the window follows.
    ASSERT_EQ(facade->SetVideoMute(0), S_OK);
    // The camera's announcement comes from the service's thread.
    EXPECT_TRUE(PumpUntil([&] { return !shade->IsShadeOn(); }));
    EXPECT_TRUE(Shown(Dlg::kShadeOn));
    EXPECT_TRUE(Enabled(Dlg::kShadeOn));

    // Control+D toggles it from any of the program's windows, while the shade window lives.
    CDialogBase other;
    ASSERT_TRUE(other.Create(nullptr));
    other.show();
    QApplication::setActiveWindow(&other);
    auto press = [&] {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_D, Qt::ControlModifier, QStringLiteral("\x04"));
        QApplication::sendEvent(&other, &key);
        Settle();
    };
    press();
    EXPECT_EQ(Mute(), 1);
    EXPECT_TRUE(shade->IsShadeOn());
    press();
    EXPECT_EQ(Mute(), 0);
    Close();
    press();
    EXPECT_EQ(Mute(), 0);
    other.DestroyWindow();
}

TEST_F(ShadeTest, WithoutTheEffectsEngineShadeOnChangesNothingAndLeavesTheButtonsDisabled) {
    VIDORA_REQUIRE_TEST_MEDIA();
    Plug("full", false);
    CVidoraSettings::SetPrivacyShadeFilename(Good("shade.jpg"));
    Open();
    EXPECT_TRUE(shade->HasPicture()) << "the picture is still chosen and shown";
    Command(Dlg::kShadeOn);
    EXPECT_EQ(Mute(), 0);
    EXPECT_FALSE(Enabled(Dlg::kShadeOn));
    EXPECT_FALSE(Enabled(Dlg::kShadeOff));
    EXPECT_TRUE(told.empty());
}

TEST_F(ShadeTest, BrowseListsAnotherFolderAndTheButtonBackReturns) {
    VIDORA_REQUIRE_TEST_MEDIA();
    Plug("full", true);
    Good("home.jpg");
    const std::string elsewhere = env.Path("mine");
    Copy("jpeg-grayscale-512x512.jpg", elsewhere, "one.jpg");
    Copy("jpeg-grayscale-512x512.jpg", elsewhere, "two.jpg");
    Open();
    EXPECT_EQ(shade->Gallery()->ItemCount(), 1);
    EXPECT_FALSE(Shown(Dlg::kHomeFolder));
    pickerAnswer.reset();
    Command(Dlg::kBrowse);
    EXPECT_EQ(shade->BrowseFolder(), home) << "cancelled";
    pickerAnswer = elsewhere;
    Command(Dlg::kBrowse);
    EXPECT_EQ(shade->Gallery()->ItemCount(), 2);
    EXPECT_EQ(CVidoraSettings::GetPrivacyShadeBrowseFolder(), elsewhere);
    EXPECT_TRUE(Shown(Dlg::kHomeFolder));
    Command(Dlg::kHomeFolder);
    EXPECT_EQ(shade->Gallery()->ItemCount(), 1);
    EXPECT_FALSE(Shown(Dlg::kHomeFolder));
    EXPECT_EQ(CVidoraSettings::GetPrivacyShadeBrowseFolder(), home);
}

// The shutter question shows the stored answer (one out of range as "do nothing"); OK stores the new one and
// has the main window replay the shutter event.
TEST_F(ShadeTest, ShutterQuestionStoresTheAnswerAndReplaysTheEvent) {
    struct CRecordingWindow : CDialogBase {
        std::vector<UINT> messages;
        LRESULT OnMessage(UINT message, WPARAM, LPARAM) override {
            messages.push_back(message);
            return 0;
        }
    } ribbon;
    ASSERT_TRUE(ribbon.Create(nullptr));
    CPrivacyShutterSwitchDlg::SetMainWindowForTest(&ribbon);
    for (uint32_t stored : {1u, 7u}) {
        CVidoraSettings::SetShadeBehavior(stored);
        CPrivacyShutterSwitchDlg ask;
        ASSERT_TRUE(ask.Create(nullptr));
        EXPECT_EQ(ask.SelectedBehavior(), stored == 1u ? 1 : 2);
        ask.DestroyWindow();
    }
    CPrivacyShutterSwitchDlg ask;
    ASSERT_TRUE(ask.Create(nullptr));
    const QPoint offCentre =
        ask.frameGeometry().center() - QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 4)
        << "a question with no owner comes up in the middle of the screen";
    ask.GetDlgItemAs<QAbstractButton>(CPrivacyShutterSwitchDlg::kVideoCall)->click();
    ask.GetDlgItemAs<QAbstractButton>(CPrivacyShutterSwitchDlg::kOk)->click();
    Settle();
    EXPECT_FALSE(ask.IsWindow());
    EXPECT_EQ(CVidoraSettings::GetShadeBehavior(), 0u);
    EXPECT_EQ(CVidoraSettings::GetShadeFirstTimeUse(), 0u);
    EXPECT_EQ(ribbon.messages, std::vector<UINT>{CPrivacyShutterSwitchDlg::kReplayShutterMessage});
    CPrivacyShutterSwitchDlg::SetMainWindowForTest(nullptr);
    ribbon.DestroyWindow();
}

} // namespace
