#include "platform/CResourceLibrary.h"
#include "platform/SpecialFolders.h"
#include "support/CTempEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

TEST(SpecialFolders, FollowTheEnvironmentAndUserDirs) {
    CTempEnvironment env;
    env.WriteFile("config/user-dirs.dirs",
                  "XDG_PICTURES_DIR=\"$HOME/Bilder\"\nXDG_VIDEOS_DIR=\"$HOME/Filme\"\n");
    EXPECT_EQ(SpecialFolders::GetPath(CSIDL_MYPICTURES), env.Path("home/Bilder"));
    EXPECT_EQ(SpecialFolders::GetPath(CSIDL_MYVIDEO), env.Path("home/Filme"));
    EXPECT_EQ(SpecialFolders::GetPath(CSIDL_COMMON_APPDATA), env.Path("common"));
    EXPECT_EQ(SpecialFolders::GetPath(CSIDL_APPDATA), env.Path("data"));
    EXPECT_EQ(SpecialFolders::TempDir(), env.Path("tmp"));
    EXPECT_EQ(SpecialFolders::UserConfigDir(), env.Path("config/vidora"));
    EXPECT_EQ(SpecialFolders::MachineDir(), env.Path("machine"));
    EXPECT_FALSE(SpecialFolders::GetPath(12345).has_value());

    // With the create flag a missing folder is made.
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(env.Path("home/Bilder"))));
    auto created = SpecialFolders::GetPath(CSIDL_MYPICTURES | CSIDL_FLAG_CREATE);
    ASSERT_TRUE(created.has_value());
    EXPECT_TRUE(QFileInfo(QString::fromStdString(*created)).isDir());
}

TEST(SpecialFolders, RuntimeFolderIsPrivate) {
    CTempEnvironment env;
    std::string dir = SpecialFolders::RuntimeDir();
    EXPECT_EQ(dir, env.Path("runtime/vidora"));
    struct stat st {};
    ASSERT_EQ(stat(dir.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(ResourceLibrary, BuiltInCopyServesStringsAndXml) {
    CResourceLibrary& lib = CResourceLibrary::Instance();
    lib.Unload();
    EXPECT_FALSE(lib.IsFileLoaded());
    EXPECT_EQ(lib.LanguageId().value_or(0), 0x0409);
    EXPECT_FALSE(lib.GetString(109).empty());
    EXPECT_TRUE(lib.GetString(999999).empty());
    for (uint32_t id = 434; id <= 438; ++id)
        EXPECT_TRUE(lib.HasData(ResourceType::Xml, id)) << id;
    EXPECT_TRUE(lib.GetData(ResourceType::Xml, 438).contains("<apps"));
    EXPECT_FALSE(lib.HasData(ResourceType::Png, 1999999));
}

TEST(ResourceLibrary, LoadsTheLibraryFileBesideTheExecutable) {
    CResourceLibrary& lib = CResourceLibrary::Instance();
    ASSERT_TRUE(lib.LoadFile(std::string(VIDORA_BIN_DIR) + "/" + CResourceLibrary::kFileName));
    EXPECT_TRUE(lib.IsFileLoaded());
    EXPECT_EQ(lib.GetString(349), "VidoraUpdater");
    lib.Unload();
}

TEST(ResourceLibrary, RejectsFilesThatAreNotResourceLibraries) {
    CTempEnvironment env;
    CResourceLibrary& lib = CResourceLibrary::Instance();
    env.WriteFile("bin/VAppRes.rcc", "this is not a resource file");
    EXPECT_FALSE(lib.LoadFile(env.Path("bin/VAppRes.rcc")));
    EXPECT_FALSE(lib.LoadFile(env.Path("bin/missing.rcc")));
    EXPECT_FALSE(lib.IsFileLoaded());
    // The built-in copy is still there.
    EXPECT_FALSE(lib.GetString(109).empty());
}
