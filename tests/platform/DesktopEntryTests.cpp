// Reading desktop entries and turning their Exec lines into argument lists.
#include "platform/CDesktopEntry.h"
#include "platform/CDesktopExecLine.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Split(const std::string& exec, const CDesktopExecLine::Context& context = {}) {
    std::vector<std::string> argv{"untouched"};
    if (!CDesktopExecLine::Split(exec, context, &argv)) {
        EXPECT_TRUE(argv.empty());
    }
    return argv;
}

using Args = std::vector<std::string>;

} // namespace

TEST(CommsDesktopEntry, ReadsTheEntryGroupOnlyWithEscapesAndTheFirstOfTwoEqualKeys) {
    CDesktopEntry entry;
    ASSERT_TRUE(
        entry.Parse("# comment\n[Other]\nName=Wrong\n\n[Desktop Entry]\nName = Chat\\sPro\nName=Second\n"
                    "Comment=Line\\none\\ttab\\\\slash\nCategories=A;B\\;C;;D\nNoDisplay=true\n"
                    "Hidden=True\n[Desktop Action New]\nExec=other\n"));
    EXPECT_EQ(entry.Value("Name"), "Chat Pro");
    EXPECT_EQ(entry.Value("Comment"), "Line\none\ttab\\slash");
    EXPECT_EQ(entry.List("Categories"), (Args{"A", "B;C", "D"}));
    EXPECT_TRUE(entry.Boolean("NoDisplay"));
    EXPECT_FALSE(entry.Boolean("Hidden")) << "only the lower-case form is true";
    EXPECT_FALSE(entry.Has("Exec")) << "keys of other groups are not the entry's";
}

TEST(CommsDesktopEntry, LocalizedValuesFallBackFromTheMostToTheLeastSpecificLocale) {
    CDesktopEntry entry;
    ASSERT_TRUE(entry.Parse("[Desktop Entry]\nName=Chat\nName[de]=Plaudern\nName[de_AT]=Tratsch\n"
                            "Name[sr@latin]=Caskanje\n"));
    EXPECT_EQ(entry.LocalizedValue("Name", "de_AT.UTF-8"), "Tratsch");
    EXPECT_EQ(entry.LocalizedValue("Name", "de_CH.UTF-8"), "Plaudern");
    EXPECT_EQ(entry.LocalizedValue("Name", "sr_RS@latin"), "Caskanje");
    EXPECT_EQ(entry.LocalizedValue("Name", "fr_FR"), "Chat");
    EXPECT_EQ(entry.LocalizedValue("Name", ""), "Chat");
}

TEST(CommsDesktopEntry, MalformedFilesAreRefusedWhole) {
    CDesktopEntry entry;
    EXPECT_FALSE(entry.Parse("Name=No group\n"));
    EXPECT_FALSE(entry.Parse("[Desktop Entry]\nName=Bad \xFF\xFE bytes\n"));
    EXPECT_FALSE(entry.Has("Name"));
    // A second entry group does not override the first.
    ASSERT_TRUE(entry.Parse("[Desktop Entry]\nExec=good\n[Desktop Entry]\nExec=evil\nName=Evil\n"));
    EXPECT_EQ(entry.Value("Exec"), "good");
    EXPECT_FALSE(entry.Has("Name"));
    EXPECT_FALSE(entry.Load("/nonexistent/file.desktop"));
}

TEST(CommsDesktopExec, QuotesGroupArgumentsAndBackslashesKeepSpecialCharactersLiteral) {
    EXPECT_EQ(Split(R"(/usr/bin/chat --name "Two Words" "say \"hi\" \$HOME \`x\` \\ end")"),
              (Args{"/usr/bin/chat", "--name", "Two Words", R"(say "hi" $HOME `x` \ end)"}));
    EXPECT_EQ(Split("chat \"\" tail"), (Args{"chat", "", "tail"})) << "empty quotes are an argument";
    EXPECT_EQ(Split("  chat\t--a   --b  "), (Args{"chat", "--a", "--b"}));
}

TEST(CommsDesktopExec, FieldCodesAreExpandedOrRemoved) {
    CDesktopExecLine::Context context{"chat-icon", "Chat Pro", "/usr/share/applications/chat.desktop"};
    EXPECT_EQ(Split("chat %U --file=%f %F %u %d %D %n %N %v %m", context), (Args{"chat", "--file="}));
    EXPECT_EQ(Split("chat %i --title %c --from %k 100%%", context),
              (Args{"chat", "--icon", "chat-icon", "--title", "Chat Pro", "--from",
                    "/usr/share/applications/chat.desktop", "100%"}));
    EXPECT_EQ(Split("chat %i", {}), (Args{"chat"})) << "no icon, no --icon";
    EXPECT_EQ(Split("chat \"%f\"", context), (Args{"chat", "%f"})) << "nothing is expanded inside quotes";
}

TEST(CommsDesktopExec, LinesThatCannotBeReadSafelyAreNotStarted) {
    EXPECT_TRUE(Split("chat \"unterminated").empty());
    EXPECT_TRUE(Split("chat %z").empty());
    EXPECT_TRUE(Split("chat 100%").empty());
    EXPECT_TRUE(Split("").empty());
    EXPECT_TRUE(Split("%U").empty());
    EXPECT_TRUE(Split("\"\" --x").empty()) << "no program";
}

TEST(CommsDesktopExec, ShellSyntaxIsPlainTextInTheArgumentList) {
    EXPECT_EQ(Split(R"(/opt/chat/chat --profile "a b; rm -rf ~" %U ; rm -rf / && echo $(id) | tee `x`)"),
              (Args{"/opt/chat/chat", "--profile", "a b; rm -rf ~", ";", "rm", "-rf", "/", "&&", "echo",
                    "$(id)", "|", "tee", "`x`"}));
}
