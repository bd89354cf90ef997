// Opening captures and links with the desktop (temporary XDG folders stand in for the user's and the
// system's), and the notices about the system's own camera driver and the gallery's missing player.
#include "app/CVidoraSettings.h"
#include "capture/CNoMediaPlayerDlg.h"
#include "capture/CUVCNotificationDlg.h"
#include "platform/CDesktopFileOpener.h"
#include "platform/DesktopLinks.h"
#include "support/CTempEnvironment.h"
#include "support/EventPump.h"
#include "ui/ControlsRegistration.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// Runs `act` on the modal dialog once it is up.
template <class Dialog> void WhenOpen(std::function<void(Dialog*)> act) {
    QTimer::singleShot(0, [act] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<Dialog*>(w); dialog != nullptr && dialog->IsModal())
                return act(dialog);
        ADD_FAILURE() << "no modal dialog";
    });
}

void Click(CDialogBase* dialog, int id) {
    auto* button = dialog->GetDlgItemAs<QAbstractButton>(id);
    ASSERT_NE(button, nullptr) << "control " << id;
    button->click();
}

// The texts of the dialog's controls, one a line.
std::string ControlTexts(const QWidget* dialog) {
    std::string all;
    for (const QWidget* control : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        all += CDialogBase::GetWidgetText(control) + "\n";
    return all;
}

class CaptureNoticeTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterToolkitControls();
        DesktopLinks::SetOpenHook(
            [this](const std::string& address) { return opened.push_back(address), true; });
    }
    void TearDown() override {
        DesktopLinks::SetOpenHook(nullptr);
        CDesktopFileOpener::SetDesktopHook({});
        CUVCNotificationDlg::IsOpen() = false;
        Pump();
    }
    // Temporary XDG folders for the user's and the system's applications; the system's MIME database stays.
    void Xdg() {
        env.SetEnv("XDG_DATA_HOME", env.Path("data"));
        env.SetEnv("XDG_DATA_DIRS", env.Path("sysdata"));
        env.SetEnv("XDG_CONFIG_HOME", env.Path("config"));
        env.SetEnv("XDG_CONFIG_DIRS", env.Path("sysconfig"));
        env.SetEnv("XDG_CURRENT_DESKTOP", "Test");
        for (const char* d : {"data/applications", "sysdata/applications", "config", "sysconfig"})
            QDir().mkpath(QString::fromStdString(env.Path(d)));
        QFile::link(QStringLiteral("/usr/share/mime"), QString::fromStdString(env.Path("sysdata/mime")));
    }
    void Entry(const std::string& relative, const std::string& mimeTypes = "") {
        QDir().mkpath(QFileInfo(QString::fromStdString(env.Path(relative))).path());
        env.WriteFile(relative, "[Desktop Entry]\nType=Application\nName=Viewer\nExec=viewer %f\n" +
                                    (mimeTypes.empty() ? "" : "MimeType=" + mimeTypes + "\n"));
    }
    CTempEnvironment env;
    std::vector<std::string> opened;
};

TEST_F(CaptureNoticeTest, TheDriverNoticeHoldsItsOwnerAndRemembersDoNotShowAgain) {
    QWidget owner;
    owner.show();
    bool ownerDisabled = false, flagged = false, onTop = false;
    QPoint centre;
    WhenOpen<CUVCNotificationDlg>([&](CUVCNotificationDlg* d) {
        ownerDisabled = !owner.isEnabled();
        flagged = CUVCNotificationDlg::IsOpen();
        onTop = d->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        centre = d->frameGeometry().center();
        // The link opens the help page and leaves the notice up.
        Click(d, CUVCNotificationDlg::kHelpLinkId);
        EXPECT_TRUE(d->isVisible());
        Click(d, CUVCNotificationDlg::kDontShowAgainId);
        Click(d, IDOK);
    });
    EXPECT_EQ(CUVCNotificationDlg::Run(&owner), IDOK);
    EXPECT_TRUE(ownerDisabled && flagged && onTop);
    EXPECT_LE((centre - QGuiApplication::primaryScreen()->availableGeometry().center()).manhattanLength(), 4);
    EXPECT_EQ(opened, std::vector<std::string>{CUVCNotificationDlg::HelpAddress()});
    EXPECT_TRUE(DesktopLinks::IsOpenableAddress(CUVCNotificationDlg::HelpAddress()));
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_FALSE(CUVCNotificationDlg::IsOpen());
    EXPECT_EQ(CVidoraSettings::GetDontWarnUVC(), 1u);
    // Over an owner that was disabled already, closed with the box clear: the owner stays disabled and the
    // setting follows the box.
    owner.setEnabled(false);
    WhenOpen<CUVCNotificationDlg>([](CUVCNotificationDlg* d) { d->close(); });
    EXPECT_EQ(CUVCNotificationDlg::Run(&owner), IDCANCEL);
    EXPECT_FALSE(owner.isEnabled());
    EXPECT_EQ(CVidoraSettings::GetDontWarnUVC(), 0u);
}

TEST_F(CaptureNoticeTest, ThePlayerDialogOfTheGalleryKeepsItsOwnTextsAndOffersTheChoiceOfPrograms) {
    // The gallery's dialog and the driver notice once shared string ids; each shows its own text now.
    CNoMediaPlayerDlg player(env.Path("Video 9.wmv"));
    ASSERT_TRUE(player.Create());
    CUVCNotificationDlg notice;
    ASSERT_TRUE(notice.Create());
    const std::string playerText = ControlTexts(&player), noticeText = ControlTexts(&notice);
    EXPECT_NE(playerText.find("video"), std::string::npos) << playerText;
    EXPECT_NE(noticeText.find("driver"), std::string::npos) << noticeText;
    EXPECT_EQ(playerText.find("driver"), std::string::npos) << playerText;
    const std::string button =
        CDialogBase::GetWidgetText(player.GetDlgItem(CNoMediaPlayerDlg::kChooseProgramId));
    EXPECT_NE(button, "");
    EXPECT_EQ(noticeText.find(button), std::string::npos);
    std::vector<std::string> chosen;
    CDesktopFileOpener::SetDesktopHook({[&](const std::string& p) { return chosen.push_back(p), true; },
                                        [] { return false; }, [](const std::string&) { return false; }});
    Click(&player, CNoMediaPlayerDlg::kChooseProgramId);
    EXPECT_EQ(chosen, std::vector<std::string>{env.Path("Video 9.wmv")});
    player.DestroyWindow();
    notice.DestroyWindow();
}

TEST_F(CaptureNoticeTest, AssociationsFromListsCachesAndEntries) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> files; // relative path -> content
        std::string entry;                                      // an installed desktop entry (no MimeType)
        bool associated;
    };
    const std::string sysCache = "sysdata/applications/mimeinfo.cache", userList = "config/mimeapps.list";
    const std::string sysEntry = "sysdata/applications/viewer.desktop";
    const std::string userEntry = "data/applications/viewer.desktop";
    const std::string kdeEntry = "sysdata/applications/kde/viewer.desktop";
    const std::string cache = "[MIME Cache]\nimage/jpeg=viewer.desktop;\n";
    const std::string pngCache = "[MIME Cache]\nimage/png=viewer.desktop;\n";
    const std::string dashCache = "[MIME Cache]\nimage/jpeg=kde-viewer.desktop;\n";
    const std::string byDefault = "[Default Applications]\nimage/jpeg=viewer.desktop\n";
    const std::string added = "[Added Associations]\nimage/jpeg=viewer.desktop;\n";
    const std::string removed = "[Removed Associations]\nimage/jpeg=viewer.desktop;\n";
    const std::string garbage = "\x01\x02 garbage = = [\n[\n=image/jpeg";
    const Case cases[] = {
        {"nothing installed", {}, "", false},
        {"system cache names an installed entry", {{sysCache, cache}}, sysEntry, true},
        {"the entry may be installed in another folder", {{sysCache, cache}}, userEntry, true},
        {"cache names an entry that is not installed", {{sysCache, cache}}, "", false},
        {"cache for another type", {{sysCache, pngCache}}, sysEntry, false},
        {"user default", {{userList, byDefault}}, userEntry, true},
        {"added in the per-desktop list", {{"config/test-mimeapps.list", added}}, userEntry, true},
        {"user removes the system's association", {{sysCache, cache}, {userList, removed}}, sysEntry, false},
        {"entry in a sub-folder, named with a dash", {{sysCache, dashCache}}, kdeEntry, true},
        {"a list that is not a key file", {{userList, garbage}}, userEntry, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Xdg();
        for (const auto& [path, content] : c.files)
            env.WriteFile(path, content);
        if (!c.entry.empty())
            Entry(c.entry);
        EXPECT_EQ(CDesktopFileOpener::HasAssociatedApplication("image/jpeg"), c.associated);
        for (const char* d : {"data", "sysdata/applications", "config", "sysconfig"})
            QDir(QString::fromStdString(env.Path(d))).removeRecursively();
    }
}

TEST_F(CaptureNoticeTest, WhichWayAFileGoes) {
    using Result = CDesktopFileOpener::Result;
    Xdg();
    env.WriteFile("Picture 1.jpg", "\xff\xd8\xff\xe0 not much of a picture");
    const struct {
        bool associated, portal, actionsSucceed;
        const char* file;
        Result result;
        std::string ran;
    } cases[] = {
        {true, true, true, "Picture 1.jpg", Result::Opened, "default"},
        {true, false, false, "Picture 1.jpg", Result::Failed, "default"},
        {false, true, true, "Picture 1.jpg", Result::ChooserShown, "chooser"},
        {false, true, false, "Picture 1.jpg", Result::Failed, "chooser"},
        {false, false, true, "Picture 1.jpg", Result::NoApplication, ""},
        {true, true, true, "Picture 2.jpg", Result::Failed, ""}, // gone
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        QDir(QString::fromStdString(env.Path("data/applications"))).removeRecursively();
        if (c.associated)
            Entry("data/applications/viewer.desktop", "image/jpeg;");
        std::string ran;
        auto action = [&](const char* name) {
            return [&, name](const std::string& path) {
                ran += std::string(name) + (path == env.Path(c.file) ? "" : " of another file");
                return c.actionsSucceed;
            };
        };
        CDesktopFileOpener::SetDesktopHook({action("default"), [&] { return c.portal; }, action("chooser")});
        EXPECT_EQ(CDesktopFileOpener::Open(env.Path(c.file)), c.result);
        EXPECT_EQ(ran, c.ran);
    }
}

} // namespace
