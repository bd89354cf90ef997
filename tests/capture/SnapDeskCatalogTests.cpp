// The galleries on real files in temporary folders: what each gallery lists and
// in which order, the limits and messages of delete, print and e-mail, the
// Trash, the context menu per gallery and opening a capture.
#include "SnapDeskCatalogTestSupport.h"

#include "platform/DesktopLinks.h"
#include "support/CFakeProcessLauncher.h"
#include "ui/CDialogBase.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDirIterator>
#include <QKeyEvent>
#include <QMenu>
#include <QPrinter>
#include <QRegularExpression>
#include <QTimer>

namespace {

using Kind = CCustomMessageBox::Kind;

int PdfPageCount(const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    return static_cast<int>(
        QString::fromLatin1(f.readAll()).count(QRegularExpression("/Type\\s*/Page(?![s\\w])")));
}

TEST_F(SnapDeskCatalogTest, ThePhotoGalleryListsPicturesNewestFirst) {
    Capture(pictures, "Picture 1.jpg", 100);
    Capture(pictures, "picture7.JPG", 300);
    Capture(pictures, "Picture 2.jpg", 200);
    Capture(pictures, "Picture 3.png", 400);
    Capture(pictures, "Video 1.wmv", 500);
    QDir().mkpath(QString::fromStdString(pictures + "/Picture folder.jpg"));
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    EXPECT_EQ(Names(), (std::vector<std::string>{"picture7.JPG", "Picture 2.jpg", "Picture 1.jpg"}));
    EXPECT_TRUE(catalog->loaded);
    EXPECT_FALSE(catalog->IsBusy());
    EXPECT_EQ(catalog->mediaType, CSnapDeskCatalog::Pictures);
    // The mail texts are ready, their placeholders filled in.
    EXPECT_FALSE(catalog->mailSubject.empty());
    EXPECT_FALSE(catalog->mailBody.empty());
    EXPECT_EQ(catalog->mailSubject.find('%'), std::string::npos);
    EXPECT_EQ(catalog->mailBody.find('%'), std::string::npos);
}

TEST_F(SnapDeskCatalogTest, TheVideoGalleryMixesMoviesAndMotionClipsByTime) {
    Capture(movies, "Video 1.wmv", 100);
    Capture(movies, "Motion 1.wmv", 400);
    Capture(movies, "Video 2.wmv", 300);
    Capture(movies, "MOTION 2.WMV", 200);
    Capture(movies, "Motion3.wmv", 50);
    Capture(movies, "Picture 1.jpg", 600);
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Videos), S_OK);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Motion 1.wmv", "Video 2.wmv", "MOTION 2.WMV", "Video 1.wmv",
                                                 "Motion3.wmv"}));
    std::vector<bool> motion;
    for (int i = 0; i < catalog->ItemCount(); ++i)
        motion.push_back(catalog->Item(i)->motionClip);
    EXPECT_EQ(motion, (std::vector<bool>{true, false, true, false, false}));
}

TEST_F(SnapDeskCatalogTest, RefillingReplacesTheList) {
    Capture(pictures, "Picture 1.jpg", 100);
    Capture(movies, "Video 1.wmv", 100);
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Videos), S_OK);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Video 1.wmv"}));
}

TEST_F(SnapDeskCatalogTest, FoldersThatAreNotThere) {
    // Nothing captured yet: the folder does not exist and the gallery is empty.
    catalog->SetFolders(env.Path("no/pictures"), env.Path("no/movies"));
    EXPECT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    EXPECT_EQ(catalog->ItemCount(), 0);
    EXPECT_TRUE(catalog->loaded);
    // A folder that cannot be read fails and leaves the list empty.
    env.WriteFile("notafolder", "x");
    Capture(pictures, "Picture 1.jpg", 100);
    catalog->SetFolders(pictures, env.Path("notafolder"));
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    EXPECT_EQ(catalog->Fill(CSnapDeskCatalog::Videos), E_FAIL);
    EXPECT_EQ(catalog->ItemCount(), 0);
    EXPECT_FALSE(catalog->IsBusy());
    EXPECT_EQ(catalog->Fill(7), E_INVALIDARG);
}

TEST_F(SnapDeskCatalogTest, DeletingMovesToTheTrashAndKeepsWhatCouldNotGo) {
    const std::string outside = env.Path("elsewhere.jpg");
    env.WriteFile("elsewhere.jpg", "keep me");
    Capture(pictures, "Picture 1.jpg", 100);
    Capture(pictures, "Picture 2.jpg", 200);
    Capture(pictures, "Picture 3.jpg", 300);
    Capture(pictures, "Picture 4.jpg", 400);
    ASSERT_TRUE(
        QFile::link(QString::fromStdString(outside), QString::fromStdString(pictures + "/Picture 5.jpg")));
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    Select({"Picture 1.jpg", "Picture 2.jpg", "Picture 5.jpg"});
    QFile::remove(QString::fromStdString(pictures + "/Picture 2.jpg")); // gone meanwhile
    Answer(IDYES);
    catalog->DeleteSelected();

    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].kind, Kind::YesNo);
    EXPECT_EQ(boxes[0].text, CDialogBase::LoadString(CSnapDeskCatalog::kAskDeletePhotos));
    EXPECT_EQ(boxes[1].kind, Kind::OK);
    EXPECT_EQ(boxes[1].text, CDialogBase::LoadString(CSnapDeskCatalog::kNotAllTrashed));
    // The trashed and the vanished item leave; the link leading out of the folder
    // stays, and so does its target.
    EXPECT_EQ(Names(), (std::vector<std::string>{"Picture 5.jpg", "Picture 4.jpg", "Picture 3.jpg"}));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(pictures + "/Picture 1.jpg")));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(outside)));
    EXPECT_TRUE(QFileInfo(QString::fromStdString(pictures + "/Picture 5.jpg")).isSymLink());
    const QString trash = QString::fromStdString(env.Path("data/Trash"));
    EXPECT_TRUE(QFile::exists(trash + "/files/Picture 1.jpg"));
    QFile info(trash + "/info/Picture 1.jpg.trashinfo");
    ASSERT_TRUE(info.open(QIODevice::ReadOnly));
    EXPECT_TRUE(info.readAll().contains("Path="));
    EXPECT_FALSE(catalog->IsBusy());
}

TEST_F(SnapDeskCatalogTest, DeleteAsksFirstAndDoesNothingWithoutYes) {
    struct Case {
        int mediaType;
        std::vector<std::string> selected;
        uint32_t question;
    };
    Capture(pictures, "Picture 1.jpg", 100);
    Capture(pictures, "Picture 2.jpg", 200);
    Capture(movies, "Video 1.wmv", 100);
    Capture(movies, "Motion 1.wmv", 200);
    const Case cases[] = {
        {CSnapDeskCatalog::Pictures, {"Picture 1.jpg"}, CSnapDeskCatalog::kAskDeletePhoto},
        {CSnapDeskCatalog::Pictures, {"Picture 1.jpg", "Picture 2.jpg"}, CSnapDeskCatalog::kAskDeletePhotos},
        {CSnapDeskCatalog::Videos, {"Motion 1.wmv"}, CSnapDeskCatalog::kAskDeleteVideo},
        {CSnapDeskCatalog::Videos, {"Video 1.wmv", "Motion 1.wmv"}, CSnapDeskCatalog::kAskDeleteVideos},
        {CSnapDeskCatalog::Videos, {}, CSnapDeskCatalog::kNoDeleteSelection},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(catalog->Fill(c.mediaType), S_OK);
        Select(c.selected);
        boxes.clear();
        Answer(IDNO);
        catalog->DeleteSelected();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].kind, c.selected.empty() ? Kind::OK : Kind::YesNo);
        EXPECT_EQ(boxes[0].text, CDialogBase::LoadString(c.question));
        EXPECT_EQ(catalog->ItemCount(), 2);
    }
    for (const std::string& path : {pictures + "/Picture 1.jpg", pictures + "/Picture 2.jpg",
                                    movies + "/Video 1.wmv", movies + "/Motion 1.wmv"})
        EXPECT_TRUE(QFile::exists(QString::fromStdString(path))) << path;
}

TEST_F(SnapDeskCatalogTest, WhenTheTrashRefusesTheCapturesStay) {
    Capture(movies, "Video 1.wmv", 100);
    Capture(movies, "Video 2.wmv", 200);
    // A file where the Trash folder should be: nothing can be moved there.
    QDir().mkpath(QString::fromStdString(env.Path("data")));
    env.WriteFile("data/Trash", "in the way");
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Videos), S_OK);
    Select({"Video 1.wmv", "Video 2.wmv"});
    Answer(IDYES);
    catalog->DeleteSelected();
    EXPECT_EQ(catalog->ItemCount(), 2);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(movies + "/Video 1.wmv")));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, CDialogBase::LoadString(CSnapDeskCatalog::kNotAllTrashed));
}

TEST_F(SnapDeskCatalogTest, PrintingLimitsAndPages) {
    for (int i = 1; i <= 101; ++i)
        Capture(pictures, "Picture " + std::to_string(i) + ".jpg", i);
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    int dialogs = 0;
    CPicturePrinter::SetPrinterChooserHook([&](QWidget*) {
        ++dialogs;
        auto printer = std::make_unique<QPrinter>(QPrinter::ScreenResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(env.Path("out.pdf")));
        return printer;
    });
    Answer(IDOK);

    SelectFirst(101);
    catalog->PrintSelected();
    EXPECT_EQ(dialogs, 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, CDialogBase::LoadString(CSnapDeskCatalog::kTooManyPrinted));

    boxes.clear();
    SelectFirst(0);
    catalog->PrintSelected();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, CDialogBase::LoadString(CSnapDeskCatalog::kNoPrintSelection));

    boxes.clear();
    SelectFirst(100);
    // A selected picture that has gone is left out.
    QFile::remove(QString::fromStdString(catalog->Item(0)->path));
    catalog->PrintSelected();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(PdfPageCount(env.Path("out.pdf")), 99);
}

TEST_F(SnapDeskCatalogTest, TheVideoGalleryPrintsNothing) {
    Capture(movies, "Video 1.wmv", 100);
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Videos), S_OK);
    bool asked = false;
    CPicturePrinter::SetPrinterChooserHook([&](QWidget*) {
        asked = true;
        return std::unique_ptr<QPrinter>();
    });
    SelectFirst(1);
    catalog->PrintSelected();
    EXPECT_FALSE(asked);
}

TEST_F(SnapDeskCatalogTest, EmailLimitsPerGallery) {
    for (int i = 1; i <= 6; ++i) {
        Capture(pictures, "Picture " + std::to_string(i) + ".jpg", i);
        Capture(movies, "Video " + std::to_string(i) + ".wmv", i);
    }
    struct Case {
        int mediaType;
        int selected;
        bool serviceThere;
        HRESULT result;
        int sent;     // paths handed to the sender; -1 when nothing was sent
        uint32_t box; // 0: none
    };
    const Case cases[] = {
        {CSnapDeskCatalog::Pictures, 5, true, S_OK, 5, 0},
        {CSnapDeskCatalog::Pictures, 6, true, S_OK, -1, CSnapDeskCatalog::kTooManyPhotosMailed},
        {CSnapDeskCatalog::Videos, 6, true, S_OK, -1, CSnapDeskCatalog::kTooManyVideosMailed},
        {CSnapDeskCatalog::Videos, 1, true, S_OK, 1, 0},
        {CSnapDeskCatalog::Videos, 0, true, S_OK, -1, CSnapDeskCatalog::kNoEmailSelection},
        {CSnapDeskCatalog::Pictures, 2, false, E_FAIL, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mediaType << "/" << c.selected);
        ASSERT_EQ(catalog->Fill(c.mediaType), S_OK);
        SelectFirst(c.selected);
        serviceThere = c.serviceThere;
        mail->sent.clear();
        boxes.clear();
        Answer(IDOK);
        EXPECT_EQ(catalog->EmailSelected(), c.result);
        if (c.sent < 0) {
            EXPECT_TRUE(mail->sent.empty());
        } else {
            ASSERT_EQ(mail->sent.size(), 1u);
            EXPECT_EQ(static_cast<int>(mail->sent[0].paths.size()), c.sent);
            EXPECT_EQ(mail->sent[0].subject, catalog->mailSubject);
            EXPECT_EQ(mail->sent[0].body, catalog->mailBody);
        }
        if (c.box == 0) {
            EXPECT_TRUE(boxes.empty());
        } else {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, CDialogBase::LoadString(c.box));
        }
    }
}

TEST_F(SnapDeskCatalogTest, EmailLeavesOutFilesThatHaveGone) {
    Capture(pictures, "Picture 1.jpg", 100);
    Capture(pictures, "Picture 2.jpg", 200);
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    Select({"Picture 1.jpg", "Picture 2.jpg"});
    QFile::remove(QString::fromStdString(pictures + "/Picture 2.jpg"));
    EXPECT_EQ(catalog->EmailSelected(), S_OK);
    ASSERT_EQ(mail->sent.size(), 1u);
    EXPECT_EQ(mail->sent[0].paths, std::vector<std::string>{pictures + "/Picture 1.jpg"});
    // All of them gone: nothing to send.
    QFile::remove(QString::fromStdString(pictures + "/Picture 1.jpg"));
    mail->sent.clear();
    EXPECT_EQ(catalog->EmailSelected(), S_OK);
    EXPECT_TRUE(mail->sent.empty());
}

// Without a sender of the test's, a gallery mails through the program's own mail sending: copies and a
// description in a fresh mail folder, handed to the mail program beside the executable.
TEST_F(SnapDeskCatalogTest, AGalleryMailsThroughTheMailProgramByDefault) {
    Capture(pictures, "Picture 1.jpg", 100);
    Capture(pictures, "Picture 2.jpg", 200);
    env.WriteFile("bin/brenmailapp.exe", "#!/bin/sh\nexit 0\n");
    CFakeProcessLauncher launcher;
    SetProcessLauncher(&launcher);
    auto gallery = std::make_unique<CSnapDeskCatalog>();
    gallery->SetFolders(pictures, movies);
    gallery->SetStartupServiceCheck([] { return true; });
    ASSERT_EQ(gallery->Fill(CSnapDeskCatalog::Pictures), S_OK);
    gallery->SelectItem(0, true);
    gallery->SelectItem(1, true);
    EXPECT_EQ(gallery->EmailSelected(), S_OK);
    SetProcessLauncher(nullptr);
    const auto started = launcher.Started();
    ASSERT_EQ(started.size(), 1u);
    ASSERT_EQ(started[0].size(), 2u);
    EXPECT_EQ(started[0][0], env.ExeDir() + "/brenmailapp.exe");
    const QFileInfo description(QString::fromStdString(started[0][1]));
    EXPECT_EQ(description.fileName(), "brenmail.ini");
    EXPECT_TRUE(QFileInfo::exists(description.dir().filePath("Picture 1.jpg")));
    EXPECT_TRUE(QFileInfo::exists(description.dir().filePath("Picture 2.jpg")));
}

TEST_F(SnapDeskCatalogTest, ContextMenuPerGallery) {
    Capture(pictures, "Picture 1.jpg", 100);
    Capture(movies, "Video 1.wmv", 100);
    struct Case {
        int mediaType;
        bool printEnabled;
    };
    for (const Case c : {Case{CSnapDeskCatalog::Pictures, true}, Case{CSnapDeskCatalog::Videos, false}}) {
        ASSERT_EQ(catalog->Fill(c.mediaType), S_OK);
        SelectFirst(0);
        EXPECT_EQ(catalog->MakeContextMenu(), nullptr);
        SelectFirst(1);
        auto menu = catalog->MakeContextMenu();
        ASSERT_TRUE(menu);
        for (int id : {CSnapDeskCatalog::kCommandEmail, CSnapDeskCatalog::kCommandPrint,
                       CSnapDeskCatalog::kCommandDelete}) {
            const QAction* a = CResourceMenu::FindCommand(menu.get(), id);
            ASSERT_NE(a, nullptr);
            EXPECT_EQ(a->isEnabled(), id != CSnapDeskCatalog::kCommandPrint || c.printEnabled) << id;
        }
    }
}

TEST_F(SnapDeskCatalogTest, RightClickRunsTheChosenCommand) {
    Capture(pictures, "Picture 1.jpg", 100);
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    catalog->show();
    int shown = 0;
    CSnapDeskCatalog::SetContextMenuHook([&](QMenu&) {
        ++shown;
        return CSnapDeskCatalog::kCommandDelete;
    });
    Answer(IDYES);
    SelectFirst(1);
    const QRect first = catalog->visualRect(catalog->model()->index(0, 0));
    QContextMenuEvent event(QContextMenuEvent::Mouse, first.center(),
                            catalog->viewport()->mapToGlobal(first.center()));
    QApplication::sendEvent(catalog->viewport(), &event);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(catalog->ItemCount(), 0);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(env.Path("data/Trash/files/Picture 1.jpg"))));
}

TEST_F(SnapDeskCatalogTest, TheDeleteKeyAsksToDelete) {
    Capture(movies, "Video 1.wmv", 100);
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Videos), S_OK);
    catalog->show();
    SelectFirst(1);
    Answer(IDNO);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(catalog.get(), &press);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, CDialogBase::LoadString(CSnapDeskCatalog::kAskDeleteVideo));
    EXPECT_EQ(catalog->ItemCount(), 1);
}

TEST_F(SnapDeskCatalogTest, AGalleryThatGoesEndsItsQuestionWithNo) {
    Capture(pictures, "Picture 1.jpg", 100);
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    SelectFirst(1);
    // No answer hook: the real question is up while the gallery is destroyed from
    // the event loop.
    CCustomMessageBox::SetAnswerHook(nullptr);
    intptr_t endedWith = 0;
    QTimer::singleShot(0, [&] {
        CCustomMessageBox* box = CCustomMessageBoxYESNO::Current();
        ASSERT_NE(box, nullptr);
        catalog.reset();
        endedWith = box->Result();
    });
    CSnapDeskCatalog* raw = catalog.get();
    raw->DeleteSelected();
    EXPECT_EQ(endedWith, IDNO);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(pictures + "/Picture 1.jpg")));
}

TEST_F(SnapDeskCatalogTest, AGalleryThatGoesEndsItsInformationBoxWithCancel) {
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    CCustomMessageBox::SetAnswerHook(nullptr);
    intptr_t endedWith = 0;
    QTimer::singleShot(0, [&] {
        CCustomMessageBox* box = CCustomMessageBoxOK::Current();
        ASSERT_NE(box, nullptr);
        catalog.reset();
        endedWith = box->Result();
    });
    CSnapDeskCatalog* raw = catalog.get();
    raw->EmailSelected();
    EXPECT_EQ(endedWith, IDCANCEL);
}

TEST_F(SnapDeskCatalogTest, OpeningACaptureWithoutAProgram) {
    Capture(pictures, "Picture 1.jpg", 100);
    Capture(movies, "Video 1.wmv", 100);
    std::vector<std::string> opened;
    std::vector<std::string> links;
    CDesktopFileOpener::SetDesktopHook({[&](const std::string& p) { return opened.push_back(p), true; },
                                        [] { return false; }, [](const std::string&) { return false; }});
    DesktopLinks::SetOpenHook([&](const std::string& a) { return links.push_back(a), true; });
    Answer(IDOK);

    // No photo viewer: the user is told.
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    SelectFirst(1);
    catalog->OpenSelected();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, CDialogBase::LoadString(CSnapDeskCatalog::kNoPhotoViewer));
    EXPECT_TRUE(opened.empty());

    // No player: the player dialog offers a download; its link ends it with No.
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Videos), S_OK);
    SelectFirst(1);
    std::string dialogPath;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* dlg = qobject_cast<CNoMediaPlayerDlg*>(w); dlg != nullptr && dlg->IsModal()) {
                dialogPath = dlg->MoviePath();
                dlg->OnDownloadLink();
            }
        }
    });
    catalog->OpenSelected();
    EXPECT_EQ(dialogPath, movies + "/Video 1.wmv");
    EXPECT_EQ(links, std::vector<std::string>{CNoMediaPlayerDlg::DownloadAddress()});
    EXPECT_EQ(boxes.size(), 1u);

    // With a viewer associated the file goes to it.
    QDir().mkpath(QString::fromStdString(env.Path("data/applications")));
    env.WriteFile("data/applications/viewer.desktop", "[Desktop Entry]\nType=Application\nName=V\nExec=v "
                                                      "%f\nMimeType=image/jpeg;\n");
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    SelectFirst(1);
    catalog->OpenSelected();
    EXPECT_EQ(opened, std::vector<std::string>{pictures + "/Picture 1.jpg"});
    DesktopLinks::SetOpenHook(nullptr);
}

TEST_F(SnapDeskCatalogTest, ThePlayerDialogsButtonOffersTheChoiceOfPrograms) {
    std::vector<std::string> opened;
    CDesktopFileOpener::SetDesktopHook({[&](const std::string& p) { return opened.push_back(p), true; },
                                        [] { return false; }, [](const std::string&) { return false; }});
    CNoMediaPlayerDlg dialog(movies + "/Video 9.wmv");
    ASSERT_TRUE(dialog.Create());
    auto* button = dialog.GetDlgItemAs<QAbstractButton>(CNoMediaPlayerDlg::kChooseProgramId);
    ASSERT_NE(button, nullptr);
    ASSERT_NE(dialog.GetDlgItem(CNoMediaPlayerDlg::kDownloadLinkId), nullptr);
    button->click();
    EXPECT_EQ(opened, std::vector<std::string>{movies + "/Video 9.wmv"});
    dialog.DestroyWindow();
}

} // namespace
