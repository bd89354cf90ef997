// The special folders, the private runtime folder, and the built-in resource library.
#include "platform/CNamedMutex.h"
#include "platform/CResourceLibrary.h"
#include "platform/HResult.h"
#include "platform/SpecialFolders.h"
#include "support/CTempEnvironment.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

TEST(SpecialFolders, OnlyAFolderOfThisUserWithMode0700CountsAsPrivate) {
    const unsigned me = 1000;
    // A directory?, its mode, its owner: private?
    const std::tuple<bool, unsigned, unsigned, bool> cases[] = {
        {true, S_IFDIR | 0700, me, true},     {true, S_IFDIR | 01700, me, true},
        {true, S_IFDIR | 0755, me, false},    {true, S_IFDIR | 0770, me, false},
        {true, S_IFDIR | 0500, me, false},    {true, S_IFDIR | 0700, 0, false},
        {true, S_IFDIR | 0700, 65534, false}, {false, S_IFLNK | 0700, me, false},
    };
    for (const auto& [directory, mode, owner, privateFolder] : cases)
        EXPECT_EQ(SpecialFolders::IsPrivateFolder(directory, mode, owner, me), privateFolder)
            << std::oct << mode << " owner " << std::dec << owner;
}

TEST(SpecialFolders, ARuntimeFolderThatIsNotPrivateIsPassedOver) {
    CTempEnvironment env;
    // The session's folder: made private, or used when it already is.
    EXPECT_EQ(SpecialFolders::RuntimeDir(), env.Path("runtime/vidora"));
    EXPECT_TRUE(SpecialFolders::RuntimeDirProblem().empty());
    struct stat st {};
    ASSERT_EQ(stat(env.Path("runtime/vidora").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // Without a session folder the shared temporary folder is used, where somebody may have been first:
    // a folder others may write into, a link to elsewhere and a plain file are all refused, and every call
    // settles on the same private alternative; one of ours that others may only read is closed again.
    env.SetEnv("XDG_RUNTIME_DIR", "");
    const std::string primary = env.Path("tmp/vidora-") + std::to_string(geteuid());
    ASSERT_EQ(mkdir(primary.c_str(), 0700), 0);
    ASSERT_EQ(chmod(primary.c_str(), 0775), 0);
    ASSERT_EQ(mkdir(env.Path("elsewhere").c_str(), 0700), 0);
    ASSERT_EQ(symlink(env.Path("elsewhere").c_str(), (primary + ".1").c_str()), 0);
    env.WriteFile("tmp/vidora-" + std::to_string(geteuid()) + ".2", "a file");
    ASSERT_EQ(mkdir((primary + ".3").c_str(), 0700), 0);
    ASSERT_EQ(chmod((primary + ".3").c_str(), 0755), 0);
    EXPECT_EQ(SpecialFolders::RuntimeDir(), primary + ".3");
    EXPECT_EQ(SpecialFolders::RuntimeDir(), primary + ".3");
    ASSERT_EQ(stat((primary + ".3").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(SpecialFolders::RuntimeDirProblem().empty());
    // None of them private: a fresh folder of this process, kept for its later calls, and the problem told.
    ASSERT_EQ(chmod((primary + ".3").c_str(), 0777), 0);
    for (int i = 4; i <= 9; ++i)
        env.WriteFile("tmp/vidora-" + std::to_string(geteuid()) + "." + std::to_string(i), "taken");
    const std::string fresh = SpecialFolders::RuntimeDir();
    EXPECT_EQ(fresh.rfind(primary + "-", 0), 0u) << fresh;
    EXPECT_EQ(SpecialFolders::RuntimeDir(), fresh);
    ASSERT_EQ(stat(fresh.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_NE(SpecialFolders::RuntimeDirProblem().find(primary), std::string::npos);
    // Nowhere to make even that: no folder, and named objects are refused rather than made elsewhere.
    env.SetEnv("XDG_RUNTIME_DIR", "/proc/no-such-session");
    env.SetEnv("TMPDIR", "/proc/no-such-folder");
    EXPECT_EQ(SpecialFolders::RuntimeDir(), "");
    EXPECT_FALSE(SpecialFolders::RuntimeDirProblem().empty());
    CNamedMutex mutex;
    EXPECT_FALSE(mutex.Create("VIDORA10_UNIQUE6712250", false));
    EXPECT_NE(mutex.LastError(), ERROR_ALREADY_EXISTS);
    EXPECT_NE(mutex.LastError(), ERROR_ACCESS_DENIED);
}

TEST(ResourceLibrary, TheBuiltInCopyServesStringsAndXmlAndStaysWhenAFileIsRefused) {
    CTempEnvironment env;
    CResourceLibrary& lib = CResourceLibrary::Instance();
    lib.Unload();
    env.WriteFile("bin/VAppRes.rcc", "this is not a resource file");
    EXPECT_FALSE(lib.LoadFile(env.Path("bin/VAppRes.rcc")));
    EXPECT_FALSE(lib.IsFileLoaded());
    EXPECT_EQ(lib.LanguageId().value_or(0), 0x0409);
    EXPECT_FALSE(lib.GetString(109).empty());
    EXPECT_TRUE(lib.GetData(ResourceType::Xml, 438).contains("<apps"));
    EXPECT_FALSE(lib.HasData(ResourceType::Png, 1999999));
}
