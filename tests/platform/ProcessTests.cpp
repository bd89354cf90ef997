// Command lines split without a shell, programs started from argument lists, and link-safe tree
// removal.
#include "platform/CProcessRunner.h"
#include "platform/CommandLine.h"
#include "platform/DirectoryTree.h"
#include "platform/SpecialFolders.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <chrono>
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
    const std::pair<const char*, Args> cases[] = {
        {" \t ", {}},
        {"a  b\tc ", {"a", "b", "c"}},
        {"pre\"fix a\"post x", {"prefix apost", "x"}},
        {R"(C:\dir\file.txt)", {R"(C:\dir\file.txt)"}}, // backslashes not before a quote stay
        {R"(a\\"b c")", {R"(a\b c)"}},                  // 2n backslashes: n of them, the quote opens
        {R"(a\\\"b)", {R"(a\"b)"}},                     // 2n+1: n of them and a literal quote
        {R"("a""b" c)", {R"(a"b)", "c"}},               // "" inside a quoted part
        {R"(x "" y)", {"x", "", "y"}},
        {R"(""")", {"\""}},
        {"\"unterminated arg", {"unterminated arg"}},
    };
    for (const auto& [line, expected] : cases)
        EXPECT_EQ(SplitCommandLine(line), expected) << line;
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
