// The galleries on real files in temporary folders: what each gallery lists and in which order, the limits
// and messages of delete, print and e-mail, the context menu per gallery and opening a capture.
#include "PdfOutput.h"
#include "SnapDeskCatalogTestSupport.h"

#include "platform/DesktopLinks.h"
#include "support/CFakeProcessLauncher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>

namespace {

using List = std::vector<std::string>;

bool Exists(const std::string& path) {
    return QFileInfo::exists(QString::fromStdString(path));
}

TEST_F(SnapDeskCatalogTest, EachGalleryListsItsCapturesNewestFirst) {
    Capture("Picture 1.jpg", 100);
    Capture("picture7.JPG", 300);
    Capture("Picture 2.jpg", 200);
    Capture("Picture 3.png", 400, pictures);
    Capture("Video 1.wmv", 500, pictures);
    QDir().mkpath(QString::fromStdString(pictures + "/Picture folder.jpg"));
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    EXPECT_EQ(Names(), (List{"picture7.JPG", "Picture 2.jpg", "Picture 1.jpg"}));
    EXPECT_TRUE(catalog->loaded);
    EXPECT_FALSE(catalog->IsBusy());
    // The mail texts are ready, their placeholders filled in.
    EXPECT_FALSE(catalog->mailSubject.empty());
    EXPECT_EQ((catalog->mailSubject + catalog->mailBody).find('%'), std::string::npos);

    // Videos and motion clips are sorted together; refilling replaces the list.
    Capture("Video 1.wmv", 100);
    Capture("Motion 1.wmv", 400);
    Capture("Video 2.wmv", 300);
    Capture("MOTION 2.WMV", 200);
    Capture("Motion3.wmv", 50);
    Capture("Picture 1.jpg", 600, movies);
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Videos), S_OK);
    EXPECT_EQ(catalog->mediaType, CSnapDeskCatalog::Videos);
    EXPECT_EQ(Names(), (List{"Motion 1.wmv", "Video 2.wmv", "MOTION 2.WMV", "Video 1.wmv", "Motion3.wmv"}));
    std::vector<bool> motion;
    for (int i = 0; i < catalog->ItemCount(); ++i)
        motion.push_back(catalog->Item(i)->motionClip);
    EXPECT_EQ(motion, (std::vector<bool>{true, false, true, false, false}));
}

TEST_F(SnapDeskCatalogTest, FoldersThatAreNotThere) {
    // Nothing captured yet: the folder does not exist and the gallery is empty.
    catalog->SetFolders(env.Path("no/pictures"), env.Path("no/movies"));
    EXPECT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    EXPECT_EQ(catalog->ItemCount(), 0);
    EXPECT_TRUE(catalog->loaded);
    // A folder that cannot be read fails and leaves the list empty.
    env.WriteFile("notafolder", "x");
    Capture("Picture 1.jpg", 100);
    catalog->SetFolders(pictures, env.Path("notafolder"));
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    EXPECT_EQ(catalog->Fill(CSnapDeskCatalog::Videos), E_FAIL);
    EXPECT_EQ(catalog->ItemCount(), 0);
    EXPECT_FALSE(catalog->IsBusy());
    EXPECT_EQ(catalog->Fill(7), E_INVALIDARG);
}

TEST_F(SnapDeskCatalogTest, DeletingMovesToTheTrashAndKeepsWhatCouldNotGo) {
    env.WriteFile("elsewhere.jpg", "keep me");
    for (int i = 1; i <= 4; ++i)
        Capture("Picture " + std::to_string(i) + ".jpg", 100 * i);
    ASSERT_TRUE(QFile::link(QString::fromStdString(env.Path("elsewhere.jpg")),
                            QString::fromStdString(pictures + "/Picture 5.jpg")));
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    Select({"Picture 1.jpg", "Picture 2.jpg", "Picture 5.jpg"});
    QFile::remove(QString::fromStdString(pictures + "/Picture 2.jpg")); // gone meanwhile
    Answer(IDYES);
    catalog->DeleteSelected();
    EXPECT_EQ(boxes,
              (List{Question(CSnapDeskCatalog::kAskDeletePhotos), Info(CSnapDeskCatalog::kNotAllTrashed)}));
    // The trashed and the vanished item leave; the link leading out of the folder stays, and its target.
    EXPECT_EQ(Names(), (List{"Picture 5.jpg", "Picture 4.jpg", "Picture 3.jpg"}));
    EXPECT_FALSE(Exists(pictures + "/Picture 1.jpg"));
    EXPECT_TRUE(Exists(env.Path("elsewhere.jpg")));
    EXPECT_TRUE(Exists(env.Path("data/Trash/files/Picture 1.jpg")));
    EXPECT_TRUE(Exists(env.Path("data/Trash/info/Picture 1.jpg.trashinfo")));
    EXPECT_FALSE(catalog->IsBusy());

    // A file where the Trash folder should be: nothing can be moved there, and the captures stay listed.
    QDir(QString::fromStdString(env.Path("data/Trash"))).removeRecursively();
    env.WriteFile("data/Trash", "in the way");
    Select({"Picture 3.jpg", "Picture 4.jpg"});
    Answer(IDYES);
    catalog->DeleteSelected();
    EXPECT_EQ(catalog->ItemCount(), 3);
    EXPECT_TRUE(Exists(pictures + "/Picture 3.jpg"));
    EXPECT_EQ(boxes.back(), Info(CSnapDeskCatalog::kNotAllTrashed));
}

TEST_F(SnapDeskCatalogTest, DeleteAsksFirstAndDoesNothingWithoutYes) {
    struct Case {
        int mediaType;
        List selected;
        std::string box;
    };
    Capture("Picture 1.jpg", 100);
    Capture("Picture 2.jpg", 200);
    Capture("Video 1.wmv", 100);
    Capture("Motion 1.wmv", 200);
    const Case cases[] = {
        {CSnapDeskCatalog::Pictures, {"Picture 1.jpg"}, Question(CSnapDeskCatalog::kAskDeletePhoto)},
        {CSnapDeskCatalog::Pictures,
         {"Picture 1.jpg", "Picture 2.jpg"},
         Question(CSnapDeskCatalog::kAskDeletePhotos)},
        {CSnapDeskCatalog::Videos, {"Motion 1.wmv"}, Question(CSnapDeskCatalog::kAskDeleteVideo)},
        {CSnapDeskCatalog::Videos,
         {"Video 1.wmv", "Motion 1.wmv"},
         Question(CSnapDeskCatalog::kAskDeleteVideos)},
        {CSnapDeskCatalog::Videos, {}, Info(CSnapDeskCatalog::kNoDeleteSelection)},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(catalog->Fill(c.mediaType), S_OK);
        Select(c.selected);
        Answer(IDNO);
        catalog->DeleteSelected();
        EXPECT_EQ(boxes, List{c.box});
        EXPECT_EQ(catalog->ItemCount(), 2);
    }
    for (const char* name : {"Picture 1.jpg", "Picture 2.jpg", "Video 1.wmv", "Motion 1.wmv"})
        EXPECT_TRUE(Exists(FolderOf(name) + "/" + name)) << name;
}

TEST_F(SnapDeskCatalogTest, PrintingLimitsAndPages) {
    for (int i = 1; i <= 101; ++i)
        Capture("Picture " + std::to_string(i) + ".jpg", i);
    Capture("Video 1.wmv", 100);
    int dialogs = 0;
    CPicturePrinter::SetPrinterChooserHook([&](QWidget*) {
        ++dialogs;
        return PdfPrinter(env.Path("out.pdf"));
    });
    // The video gallery prints nothing.
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Videos), S_OK);
    SelectFirst(1);
    catalog->PrintSelected();
    EXPECT_EQ(dialogs, 0);

    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    for (const auto& [selected, box] : {std::pair{101, CSnapDeskCatalog::kTooManyPrinted},
                                        std::pair{0, CSnapDeskCatalog::kNoPrintSelection}}) {
        SelectFirst(selected);
        Answer(IDOK);
        catalog->PrintSelected();
        EXPECT_EQ(boxes, List{Info(box)});
        EXPECT_EQ(dialogs, 0);
    }
    // A hundred is allowed; a selected picture that has gone is left out.
    SelectFirst(100);
    QFile::remove(QString::fromStdString(catalog->Item(0)->path));
    Answer(IDOK);
    catalog->PrintSelected();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(PdfPageCount(env.Path("out.pdf")), 99);
}

TEST_F(SnapDeskCatalogTest, EmailLimitsPerGallery) {
    for (int i = 1; i <= 6; ++i) {
        Capture("Picture " + std::to_string(i) + ".jpg", i);
        Capture("Video " + std::to_string(i) + ".wmv", i);
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
        Answer(IDOK);
        EXPECT_EQ(catalog->EmailSelected(), c.result);
        EXPECT_EQ(mail->sent.empty() ? -1 : static_cast<int>(mail->sent[0].size()), c.sent);
        EXPECT_EQ(boxes, c.box == 0 ? List{} : List{Info(c.box)});
        if (c.sent > 0) {
            EXPECT_EQ(mail->texts, catalog->mailSubject + "|" + catalog->mailBody);
        }
    }
}

TEST_F(SnapDeskCatalogTest, EmailLeavesOutFilesThatHaveGone) {
    Capture("Picture 1.jpg", 100);
    Capture("Picture 2.jpg", 200);
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    SelectFirst(2);
    QFile::remove(QString::fromStdString(pictures + "/Picture 2.jpg"));
    EXPECT_EQ(catalog->EmailSelected(), S_OK);
    EXPECT_EQ(mail->sent, std::vector<List>{{pictures + "/Picture 1.jpg"}});
    // All of them gone: nothing to send.
    QFile::remove(QString::fromStdString(pictures + "/Picture 1.jpg"));
    EXPECT_EQ(catalog->EmailSelected(), S_OK);
    EXPECT_EQ(mail->sent.size(), 1u);
}

// Without a sender of the test's, a gallery mails through the program's own mail sending: copies and a
// description in a fresh mail folder, handed to the mail program beside the executable.
TEST_F(SnapDeskCatalogTest, AGalleryMailsThroughTheMailProgramByDefault) {
    Capture("Picture 1.jpg", 100);
    Capture("Picture 2.jpg", 200);
    env.WriteFile("bin/brenmailapp.exe", "#!/bin/sh\nexit 0\n");
    CFakeProcessLauncher launcher;
    SetProcessLauncher(&launcher);
    MakeCatalog(false);
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    SelectFirst(2);
    EXPECT_EQ(catalog->EmailSelected(), S_OK);
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
    Capture("Picture 1.jpg", 100);
    Capture("Video 1.wmv", 100);
    for (const auto& [mediaType, printEnabled] :
         {std::pair{CSnapDeskCatalog::Pictures, true}, std::pair{CSnapDeskCatalog::Videos, false}}) {
        ASSERT_EQ(catalog->Fill(mediaType), S_OK);
        SelectFirst(0);
        EXPECT_EQ(catalog->MakeContextMenu(), nullptr);
        SelectFirst(1);
        auto menu = catalog->MakeContextMenu();
        ASSERT_TRUE(menu);
        for (int id : {CSnapDeskCatalog::kCommandEmail, CSnapDeskCatalog::kCommandPrint,
                       CSnapDeskCatalog::kCommandDelete}) {
            const QAction* a = CResourceMenu::FindCommand(menu.get(), id);
            ASSERT_NE(a, nullptr);
            EXPECT_EQ(a->isEnabled(), id != CSnapDeskCatalog::kCommandPrint || printEnabled) << id;
        }
    }
}

TEST_F(SnapDeskCatalogTest, TheDeleteKeyAndTheRightClickMenuDelete) {
    Capture("Picture 1.jpg", 100);
    Capture("Picture 2.jpg", 200);
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    catalog->show();
    SelectFirst(1);
    Answer(IDNO);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(catalog.get(), &press);
    EXPECT_EQ(boxes, List{Question(CSnapDeskCatalog::kAskDeletePhoto)});

    CSnapDeskCatalog::SetContextMenuHook([&](QMenu&) { return CSnapDeskCatalog::kCommandDelete; });
    Answer(IDYES);
    const QRect first = catalog->visualRect(catalog->model()->index(0, 0));
    QContextMenuEvent event(QContextMenuEvent::Mouse, first.center(),
                            catalog->viewport()->mapToGlobal(first.center()));
    QApplication::sendEvent(catalog->viewport(), &event);
    EXPECT_EQ(Names(), List{"Picture 1.jpg"});
    EXPECT_TRUE(Exists(env.Path("data/Trash/files/Picture 2.jpg")));
}

TEST_F(SnapDeskCatalogTest, AGalleryThatGoesEndsItsOpenBox) {
    Capture("Picture 1.jpg", 100);
    // No answer hook: the real box is up while the gallery is destroyed from the event loop.
    for (bool question : {true, false}) {
        SCOPED_TRACE(question);
        if (!catalog)
            MakeCatalog();
        ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
        SelectFirst(question ? 1 : 0);
        intptr_t endedWith = 0;
        QTimer::singleShot(0, [&] {
            CCustomMessageBox* box = question
                                         ? static_cast<CCustomMessageBox*>(CCustomMessageBoxYESNO::Current())
                                         : CCustomMessageBoxOK::Current();
            ASSERT_NE(box, nullptr);
            catalog.reset();
            endedWith = box->Result();
        });
        CSnapDeskCatalog* raw = catalog.get();
        question ? raw->DeleteSelected() : static_cast<void>(raw->EmailSelected());
        EXPECT_EQ(endedWith, question ? IDNO : IDCANCEL);
    }
    EXPECT_TRUE(Exists(pictures + "/Picture 1.jpg"));
}

TEST_F(SnapDeskCatalogTest, OpeningACaptureWithoutAProgram) {
    Capture("Picture 1.jpg", 100);
    Capture("Video 1.wmv", 100);
    List opened, links;
    CDesktopFileOpener::SetDesktopHook({[&](const std::string& p) { return opened.push_back(p), true; },
                                        [] { return false; }, [](const std::string&) { return false; }});
    DesktopLinks::SetOpenHook([&](const std::string& a) { return links.push_back(a), true; });
    Answer(IDOK);

    // No photo viewer: the user is told.
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    SelectFirst(1);
    catalog->OpenSelected();
    EXPECT_EQ(boxes, List{Info(CSnapDeskCatalog::kNoPhotoViewer)});
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
    EXPECT_EQ(links, List{CNoMediaPlayerDlg::DownloadAddress()});
    EXPECT_EQ(boxes.size(), 1u);
    DesktopLinks::SetOpenHook(nullptr);

    // With a viewer associated the file goes to it.
    env.WriteFile("data/applications/viewer.desktop",
                  "[Desktop Entry]\nType=Application\nName=V\nExec=v %f\nMimeType=image/jpeg;\n");
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    SelectFirst(1);
    catalog->OpenSelected();
    EXPECT_EQ(opened, List{pictures + "/Picture 1.jpg"});
}

TEST_F(SnapDeskCatalogTest, ThePlayerDialogsButtonOffersTheChoiceOfPrograms) {
    List opened;
    CDesktopFileOpener::SetDesktopHook({[&](const std::string& p) { return opened.push_back(p), true; },
                                        [] { return false; }, [](const std::string&) { return false; }});
    CNoMediaPlayerDlg dialog(movies + "/Video 9.wmv");
    ASSERT_TRUE(dialog.Create());
    ASSERT_NE(dialog.GetDlgItem(CNoMediaPlayerDlg::kDownloadLinkId), nullptr);
    auto* button = dialog.GetDlgItemAs<QAbstractButton>(CNoMediaPlayerDlg::kChooseProgramId);
    ASSERT_NE(button, nullptr);
    button->click();
    EXPECT_EQ(opened, List{movies + "/Video 9.wmv"});
    dialog.DestroyWindow();
}

} // namespace
