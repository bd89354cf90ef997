// Which calling programs the stand-in finds among the desktop entries of a temporary XDG home, and which
// one the user's mimeapps lists make the default.
#include "CommsTestSupport.h"

#include "granite/comms/CCallingProgramScanner.h"

using Granite::CallingProgram;
using Granite::CCallingProgramScanner;

namespace {

std::vector<std::string> Names(const std::vector<CallingProgram>& programs) {
    std::vector<std::string> names;
    for (const CallingProgram& p : programs)
        names.push_back(p.name);
    return names;
}

const CallingProgram* ById(const std::vector<CallingProgram>& programs, const std::string& desktopId) {
    for (const CallingProgram& p : programs) {
        if (p.desktopId == desktopId)
            return &p;
    }
    return nullptr;
}

} // namespace

class CommsScannerTest : public ::testing::Test, protected CommsDesktop {
protected:
    std::vector<CallingProgram> Scan() {
        return CCallingProgramScanner(CCallingProgramScanner::FromEnvironment()).Scan();
    }
};

TEST_F(CommsScannerTest, KnownIdsAndCallingCategoriesAreFoundAndOtherProgramsAreNot) {
    std::string skype = Program("path-bin/skypeforlinux");
    Entry("data", "skypeforlinux.desktop",
          "[Desktop Entry]\nType=Application\nName=Skype\nExec=skypeforlinux %U\nCategories=Network;\n");
    Entry("share1", "org.example.Meet.desktop", Simple("Meet", Program("bin/meet")));
    Entry("share1", "org.example.Talk.desktop",
          Simple("Talk", Program("bin/talk"), "Network;InstantMessaging;"));
    Entry("share2", "org.example.Editor.desktop", Simple("Editor", Program("bin/editor"), "Utility;"));

    std::vector<CallingProgram> programs = Scan();
    EXPECT_EQ(Names(programs), (std::vector<std::string>{"Meet", "Skype", "Talk"})) << "sorted by name";
    const CallingProgram* s = ById(programs, "skypeforlinux.desktop");
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->video);
    EXPECT_TRUE(s->messaging);
    EXPECT_EQ(s->program, skype) << "found on PATH";
    EXPECT_FALSE(s->missing);
    EXPECT_NE(std::find(s->processNames.begin(), s->processNames.end(), "skypeforlinux"),
              s->processNames.end());
    const CallingProgram* meet = ById(programs, "org.example.Meet.desktop");
    ASSERT_NE(meet, nullptr);
    EXPECT_TRUE(meet->video);
    EXPECT_FALSE(meet->messaging);
    EXPECT_EQ(meet->processNames, (std::vector<std::string>{"meet"}));
    const CallingProgram* talk = ById(programs, "org.example.Talk.desktop");
    ASSERT_NE(talk, nullptr);
    EXPECT_FALSE(talk->video);
    EXPECT_TRUE(talk->messaging);
}

TEST_F(CommsScannerTest, TheMoreImportantFolderDecidesAnIdEvenByHidingIt) {
    std::string program = Program("bin/meet");
    Entry("data", "meet.desktop", Simple("Meet Home", program));
    Entry("share1", "meet.desktop", Simple("Meet System", program));
    Entry("data", "talk.desktop", "[Desktop Entry]\nType=Application\nName=Talk\nHidden=true\n");
    Entry("share2", "talk.desktop", Simple("Talk", program));
    Entry("share1", "vendor/chat.desktop", Simple("Vendor Chat", program));
    Entry("share1", "menu-only.desktop", Simple("Menu Only", program) + "NoDisplay=true\n");
    Entry("share1", "broken.desktop", "[Desktop Entry]\nName=Broken \xFF\n");
    Entry("share1", "link.desktop",
          "[Desktop Entry]\nType=Link\nName=Link\nURL=https://example.com\n"
          "Categories=VideoConference;\n");
    std::vector<CallingProgram> programs = Scan();
    EXPECT_EQ(Names(programs), (std::vector<std::string>{"Meet Home", "Vendor Chat"}));
    ASSERT_NE(ById(programs, "vendor-chat.desktop"), nullptr) << "sub-folders join the id with '-'";
}

TEST_F(CommsScannerTest, ProgramsThatCannotStartAreListedAsMissing) {
    Entry("data", "a.desktop", Simple("Absent", "/nonexistent/absent"));
    Entry("data", "b.desktop", Simple("Tried", Program("bin/tried")) + "TryExec=not-on-path\n");
    Entry("data", "c.desktop", Simple("Quoted", "\"" + Program("bin/quoted") + "\""));
    Entry("data", "d.desktop",
          "[Desktop Entry]\nType=Application\nName=Bad\nExec=bad %z\n"
          "Categories=VideoConference;\n");
    std::vector<CallingProgram> programs = Scan();
    ASSERT_EQ(programs.size(), 4u);
    EXPECT_TRUE(ById(programs, "a.desktop")->missing);
    EXPECT_TRUE(ById(programs, "b.desktop")->missing);
    EXPECT_FALSE(ById(programs, "c.desktop")->missing);
    EXPECT_TRUE(ById(programs, "d.desktop")->missing);
}

TEST_F(CommsScannerTest, TwoEntriesWithTheSameNameAreListedOnceAndNamesAreTranslated) {
    env.SetEnv("LC_ALL", "de_DE.UTF-8");
    std::string program = Program("bin/meet");
    Entry("data", "org.example.Meet.desktop",
          Simple("Meet", program) + "Name[de]=Treffen\nComment[de]=Anrufe\n");
    Entry("share1", "meet-flatpak.desktop", Simple("Meet", program));
    std::vector<CallingProgram> programs = Scan();
    ASSERT_EQ(programs.size(), 1u);
    EXPECT_EQ(programs[0].id, "Meet");
    EXPECT_EQ(programs[0].name, "Treffen");
    EXPECT_EQ(programs[0].description, "Anrufe");
}

TEST_F(CommsScannerTest, TheDefaultIsTheFirstInstalledHandlerOfACallingScheme) {
    std::string program = Program("bin/chat");
    Entry("data", "alpha.desktop", Simple("Alpha", program));
    Entry("data", "beta.desktop", Simple("Beta", program));
    Entry("data", "gamma.desktop", Simple("Gamma", "/nonexistent/gamma"));
    CCallingProgramScanner scanner(CCallingProgramScanner::FromEnvironment());
    std::vector<CallingProgram> programs = scanner.Scan();
    EXPECT_EQ(scanner.DefaultDesktopId(programs), "");

    env.WriteFile("share1/applications/mimeapps.list",
                  "[Default Applications]\nx-scheme-handler/tel=alpha.desktop\n");
    EXPECT_EQ(scanner.DefaultDesktopId(programs), "alpha.desktop");
    // The user's own list wins over the system's, and an uninstalled or missing handler is passed over.
    env.WriteFile("config/mimeapps.list", "[Added Associations]\nx-scheme-handler/callto=alpha.desktop\n"
                                          "[Default Applications]\nx-scheme-handler/tel=nothere.desktop;"
                                          "gamma.desktop;beta.desktop;\n");
    EXPECT_EQ(scanner.DefaultDesktopId(programs), "beta.desktop");
    // A more important scheme beats a less important one anywhere.
    env.WriteFile("etc-xdg/mimeapps.list", "[Default Applications]\nx-scheme-handler/callto=alpha.desktop\n");
    EXPECT_EQ(scanner.DefaultDesktopId(programs), "alpha.desktop");
}
