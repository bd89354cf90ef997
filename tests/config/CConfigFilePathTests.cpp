// Configuration files beside the executable, and the private copies of the built-in ones.
#include "COEMTestFixture.h"
#include "config/CVidoraOEMInfo.h"
#include "platform/SpecialFolders.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {
class ConfigFilePathTest : public COEMTestFixture {
protected:
    std::string Resource(uint32_t id) {
        return CResourceLibrary::Instance().GetData(ResourceType::Xml, id).toStdString();
    }
    std::string CacheFolder() { return SpecialFolders::RuntimeDir() + "/config-cache"; }
    static bool IsSymlink(const std::string& path) {
        struct stat st {};
        return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
    }
    CVidoraOEMInfo info;
};
} // namespace

TEST_F(ConfigFilePathTest, AFileBesideTheExecutableIsUsedAsIs) {
    env.WriteFile("bin/Config/callingapps.xml", "<apps><app/></apps>");
    EXPECT_EQ(info.GetConfigFilePath("Config", "callingapps.xml", 438),
              env.ExeDir() + "/Config/callingapps.xml");
    env.WriteFile("bin/Config/EditTools.XML", "<x/>");
    EXPECT_EQ(info.GetConfigFilePath("Config", "edittools.xml", 434), env.ExeDir() + "/Config/EditTools.XML");
}

TEST_F(ConfigFilePathTest, OtherwiseTheResourceIsCopiedToAPrivateFolder) {
    const std::string expected = Resource(438);
    ASSERT_FALSE(expected.empty());
    std::string path = info.GetConfigFilePath("Config", "callingapps.xml", 438);
    EXPECT_EQ(path, CacheFolder() + "/callingapps.xml");
    EXPECT_EQ(ReadFile(path), expected);

    struct stat folder {};
    ASSERT_EQ(lstat(CacheFolder().c_str(), &folder), 0);
    EXPECT_TRUE(S_ISDIR(folder.st_mode));
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
    struct stat file {};
    ASSERT_EQ(stat(path.c_str(), &file), 0);
    EXPECT_EQ(file.st_mode & 077, 0u);

    // An older (here: tampered) copy is replaced.
    env.WriteFile("runtime/vidora/config-cache/callingapps.xml", "<stale/>");
    EXPECT_EQ(ReadFile(info.GetConfigFilePath("Config", "callingapps.xml", 438)), expected);
}

// Names that leave the folder, a missing resource and a folder in place of the copy give nothing.
TEST_F(ConfigFilePathTest, NamesThatLeaveTheFolderAndUnusableCopiesGiveNothing) {
    for (const char* name : {"", ".", "..", "../escape.xml", "sub/file.xml", "a..b", "/etc/passwd"}) {
        EXPECT_EQ(info.GetConfigFilePath("Config", name, 438), "") << name;
    }
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(SpecialFolders::RuntimeDir() + "/escape.xml")));
    EXPECT_EQ(info.GetConfigFilePath("Config", "none.xml", 1999999), "");
    QDir().mkpath(QString::fromStdString(CacheFolder() + "/callingapps.xml"));
    EXPECT_EQ(info.GetConfigFilePath("Config", "callingapps.xml", 438), "");
}

TEST_F(ConfigFilePathTest, APlantedLinkInPlaceOfTheCopyIsNotFollowed) {
    env.WriteFile("victim.txt", "precious");
    QDir().mkpath(QString::fromStdString(CacheFolder()));
    const std::string planted = CacheFolder() + "/callingapps.xml";
    ASSERT_EQ(symlink(env.Path("victim.txt").c_str(), planted.c_str()), 0);

    std::string path = info.GetConfigFilePath("Config", "callingapps.xml", 438);
    ASSERT_EQ(path, planted);
    EXPECT_FALSE(IsSymlink(path));
    EXPECT_EQ(ReadFile(path), Resource(438));
    EXPECT_EQ(ReadFile(env.Path("victim.txt")), "precious");
}

TEST_F(ConfigFilePathTest, APlantedLinkInPlaceOfTheFolderIsNotFollowed) {
    QDir().mkpath(QString::fromStdString(env.Path("elsewhere")));
    SpecialFolders::RuntimeDir();
    ASSERT_EQ(symlink(env.Path("elsewhere").c_str(), CacheFolder().c_str()), 0);

    std::string path = info.GetConfigFilePath("Config", "callingapps.xml", 438);
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(ReadFile(path), Resource(438));
    EXPECT_TRUE(QDir(QString::fromStdString(env.Path("elsewhere"))).isEmpty());
    // The copy went to a fresh private folder in the temporary folder instead.
    EXPECT_EQ(path.rfind(env.Path("tmp/vidora-config-cache-"), 0), 0u) << path;
    struct stat folder {};
    ASSERT_EQ(lstat(QFileInfo(QString::fromStdString(path)).path().toStdString().c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
}

TEST_F(ConfigFilePathTest, AnOpenRuntimeFolderIsNotTrusted) {
    std::string runtime = SpecialFolders::RuntimeDir();
    ASSERT_EQ(chmod(runtime.c_str(), 0777), 0);
    std::string path = info.GetConfigFilePath("Config", "callingapps.xml", 438);
    chmod(runtime.c_str(), 0700);
    EXPECT_EQ(path.rfind(runtime + "/", 0), std::string::npos) << path;
    EXPECT_EQ(ReadFile(path), Resource(438));
}
