#include "platform/CProcessRunner.h"
#include "platform/CProcessTable.h"
#include "platform/CommandLine.h"
#include "platform/DirectoryTree.h"
#include "platform/ErrorText.h"
#include "platform/HResult.h"
#include "platform/SpecialFolders.h"
#include "support/CFakeProcessLauncher.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <random>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace {
using Args = std::vector<std::string>;

bool Exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}
} // namespace

TEST(SplitCommandLine, QuotesAndBackslashes) {
    struct Case {
        const char* line;
        Args expected;
    };
    const Case cases[] = {
        {"", {}},
        {" \t ", {}},
        {"a  b\tc ", {"a", "b", "c"}},
        {"\"a b\" c", {"a b", "c"}},
        {"pre\"fix a\"post x", {"prefix apost", "x"}},
        {R"(C:\dir\file.txt)", {R"(C:\dir\file.txt)"}}, // backslashes not before a quote stay
        {R"(a\\"b c")", {R"(a\b c)"}},                  // 2n backslashes: n of them, the quote opens
        {R"(a\"b)", {R"(a"b)"}},                        // 2n+1: n of them and a literal quote
        {R"(a\\\"b)", {R"(a\"b)"}},
        {R"("a\\" b)", {R"(a\)", "b"}},
        {R"("a""b" c)", {R"(a"b)", "c"}}, // "" inside a quoted part
        {R"(x "" y)", {"x", "", "y"}},
        {R"("")", {""}},
        {R"(""")", {"\""}},
        {"\"unterminated arg", {"unterminated arg"}},
        {"\"/opt/My App/updater\" /prod:vidora", {"/opt/My App/updater", "/prod:vidora"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitCommandLine(c.line), c.expected) << c.line;
}

TEST(SplitCommandLine, JoinedArgumentsComeBackUnchanged) {
    const std::string alphabet[] = {"a", "b", " ", "\t", "\"", "\\", "\u00e9", "/", ":"};
    std::mt19937 random(20260306);
    for (int round = 0; round < 2000; ++round) {
        Args args(1 + random() % 4);
        for (std::string& a : args) {
            size_t length = random() % 7;
            for (size_t i = 0; i < length; ++i)
                a += alphabet[random() % std::size(alphabet)];
        }
        std::string line = JoinCommandLine(args);
        ASSERT_EQ(SplitCommandLine(line), args) << line;
    }
}

TEST(SplitCommandLine, QuotingOnlyWhereNeeded) {
    EXPECT_EQ(QuoteCommandLineArgument("/initializeapp"), "/initializeapp");
    EXPECT_EQ(QuoteCommandLineArgument(""), "\"\"");
    EXPECT_EQ(QuoteCommandLineArgument("a b"), "\"a b\"");
    EXPECT_EQ(QuoteCommandLineArgument(R"(say "hi")"), R"("say \"hi\"")");
    EXPECT_EQ(QuoteCommandLineArgument(R"(dir\)", true), R"("dir\\")");
    EXPECT_EQ(QuoteCommandLineArgument(R"(a\b)", true), R"("a\b")");
}

TEST(ProcessRunner, StartsProgramsFromArgumentsWithoutAShell) {
    CTempEnvironment env;
    CProcessRunner runner;
    // Characters a shell would act on reach the program untouched.
    std::string marker = env.Path("tmp/made by touch; $(echo no) *");
    ASSERT_TRUE(runner.StartDetached({"touch", marker}));
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!Exists(marker) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(Exists(marker));
    EXPECT_FALSE(Exists(env.Path("tmp/no")));

    EXPECT_FALSE(runner.StartDetached({}));
    EXPECT_FALSE(runner.StartDetached({""}));
    EXPECT_FALSE(runner.StartDetached({env.Path("bin/no-such-program")}));
}

TEST(ProcessTable, SkipsEntriesThatAreNotReadableProcesses) {
    CTempEnvironment env;
    env.WriteFile("proc/1/status", "Name:\tinit\nUid:\t0\t0\t0\t0\n");
    env.WriteFile("proc/42/status", "Name:\tsu\nUid:\t1000\t0\t0\t0\n"); // the effective user counts
    env.WriteFile("proc/43/status", "Name:\tbroken\nUid:\tnonsense\n");
    env.WriteFile("proc/44/cmdline", "ended while we looked");
    env.WriteFile("proc/0045/status", "Uid:\t5\t5\t5\t5\n");
    env.WriteFile("proc/abc/status", "Uid:\t5\t5\t5\t5\n");
    env.WriteFile("proc/self/status", "Uid:\t7\t7\t7\t7\n");
    CProcessTable table(env.Path("proc"));
    ASSERT_TRUE(table.Refresh());
    std::vector<std::pair<pid_t, uid_t>> seen;
    for (const ProcessEntry& p : table.Processes())
        seen.emplace_back(p.pid, p.uid);
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<std::pair<pid_t, uid_t>>{{1, 0}, {42, 0}}));
    EXPECT_EQ(table.OwnerOf("self"), 7u);
    EXPECT_FALSE(table.OwnerOf("43").has_value());

    CProcessTable missing(env.Path("no-proc"));
    EXPECT_FALSE(missing.Refresh());
    EXPECT_TRUE(missing.Processes().empty());
}

TEST(ErrorText, KnownCodesReadableTextsUnknownCodesTheFixedText) {
    EXPECT_EQ(GetErrorText(ERROR_ACCESS_DENIED), "Access is denied.");
    EXPECT_EQ(GetErrorText(static_cast<uint32_t>(E_ACCESSDENIED)), "Access is denied.");
    EXPECT_EQ(GetErrorText(static_cast<uint32_t>(HResultFromWin32(ERROR_ALREADY_EXISTS))),
              GetErrorText(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(GetErrorText(static_cast<uint32_t>(E_FAIL)), "The operation failed.");
    // errno values without a number of the program's own get the system's text.
    EXPECT_EQ(GetErrorText(ENOSPC), std::strerror(ENOSPC));
    EXPECT_EQ(GetErrorText(static_cast<uint32_t>(HResultFromWin32(ENOSPC))), std::strerror(ENOSPC));
    EXPECT_EQ(GetErrorText(0x8FFF1234u), "An unknown error occured");
    EXPECT_EQ(GetErrorText(99999), "An unknown error occured");
    EXPECT_EQ(GetErrorText(4000), "An unknown error occured");
    for (uint32_t code : {0u, 2u, 5u, 13u, 87u, 183u, 234u, 1021u, 1460u, 28u, 0x80004005u, 0x8007000Eu}) {
        std::string text = GetErrorText(code);
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << code;
    }
}

TEST(DirectoryTree, RemovesTheTreeButNothingLinksPointToAndRefusesLinksAndRoots) {
    CTempEnvironment env;
    env.WriteFile("home/keep/precious.txt", "mine");
    env.WriteFile("tmp/unpack/a.txt", "x");
    env.WriteFile("tmp/unpack/sub/deeper/b.bin", "y");
    env.WriteFile("tmp/unpack/.hidden", "z");
    ASSERT_EQ(symlink(env.Path("home/keep").c_str(), env.Path("tmp/unpack/sub/to-folder").c_str()), 0);
    ASSERT_EQ(symlink(env.Path("home/keep/precious.txt").c_str(), env.Path("tmp/unpack/to-file").c_str()), 0);
    ASSERT_EQ(symlink("/nonexistent", env.Path("tmp/unpack/dangling").c_str()), 0);
    ASSERT_EQ(mkfifo(env.Path("tmp/unpack/fifo").c_str(), 0600), 0);

    // Links, roots and files are refused as trees.
    for (const std::string& refused : {env.Path("tmp/unpack/sub/to-folder"), std::string("/"), std::string(),
                                       env.Path("tmp/.."), env.Path("home/keep/precious.txt")})
        EXPECT_FALSE(RemoveDirectoryTree(refused)) << refused;
    EXPECT_TRUE(Exists(env.Path("tmp/unpack/sub/to-folder")));

    EXPECT_TRUE(RemoveDirectoryTree(env.Path("tmp/unpack/")));
    EXPECT_FALSE(Exists(env.Path("tmp/unpack")));
    EXPECT_TRUE(Exists(env.Path("home/keep/precious.txt")));
    EXPECT_TRUE(Exists(env.Path("tmp")));
    // Nothing there: nothing to do, and the folder is gone as asked.
    EXPECT_TRUE(RemoveDirectoryTree(env.Path("tmp/never-made")));
}

TEST(DirectoryTree, TooDeepTreesAreLeftAlone) {
    CTempEnvironment env;
    std::string path = env.Path("tmp/deep");
    std::string leaf = path;
    for (int i = 0; i < kMaxTreeDepth + 5; ++i)
        leaf += "/d";
    ASSERT_TRUE(SpecialFolders::CreateFolderTree(leaf));
    EXPECT_FALSE(RemoveDirectoryTree(path));
    EXPECT_TRUE(Exists(leaf));
}
