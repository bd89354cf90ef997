// Opening captures with the desktop: which applications count as associated with a file type (temporary XDG
// folders stand in for the user's and the system's), and which way a file goes: its application, the
// chooser, or back to the caller.
#include "platform/CDesktopFileOpener.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

class DesktopFileOpenerTest : public ::testing::Test {
protected:
    void SetUp() override {
        env.SetEnv("XDG_DATA_HOME", env.Path("data"));
        env.SetEnv("XDG_DATA_DIRS", env.Path("sysdata"));
        env.SetEnv("XDG_CONFIG_HOME", env.Path("config"));
        env.SetEnv("XDG_CONFIG_DIRS", env.Path("sysconfig"));
        env.SetEnv("XDG_CURRENT_DESKTOP", "Test");
        for (const char* d : {"data/applications", "sysdata/applications", "config", "sysconfig"})
            QDir().mkpath(QString::fromStdString(env.Path(d)));
        // The system's MIME database stays in reach; only its applications are hidden.
        QFile::link(QStringLiteral("/usr/share/mime"), QString::fromStdString(env.Path("sysdata/mime")));
    }
    void TearDown() override { CDesktopFileOpener::SetDesktopHook({}); }

    void Entry(const std::string& relative, const std::string& mimeTypes = "") {
        QDir().mkpath(QFileInfo(QString::fromStdString(env.Path(relative))).path());
        env.WriteFile(relative, "[Desktop Entry]\nType=Application\nName=Viewer\nExec=viewer %f\n" +
                                    (mimeTypes.empty() ? "" : "MimeType=" + mimeTypes + "\n"));
    }

    CTempEnvironment env;
};

TEST_F(DesktopFileOpenerTest, AssociationsFromListsCachesAndEntries) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> files; // relative path -> content
        std::vector<std::string> entries;                       // installed desktop entries (no MimeType)
        bool associated;
    };
    const std::string cache = "[MIME Cache]\nimage/jpeg=viewer.desktop;\n";
    const Case cases[] = {
        {"nothing installed", {}, {}, false},
        {"system cache names an installed entry",
         {{"sysdata/applications/mimeinfo.cache", cache}},
         {"sysdata/applications/viewer.desktop"},
         true},
        {"the entry may be installed in another folder",
         {{"sysdata/applications/mimeinfo.cache", cache}},
         {"data/applications/viewer.desktop"},
         true},
        {"cache names an entry that is not installed",
         {{"sysdata/applications/mimeinfo.cache", cache}},
         {},
         false},
        {"cache for another type",
         {{"sysdata/applications/mimeinfo.cache", "[MIME Cache]\nimage/png=viewer.desktop;\n"}},
         {"sysdata/applications/viewer.desktop"},
         false},
        {"user default",
         {{"config/mimeapps.list", "[Default Applications]\nimage/jpeg=viewer.desktop\n"}},
         {"data/applications/viewer.desktop"},
         true},
        {"added in the per-desktop list",
         {{"config/test-mimeapps.list", "[Added Associations]\nimage/jpeg=viewer.desktop;\n"}},
         {"data/applications/viewer.desktop"},
         true},
        {"user removes the system's association",
         {{"sysdata/applications/mimeinfo.cache", cache},
          {"config/mimeapps.list", "[Removed Associations]\nimage/jpeg=viewer.desktop;\n"}},
         {"sysdata/applications/viewer.desktop"},
         false},
        {"entry in a sub-folder named with a dash",
         {{"sysdata/applications/mimeinfo.cache", "[MIME Cache]\nimage/jpeg=kde-viewer.desktop;\n"}},
         {"sysdata/applications/kde/viewer.desktop"},
         true},
        {"a list that is not a key file",
         {{"config/mimeapps.list", "\x01\x02 garbage = = [\n[\n=image/jpeg"}},
         {"data/applications/viewer.desktop"},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        for (const auto& [path, content] : c.files)
            env.WriteFile(path, content);
        for (const std::string& e : c.entries)
            Entry(e);
        EXPECT_EQ(CDesktopFileOpener::HasAssociatedApplication("image/jpeg"), c.associated);
        for (const char* d : {"data", "sysdata/applications", "config", "sysconfig"})
            QDir(QString::fromStdString(env.Path(d))).removeRecursively();
    }
}

TEST_F(DesktopFileOpenerTest, FoldersWithoutACacheAreReadEntryByEntry) {
    Entry("data/applications/player.desktop", "video/x-ms-wmv;video/mp4;");
    Entry("data/applications/editor.desktop", "text/plain;");
    EXPECT_EQ(CDesktopFileOpener::AssociatedApplications("video/x-ms-wmv"),
              std::vector<std::string>{"player.desktop"});
    EXPECT_TRUE(CDesktopFileOpener::AssociatedApplications("video/x-ms-wm").empty());
    // A type also counts as associated through the types it derives from (C source is plain text).
    EXPECT_TRUE(CDesktopFileOpener::HasAssociatedApplication("text/x-csrc"));
    EXPECT_FALSE(CDesktopFileOpener::HasAssociatedApplication("image/jpeg"));
}

TEST_F(DesktopFileOpenerTest, WhichWayAFileGoes) {
    using Result = CDesktopFileOpener::Result;
    env.WriteFile("Picture 1.jpg", "\xff\xd8\xff\xe0 not much of a picture");
    struct Case {
        const char* what;
        bool associated;
        bool portal;
        bool actionsSucceed;
        std::string file;
        Result result;
        std::string ran;
    };
    const Case cases[] = {
        {"associated", true, true, true, "Picture 1.jpg", Result::Opened, "default"},
        {"associated, the desktop fails", true, false, false, "Picture 1.jpg", Result::Failed, "default"},
        {"not associated, portal", false, true, true, "Picture 1.jpg", Result::ChooserShown, "chooser"},
        {"not associated, portal fails", false, true, false, "Picture 1.jpg", Result::Failed, "chooser"},
        {"not associated, no portal", false, false, true, "Picture 1.jpg", Result::NoApplication, ""},
        {"file gone", true, true, true, "Picture 2.jpg", Result::Failed, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(QString::fromStdString(env.Path("data/applications"))).removeRecursively();
        if (c.associated)
            Entry("data/applications/viewer.desktop", "image/jpeg;");
        std::string ran;
        CDesktopFileOpener::SetDesktopHook({
            [&](const std::string& path) {
                ran += "default";
                EXPECT_EQ(path, env.Path(c.file));
                return c.actionsSucceed;
            },
            [&] { return c.portal; },
            [&](const std::string& path) {
                ran += "chooser";
                EXPECT_EQ(path, env.Path(c.file));
                return c.actionsSucceed;
            },
        });
        EXPECT_EQ(CDesktopFileOpener::Open(env.Path(c.file)), c.result);
        EXPECT_EQ(ran, c.ran);
    }
}

TEST_F(DesktopFileOpenerTest, OpenWithUsesThePortalsChooserElseTheDesktop) {
    for (bool portal : {false, true}) {
        std::string ran;
        CDesktopFileOpener::SetDesktopHook({[&](const std::string&) { return ran += "default", true; },
                                            [portal] { return portal; },
                                            [&](const std::string&) { return ran += "chooser", true; }});
        EXPECT_TRUE(CDesktopFileOpener::OpenWith("/x/Video 1.wmv"));
        EXPECT_EQ(ran, portal ? "chooser" : "default");
    }
}

} // namespace
