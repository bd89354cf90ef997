// Desktop entries: finding the installed mail programs from real entries in temporary applications folders
// (which entries count, which folder wins, translated names), and turning Exec lines into argument lists.
#include "platform/CDesktopEntry.h"
#include "platform/CDesktopExecLine.h"
#include "platform/CMailProgramFinder.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

Args Split(const std::string& exec, const CDesktopExecLine::Context& context = {}) {
    Args argv{"untouched"};
    if (!CDesktopExecLine::Split(exec, context, &argv)) {
        EXPECT_TRUE(argv.empty());
    }
    return argv;
}

std::string Entry(const std::string& name, const std::string& extra = {},
                  const std::string& mime = "text/html;x-scheme-handler/mailto;") {
    return "# written by the test\n[Desktop Entry]\nType=Application\nName=" + name +
           "\nExec=mailer %u\nMimeType=" + mime + "\n" + extra + "[Desktop Action Compose]\nName=Compose\n";
}

class MailProgramFinderTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The user's folder first, then the system's.
        env.WriteFile("user/applications/alpha.desktop", Entry("Alpha Mail", "Name[de]=Alpha Post\n"));
        env.WriteFile("user/applications/override.desktop", Entry("New Mail"));
        env.WriteFile("user/applications/gone.desktop", "[Desktop Entry]\nHidden=true\n");
        env.WriteFile("system/applications/override.desktop", Entry("Old Mail"));
        env.WriteFile("system/applications/gone.desktop", Entry("Gone Mail"));
        env.WriteFile("system/applications/beta.desktop", Entry("beta mail", "", "X-Scheme-Handler/Mailto"));
        env.WriteFile("system/applications/vendor/gamma.desktop", Entry("Gamma\\sMail"));
        env.WriteFile("system/applications/twin.desktop", Entry("ALPHA MAIL"));
        // Left out, each for one reason.
        env.WriteFile("system/applications/nodisplay.desktop", Entry("Menu-less Mail", "NoDisplay=true\n"));
        env.WriteFile("system/applications/hidden.desktop", Entry("Hidden Mail", "Hidden=true\n"));
        env.WriteFile("system/applications/viewer.desktop", Entry("Viewer", "", "text/plain;"));
        env.WriteFile("system/applications/link.desktop",
                      "[Desktop Entry]\nType=Link\nName=Web Mail\nURL=https://mail.example.com\n"
                      "MimeType=x-scheme-handler/mailto;\n");
        env.WriteFile("system/applications/noexec.desktop",
                      "[Desktop Entry]\nType=Application\nName=No Exec\nMimeType=x-scheme-handler/mailto;\n");
        env.WriteFile("system/applications/notinstalled.desktop",
                      Entry("Uninstalled Mail", "TryExec=/nonexistent/bin/mailer\n"));
        env.WriteFile("system/applications/malformed.desktop",
                      "Name=Broken Mail\n[Desktop Entry]\nType=Application\nExec=x\n"
                      "MimeType=x-scheme-handler/mailto;\n");
        env.WriteFile("system/applications/garbage.desktop",
                      "[Desktop Entry]\nType=Application\nName=Garbage \xff\xfe\nExec=x\n"
                      "MimeType=x-scheme-handler/mailto;\n");
        env.WriteFile("system/applications/notes.txt", Entry("Not An Entry"));
    }
    std::vector<std::string> Names(const std::string& locale) const {
        std::vector<std::string> names;
        for (const MailProgram& p : CMailProgramFinder({env.Path("nowhere"), env.Path("user/applications"),
                                                        env.Path("system/applications")},
                                                       locale)
                                        .Find())
            names.push_back(p.name + " <" + p.desktopId + ">");
        return names;
    }
    CTempEnvironment env;
};

TEST_F(MailProgramFinderTest, ListsTheMailHandlersTheDesktopWouldOfferByTheirNameInTheUsersLanguage) {
    const std::vector<std::string> expected = {"Alpha Mail <alpha.desktop>", "beta mail <beta.desktop>",
                                               "Gamma Mail <vendor-gamma.desktop>",
                                               "New Mail <override.desktop>"};
    EXPECT_EQ(Names(""), expected) << "a missing folder is no error; the user's entries win";
    EXPECT_EQ(Names("fr_FR"), expected) << "no French names: the plain ones";
    EXPECT_TRUE(CMailProgramFinder({}, "").Find().empty());
    // Translated, the twin's name no longer repeats the user's entry's, so both are listed.
    const std::vector<std::string> german = Names("de_AT.UTF-8@euro");
    ASSERT_EQ(german.size(), 5u);
    EXPECT_EQ(german[0], "ALPHA MAIL <twin.desktop>");
    EXPECT_EQ(german[1], "Alpha Post <alpha.desktop>");
}

TEST_F(MailProgramFinderTest, FoldersComeFromTheXdgVariables) {
    env.SetEnv("XDG_DATA_HOME", env.Path("user"));
    env.SetEnv("XDG_DATA_DIRS", env.Path("system") + ":relative/share:/usr/share/");
    const std::vector<std::string> expected = {env.Path("user/applications"), env.Path("system/applications"),
                                               "/usr/share/applications"};
    EXPECT_EQ(CMailProgramFinder::DesktopFolders(), expected);
    env.SetEnv("XDG_DATA_DIRS", "");
    env.SetEnv("XDG_DATA_HOME", "relative");
    env.SetEnv("HOME", env.Path("home"));
    const std::vector<std::string> defaults = {env.Path("home/.local/share/applications"),
                                               "/usr/local/share/applications", "/usr/share/applications"};
    EXPECT_EQ(CMailProgramFinder::DesktopFolders(), defaults);
}

TEST(CommsDesktopEntry, OnlyTheFirstEntryGroupAndTheFirstOfTwoEqualKeysCount) {
    CDesktopEntry entry;
    ASSERT_TRUE(entry.Parse("[Other]\nName=Wrong\n[Desktop Entry]\nName = Chat\\sPro\nName=Second\n"
                            "Comment=Line\\none\\ttab\\\\slash\nCategories=A;B\\;C;;D\nHidden=True\n"
                            "Name[sr@latin]=Caskanje\n[Desktop Entry]\nExec=evil\n"));
    EXPECT_EQ(entry.Value("Name"), "Chat Pro");
    EXPECT_EQ(entry.Value("Comment"), "Line\none\ttab\\slash");
    EXPECT_EQ(entry.List("Categories"), (Args{"A", "B;C", "D"}));
    EXPECT_FALSE(entry.Boolean("Hidden")) << "only the lower-case form is true";
    EXPECT_EQ(entry.LocalizedValue("Name", "sr_RS@latin"), "Caskanje");
    EXPECT_FALSE(entry.Has("Exec")) << "a second entry group does not add to the first";
}

TEST(CommsDesktopExec, QuotesGroupArgumentsShellSyntaxIsPlainTextAndFieldCodesExpand) {
    EXPECT_EQ(Split(R"(/usr/bin/chat --name "Two Words" "say \"hi\" \$HOME \`x\` \\ end" "" tail)"),
              (Args{"/usr/bin/chat", "--name", "Two Words", R"(say "hi" $HOME `x` \ end)", "", "tail"}));
    EXPECT_EQ(Split(R"(  /opt/chat/chat	--profile "a b; rm -rf ~" ; rm -rf / && echo $(id) | tee `x`  )"),
              (Args{"/opt/chat/chat", "--profile", "a b; rm -rf ~", ";", "rm", "-rf", "/", "&&", "echo",
                    "$(id)", "|", "tee", "`x`"}));
    CDesktopExecLine::Context context{"chat-icon", "Chat Pro", "/usr/share/applications/chat.desktop"};
    EXPECT_EQ(
        Split("chat %U --file=%f %F %u %d %D %n %N %v %m %i --title %c --from %k 100%% \"%f\"", context),
        (Args{"chat", "--file=", "--icon", "chat-icon", "--title", "Chat Pro", "--from",
              "/usr/share/applications/chat.desktop", "100%", "%f"}));
    EXPECT_EQ(Split("chat %i", {}), (Args{"chat"})) << "no icon, no --icon";
}

TEST(CommsDesktopExec, LinesThatCannotBeReadSafelyAreNotStarted) {
    for (const char* line : {"chat \"unterminated", "chat %z", "chat 100%", "", "%U", "\"\" --x"})
        EXPECT_TRUE(Split(line).empty()) << line;
}

} // namespace
