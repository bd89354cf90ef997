// Path placeholders, the default folders of the product, configuration files beside the executable and the
// private copies of the built-in ones.
#include "COEMTestFixture.h"
#include "config/CVidoraOEMInfo.h"
#include "platform/SpecialFolders.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {
class OEMFoldersTest : public COEMTestFixture {
protected:
    void SetUp() override {
        COEMTestFixture::SetUp();
        env.WriteFile("config/user-dirs.dirs",
                      "XDG_PICTURES_DIR=\"$HOME/Bilder\"\nXDG_VIDEOS_DIR=\"$HOME/Filme\"\n"
                      "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    }
};

class ConfigFilePathTest : public COEMTestFixture {
protected:
    std::string Resource(uint32_t id) {
        return CResourceLibrary::Instance().GetData(ResourceType::Xml, id).toStdString();
    }
    std::string CacheFolder() { return SpecialFolders::RuntimeDir() + "/config-cache"; }
    static unsigned Mode(const std::string& path) {
        struct stat st {};
        return lstat(path.c_str(), &st) == 0 ? st.st_mode : 0;
    }
    CVidoraOEMInfo info;
};
} // namespace

TEST_F(OEMFoldersTest, CommonPlaceholdersExpandInBothVariants) {
    env.SetEnv("VIDORA_PROGRAM_FILES_DIR", env.Path("programs"));
    COEMInfo common;
    EXPECT_EQ(common.ExpandPath("%CSIDL_COMMON_APPDATA%/Brenmoor|%ProgramFiles%/x"),
              env.Path("common") + "/Brenmoor|" + env.Path("programs") + "/x");
    // Only the product knows the user's folders; names are exact.
    EXPECT_EQ(common.ExpandPath("%mypictures%"), "%mypictures%");
    EXPECT_EQ(common.ExpandPath("%csidl_common_appdata%"), "%csidl_common_appdata%");
    CVidoraOEMInfo vidora;
    EXPECT_EQ(vidora.ExpandPath("/plain/path"), "/plain/path");
    EXPECT_FALSE(IsDir(env.Path("home/Bilder")))
        << "user folders are made only for the placeholders that occur";
    EXPECT_EQ(vidora.ExpandPath("%mypictures%/a;%myvideos%/b;%CSIDL_COMMON_APPDATA%"),
              env.Path("home/Bilder") + "/a;" + env.Path("home/Filme") + "/b;" + env.Path("common"));
    EXPECT_TRUE(IsDir(env.Path("home/Bilder")) && IsDir(env.Path("home/Filme")));
}

TEST_F(OEMFoldersTest, DocumentFoldersAreExpandedAndCreatedWhenTheDocumentLoads) {
    const std::string clips = env.Path("media/reseller/clips");
    WriteOEMBody("<Directories><Pictures>%mypictures%\\Reseller Photos</Pictures>"
                 "<Videos>  " +
                 clips + "/  </Videos></Directories>");
    CVidoraOEMInfo info;
    EXPECT_EQ(info.GetRegistryPath(), "Software\\Brenmoor\\Vidora10"); // any operation loads
    EXPECT_TRUE(IsDir(env.Path("home/Bilder/Reseller Photos")) && IsDir(clips));
    EXPECT_EQ(info.GetPhotoFolder(), env.Path("home/Bilder/Reseller Photos"));
    EXPECT_EQ(info.GetMovieFolder(), clips);
}

TEST_F(OEMFoldersTest, UnusableDocumentFoldersFallBackToTheBuiltInOnesAndUncreatableOnesStay) {
    WriteOEMBody("<Directories><Pictures>Photos</Pictures><Videos>%nowhere%\\Clips</Videos></Directories>");
    CVidoraOEMInfo info;
    EXPECT_EQ(info.GetPhotoFolder(), env.Path("home/Bilder/Vidora"));
    EXPECT_EQ(info.GetMovieFolder(), env.Path("home/Filme/Vidora"));
    EXPECT_TRUE(IsDir(env.Path("home/Filme/Vidora")));
    EXPECT_FALSE(IsDir("Photos"));
    env.WriteFile("home/blocker", "a file");
    const std::string blocked = env.Path("home/blocker/Photos");
    WriteOEMBody("<Directories><Pictures>" + blocked + "</Pictures></Directories>");
    EXPECT_EQ(CVidoraOEMInfo().GetPhotoFolder(), blocked);
}

TEST_F(ConfigFilePathTest, OtherwiseTheResourceIsCopiedToAPrivateFolder) {
    const std::string expected = Resource(438);
    ASSERT_FALSE(expected.empty());
    std::string path = info.GetConfigFilePath("Config", "callingapps.xml", 438);
    EXPECT_EQ(path, CacheFolder() + "/callingapps.xml");
    EXPECT_EQ(ReadFile(path), expected);
    EXPECT_EQ(Mode(CacheFolder()), S_IFDIR | 0700u);
    EXPECT_EQ(Mode(path) & 077, 0u);
    // An older (here: tampered) copy is replaced.
    env.WriteFile("runtime/vidora/config-cache/callingapps.xml", "<stale/>");
    EXPECT_EQ(ReadFile(info.GetConfigFilePath("Config", "callingapps.xml", 438)), expected);
}

TEST_F(ConfigFilePathTest, NamesThatLeaveTheFolderAndUnusableCopiesGiveNothing) {
    for (const char* name : {"", ".", "..", "../escape.xml", "sub/file.xml", "a..b", "/etc/passwd"})
        EXPECT_EQ(info.GetConfigFilePath("Config", name, 438), "") << name;
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(SpecialFolders::RuntimeDir() + "/escape.xml")));
    EXPECT_EQ(info.GetConfigFilePath("Config", "none.xml", 1999999), "");
    QDir().mkpath(QString::fromStdString(CacheFolder() + "/callingapps.xml"));
    EXPECT_EQ(info.GetConfigFilePath("Config", "callingapps.xml", 438), "");
}

TEST_F(ConfigFilePathTest, PlantedLinksInPlaceOfTheCopyOrTheFolderAreNotFollowed) {
    env.WriteFile("victim.txt", "precious");
    QDir().mkpath(QString::fromStdString(CacheFolder()));
    const std::string planted = CacheFolder() + "/callingapps.xml";
    ASSERT_EQ(symlink(env.Path("victim.txt").c_str(), planted.c_str()), 0);
    std::string path = info.GetConfigFilePath("Config", "callingapps.xml", 438);
    ASSERT_EQ(path, planted);
    EXPECT_FALSE(S_ISLNK(Mode(path)));
    EXPECT_EQ(ReadFile(path), Resource(438));
    EXPECT_EQ(ReadFile(env.Path("victim.txt")), "precious");
    QDir(QString::fromStdString(CacheFolder())).removeRecursively();
    QDir().mkpath(QString::fromStdString(env.Path("elsewhere")));
    ASSERT_EQ(symlink(env.Path("elsewhere").c_str(), CacheFolder().c_str()), 0);
    path = info.GetConfigFilePath("Config", "callingapps.xml", 438);
    EXPECT_EQ(ReadFile(path), Resource(438));
    EXPECT_TRUE(QDir(QString::fromStdString(env.Path("elsewhere"))).isEmpty());
    // The copy went to a fresh private folder in the temporary folder instead.
    EXPECT_EQ(path.rfind(env.Path("tmp/vidora-config-cache-"), 0), 0u) << path;
    EXPECT_EQ(Mode(QFileInfo(QString::fromStdString(path)).path().toStdString()), S_IFDIR | 0700u);
}

TEST_F(ConfigFilePathTest, AnOpenRuntimeFolderIsNotTrusted) {
    std::string runtime = SpecialFolders::RuntimeDir();
    ASSERT_EQ(chmod(runtime.c_str(), 0777), 0);
    std::string path = info.GetConfigFilePath("Config", "callingapps.xml", 438);
    chmod(runtime.c_str(), 0700);
    EXPECT_EQ(path.rfind(runtime + "/", 0), std::string::npos) << path;
    EXPECT_EQ(ReadFile(path), Resource(438));
}
