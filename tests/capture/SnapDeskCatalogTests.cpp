// The galleries on real files in temporary folders: listing, selection, thumbnails built in the background
// and their bounded cache, delete to a private Trash, printing into PDF files, e-mail and opening a capture.
#include "PdfOutput.h"
#include "capture/CCaptureTrash.h"
#include "capture/CCatalogThumbnail.h"
#include "capture/CNoMediaPlayerDlg.h"
#include "capture/CPicturePrinter.h"
#include "capture/CSnapDeskCatalog.h"
#include "capture/CThumbnailLoader.h"
#include "config/CVidoraOEMInfo.h"
#include "platform/CDesktopFileOpener.h"
#include "platform/DesktopLinks.h"
#include "support/CFakeClock.h"
#include "support/CFakeProcessLauncher.h"
#include "support/CTempEnvironment.h"
#include "support/CVirtualTimerService.h"
#include "support/EventPump.h"
#include "ui/CCustomMessageBoxOK.h"
#include "ui/CCustomMessageBoxYESNO.h"
#include "ui/CResourceMenu.h"
#include "ui/ControlsRegistration.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QHBoxLayout>
#include <QImageWriter>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace {

using List = std::vector<std::string>;
using L = CCatalogListCtrl;

const auto Exists = [](const std::string& path) { return QFileInfo::exists(QString::fromStdString(path)); };

const QDateTime kDay(QDate(2026, 5, 1), QTime(12, 0), Qt::UTC);

class CRecordingMailSender : public IMailSender {
public:
    HRESULT Send(const std::vector<std::string>& paths, const std::string& subject,
                 const std::string& body) override {
        sent.push_back(paths);
        texts = subject + "|" + body;
        return S_OK;
    }
    std::vector<List> sent;
    std::string texts; // the last subject and body, joined by "|"
};

struct Gallery : CSnapDeskCatalog {
    using CCatalogListCtrl::SortItems;
};

// A gallery shown over temporary picture and movie folders, mailing through a recording sender, with the
// message boxes answered by a hook that keeps what they said.
class SnapDeskCatalogTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(&clock);
        SetTimerService(&timers);
        SetOEMInfo(&oem);
        RegisterToolkitControls();
        env.SetEnv("XDG_DATA_DIRS", env.Path("sysdata"));
        env.SetEnv("XDG_CONFIG_DIRS", env.Path("sysconfig"));
        // The system's MIME database stays in reach; its applications do not.
        QDir().mkpath(QString::fromStdString(env.Path("sysdata")));
        QFile::link(QStringLiteral("/usr/share/mime"), QString::fromStdString(env.Path("sysdata/mime")));
        for (const std::string* folder : {&pictures, &movies})
            QDir().mkpath(QString::fromStdString(*folder));
        MakeCatalog();
    }
    void MakeCatalog(bool recordMail = true) {
        catalog = std::make_unique<Gallery>();
        catalog->resize(480, 320);
        catalog->SetFolders(pictures, movies);
        if (recordMail) {
            auto sender = std::make_unique<CRecordingMailSender>();
            mail = sender.get();
            catalog->SetMailSender(std::move(sender));
        }
        catalog->SetStartupServiceCheck([this] { return serviceThere; });
        catalog->show();
    }
    void TearDown() override {
        catalog.reset();
        CCustomMessageBox::SetAnswerHook(nullptr);
        CPicturePrinter::SetPrinterChooserHook(nullptr);
        CDesktopFileOpener::SetDesktopHook({});
        DesktopLinks::SetOpenHook(nullptr);
        CSnapDeskCatalog::SetContextMenuHook(nullptr);
        SetTimerService(nullptr);
        SetClock(nullptr);
        SetOEMInfo(nullptr);
        UnregisterToolkitControls();
    }
    // Every box is answered with `answer` and remembered as a question ("? ") or an information ("! ").
    void Answer(intptr_t answer) {
        boxes.clear();
        CCustomMessageBox::SetAnswerHook(
            [this, answer](CCustomMessageBox::Kind kind, const std::string& text, MessageBoxIcon) {
                boxes.push_back((kind == CCustomMessageBox::Kind::YesNo ? "? " : "! ") + text);
                return answer;
            });
    }
    static std::string Question(uint32_t id) { return "? " + CDialogBase::LoadString(id); }
    static std::string Info(uint32_t id) { return "! " + CDialogBase::LoadString(id); }
    // A capture last changed `seconds` after kDay, in its own folder unless `folder` is given: a copy of
    // `from` when given, else a real if small picture or a stand-in movie. Returns its path.
    std::string Capture(const std::string& name, int seconds, std::string folder = {},
                        const std::string& from = {}) {
        const std::string path = (folder.empty() ? FolderOf(name) : folder) + "/" + name;
        const QString qpath = QString::fromStdString(path);
        QImage image(32, 24, QImage::Format_RGB32);
        image.fill(QColor::fromHsv((seconds * 37 % 360 + 360) % 360, 160, 220));
        if (!from.empty())
            EXPECT_TRUE(QFile::copy(QString::fromStdString(from), qpath)) << from;
        else if (FolderOf(name) == pictures)
            EXPECT_TRUE(image.save(qpath, "JPG"));
        else
            env.WriteFile(path.substr(env.Root().size() + 1), "not really a movie");
        QFile f(qpath);
        EXPECT_TRUE(f.open(QIODevice::ReadWrite) &&
                    f.setFileTime(kDay.addSecs(seconds), QFileDevice::FileModificationTime));
        return path;
    }
    void Pictures(int count) {
        const QString first = QString::fromStdString(Capture("Picture 0.jpg", 0));
        for (int i = 1; i < count; ++i)
            ASSERT_TRUE(QFile::link(
                first, QString::fromStdString(pictures + "/Picture " + std::to_string(i) + ".jpg")));
    }
    List Names() const {
        List names;
        for (int i = 0; i < catalog->ItemCount(); ++i)
            names.push_back(
                QFileInfo(QString::fromStdString(catalog->Item(i)->path)).fileName().toStdString());
        return names;
    }
    void Select(const std::vector<int>& rows) {
        catalog->ClearSelection();
        for (int row : rows)
            catalog->SelectItem(row, true);
    }
    void SelectFirst(int n) {
        catalog->ClearSelection();
        for (int i = 0; i < n && i < catalog->ItemCount(); ++i)
            catalog->SelectItem(i, true);
    }
    // Pictures and everything else (any case) live in different folders.
    std::string FolderOf(const std::string& name) const {
        return QFileInfo(QString::fromStdString(name)).suffix().toLower() == "jpg" ? pictures : movies;
    }
    QPoint CentreOf(int row) const { return catalog->visualRect(catalog->model()->index(row, 0)).center(); }
    void Paint() {
        DrainEvents();
        catalog->grab();
    }
    bool AnyPending() const {
        for (int i = 0; i < catalog->ItemCount(); ++i)
            if (catalog->IsThumbnailPending(i))
                return true;
        return false;
    }
    CTempEnvironment env;
    CVidoraOEMInfo oem;
    CFakeClock clock;
    CVirtualTimerService timers{clock};
    std::string pictures = env.Path("Pictures/Vidora");
    std::string movies = env.Path("Videos/Vidora");
    std::unique_ptr<Gallery> catalog;
    CRecordingMailSender* mail = nullptr;
    bool serviceThere = true;
    List boxes;
};

TEST_F(SnapDeskCatalogTest, EachGalleryListsItsCapturesNewestFirst) {
    Capture("Picture 1.jpg", 100);
    Capture("picture7.JPG", 300);
    Capture("Picture 2.jpg", 200);
    Capture("Picture 3.png", 400, pictures);
    Capture("Video 1.wmv", 500, pictures);
    QDir().mkpath(QString::fromStdString(pictures + "/Picture folder.jpg"));
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    EXPECT_EQ(Names(), (List{"picture7.JPG", "Picture 2.jpg", "Picture 1.jpg"}));
    // The mail texts are ready, their placeholders filled in.
    EXPECT_FALSE(catalog->mailSubject.empty());
    EXPECT_EQ((catalog->mailSubject + catalog->mailBody).find('%'), std::string::npos);
    // Videos and motion clips are sorted together; refilling replaces the list.
    const List videos = {"Motion 1.wmv", "Video 2.wmv", "MOTION 2.WMV", "Video 1.wmv", "Motion3.wmv"};
    for (size_t i = videos.size(); i-- > 0;) // oldest first
        Capture(videos[i], 500 - 100 * int(i));
    Capture("Picture 1.jpg", 600, movies);
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Videos), S_OK);
    EXPECT_EQ(Names(), videos);
    EXPECT_TRUE(catalog->Item(2)->motionClip && !catalog->Item(4)->motionClip);
    // A folder not made yet is an empty gallery; one that cannot be read fails and leaves the list empty.
    env.WriteFile("notafolder", "x");
    catalog->SetFolders(env.Path("no/pictures"), env.Path("notafolder"));
    EXPECT_EQ(catalog->Fill(CSnapDeskCatalog::Videos), E_FAIL);
    EXPECT_EQ(catalog->ItemCount(), 0);
    EXPECT_FALSE(catalog->IsBusy());
    EXPECT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    EXPECT_EQ(catalog->ItemCount(), 0);
    EXPECT_EQ(catalog->Fill(7), E_INVALIDARG);
}

TEST_F(SnapDeskCatalogTest, OnlyPlainFilesInsideTheGalleryFolderGoToTheTrash) {
    env.WriteFile("Pictures/outside.jpg", "outside");
    Capture("Picture 1.jpg", 100);
    QDir().mkpath(QString::fromStdString(pictures + "/Picture 9.jpg"));
    QFile::link(QString::fromStdString(env.Path("Pictures/outside.jpg")),
                QString::fromStdString(pictures + "/Picture 2.jpg"));
    QFile::link(QString::fromStdString(env.Path("nowhere.jpg")),
                QString::fromStdString(pictures + "/Picture 3.jpg"));
    using Outcome = CCaptureTrash::Outcome;
    const std::tuple<const char*, std::string, Outcome> cases[] = {
        {"a link leading out of the folder", pictures + "/Picture 2.jpg", Outcome::Refused},
        {"a dangling link", pictures + "/Picture 3.jpg", Outcome::Refused},
        {"a folder with a capture's name", pictures + "/Picture 9.jpg", Outcome::Refused},
        {"a file outside", env.Path("Pictures/outside.jpg"), Outcome::Refused},
        {"a way out through ..", pictures + "/../outside.jpg", Outcome::Refused},
        {"the folder itself", pictures, Outcome::Refused},
        {"a file that has gone", pictures + "/Picture 4.jpg", Outcome::Gone},
        {"a capture", pictures + "/Picture 1.jpg", Outcome::Trashed},
    };
    for (const auto& [what, path, outcome] : cases)
        EXPECT_EQ(CCaptureTrash::MoveToTrash(path, pictures), outcome) << what;
    EXPECT_TRUE(Exists(env.Path("Pictures/outside.jpg")));
    EXPECT_FALSE(Exists(pictures + "/Picture 1.jpg"));
    EXPECT_TRUE(Exists(env.Path("data/Trash/files/Picture 1.jpg")));
    QFile info(QString::fromStdString(env.Path("data/Trash/info/Picture 1.jpg.trashinfo")));
    ASSERT_TRUE(info.open(QIODevice::ReadOnly));
    const QByteArray text = info.readAll();
    EXPECT_TRUE(text.contains("[Trash Info]") && text.contains("Path="));
}

TEST_F(SnapDeskCatalogTest, DeletingMovesToTheTrashAndKeepsWhatCouldNotGo) {
    env.WriteFile("elsewhere.jpg", "keep me");
    for (int i = 1; i <= 4; ++i)
        Capture("Picture " + std::to_string(i) + ".jpg", 100 * i);
    ASSERT_TRUE(QFile::link(QString::fromStdString(env.Path("elsewhere.jpg")),
                            QString::fromStdString(pictures + "/Picture 5.jpg")));
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    ASSERT_EQ(Names(),
              (List{"Picture 5.jpg", "Picture 4.jpg", "Picture 3.jpg", "Picture 2.jpg", "Picture 1.jpg"}));
    Select({0, 3, 4});
    QFile::remove(QString::fromStdString(pictures + "/Picture 2.jpg")); // gone meanwhile
    Answer(IDYES);
    catalog->DeleteSelected();
    EXPECT_EQ(boxes,
              (List{Question(CSnapDeskCatalog::kAskDeletePhotos), Info(CSnapDeskCatalog::kNotAllTrashed)}));
    // The trashed and the vanished item leave; the link leading out of the folder stays, and its target.
    EXPECT_EQ(Names(), (List{"Picture 5.jpg", "Picture 4.jpg", "Picture 3.jpg"}));
    EXPECT_TRUE(Exists(env.Path("elsewhere.jpg")));
    EXPECT_TRUE(Exists(env.Path("data/Trash/files/Picture 1.jpg")));
    EXPECT_FALSE(catalog->IsBusy());
    // A file where the Trash folder should be: nothing can be moved there, and the captures stay listed.
    QDir(QString::fromStdString(env.Path("data/Trash"))).removeRecursively();
    env.WriteFile("data/Trash", "in the way");
    Select({1, 2});
    Answer(IDYES);
    catalog->DeleteSelected();
    EXPECT_EQ(catalog->ItemCount(), 3);
    EXPECT_TRUE(Exists(pictures + "/Picture 3.jpg"));
    EXPECT_EQ(boxes.back(), Info(CSnapDeskCatalog::kNotAllTrashed));
}

TEST_F(SnapDeskCatalogTest, DeleteAsksFirstByTheKeyOrTheMenuAndDoesNothingWithoutYes) {
    Capture("Picture 1.jpg", 100);
    Capture("Picture 2.jpg", 200);
    Capture("Video 1.wmv", 100);
    Capture("Motion 1.wmv", 200);
    using C = CSnapDeskCatalog;
    const std::tuple<int, std::vector<int>, std::string> cases[] = {
        {C::Pictures, {0}, Question(C::kAskDeletePhoto)},
        {C::Pictures, {0, 1}, Question(C::kAskDeletePhotos)},
        {C::Videos, {0}, Question(C::kAskDeleteVideo)},
        {C::Videos, {0, 1}, Question(C::kAskDeleteVideos)},
        {C::Videos, {}, Info(C::kNoDeleteSelection)},
    };
    catalog->show();
    for (const auto& [mediaType, selected, box] : cases) {
        ASSERT_EQ(catalog->Fill(mediaType), S_OK);
        Select(selected);
        Answer(IDNO);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
        QApplication::sendEvent(catalog.get(), &press);
        EXPECT_EQ(boxes, List{box});
        EXPECT_EQ(catalog->ItemCount(), 2);
        // Only a selection has a menu; the videos cannot be printed.
        auto menu = catalog->MakeContextMenu();
        ASSERT_EQ(menu != nullptr, !selected.empty());
        EXPECT_TRUE(!menu || CResourceMenu::FindCommand(menu.get(), C::kCommandPrint)->isEnabled() ==
                                 (mediaType == C::Pictures));
    }
    for (const char* name : {"Picture 1.jpg", "Picture 2.jpg", "Video 1.wmv", "Motion 1.wmv"})
        EXPECT_TRUE(Exists(FolderOf(name) + "/" + name)) << name;
    // Yes from the right-click menu's delete.
    ASSERT_EQ(catalog->Fill(C::Pictures), S_OK);
    Select({0});
    CSnapDeskCatalog::SetContextMenuHook([&](QMenu&) { return C::kCommandDelete; });
    Answer(IDYES);
    const QPoint first = catalog->visualRect(catalog->model()->index(0, 0)).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, first, catalog->viewport()->mapToGlobal(first));
    QApplication::sendEvent(catalog->viewport(), &event);
    EXPECT_EQ(Names(), List{"Picture 1.jpg"});
    EXPECT_TRUE(Exists(env.Path("data/Trash/files/Picture 2.jpg")));
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

TEST_F(SnapDeskCatalogTest, EmailLimitsPerGalleryAndFilesThatHaveGone) {
    for (int i = 1; i <= 6; ++i) {
        Capture("Picture " + std::to_string(i) + ".jpg", i);
        Capture("Video " + std::to_string(i) + ".wmv", i);
    }
    using C = CSnapDeskCatalog;
    const struct {
        int mediaType, selected;
        bool serviceThere;
        HRESULT result;
        int sent;     // paths handed to the sender; -1 when nothing was sent
        uint32_t box; // 0: none
    } cases[] = {
        {C::Pictures, 5, true, S_OK, 5, 0},
        {C::Pictures, 6, true, S_OK, -1, C::kTooManyPhotosMailed},
        {C::Videos, 6, true, S_OK, -1, C::kTooManyVideosMailed},
        {C::Videos, 1, true, S_OK, 1, 0},
        {C::Videos, 0, true, S_OK, -1, C::kNoEmailSelection},
        {C::Pictures, 2, false, E_FAIL, -1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mediaType << "/" << c.selected);
        ASSERT_EQ(catalog->Fill(c.mediaType), S_OK);
        SelectFirst(c.selected);
        serviceThere = c.serviceThere;
        mail->sent.clear();
        Answer(IDOK);
        EXPECT_EQ(catalog->EmailSelected(), c.result);
        EXPECT_EQ(mail->sent.empty() ? -1 : static_cast<int>(mail->sent[0].size()), c.sent);
        EXPECT_EQ(boxes, c.box == 0 ? List{} : List{Info(c.box)});
        EXPECT_TRUE(c.sent < 0 || mail->texts == catalog->mailSubject + "|" + catalog->mailBody);
    }
    // Selected captures that have gone are left out; with all of them gone nothing is sent.
    serviceThere = true;
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    SelectFirst(2);
    mail->sent.clear();
    for (int gone : {0, 1}) {
        QFile::remove(QString::fromStdString(catalog->Item(gone)->path));
        EXPECT_EQ(catalog->EmailSelected(), S_OK);
    }
    EXPECT_EQ(mail->sent, std::vector<List>{{catalog->Item(1)->path}});
}

// Without a sender of the test's, a gallery mails through the mail program beside the executable.
TEST_F(SnapDeskCatalogTest, AGalleryMailsThroughTheMailProgramByDefault) {
    env.WriteFile("bin/brenmailapp.exe", "#!/bin/sh\nexit 0\n");
    CFakeProcessLauncher launcher;
    SetProcessLauncher(&launcher);
    MakeCatalog(false);
    Capture("Picture 1.jpg", 100);
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK); // selects the newest
    EXPECT_EQ(catalog->EmailSelected(), S_OK);
    SetProcessLauncher(nullptr);
    ASSERT_EQ(launcher.Started().size(), 1u);
    EXPECT_EQ(launcher.Started()[0].at(0), env.ExeDir() + "/brenmailapp.exe");
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
    catalog->OpenSelected();
    EXPECT_EQ(boxes, List{Info(CSnapDeskCatalog::kNoPhotoViewer)});
    EXPECT_TRUE(opened.empty());
    // No player: the player dialog offers a download; its link ends it.
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Videos), S_OK);
    std::string dialogPath;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dlg = qobject_cast<CNoMediaPlayerDlg*>(w); dlg != nullptr && dlg->IsModal()) {
                dialogPath = dlg->MoviePath();
                dlg->OnDownloadLink();
            }
    });
    catalog->OpenSelected();
    EXPECT_EQ(dialogPath, movies + "/Video 1.wmv");
    EXPECT_EQ(links, List{CNoMediaPlayerDlg::DownloadAddress()});
    EXPECT_EQ(boxes.size(), 1u);
    // With a viewer associated the file goes to it.
    env.WriteFile("data/applications/viewer.desktop",
                  "[Desktop Entry]\nType=Application\nName=V\nExec=v %f\nMimeType=image/jpeg;\n");
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    catalog->OpenSelected();
    EXPECT_EQ(opened, List{pictures + "/Picture 1.jpg"});
    // Enter and a double click open it too; a double click on the empty part of the list does not.
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(catalog.get(), &enter);
    for (const QPoint& at : {CentreOf(0), QPoint(400, 250)})
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                  QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
            QMouseEvent click(type, at, catalog->viewport()->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                              Qt::NoModifier);
            QApplication::sendEvent(catalog->viewport(), &click);
        }
    EXPECT_EQ(opened.size(), 3u);
}

TEST_F(SnapDeskCatalogTest, AnAddedItemIsSelectedAndScrolledToWhereverItIsSorted) {
    Pictures(2100);
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    EXPECT_EQ(catalog->SelectedItems(), std::vector<int>{0});
    EXPECT_EQ(catalog->FocusedItem(), 0);
    EXPECT_FALSE(catalog->HasThumbnail(0) || catalog->HasThumbnail(2099)) << "thumbnails wait for a paint";
    const std::string oldest = Capture("Old.jpg", -100);
    ASSERT_TRUE(catalog->AddFile(oldest));
    ASSERT_EQ(catalog->FindItem(oldest), 2100);
    EXPECT_EQ(catalog->SelectedItems(), std::vector<int>{2100});
    EXPECT_TRUE(
        catalog->viewport()->rect().intersects(catalog->visualRect(catalog->model()->index(2100, 0))));
    const std::string fresh = Capture("New.jpg", 100);
    ASSERT_TRUE(catalog->AddFile(fresh));
    EXPECT_EQ(catalog->SelectedItems(), std::vector<int>{0}) << "the newest goes first, alone selected";
    EXPECT_EQ(catalog->FocusedItem(), 0);
    const std::string upper = pictures + "/NEW.jpg";
    EXPECT_EQ(catalog->FindItem(upper), 0);
    for (const std::string& refused : {upper, fresh, pictures + "/gone.jpg", pictures, std::string()})
        EXPECT_FALSE(catalog->AddFile(refused)) << refused;
    EXPECT_EQ(catalog->ItemCount(), 2102);
}

TEST_F(SnapDeskCatalogTest, SelectionFollowsItemsSortedAgainRemovedOrCleared) {
    for (int i = 1; i <= 5; ++i)
        Capture("Picture " + std::to_string(i) + ".jpg", 10 - i);
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    catalog->ClearSelection();
    for (const auto& [row, selected] : {std::pair{4, true}, {1, true}, {2, true}, {2, false}, {7, true}})
        catalog->SelectItem(row, selected);
    EXPECT_EQ(catalog->SelectedItems(), (std::vector<int>{1, 4}));
    // Picture 5 changed since it was listed: the next sort puts it first, selection and focus go along.
    ASSERT_GE(catalog->FocusedItem(), 0);
    const std::string focused = catalog->Item(catalog->FocusedItem())->path;
    catalog->Item(4)->lastWriteTime = kDay.addSecs(100).toMSecsSinceEpoch();
    catalog->SortItems();
    EXPECT_EQ(catalog->SelectedItems(), (std::vector<int>{0, 2}));
    EXPECT_EQ(catalog->Item(catalog->FocusedItem())->path, focused);
    catalog->Item(0)->lastWriteTime = kDay.addSecs(5).toMSecsSinceEpoch(); // back in its place
    catalog->SortItems();
    catalog->RemoveItem(1);
    catalog->RemoveItem(-1);
    catalog->RemoveItem(4);
    EXPECT_EQ(Names(), (List{"Picture 1.jpg", "Picture 3.jpg", "Picture 4.jpg", "Picture 5.jpg"}));
    EXPECT_EQ(catalog->SelectedItems(), std::vector<int>{3});
    catalog->Rearrange();
    EXPECT_EQ(catalog->SelectedItems(), std::vector<int>{0});
    EXPECT_EQ(catalog->FocusedItem(), 0);
    catalog->Clear();
    EXPECT_EQ(catalog->ItemCount(), 0);
    EXPECT_FALSE(catalog->IsTimerRunning(L::kCacheTrimTimerId));
    EXPECT_EQ(catalog->FocusedItem(), -1);
}

TEST_F(SnapDeskCatalogTest, PictureThumbnailsAreMadeWhenDrawnAndBadFilesDoNotStopTheList) {
    VIDORA_REQUIRE_TEST_MEDIA();
    Capture("Picture 1.jpg", 4);
    Capture("Picture 2.jpg", 3, {}, TestMediaDir() + "/jpeg-bomb-65535x65535-186bytes.jpg");
    Capture("Picture 3.jpg", 2, {}, TestMediaDir() + "/MANIFEST.md");
    Capture("Picture 4.jpg", 1, {}, TestMediaDir() + "/jpeg-exif-orientation6-1200x1800.jpg");
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    Paint();
    EXPECT_EQ(catalog->Item(0)->thumbnail.size(), QSize(100, 75));
    for (int i : {1, 2})
        EXPECT_FALSE(catalog->HasThumbnail(i) || catalog->IsThumbnailPending(i)) << i;
    ASSERT_TRUE(catalog->HasThumbnail(3));
    EXPECT_EQ(catalog->Item(3)->thumbnail,
              CCatalogThumbnail::FromFile(catalog->Item(3)->path, QSize(100, 75)));
    catalog->SetThumbnailSize(60, 45);
    EXPECT_FALSE(catalog->HasThumbnail(0)) << "thumbnails of the old size are dropped";
    Paint();
    EXPECT_EQ(catalog->Item(0)->thumbnail.size(), QSize(60, 45));
}

TEST_F(SnapDeskCatalogTest, MoviesAreDrawnEmptyUntilTheirThumbnailComesFromTheBackground) {
    VIDORA_REQUIRE_TEST_MEDIA();
    const std::string media = TestMediaDir() + "/";
    Capture("Picture 1.jpg", 5, movies);
    const std::string movie = Capture("Video 1.wmv", 4, {}, media + "wmv3-wma2-320x240-moviemaker21.wmv");
    const std::string clip = Capture("Motion 1.wmv", 3, {}, media + "wmv3-wma2-320x240-moviemaker21.wmv");
    const std::string broken =
        Capture("Video 2.wmv", 2, {}, media + "broken-headeronly-wvp2-wma-photostory3.wmv");
    const std::string removed = Capture("Video 3.asf", 1, {}, media + "wmv1-wma2-160x120-wmfsdk7.wmv");
    ASSERT_EQ(catalog->FillFromFolder(movies, "*"), S_OK);
    ASSERT_EQ(catalog->ItemCount(), 5);
    Paint();
    // The paint did not wait for any movie: each is still being read, the picture is there already.
    EXPECT_TRUE(catalog->HasThumbnail(0));
    for (int i = 1; i < 5; ++i)
        EXPECT_TRUE(!catalog->HasThumbnail(i) && catalog->IsThumbnailPending(i)) << i;
    // Meanwhile the items move and one goes: results find their items by path.
    catalog->Item(catalog->FindItem(broken))->lastWriteTime = kDay.addSecs(100).toMSecsSinceEpoch();
    catalog->SortItems();
    ASSERT_EQ(catalog->FindItem(broken), 0);
    catalog->RemoveItem(catalog->FindItem(removed));
    ASSERT_TRUE(PumpUntil([this] { return !AnyPending(); }, 30000)); // a movie read ends by its deadline
    ASSERT_TRUE(CThumbnailLoader::WaitForWorkers(10000));
    DrainEvents();
    const QImage expected = CCatalogThumbnail::FromFile(movie, catalog->ThumbnailSize());
    ASSERT_FALSE(expected.isNull());
    EXPECT_EQ(catalog->Item(catalog->FindItem(movie))->thumbnail, expected);
    const QImage badged = catalog->Item(catalog->FindItem(clip))->thumbnail;
    EXPECT_EQ(badged.size(), expected.size());
    EXPECT_NE(badged, expected) << "the motion clip wears its badge";
    EXPECT_FALSE(catalog->HasThumbnail(0)) << "the broken movie stays an empty frame";
    Paint();
    EXPECT_FALSE(catalog->IsThumbnailPending(0)) << "and is not read again at every paint";
}

TEST_F(SnapDeskCatalogTest, ClearingOrClosingTheListWhileMoviesAreReadIsSafe) {
    VIDORA_REQUIRE_TEST_MEDIA();
    Capture("Video 1.wmv", 1, {}, TestMediaDir() + "/broken-headeronly-wvp2-wma-photostory3.wmv");
    Capture("Video 2.wmv", 2, {}, TestMediaDir() + "/wmv3-wma2-320x240-moviemaker21.wmv");
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Videos), S_OK);
    Paint();
    ASSERT_TRUE(AnyPending());
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Videos), S_OK);
    Paint();
    EXPECT_TRUE(catalog->IsThumbnailPending(1))
        << "the new items are read again, not left to cancelled reads";
    catalog.reset();
    ASSERT_TRUE(CThumbnailLoader::WaitForWorkers(10000));
    DrainEvents();
}

TEST_F(SnapDeskCatalogTest, WithMoreThan149ItemsHiddenThumbnailsGoAfter20SecondsAndComeBackWhenDrawn) {
    Pictures(149);
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    Paint();
    auto drawAll = [this] { // as after scrolling through the whole list
        for (int i = 0; i < catalog->ItemCount(); ++i)
            catalog->Item(i)->thumbnail = catalog->Item(0)->thumbnail;
    };
    auto cached = [this] {
        int n = 0;
        for (int i = 0; i < catalog->ItemCount(); ++i)
            n += catalog->HasThumbnail(i) ? 1 : 0;
        return n;
    };
    drawAll();
    timers.Advance(60000);
    EXPECT_EQ(cached(), 149) << "149 items are kept";
    ASSERT_TRUE(catalog->AddFile(Capture("Picture 149.jpg", 100)));
    Paint();
    drawAll();
    catalog->scrollToTop();
    timers.Advance(L::kCacheTrimIntervalMs - 1);
    EXPECT_EQ(cached(), 150);
    timers.Advance(1);
    EXPECT_TRUE(catalog->HasThumbnail(0)) << "on screen";
    EXPECT_FALSE(catalog->HasThumbnail(149));
    EXPECT_GT(cached(), 0);
    EXPECT_LT(cached(), 20) << "only what the list shows";
    EXPECT_EQ(catalog->ThumbnailBytes(), cached() * qint64(100 * 75 * 4));
    EXPECT_TRUE(catalog->IsTimerRunning(L::kCacheTrimTimerId));
    catalog->scrollToBottom();
    Paint();
    EXPECT_TRUE(catalog->HasThumbnail(149)) << "made again when drawn again";
}

// A picture of its own size and format outside the gallery folders.
std::string Picture(const CTempEnvironment& env, const std::string& name, QSize size,
                    const char* format = "JPG") {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    EXPECT_TRUE(image.save(QString::fromStdString(env.Path(name)), format));
    return env.Path(name);
}

TEST_F(SnapDeskCatalogTest, PrintingGivesEachReadablePictureAPagePerCopy) {
    const std::string a = Picture(env, "a.jpg", {64, 48}), b = Picture(env, "b.png", {30, 90}, "PNG");
    env.WriteFile("broken.jpg", "not a picture");
    // The PDF printer makes no copies itself: they are printed one by one, collated or not.
    for (bool collate : {true, false}) {
        auto printer = PdfPrinter(env.Path("out.pdf"));
        printer->setCopyCount(3);
        printer->setCollateCopies(collate);
        ASSERT_FALSE(printer->supportsMultipleCopies());
        EXPECT_EQ(CPicturePrinter::Print(*printer, {a, env.Path("broken.jpg"), env.Path("gone.jpg"), b}), 2);
        EXPECT_EQ(PdfPageCount(env.Path("out.pdf")), 6) << collate;
    }
    // Nothing readable starts no document.
    auto none = PdfPrinter(env.Path("none.pdf"));
    EXPECT_EQ(CPicturePrinter::Print(*none, {env.Path("broken.jpg"), env.Path("missing.jpg")}), 0);
    EXPECT_FALSE(Exists(env.Path("none.pdf")));
}

TEST_F(SnapDeskCatalogTest, PrintingPicturesAreReadUprightAndAtABoundedSize) {
    // Only the header claims the size; the reader must not decode it at full size.
    const QImage wide = CPicturePrinter::LoadPicture(Picture(env, "big.png", {7000, 100}, "PNG"));
    ASSERT_FALSE(wide.isNull());
    EXPECT_LE(wide.width(), CPicturePrinter::kMaxPictureSide);
    EXPECT_NEAR(double(wide.width()) / wide.height(), 70.0, 1.0);
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    QImageWriter writer(QString::fromStdString(env.Path("turned.jpg")), "jpeg");
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(image));
    EXPECT_EQ(CPicturePrinter::LoadPicture(env.Path("turned.jpg")).size(), QSize(20, 40));
    VIDORA_REQUIRE_TEST_MEDIA();
    for (const char* name :
         {"jpeg-bomb-65535x65535-186bytes.jpg", "jpeg-truncated-progressive-100x100-noeoi.jpg",
          "gif-malformed-frame-65535x65535-bomb.gif", "jpeg-cmyk-adobe-256x256.jpg"}) {
        const QImage sample = CPicturePrinter::LoadPicture(TestMediaDir() + "/" + name);
        EXPECT_LE(std::max(sample.width(), sample.height()), CPicturePrinter::kMaxPictureSide) << name;
    }
}

// A picture of both galleries side by side for reviewing their look, written only when
// VIDORA_SCREENSHOT_DIR names a folder (scripts/screenshot.sh sets it).
TEST_F(SnapDeskCatalogTest, ScreenshotOfBothGalleries) {
    const char* folder = std::getenv("VIDORA_SCREENSHOT_DIR");
    if (folder == nullptr || *folder == '\0')
        GTEST_SKIP() << "VIDORA_SCREENSHOT_DIR is not set";
    VIDORA_REQUIRE_TEST_MEDIA();
    const std::pair<const char*, const char*> copies[] = {
        {"jpeg-exif-orientation6-1200x1800.jpg", "Picture 1.jpg"},
        {"jpeg-grayscale-512x512.jpg", "Picture 2.jpg"},
        {"jpeg-progressive-444-512x512.jpg", "Picture 3.jpg"},
        {"jpeg-baseline-420-227x149-ijg.jpg", "Picture 4.jpg"},
        {"jpeg-exif-orientation8-1800x1200.jpg", "Picture 5.jpg"},
        {"wmv1-wma2-160x120-wmfsdk7.wmv", "Video 1.wmv"},
        {"wmv3-wma2-320x240-moviemaker21.wmv", "Motion 1.wmv"},
        {"wmv2-wma2-640x356-ffmpeg-lavf56.asf", "Video 2.wmv"},
    };
    int minute = 0;
    for (const auto& [from, to] : copies)
        Capture(to, 60 * ++minute, {}, TestMediaDir() + "/" + from);
    Capture("Picture 6.jpg", 3600);
    QWidget window;
    window.setObjectName("galleries");
    auto* row = new QHBoxLayout(&window);
    catalog->setParent(&window);
    auto videos = std::make_unique<CSnapDeskCatalog>(&window);
    videos->SetFolders(pictures, movies);
    for (auto [title, gallery] :
         {std::pair<const char*, CSnapDeskCatalog*>{"Photos", catalog.get()}, {"Videos", videos.get()}}) {
        auto* box = new QVBoxLayout;
        box->addWidget(new QLabel(QString::fromLatin1(title)));
        box->addWidget(gallery, 1);
        row->addLayout(box);
    }
    window.resize(820, 380);
    window.show();
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    ASSERT_EQ(videos->Fill(CSnapDeskCatalog::Videos), S_OK);
    catalog->SelectItem(1, true);
    videos->SelectItem(0, true);
    DrainEvents();
    window.grab();
    PumpUntil(
        [&] {
            for (CSnapDeskCatalog* g : {static_cast<CSnapDeskCatalog*>(catalog.get()), videos.get()})
                for (int i = 0; i < g->ItemCount(); ++i)
                    if (!g->HasThumbnail(i))
                        return false;
            return true;
        },
        10000);
    DrainEvents();
    EXPECT_TRUE(window.grab().save(QString::fromLocal8Bit(folder) + "/gallery-both.png"));
    videos.reset();
    catalog.release(); // the window owns it now and deletes it
}

} // namespace
